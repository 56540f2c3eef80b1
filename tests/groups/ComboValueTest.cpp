// The combo box value of the group file: building it, reading it back, and damaged values.
#include <gtest/gtest.h>

#include <limits>

#include "groups/ComboValue.h"

namespace vardex {
namespace {

const std::string kAll = "\xCB\xF9\xD3\xD0\xB7\xD6\xD7\xE9";  // 所有分组
const std::string kQuote = "#\xD2\xFD\xBA\xC5";               // #引号

TEST(ComboValue, EncodesItemsThenSelectionAndText) {
    const ComboState state{{{kAll, 0}, {"Web", 0}, {"DB", 0}, {"Mail", 0}}, 2, "DB"};
    EXPECT_EQ(EncodeComboValue(state), kAll + "<|>0<||>Web<|>0<||>DB<|>0<||>Mail<|>0<||>2<|>DB");
    EXPECT_EQ(EncodeComboValue(ComboState{{}, -1, ""}), "-1<|>");
    EXPECT_EQ(EncodeComboValue(ComboState{{{"a", -7}}, 0, "a"}), "a<|>-7<||>0<|>a");
}

TEST(ComboValue, AQuoteIsWrittenEscapedAndComesBack) {
    const ComboState state{{{kAll, 0}, {"say \"hi\"", 5}}, 1, "say \"hi\""};
    const std::string value = EncodeComboValue(state);
    EXPECT_EQ(value.find('"'), std::string::npos);
    EXPECT_EQ(value, kAll + "<|>0<||>say " + kQuote + "hi" + kQuote + "<|>5<||>1<|>say " + kQuote +
                         "hi" + kQuote);
    const auto back = DecodeComboValue(value);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->items, state.items);
    EXPECT_EQ(back->selection, 1);
    EXPECT_EQ(back->text, state.text);
}

TEST(ComboValue, AnEmptyValueLeavesTheComboBoxAsItIs) {
    EXPECT_FALSE(DecodeComboValue(""));
}

TEST(ComboValue, DecodesWhatItCanOfEveryValue) {
    struct Case {
        const char* name;
        std::string value;
        std::vector<ComboItem> items;
        int32_t selection;
        std::string text;
    } const cases[] = {
        {"initial", kAll + "<|>0<||>0<|>" + kAll, {{kAll, 0}}, 0, kAll},
        {"after a delete",
         kAll + "<|>0<||>Web<|>0<||>Mail<|>0<||>-1<|>",
         {{kAll, 0}, {"Web", 0}, {"Mail", 0}},
         -1,
         ""},
        {"selection past the end",
         "a<|>0<||>b<|>0<||>c<|>0<||>d<|>0<||>99<|>x",
         {{"a", 0}, {"b", 0}, {"c", 0}, {"d", 0}},
         3,
         "x"},
        {"selection below -1", "a<|>0<||>-5<|>", {{"a", 0}}, -1, ""},
        {"selection not a number", "a<|>0<||>b<|>0<||>x<|>b", {{"a", 0}, {"b", 0}}, 0, "b"},
        {"selection with trailing junk", "a<|>0<||>b<|>0<||> 1z<|>b", {{"a", 0}, {"b", 0}}, 1, "b"},
        {"no items, selection 0", "0<|>", {}, -1, ""},
        {"items without a marker", "Web<||>DB<|>x<||>1<|>DB", {{"", 0}, {"DB", 0}}, 1, "DB"},
        {"empty parts in between", "<||><||>0<|>", {{"", 0}, {"", 0}}, 0, ""},
        {"item value after the last marker", "a<|>b<|>12<||>0<|>a", {{"a", 12}}, 0, "a"},
        {"trailing separator dropped", "a<|>3<||>b<|>4<||>", {{"a", 3}}, 0, "4"},
        {"last part without marker", "a<|>0<||>0", {{"a", 0}}, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto state = DecodeComboValue(c.value);
        ASSERT_TRUE(state);
        EXPECT_EQ(state->items, c.items);
        EXPECT_EQ(state->selection, c.selection);
        EXPECT_EQ(state->text, c.text);
    }
}

TEST(ComboValue, ReadsNumbersAsAtoiDoes) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    struct Case {
        std::string text;
        int32_t number;
    } const cases[] = {
        {"42", 42},
        {"-1", -1},
        {"+7", 7},
        {" \t\r\n12", 12},
        {"3x", 3},
        {"12 3", 12},
        {"", 0},
        {"x1", 0},
        {"- 5", 0},
        {"--5", 0},
        {"\xB9\xA4", 0},
        {"2147483647", kMax},
        {"2147483648", kMax},
        {"99999999999999999999", kMax},
        {"-2147483648", kMin},
        {"-2147483649", kMin},
        {"-99999999999999999999", kMin},
        {"007", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(LeadingNumber(c.text), c.number);
    }
}

}  // namespace
}  // namespace vardex
