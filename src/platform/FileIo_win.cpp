// Windows files: CreateFileW/ReadFile, and a temporary file + FlushFileBuffers + MoveFileExW
// with MOVEFILE_WRITE_THROUGH for the replace.
#include <windows.h>

#include "CodePage.h"
#include "FileIo.h"

namespace vardex {
namespace {

// nullopt for a path that is no UTF-8: made empty instead, it would name the current folder.
std::optional<std::wstring> Wide(const std::string& utf8) {
    const auto wide = Utf8ToUtf16(utf8);
    if (!wide || wide->empty()) {
        return std::nullopt;
    }
    return std::wstring(wide->begin(), wide->end());
}

std::string Reason(const char* what) {
    return std::string(what) + ": error " + std::to_string(GetLastError());
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    const std::optional<std::wstring> wide = Wide(path);
    if (!wide) {
        return std::nullopt;
    }
    HANDLE file = CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            CloseHandle(file);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return bytes;
}

bool IsMissingFile(const std::string& path) {
    const std::optional<std::wstring> wide = Wide(path);
    if (!wide) {
        return false;  // nothing can be made there either
    }
    if (GetFileAttributesW(wide->c_str()) != INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

WriteResult WriteWholeFileAtomic(const std::string& path, std::string_view bytes, FileAccess) {
    const std::optional<std::wstring> wide = Wide(path);
    if (!wide) {
        return {false, "the path is no UTF-8 text"};
    }
    const std::wstring& target = *wide;
    std::wstring temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temp = target + L".tmp-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount() + attempt);
        file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            break;
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return {false, Reason("create")};
    }
    auto fail = [&](const char* what) {
        WriteResult result{false, Reason(what)};
        CloseHandle(file);
        DeleteFileW(temp.c_str());
        return result;
    };
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = bytes.size() > 1u << 30 ? 1u << 30 : static_cast<DWORD>(bytes.size());
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return fail("write");
        }
        bytes.remove_prefix(written);
    }
    if (!FlushFileBuffers(file)) {
        return fail("flush");
    }
    CloseHandle(file);
    if (!MoveFileExW(temp.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        WriteResult result{false, Reason("rename")};
        DeleteFileW(temp.c_str());
        return result;
    }
    return {};
}

}  // namespace vardex
