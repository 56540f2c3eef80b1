// libFuzzer target for the store writer: a table, settings and startup password of fields the
// store can carry read back exactly as they were, and write again to the same bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "StoreRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vardex;
    FuzzedDataProvider input(data, size);
    ServerTable table;
    const int servers = input.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < servers; ++i) {
        ServerRecord r;
        for (std::string* field :
             {&r.address, &r.port, &r.account, &r.password, &r.remark, &r.group}) {
            *field = input.ConsumeRandomLengthString(24);
        }
        table.Append(std::move(r));
    }
    WindowSettings settings;
    settings.admin = input.ConsumeBool();
    settings.resolutionChoice = input.ConsumeIntegralInRange(0, 4);
    settings.customWidth = input.ConsumeRandomLengthString(12);
    settings.customHeight = input.ConsumeRandomLengthString(12);
    const std::string startupPassword = input.ConsumeRandomLengthString(24);
    if (fuzz::Storable(table, settings, startupPassword)) {
        fuzz::CheckStoreRoundTrip(table, settings, startupPassword);
    }
    return 0;
}
