// The temporary folder on Windows (GetTempPathW) and the unshared write of a file in it.
#include <windows.h>

#include "CodePage.h"
#include "TempFolder.h"

namespace vardex {
namespace {

std::string Reason(const char* what) {
    return std::string(what) + ": error " + std::to_string(GetLastError());
}

}  // namespace

std::optional<std::string> PrivateTempFolder() {
    std::wstring buffer(MAX_PATH + 1, L'\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD n = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (n == 0) {
            return std::nullopt;
        }
        if (n < buffer.size()) {
            buffer.resize(n);
            if (buffer.back() != L'\\') {
                buffer += L'\\';
            }
            return Utf16ToUtf8(std::u16string(buffer.begin(), buffer.end()));
        }
        // Too small: n is the size the path needs, its terminator included.
        buffer.assign(n + 1, L'\0');
    }
    return std::nullopt;
}

WriteResult WritePrivateFile(const std::string& path, std::string_view bytes) {
    const auto wide = Utf8ToUtf16(path);
    if (!wide) {
        return {false, "path is not UTF-8"};
    }
    const std::wstring widePath(wide->begin(), wide->end());
    HANDLE file = CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {false, Reason("create")};
    }
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = bytes.size() > 1u << 30 ? 1u << 30 : static_cast<DWORD>(bytes.size());
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            WriteResult result{false, Reason("write")};
            CloseHandle(file);
            return result;
        }
        bytes.remove_prefix(written);
    }
    if (!CloseHandle(file)) {
        return {false, Reason("close")};
    }
    return {};
}

}  // namespace vardex
