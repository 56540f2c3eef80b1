// The per-host device value: 76 when missing, never changed, split at the last backslash.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "launch/LocalDevices.h"

namespace vardex {
namespace {

const std::string kKey = "Software\\Microsoft\\Terminal Server Client\\LocalDevices";

class FakeRegistry : public Registry {
public:
    ValueLookup FindValue(std::string_view key, std::string_view name) override {
        ++lookups;
        if (failLookups) {
            return {RegistryStatus::Failed, false};
        }
        return {RegistryStatus::Ok, values.count({std::string(key), std::string(name)}) > 0};
    }
    RegistryStatus SetDwordValue(std::string_view key, std::string_view name,
                                 uint32_t data) override {
        values[{std::string(key), std::string(name)}] = data;
        return RegistryStatus::Ok;
    }

    std::map<std::pair<std::string, std::string>, uint32_t> values;
    bool failLookups = false;
    int lookups = 0;
};

TEST(EnsureLocalDevicesValue, WritesOnlyAMissingValue) {
    struct Case {
        const char* name;
        std::string address;
        std::map<std::pair<std::string, std::string>, uint32_t> before;
        LocalDevicesOutcome outcome;
        std::map<std::pair<std::string, std::string>, uint32_t> after;
    };
    const Case cases[] = {
        {"missing value becomes 76",
         "192.168.1.10",
         {},
         LocalDevicesOutcome::Written,
         {{{kKey, "192.168.1.10"}, 76}}},
        {"existing value of any data is left",
         "192.168.1.10",
         {{{kKey, "192.168.1.10"}, 13}},
         LocalDevicesOutcome::AlreadyThere,
         {{{kKey, "192.168.1.10"}, 13}}},
        {"other hosts do not count",
         "10.0.0.2",
         {{{kKey, "10.0.0.1"}, 76}},
         LocalDevicesOutcome::Written,
         {{{kKey, "10.0.0.1"}, 76}, {{kKey, "10.0.0.2"}, 76}}},
        {"empty address is the unnamed value",
         "",
         {},
         LocalDevicesOutcome::Written,
         {{{kKey, ""}, 76}}},
        {"split at the last backslash",
         "a\\b\\host",
         {},
         LocalDevicesOutcome::Written,
         {{{kKey + "\\a\\b", "host"}, 76}}},
        {"a GBK trail byte 0x5C is no backslash",
         "\x81\x5Chost",
         {},
         LocalDevicesOutcome::Written,
         {{{kKey, "\x81\x5Chost"}, 76}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegistry registry;
        registry.values = c.before;
        EXPECT_EQ(EnsureLocalDevicesValue(registry, c.address), c.outcome);
        EXPECT_EQ(registry.values, c.after);
    }
}

TEST(EnsureLocalDevicesValue, WritesNothingWhenItCannotTellWhetherTheValueExists) {
    FakeRegistry registry;
    registry.failLookups = true;
    EXPECT_EQ(EnsureLocalDevicesValue(registry, "host"), LocalDevicesOutcome::Failed);
    EXPECT_TRUE(registry.values.empty());
}

}  // namespace
}  // namespace vardex
