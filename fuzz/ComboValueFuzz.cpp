// libFuzzer target for the combo box value of the group file: any bytes decode to a state that
// encodes and decodes to itself; a state of savable names comes back exactly, through the
// group file's INI line too.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "groups/ComboValue.h"
#include "groups/GroupCatalogue.h"
#include "groups/IniFile.h"
#include "store/GbkText.h"

namespace vardex {
namespace {

bool Same(const ComboState& a, const ComboState& b) {
    return a.items == b.items && a.selection == b.selection && a.text == b.text;
}

void CheckDecodedValue(std::string_view value) {
    const std::optional<ComboState> state = DecodeComboValue(value);
    FUZZ_REQUIRE(state.has_value() == !value.empty());
    if (!state) {
        return;
    }
    FUZZ_REQUIRE(state->selection >= -1 &&
                 state->selection < static_cast<int32_t>(state->items.size()));
    const std::optional<ComboState> again = DecodeComboValue(EncodeComboValue(*state));
    FUZZ_REQUIRE(again && Same(*again, *state));
}

void CheckSavableState(FuzzedDataProvider& input) {
    ComboState state;
    const int items = input.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < items; ++i) {
        state.items.push_back(
            ComboItem{input.ConsumeRandomLengthString(12), input.ConsumeIntegral<int32_t>()});
    }
    state.selection = input.ConsumeIntegralInRange(-1, items - 1);
    state.text = input.ConsumeRandomLengthString(12);
    bool savable = UnsavableGroupNameText(state.text).empty();
    for (const ComboItem& item : state.items) {
        savable = savable && UnsavableGroupNameText(item.name).empty();
    }
    if (!savable) {
        return;
    }
    const std::string value = EncodeComboValue(state);
    FUZZ_REQUIRE(FindText(value, "\"") == std::string_view::npos);
    const std::optional<ComboState> back = DecodeComboValue(value);
    FUZZ_REQUIRE(back && Same(*back, state));

    // The INI line drops blanks at both ends of a value and reads no more than its limit.
    const bool blankAtAnEnd = value.front() == ' ' || value.front() == '\t' ||
                              value.back() == ' ' || value.back() == '\t';
    if (blankAtAnEnd || value.size() > kMaxIniValueBytes) {
        return;
    }
    const std::optional<std::string> file =
        WriteIniValue("", kComboSection, kGroupComboName, value);
    FUZZ_REQUIRE(file);
    const std::optional<ComboState> restored =
        DecodeComboValue(ReadIniValue(*file, kComboSection, kGroupComboName));
    FUZZ_REQUIRE(restored && Same(*restored, state));
}

}  // namespace
}  // namespace vardex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        vardex::CheckSavableState(input);
    } else {
        vardex::CheckDecodedValue(input.ConsumeRemainingBytesAsString());
    }
    return 0;
}
