// Protection of small secrets (the connection file's password) so that only the same user can
// open them again: CryptProtectData on Windows, AES-256-GCM under a per-user key on Linux.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vardex {

class DataProtection {
public:
    virtual ~DataProtection() = default;
    // The protected blob; nullopt when the system refuses.
    virtual std::optional<std::string> Protect(std::string_view plain) = 0;
    // The plain bytes again; nullopt for a blob of another user or key, or one that was altered.
    virtual std::optional<std::string> Unprotect(std::string_view blob) = 0;
};

// The current user's protection of this system.
std::unique_ptr<DataProtection> MakeSystemDataProtection();

}  // namespace vardex
