// libFuzzer target for the INI reader and writer on any file text: a value that is written
// reads back as written (blanks at its ends and a pair of quotes around it dropped, cut at the
// read limit), writing it again changes nothing, and the rest of the file keeps its bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "groups/IniFile.h"
#include "store/GbkText.h"

namespace vardex {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// What a reader sees of a value written as it is.
std::string ValueAsRead(std::string_view value) {
    while (!value.empty() && IsBlank(value.front())) {
        value.remove_prefix(1);
    }
    while (!value.empty() && IsBlank(value.back())) {
        value.remove_suffix(1);
    }
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    size_t cut = 0;
    while (cut < value.size() && NextCharStart(value, cut) <= kMaxIniValueBytes) {
        cut = NextCharStart(value, cut);
    }
    return std::string(value.substr(0, cut));
}

// The lines as a reader sees them: split at LF, without the CR before it or at the very end.
std::vector<std::string_view> LineContents(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
    }
    return lines;
}

// Lines of after beyond those it shares with before at its start and at its end.
std::pair<size_t, size_t> ChangedLines(const std::vector<std::string_view>& before,
                                       const std::vector<std::string_view>& after) {
    const size_t shorter = std::min(before.size(), after.size());
    size_t head = 0;
    while (head < shorter && before[head] == after[head]) {
        ++head;
    }
    size_t tail = 0;
    while (tail < shorter - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    return {before.size() - head - tail, after.size() - head - tail};
}

void CheckWrite(std::string_view before, std::string_view section, std::string_view key,
                std::string_view value) {
    const std::optional<std::string> after = WriteIniValue(before, section, key, value);
    if (!after) {
        return;
    }
    FUZZ_REQUIRE(ReadIniValue(*after, section, key) == ValueAsRead(value));
    const std::optional<std::string> again = WriteIniValue(*after, section, key, value);
    FUZZ_REQUIRE(again && *again == *after);

    // One edit at one place: the old value's bytes on its own line make way for the new ones,
    // or new lines come in whole; every other byte stays.
    const size_t shorter = std::min(before.size(), after->size());
    size_t head = 0;
    while (head < shorter && before[head] == (*after)[head]) {
        ++head;
    }
    size_t tail = 0;
    while (tail < shorter - head &&
           before[before.size() - 1 - tail] == (*after)[after->size() - 1 - tail]) {
        ++tail;
    }
    const std::string_view removed = before.substr(head, before.size() - head - tail);
    const std::string_view added =
        std::string_view(*after).substr(head, after->size() - head - tail);
    FUZZ_REQUIRE(removed.find('\n') == std::string_view::npos);
    FUZZ_REQUIRE(removed.empty() || added.find('\n') == std::string_view::npos);

    // Read as lines: the key's line changes, or its line comes in, with its section's header
    // when that was missing; every other line reads as before.
    const auto [changedBefore, changedAfter] =
        ChangedLines(LineContents(before), LineContents(*after));
    FUZZ_REQUIRE(changedBefore <= 1 && changedAfter >= changedBefore && changedAfter <= 2);
}

}  // namespace
}  // namespace vardex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(12);
    const std::string key = input.ConsumeRandomLengthString(12);
    const std::string value = input.ConsumeRandomLengthString(64);
    const std::string file = input.ConsumeRemainingBytesAsString();
    vardex::CheckWrite(file, section, key, value);
    // The same file with a value past the read limit.
    vardex::CheckWrite(file, section, key, value + std::string(vardex::kMaxIniValueBytes, 'v'));
    return 0;
}
