// The run directory on Windows: the folder of the .exe (GetModuleFileNameW).
#include <windows.h>

#include "CodePage.h"
#include "RunDirectory.h"

namespace vardex {

std::string RunDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            return ".";
        }
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) {
        path.resize(slash);
    }
    return Utf16ToUtf8(std::u16string(path.begin(), path.end())).value_or(".");
}

std::string JoinPath(std::string_view dir, std::string_view name) {
    std::string path(dir);
    path += '\\';
    path += name;
    return path;
}

}  // namespace vardex
