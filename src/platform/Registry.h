// The few registry operations the launcher needs, under HKEY_CURRENT_USER. Key and value names
// are GBK. Linux has no registry: every call answers NotAvailable and changes nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace vardex {

enum class RegistryStatus { Ok, Failed, NotAvailable };

struct ValueLookup {
    RegistryStatus status = RegistryStatus::Ok;
    bool exists = false;  // meaningful when status is Ok; a missing key is a missing value
};

class Registry {
public:
    virtual ~Registry() = default;
    // Whether the value exists; an empty name is the key's unnamed value.
    virtual ValueLookup FindValue(std::string_view key, std::string_view valueName) = 0;
    // Sets a REG_DWORD, creating the key when it is missing.
    virtual RegistryStatus SetDwordValue(std::string_view key, std::string_view valueName,
                                         uint32_t data) = 0;
};

std::unique_ptr<Registry> MakeSystemRegistry();

}  // namespace vardex
