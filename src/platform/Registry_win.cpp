// The registry under HKEY_CURRENT_USER through the W calls, the GBK names converted from code
// page 936 whatever the system's ANSI code page is.
#include <windows.h>

#include <optional>
#include <string>

#include "CodePage.h"
#include "Registry.h"

namespace vardex {
namespace {

std::optional<std::wstring> Wide(std::string_view gbk) {
    const auto units = GbkToUtf16(gbk);
    if (!units) {
        return std::nullopt;
    }
    return std::wstring(units->begin(), units->end());
}

class KeyHandle {
public:
    KeyHandle() = default;
    ~KeyHandle() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

class SystemRegistry : public Registry {
public:
    ValueLookup FindValue(std::string_view key, std::string_view valueName) override {
        const auto wideKey = Wide(key);
        const auto wideName = Wide(valueName);
        if (!wideKey || !wideName) {
            return {RegistryStatus::Failed, false};
        }
        KeyHandle handle;
        LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, wideKey->c_str(), 0, KEY_READ, handle.out());
        if (status == ERROR_SUCCESS) {
            status = RegQueryValueExW(handle.get(), wideName->c_str(), nullptr, nullptr, nullptr,
                                      nullptr);
        }
        if (status == ERROR_SUCCESS) {
            return {RegistryStatus::Ok, true};
        }
        if (status == ERROR_FILE_NOT_FOUND) {
            return {RegistryStatus::Ok, false};
        }
        return {RegistryStatus::Failed, false};
    }

    RegistryStatus SetDwordValue(std::string_view key, std::string_view valueName,
                                 uint32_t data) override {
        const auto wideKey = Wide(key);
        const auto wideName = Wide(valueName);
        if (!wideKey || !wideName) {
            return RegistryStatus::Failed;
        }
        KeyHandle handle;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, wideKey->c_str(), 0, KEY_WRITE, handle.out()) !=
                ERROR_SUCCESS &&
            RegCreateKeyW(HKEY_CURRENT_USER, wideKey->c_str(), handle.out()) != ERROR_SUCCESS) {
            return RegistryStatus::Failed;
        }
        const DWORD value = data;
        const LONG status = RegSetValueExW(handle.get(), wideName->c_str(), 0, REG_DWORD,
                                           reinterpret_cast<const BYTE*>(&value), sizeof value);
        return status == ERROR_SUCCESS ? RegistryStatus::Ok : RegistryStatus::Failed;
    }
};

}  // namespace

std::unique_ptr<Registry> MakeSystemRegistry() {
    return std::make_unique<SystemRegistry>();
}

}  // namespace vardex
