// The system's data protection on Windows (CryptProtectData): the round trip, the description
// the client expects, and blobs that were altered.
#include <gtest/gtest.h>

#include <windows.h>

#include <dpapi.h>

#include <string>

#include "platform/DataProtection.h"

namespace vardex {
namespace {

// The password block as the launcher protects it: 512 bytes, mostly zeros.
std::string Block() {
    std::string block(512, '\0');
    const std::string password = "\x0d\x67\xa1\x52\x68\x56";  // 服务器 in UTF-16LE
    block.replace(0, password.size(), password);
    return block;
}

TEST(DataProtectionWin, OpensWhatItProtectedUnderTheDescriptionPsw) {
    const auto protection = MakeSystemDataProtection();
    for (const std::string& plain : {Block(), std::string("\x01\x00\xff", 3)}) {
        SCOPED_TRACE(plain.size());
        const auto blob = protection->Protect(plain);
        ASSERT_TRUE(blob);
        EXPECT_EQ(blob->find(plain), std::string::npos) << "the plain bytes show in the blob";
        EXPECT_EQ(protection->Unprotect(*blob), plain);

        DATA_BLOB in{static_cast<DWORD>(blob->size()),
                     reinterpret_cast<BYTE*>(const_cast<char*>(blob->data()))};
        DATA_BLOB out{};
        LPWSTR description = nullptr;
        ASSERT_TRUE(CryptUnprotectData(&in, &description, nullptr, nullptr, nullptr, 0, &out));
        EXPECT_EQ(std::wstring(description), L"psw");
        LocalFree(description);
        LocalFree(out.pbData);
    }
}

// Wine checks the fields and the signature these alterations touch; it does not check the
// description, the salt or the master key's identifier, so those are not tried here.
TEST(DataProtectionWin, RefusesAnAlteredBlob) {
    const auto protection = MakeSystemDataProtection();
    const auto blob = protection->Protect(Block());
    ASSERT_TRUE(blob);
    ASSERT_GT(blob->size(), 40u);
    auto flipped = [&](size_t at) {
        std::string altered = *blob;
        altered[at] = static_cast<char>(altered[at] ^ 0x01);
        return altered;
    };
    struct Case {
        const char* name;
        std::string blob;
    } const cases[] = {
        {"version", flipped(0)},
        {"provider", flipped(4)},
        {"last byte of the signature", flipped(blob->size() - 1)},
        {"cut by one byte", blob->substr(0, blob->size() - 1)},
        {"cut in half", blob->substr(0, blob->size() / 2)},
        {"empty", std::string()},
        {"no blob at all", std::string(blob->size(), 'x')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(protection->Unprotect(c.blob).has_value());
    }
}

}  // namespace
}  // namespace vardex
