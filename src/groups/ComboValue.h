// A combo box's items, selection and text, and the one-line value that the group file keeps of
// them: "name<|>value<||>" for every item, then "selection<|>text", every '"' written as "#引号".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vardex {

inline constexpr std::string_view kItemMarker = "<|>";
inline constexpr std::string_view kPartSeparator = "<||>";
inline constexpr std::string_view kQuoteEscape = "#\xD2\xFD\xBA\xC5";  // #引号

struct ComboItem {
    std::string name;
    int32_t value = 0;  // carried through the file; nothing gives it a meaning
};

inline bool operator==(const ComboItem& a, const ComboItem& b) {
    return a.name == b.name && a.value == b.value;
}

struct ComboState {
    std::vector<ComboItem> items;
    int32_t selection = -1;  // 0-based; -1 when nothing is selected
    std::string text;        // the current text; empty when nothing is selected
};

std::string EncodeComboValue(const ComboState& state);

// nullopt for an empty value: the combo box is then left as it is. Anything else is applied as
// far as it goes: an item without "<|>" has an empty name and value 0, a selection that is not a
// number is 0, and the selection is clamped into -1 .. item count - 1.
std::optional<ComboState> DecodeComboValue(std::string_view value);

// The number at the start of text as the C library's atoi reads it: white space, an optional
// sign, then digits up to the first other character; 0 when there are no digits. A number
// beyond the 32-bit range gives the nearest end of the range.
int32_t LeadingNumber(std::string_view text);

}  // namespace vardex
