#include "ComboValue.h"

#include <limits>

#include "store/GbkText.h"
#include "store/TextMarkers.h"

namespace vardex {

std::string EncodeComboValue(const ComboState& state) {
    std::string value;
    for (const ComboItem& item : state.items) {
        value += item.name;
        value += kItemMarker;
        value += std::to_string(item.value);
        value += kPartSeparator;
    }
    value += std::to_string(state.selection);
    value += kItemMarker;
    value += state.text;
    return ReplaceAllText(value, "\"", kQuoteEscape);
}

std::optional<ComboState> DecodeComboValue(std::string_view value) {
    const std::string unescaped = ReplaceAllText(value, kQuoteEscape, "\"");
    if (unescaped.empty()) {
        return std::nullopt;
    }
    ComboState state;
    const std::vector<std::string_view> parts = SplitText(unescaped, kPartSeparator);
    if (parts.empty()) {
        return state;
    }
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        state.items.push_back(ComboItem{TextBeforeMarker(parts[i], kItemMarker),
                                        LeadingNumber(TextAfterMarker(parts[i], kItemMarker))});
    }
    const std::string_view last = parts.back();
    const int32_t stored = LeadingNumber(TextBeforeMarker(last, kItemMarker));
    const auto count = static_cast<int32_t>(state.items.size());
    state.selection = stored < -1 ? -1 : stored > count - 1 ? count - 1 : stored;
    state.text = TextAfterMarker(last, kItemMarker);
    return state;
}

int32_t LeadingNumber(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Past 2^31 the number is out of range anyway; stop growing so that it cannot overflow.
    constexpr int64_t kOutOfRange = int64_t{1} << 31;
    int64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        if (magnitude <= kOutOfRange) {
            magnitude = magnitude * 10 + (text[pos] - '0');
        }
    }
    const int64_t number = negative ? -magnitude : magnitude;
    constexpr int64_t kLowest = std::numeric_limits<int32_t>::min();
    constexpr int64_t kHighest = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(number < kLowest ? kLowest : number > kHighest ? kHighest : number);
}

}  // namespace vardex
