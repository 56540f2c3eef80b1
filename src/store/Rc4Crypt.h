// RC4, the published stream cipher; the same call enciphers and deciphers.
#pragma once

#include <string>
#include <string_view>

namespace vardex {

// No keystream bytes are discarded; an empty key skips the key schedule.
std::string Rc4Crypt(std::string_view data, std::string_view key);

}  // namespace vardex
