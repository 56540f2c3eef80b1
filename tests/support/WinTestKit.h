// Windows test aids: an environment variable set for one test, and the wait for the record
// that the command_line_record helper leaves in its folder.
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

namespace vardex::testing {

// Set in this process (and so in what it starts) for the object's life, then restored.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name) {
        wchar_t old[32768];
        const DWORD size = GetEnvironmentVariableW(name, old, sizeof old / sizeof old[0]);
        if (size > 0 && size < sizeof old / sizeof old[0]) {
            old_ = std::wstring(old, size);
        }
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~ScopedEnvironment() { SetEnvironmentVariableW(name_, old_ ? old_->c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const wchar_t* name_;
    std::optional<std::wstring> old_;
};

// True once the helper has written "done" into folder, false after ten seconds without.
inline bool WaitForRecord(const std::filesystem::path& folder, DWORD timeoutMs = 10000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!std::filesystem::exists(folder / L"done")) {
        if (GetTickCount64() > end) {
            return false;
        }
        Sleep(20);
    }
    return true;
}

}  // namespace vardex::testing
