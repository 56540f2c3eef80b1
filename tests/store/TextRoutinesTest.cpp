// The GBK character rule and the marker routines that the store and group files are read with.
#include <gtest/gtest.h>

#include "store/GbkText.h"
#include "store/Rc4Crypt.h"
#include "store/TextMarkers.h"

namespace vardex {
namespace {

std::string Hex(std::string_view bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

TEST(Rc4Crypt, MatchesPublishedVectorsAndInvertsItself) {
    EXPECT_EQ(Hex(Rc4Crypt("Plaintext", "Key")), "BBF316E8D940AF0AD3");
    EXPECT_EQ(Hex(Rc4Crypt("pedia", "Wiki")), "1021BF0420");
    EXPECT_EQ(Hex(Rc4Crypt("Attack at dawn", "Secret")), "45A01F645FC35B383552544B9BF5");
    EXPECT_EQ(Rc4Crypt(Rc4Crypt("any bytes\0\xff", "7391"), "7391"), "any bytes\0\xff");
    EXPECT_EQ(Rc4Crypt("", "7391"), "");
}

TEST(Rc4Crypt, EmptyKeyUsesTheIdentityState) {
    // With S[i] = i the first keystream bytes are S[S[1] + S[1]] = 2, then ...
    std::string zeros(3, '\0');
    const std::string stream = Rc4Crypt(zeros, "");
    EXPECT_EQ(static_cast<unsigned char>(stream[0]), 2);
}

struct SplitCase {
    const char* name;
    std::string text;
    std::string separator;
    std::vector<std::string> pieces;
    friend void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }
};

class SplitText_ : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitText_, KeepsInnerEmptyPiecesDropsTheTrailingOne) {
    const SplitCase& c = GetParam();
    std::vector<std::string> got;
    for (auto piece : SplitText(c.text, c.separator)) {
        got.emplace_back(piece);
    }
    EXPECT_EQ(got, c.pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitText_,
    ::testing::Values(SplitCase{"empty", "", "|", {}},
                      SplitCase{"noSeparator", "abc", "|", {"abc"}},
                      SplitCase{"innerEmpty", "a||b", "|", {"a", "", "b"}},
                      SplitCase{"trailingDropped", "a|b|", "|", {"a", "b"}},
                      SplitCase{"onlySeparator", "|", "|", {""}},
                      SplitCase{"leadingEmpty", "|a", "|", {"", "a"}},
                      SplitCase{"twoTrailing", "a||", "|", {"a", ""}},
                      // 0x81 0x7C is one GBK character whose trail byte is "|".
                      SplitCase{"trailByteIsNoSeparator", "x\x81|y|z", "|", {"x\x81|y", "z"}},
                      SplitCase{"crlfLines", "l1\r\n\r\nl3\r\n", "\r\n", {"l1", "", "l3"}},
                      SplitCase{"multiByteSeparator", "a<||>b<||>", "<||>", {"a", "b"}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(FindText, NeverMatchesOnATrailByte) {
    // "\xB0\x41" is one character; the "A" inside it is its trail byte.
    EXPECT_EQ(FindText("\xB0"
                       "AA",
                       "A"),
              2u);
    EXPECT_EQ(FindText("\xB0"
                       "A",
                       "A"),
              std::string_view::npos);
    EXPECT_EQ(FindLastText("A\xB0"
                           "A",
                           "A"),
              0u);
    EXPECT_EQ(FindText("abc", ""), std::string_view::npos);
    // A lead byte at the very end is a character of its own.
    EXPECT_EQ(FindText("ab\xB0", "\xB0"), 2u);
    // After a run of high bytes their pairing decides: an odd run makes the next byte a trail.
    EXPECT_EQ(FindText("\xB0\xB0\xB0|a|", "|"), 5u);
    EXPECT_EQ(FindText("\xB0\xB0|a|", "|"), 2u);
    EXPECT_EQ(FindText("\xB0\xB0\xB0\xB0\xB0\xB0", "\xB0\xB0", 2), 2u);
    EXPECT_EQ(FindText("x\xB0\xB0\xB0\xB0", "\xB0\xB0"), 1u);
    EXPECT_EQ(FindText("x\xB0\xB1\xB0\xB0\xB1\xB0", "\xB1\xB0"), 5u);
}

TEST(ReplaceAllText, OnePassLeftToRightAndGbkAware) {
    EXPECT_EQ(ReplaceAllText("%a%%a%", "%a%", "x"), "xx");
    EXPECT_EQ(ReplaceAllText("%a%", "%a%", "%a%%a%"), "%a%%a%");  // not searched again
    EXPECT_EQ(ReplaceAllText("\xB0%a%", "%a%", "x"), "\xB0%a%");  // "%" is the trail byte
    EXPECT_EQ(ReplaceAllText("\xB0"
                             "aa",
                             "a", "b"),
              "\xB0"
              "ab");
    EXPECT_EQ(ReplaceAllText("keep", "%a%", ""), "keep");
}

struct MarkerCase {
    std::string text, open, close, expected;
};

TEST(ExtractBetween, JoinsEveryPairAndDropsAllOnAnUnclosedOne) {
    const MarkerCase cases[] = {
        {"a[1]b[2]c", "[", "]", "1||2"},
        {"a[1]b[2", "[", "]", ""},
        {"[]", "[", "]", ""},
        {"[][x]", "[", "]", "||x"},
        {"no markers", "[", "]", ""},
        {"#LoadinPass:<secret>\r\n", "#LoadinPass:<", ">", "secret"},
        {"#LoadinPass:<a>b>", "#LoadinPass:<", ">", "a"},
        {"#LoadinPass:<ok>\r\n#LoadinPass:<broken", "#LoadinPass:<", ">", ""},
        // The closing marker is looked for from where the opening one starts.
        {"<<x>", "<<", "<", ""},
        {"abc", "", ">", ""},
        {"abc", "a", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ExtractBetween(c.text, c.open, c.close), c.expected);
    }
}

TEST(TextAfterAndBeforeMarker, UseTheLastAndTheFirstOccurrence) {
    EXPECT_EQ(TextAfterMarker("#x:1#x:2", "#x:"), "2");
    EXPECT_EQ(TextAfterMarker("width#x:", "#x:"), "");
    EXPECT_EQ(TextAfterMarker("none", "#x:"), "");
    EXPECT_EQ(TextBeforeMarker("Web<|>0<|>1", "<|>"), "Web");
    EXPECT_EQ(TextBeforeMarker("none", "<|>"), "");
    EXPECT_EQ(TextBeforeMarker("\xB0\\x\\", "\\"), "\xB0\\x");
}

}  // namespace
}  // namespace vardex
