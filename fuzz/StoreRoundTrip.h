// The store's round trip shared by the store fuzz targets: a table, settings and startup
// password that the store can carry are written, read back unchanged and written again to the
// same bytes.
#pragma once

#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "store/StoreFormat.h"

namespace vardex::fuzz {

inline std::vector<ServerRecord> Records(const ServerTable& table) {
    std::vector<ServerRecord> records;
    table.ForEach([&records](int, const ServerRecord& r) { records.push_back(r); });
    return records;
}

inline bool SameStoredFields(const ServerRecord& a, const ServerRecord& b) {
    return a.address == b.address && a.port == b.port && a.account == b.account &&
           a.password == b.password && a.remark == b.remark && a.group == b.group;
}

inline bool Storable(const ServerTable& table, const WindowSettings& settings,
                     std::string_view startupPassword) {
    bool storable = UnstorableTextIn(settings.customWidth).empty() &&
                    UnstorableTextIn(settings.customHeight).empty() &&
                    UnstorablePasswordTextIn(startupPassword).empty();
    table.ForEach([&storable](int, const ServerRecord& r) {
        for (const std::string* field :
             {&r.address, &r.port, &r.account, &r.password, &r.remark, &r.group}) {
            storable = storable && UnstorableTextIn(*field).empty();
        }
    });
    return storable;
}

inline void CheckStoreRoundTrip(const ServerTable& table, const WindowSettings& settings,
                                const std::string& startupPassword) {
    const std::string written = BuildStorePlaintext(table, settings, startupPassword);
    ServerTable readBack;
    WindowSettings readSettings;
    readSettings.Apply(ApplyStore(written, readBack));

    const std::vector<ServerRecord> before = Records(table);
    const std::vector<ServerRecord> after = Records(readBack);
    FUZZ_REQUIRE(after.size() == before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        FUZZ_REQUIRE(SameStoredFields(before[i], after[i]));
        FUZZ_REQUIRE(after[i].status == kStatusNotPinged);
    }
    // No resolution chosen writes no line, so the next start shows the default one.
    WindowSettings expected = settings;
    if (expected.resolutionChoice == 0) {
        expected.resolutionChoice = WindowSettings{}.resolutionChoice;
    }
    FUZZ_REQUIRE(readSettings.admin == expected.admin);
    FUZZ_REQUIRE(readSettings.resolutionChoice == expected.resolutionChoice);
    FUZZ_REQUIRE(readSettings.customWidth == expected.customWidth);
    FUZZ_REQUIRE(readSettings.customHeight == expected.customHeight);
    FUZZ_REQUIRE(StartupPasswordIn(written) == startupPassword);

    const std::string again = BuildStorePlaintext(readBack, readSettings, startupPassword);
    FUZZ_REQUIRE(again == BuildStorePlaintext(table, expected, startupPassword));
    FUZZ_REQUIRE(settings.resolutionChoice == 0 || again == written);
}

}  // namespace vardex::fuzz
