// The password block, its protection and its hexadecimal form.
#include "PasswordBlob.h"

#include <algorithm>

#include "platform/CodePage.h"

namespace vardex {

std::string BlobToHexText(std::string_view blob) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(blob.size() * 2 + 1);
    for (const char c : blob) {
        const auto byte = static_cast<unsigned char>(c);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    hex += '0';
    return hex;
}

std::string PasswordBlock(std::string_view password) {
    std::u16string units = GbkToUtf16Lossy(password);
    units.push_back(u'\0');
    std::string block(kPasswordBlockSize, '\0');
    const size_t kept = std::min(units.size(), kPasswordBlockSize / 2);
    for (size_t i = 0; i < kept; ++i) {
        block[2 * i] = static_cast<char>(units[i] & 0xFF);
        block[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    std::fill(units.begin(), units.end(), u'\0');
    return block;
}

std::string ProtectPasswordHex(std::string_view password, DataProtection& protection) {
    std::string block = PasswordBlock(password);
    const std::optional<std::string> blob = protection.Protect(block);
    std::fill(block.begin(), block.end(), '\0');
    return BlobToHexText(blob.value_or(std::string()));
}

}  // namespace vardex
