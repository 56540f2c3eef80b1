// Code page 936 on Windows, chosen explicitly: it holds where the ANSI code page is another
// (1252 under Wine).
#include <gtest/gtest.h>

#include <string>

#include "platform/CodePage.h"

namespace vardex {
namespace {

// Read in a single-byte code page, each pair would give two characters.
TEST(CodePageWin, EveryDoubleByteCharacterIsOneUnitBothWays) {
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
            const auto units = GbkToUtf16(pair);
            if (!units) {
                continue;
            }
            ++characters;
            ASSERT_EQ(units->size(), 1u) << std::hex << lead << " " << trail;
            ASSERT_EQ(Utf16ToGbk(*units), pair) << std::hex << lead << " " << trail;
        }
    }
    EXPECT_GT(characters, 21000) << "GBK has 21,886 characters";
}

}  // namespace
}  // namespace vardex
