// Windows data protection: CryptProtectData for the current user, description L"psw".
#include <windows.h>

#include <dpapi.h>

#include "DataProtection.h"

namespace vardex {
namespace {

DATA_BLOB InputBlob(std::string_view bytes) {
    DATA_BLOB blob{};
    blob.cbData = static_cast<DWORD>(bytes.size());
    blob.pbData = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
    return blob;
}

// Copies the system's output and gives its buffer back.
std::string TakeOutput(DATA_BLOB& out, bool wipe) {
    std::string bytes(reinterpret_cast<const char*>(out.pbData), out.cbData);
    if (wipe) {
        SecureZeroMemory(out.pbData, out.cbData);
    }
    LocalFree(out.pbData);
    return bytes;
}

class SystemDataProtection : public DataProtection {
public:
    std::optional<std::string> Protect(std::string_view plain) override {
        DATA_BLOB in = InputBlob(plain);
        DATA_BLOB out{};
        if (!CryptProtectData(&in, L"psw", nullptr, nullptr, nullptr, 0, &out)) {
            return std::nullopt;
        }
        return TakeOutput(out, false);
    }

    std::optional<std::string> Unprotect(std::string_view blob) override {
        DATA_BLOB in = InputBlob(blob);
        DATA_BLOB out{};
        if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, 0, &out)) {
            return std::nullopt;
        }
        return TakeOutput(out, true);
    }
};

}  // namespace

std::unique_ptr<DataProtection> MakeSystemDataProtection() {
    return std::make_unique<SystemDataProtection>();
}

}  // namespace vardex
