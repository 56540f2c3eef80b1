// libFuzzer target for the store reader: any bytes, taken as the deciphered store and as the
// file itself, are read without failing; what is read is written and read back unchanged
// wherever the store can carry it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "StoreRoundTrip.h"
#include "store/Rc4Crypt.h"

namespace {

void ReadWriteRead(std::string_view storeBytes) {
    using namespace vardex;
    ServerTable table;
    WindowSettings settings;
    settings.Apply(ApplyStore(storeBytes, table));
    const std::string startupPassword = StartupPasswordIn(storeBytes);
    FUZZ_REQUIRE(settings.resolutionChoice >= 0 && settings.resolutionChoice <= 4);
    if (fuzz::Storable(table, settings, startupPassword)) {
        fuzz::CheckStoreRoundTrip(table, settings, startupPassword);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ReadWriteRead(bytes);
    const std::string deciphered = vardex::Rc4Crypt(bytes, vardex::kStoreKey);
    FUZZ_REQUIRE(deciphered.size() == bytes.size());
    FUZZ_REQUIRE(vardex::Rc4Crypt(deciphered, vardex::kStoreKey) == bytes);
    ReadWriteRead(deciphered);
    return 0;
}
