// The Linux data protection: AES-256-GCM under a 32-byte key kept in a file of the user's own.
#pragma once

#include <string>

#include "DataProtection.h"

namespace vardex {

// The blob is a version byte, a 12-byte nonce, the ciphertext and the 16-byte tag. The key file
// is made on first use (0600, its folder 0700) from the system's random source; a key file or
// folder that is a symlink, not the user's own or open to others is refused, never replaced.
class KeyFileProtection : public DataProtection {
public:
    explicit KeyFileProtection(std::string keyPath);

    std::optional<std::string> Protect(std::string_view plain) override;
    std::optional<std::string> Unprotect(std::string_view blob) override;

    const std::string& KeyPath() const { return keyPath_; }

private:
    std::string keyPath_;
};

// $XDG_DATA_HOME/vardex/protect.key, or ~/.local/share/vardex/protect.key.
std::string DefaultProtectionKeyPath();

}  // namespace vardex
