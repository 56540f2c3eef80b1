// MD5 through CryptoAPI: a verify-only RSA context (or, failing that, the default one), CALG_MD5.
#include <windows.h>

#include <wincrypt.h>  // after windows.h, which it needs

#include <cctype>

#include "Md5.h"

namespace vardex {
namespace {

HCRYPTPROV AcquireContext() {
    HCRYPTPROV provider = 0;
    if (CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
        return provider;
    }
    if (CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, 0)) {
        return provider;
    }
    return 0;
}

// The 16 digest bytes; false when any hashing step fails.
bool HashBytes(HCRYPTPROV provider, std::string_view bytes, BYTE (&digest)[16]) {
    HCRYPTHASH hash = 0;
    if (!CryptCreateHash(provider, CALG_MD5, 0, 0, &hash)) {
        return false;
    }
    bool ok = true;
    // CryptHashData takes a 32-bit length, so a longer input goes in pieces.
    constexpr size_t kPiece = 1u << 30;
    for (size_t done = 0; ok && done < bytes.size(); done += kPiece) {
        const size_t size = bytes.size() - done < kPiece ? bytes.size() - done : kPiece;
        ok = CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data() + done),
                           static_cast<DWORD>(size), 0) != FALSE;
    }
    DWORD size = sizeof digest;
    ok = ok && CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0) && size == sizeof digest;
    CryptDestroyHash(hash);
    return ok;
}

}  // namespace

std::string Md5Hex(std::string_view bytes) {
    const HCRYPTPROV provider = AcquireContext();
    if (provider == 0) {
        return std::string();
    }
    BYTE digest[16];
    const bool ok = HashBytes(provider, bytes, digest);
    CryptReleaseContext(provider, 0);
    if (!ok) {
        return std::string();
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const BYTE b : digest) {
        hex.push_back(kDigits[b >> 4]);
        hex.push_back(kDigits[b & 0x0F]);
    }
    for (char& c : hex) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return hex;
}

}  // namespace vardex
