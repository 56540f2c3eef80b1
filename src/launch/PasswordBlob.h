// The password of a connection file: its 512-byte UTF-16 block, protected for the current user
// and written as hexadecimal text behind "password 51:b:".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/DataProtection.h"

namespace vardex {

inline constexpr size_t kPasswordBlockSize = 512;

// Two upper-case digits per byte, then one more "0": 2n + 1 characters; no bytes give "0".
std::string BlobToHexText(std::string_view blob);

// The UTF-16LE form of the GBK password with its terminating zero, cut at 512 bytes and filled
// up with zeros to 512. Bytes that are no GBK character become U+FFFD, as the Windows
// conversion does. An empty password gives the lone terminator, so the block is all zeros.
std::string PasswordBlock(std::string_view password);

// The hex text of the protected block; "0" alone when the protection fails.
std::string ProtectPasswordHex(std::string_view password, DataProtection& protection);

}  // namespace vardex
