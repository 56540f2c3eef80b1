// libFuzzer target for the GBK text routines, with markers made of whole characters: pieces
// and finds start at character starts only, splits join back to the text, and what is
// extracted between markers is made of pieces of the text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "store/GbkText.h"
#include "store/TextMarkers.h"

namespace vardex {
namespace {

constexpr size_t npos = std::string_view::npos;

// Whole characters only: a lead byte is always followed by the byte that completes it.
std::string WholeCharacters(FuzzedDataProvider& input, size_t maxCharacters) {
    std::string text;
    const size_t characters = input.ConsumeIntegralInRange<size_t>(0, maxCharacters);
    for (size_t i = 0; i < characters; ++i) {
        const char c = input.ConsumeIntegral<char>();
        text += c;
        if (IsLeadByte(c)) {
            text += input.ConsumeIntegral<char>();
        }
    }
    return text;
}

// The character starts of text, found by walking it from the front, and its end.
std::vector<bool> CharacterStarts(std::string_view text) {
    std::vector<bool> starts(text.size() + 1, false);
    for (size_t pos = 0; pos < text.size(); pos = NextCharStart(text, pos)) {
        starts[pos] = true;
    }
    starts[text.size()] = true;
    return starts;
}

// Every place where needle stands at a character start, overlapping ones included.
std::vector<size_t> Occurrences(std::string_view text, std::string_view needle) {
    std::vector<size_t> found;
    if (needle.empty()) {
        return found;
    }
    const std::vector<bool> starts = CharacterStarts(text);
    for (size_t pos = 0; pos + needle.size() <= text.size(); ++pos) {
        if (starts[pos] && text.compare(pos, needle.size(), needle) == 0) {
            found.push_back(pos);
        }
    }
    return found;
}

size_t FirstAtOrAfter(const std::vector<size_t>& positions, size_t from) {
    for (const size_t pos : positions) {
        if (pos >= from) {
            return pos;
        }
    }
    return npos;
}

void CheckSplit(std::string_view text, std::string_view separator) {
    const std::vector<std::string_view> pieces = SplitText(text, separator);
    if (text.empty()) {
        FUZZ_REQUIRE(pieces.empty());
        return;
    }
    if (separator.empty()) {
        FUZZ_REQUIRE(pieces.size() == 1 && pieces[0] == text);
        return;
    }
    const std::vector<bool> starts = CharacterStarts(text);
    std::string joined;
    size_t expectedStart = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const size_t start = static_cast<size_t>(pieces[i].data() - text.data());
        FUZZ_REQUIRE(start == expectedStart);
        FUZZ_REQUIRE(start + pieces[i].size() <= text.size());
        FUZZ_REQUIRE(starts[start]);
        FUZZ_REQUIRE(FindText(pieces[i], separator) == npos);
        if (i > 0) {
            joined += separator;
        }
        joined += pieces[i];
        expectedStart = start + pieces[i].size() + separator.size();
    }
    // Only an empty piece after the last separator is dropped.
    if (joined.size() != text.size()) {
        joined += separator;
    }
    FUZZ_REQUIRE(joined == text);
}

void CheckExtractBetween(std::string_view text, std::string_view open, std::string_view close) {
    const std::vector<size_t> opens = Occurrences(text, open);
    const std::vector<size_t> closes = Occurrences(text, close);
    std::vector<std::string_view> between;
    for (size_t at = FirstAtOrAfter(opens, 0); at != npos;) {
        const size_t closeAt = FirstAtOrAfter(closes, at);
        if (closeAt == npos) {
            between.clear();
            break;
        }
        const size_t from = at + open.size();
        between.push_back(closeAt > from ? text.substr(from, closeAt - from) : std::string_view());
        at = FirstAtOrAfter(opens, closeAt + close.size());
    }
    std::string expected;
    for (size_t i = 0; i < between.size(); ++i) {
        expected += i > 0 ? "||" : "";
        expected += between[i];
    }
    FUZZ_REQUIRE(ExtractBetween(text, open, close) == expected);
}

void CheckMarkers(std::string_view text, std::string_view marker) {
    const std::vector<size_t> found = Occurrences(text, marker);
    const std::string after = TextAfterMarker(text, marker);
    const std::string before = TextBeforeMarker(text, marker);
    if (found.empty()) {
        FUZZ_REQUIRE(after.empty() && before.empty());
        FUZZ_REQUIRE(FindText(text, marker) == npos && FindLastText(text, marker) == npos);
        return;
    }
    FUZZ_REQUIRE(FindText(text, marker) == found.front());
    FUZZ_REQUIRE(FindLastText(text, marker) == found.back());
    FUZZ_REQUIRE(after == text.substr(found.back() + marker.size()));
    FUZZ_REQUIRE(before == text.substr(0, found.front()));
}

void CheckReplaceAll(std::string_view text, std::string_view needle, std::string_view replacement) {
    std::string expected;
    const std::vector<std::string_view> pieces = SplitText(text, needle);
    size_t covered = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) {
            expected += replacement;
            covered += needle.size();
        }
        expected += pieces[i];
        covered += pieces[i].size();
    }
    if (covered < text.size()) {
        expected += replacement;  // the needle that ended the text
    }
    FUZZ_REQUIRE(ReplaceAllText(text, needle, replacement) == expected);
}

}  // namespace
}  // namespace vardex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vardex;
    FuzzedDataProvider input(data, size);
    const std::string open = WholeCharacters(input, 3);
    const std::string close = WholeCharacters(input, 3);
    const std::string replacement = input.ConsumeRandomLengthString(4);
    const std::string text = input.ConsumeRemainingBytesAsString();
    CheckSplit(text, open);
    CheckExtractBetween(text, open, close);
    CheckMarkers(text, open);
    CheckReplaceAll(text, open, replacement);
    return 0;
}
