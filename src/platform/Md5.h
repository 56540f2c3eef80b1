// The MD5 digest of a byte string, as the single-instance guard names its marker with it.
#pragma once

#include <string>
#include <string_view>

namespace vardex {

// 32 lower-case hexadecimal digits; "" when the system cannot compute the digest.
std::string Md5Hex(std::string_view bytes);

}  // namespace vardex
