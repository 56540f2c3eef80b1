// The password block, its protection and the hexadecimal text of the blob.
#include <gtest/gtest.h>

#include "FakeProtection.h"
#include "launch/PasswordBlob.h"

namespace vardex {
namespace {

using testing::FakeProtection;

TEST(BlobToHexText, TwoUpperCaseDigitsPerByteThenOneZero) {
    EXPECT_EQ(BlobToHexText(std::string("\x01\xD0\x0A", 3)), "01D00A0");
    EXPECT_EQ(BlobToHexText(""), "0");
    std::string every;
    for (int b = 0; b < 256; ++b) {
        every.push_back(static_cast<char>(b));
    }
    const std::string hex = BlobToHexText(every);
    ASSERT_EQ(hex.size(), 2u * 256 + 1);
    EXPECT_EQ(hex.substr(0, 6), "000102");
    EXPECT_EQ(hex.substr(2 * 0x0F, 4), "0F10");
    EXPECT_EQ(hex.substr(2 * 0xAB, 2), "AB");
    EXPECT_EQ(hex.substr(2 * 0xFF), "FF0");
}

std::string Units(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

struct BlockCase {
    const char* name;
    std::string password;
    std::string expectedStart;  // the rest of the 512 bytes is zero
};

TEST(PasswordBlock, IsTheUtf16FormWithTerminatorCutAt512AndZeroFilled) {
    const std::string longAscii(300, 'x');
    const BlockCase cases[] = {
        {"abc", "abc", std::string("a\0b\0c\0\0\0", 8)},
        {"empty gives the lone terminator", "", std::string("\0\0", 2)},
        {"a GBK character through code page 936",
         "\xD6\xD0"
         "1",  // 中1
         Units(u"\u4E2D"
               u"1") +
             std::string("\0\0", 2)},
        {"0x80 is the euro sign as on Windows", "\x80", Units(u"\u20AC") + std::string(2, '\0')},
        {"255 units: the terminator is the last two bytes", std::string(255, 'y'),
         Units(std::u16string(255, u'y')) + std::string(2, '\0')},
        {"300 units: the first 256 without terminator", longAscii,
         Units(std::u16string(256, u'x'))},
    };
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string block = PasswordBlock(c.password);
        ASSERT_EQ(block.size(), kPasswordBlockSize);
        EXPECT_EQ(block.substr(0, c.expectedStart.size()), c.expectedStart);
        EXPECT_EQ(block.find_first_not_of('\0', c.expectedStart.size()), std::string::npos);
    }
}

TEST(ProtectPasswordHex, ProtectsTheBlockOnceAndFormatsTheBlob) {
    FakeProtection protection(std::string("\x01\xD0\x0A", 3));
    EXPECT_EQ(ProtectPasswordHex("abc", protection), "01D00A0");
    ASSERT_EQ(protection.ProtectCalls(), 1u);
    EXPECT_EQ(protection.Protected()[0], PasswordBlock("abc"));
}

TEST(ProtectPasswordHex, FailedProtectionGivesTheLoneZero) {
    FakeProtection protection(std::nullopt);
    EXPECT_EQ(ProtectPasswordHex("abc", protection), "0");
}

}  // namespace
}  // namespace vardex
