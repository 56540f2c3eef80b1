// Code page 936 conversions, as Windows makes them.
#include <gtest/gtest.h>

#include "platform/CodePage.h"

namespace vardex {
namespace {

TEST(CodePage, ConvertsGbkBothWays) {
    const std::string allGroups = "\xCB\xF9\xD3\xD0\xB7\xD6\xD7\xE9";  // 所有分组
    EXPECT_EQ(GbkToUtf16(allGroups), std::u16string(u"所有分组"));
    EXPECT_EQ(Utf16ToGbk(u"所有分组"), allGroups);
    EXPECT_EQ(GbkToUtf8(allGroups), std::string(u8"所有分组"));
    EXPECT_EQ(Utf8ToGbk(u8"工具"), std::string("\xB9\xA4\xBE\xDF"));
    EXPECT_EQ(GbkToUtf16("\x80"), std::u16string(u"\u20AC"));  // as Windows maps 0x80
    EXPECT_EQ(GbkToUtf16(""), std::u16string());
}

TEST(CodePage, StrictConversionsRefuseWhatTheyCannotCarry) {
    EXPECT_FALSE(Utf16ToGbk(u"emoji \U0001F600"));
    EXPECT_FALSE(GbkToUtf16("\xFF"));
    EXPECT_FALSE(GbkToUtf16("ends in a lead byte \xB0"));
    EXPECT_EQ(Utf16ToGbkLossy(u"a\U0001F600b"), "a??b");
    EXPECT_EQ(GbkToUtf16Lossy(std::string(100000, 'x')).size(), 100000u);
}

TEST(CodePage, LossyConversionGivesOneReplacementPerBadByte) {
    struct Case {
        const char* name;
        std::string gbk;
        std::u16string text;
    } const cases[] = {
        {"a lone 0xFF",
         "a\xFF"
         "b",
         u"a\uFFFDb"},
        {"two bad bytes", "\xFF\xFF", u"\uFFFD\uFFFD"},
        {"a lead byte before one that cannot trail",
         "\x81\x7F"
         "x",
         u"\uFFFD\x7Fx"},
        {"a lead byte at the end", "x\xB0", u"x\uFFFD"},
        {"a character after a bad byte", "\xFF\xB9\xA4", u"\uFFFD\u5DE5"},  // 工
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GbkToUtf16Lossy(c.gbk), c.text);
    }
}

TEST(CodePage, Utf8AndUtf16) {
    EXPECT_EQ(Utf8ToUtf16(u8"a\u00e9\u4e2d\U0001F600"), std::u16string(u"a\u00e9\u4e2d\U0001F600"));
    EXPECT_EQ(Utf16ToUtf8(u"a\u00e9\u4e2d\U0001F600"), std::string(u8"a\u00e9\u4e2d\U0001F600"));
    EXPECT_FALSE(Utf8ToUtf16("\xC3"));          // cut short
    EXPECT_FALSE(Utf8ToUtf16("\xC0\xAF"));      // overlong
    EXPECT_FALSE(Utf8ToUtf16("\xED\xA0\x80"));  // a surrogate
    EXPECT_FALSE(Utf16ToUtf8(std::u16string(1, u'\xD800')));
}

TEST(ReverseUtf16Text, ReversesCharactersNotBytes) {
    struct Case {
        const char* name;
        std::string text;
        std::string reversed;
    } const cases[] = {
        {"gbk folder", "\xB9\xA4\xBE\xDF", "\xBE\xDF\xB9\xA4"},  // 工具 -> 具工
        {"run directory", "C:\\Tools\\RdpMan", "naMpdR\\slooT\\:C"},
        {"mixed", "x\xB9\xA4y", "y\xB9\xA4x"},  // x工y -> y工x
        {"empty", "", ""},
        {"cut at the first zero", std::string("ab\0cd", 5), "dc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReverseUtf16Text(c.text), c.reversed);
    }
}

TEST(ReverseUtf16Text, ReversesCodeUnitsSoASurrogatePairIsSwapped) {
    // U+1F600 is D83D DE00; a GBK text cannot hold it, so the reversal is checked on its own.
    const std::u16string swapped = {u'y', 0xDE00, 0xD83D, u'x'};
    EXPECT_EQ(ReverseCodeUnits(u"x\U0001F600y"), swapped);
    EXPECT_EQ(ReverseCodeUnits(u""), std::u16string());
}

}  // namespace
}  // namespace vardex
