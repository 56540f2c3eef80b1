// The table's identity rules: 1-based indices, serial numbers that follow their record.
#include <gtest/gtest.h>

#include <thread>

#include "store/ServerTable.h"

namespace vardex {
namespace {

ServerRecord Named(const std::string& address) {
    ServerRecord r;
    r.address = address;
    return r;
}

TEST(ServerTable, IndicesAreOneBasedAndDense) {
    ServerTable table;
    EXPECT_EQ(table.Append(Named("A")), 1);
    EXPECT_EQ(table.Append(Named("B")), 2);
    EXPECT_EQ(table.Append(Named("C")), 3);
    table.RemoveAt(2);
    EXPECT_EQ(table.Count(), 2);
    EXPECT_EQ(table.At(2)->address, "C");
    EXPECT_FALSE(table.At(0));
    EXPECT_FALSE(table.At(3));
    table.RemoveAt(7);  // outside: nothing happens
    EXPECT_EQ(table.Count(), 2);
}

TEST(ServerTable, SerialsAreUniqueAndMoveWithTheirRecord) {
    ServerTable table;
    table.Append(Named("A"));
    table.Append(Named("B"));
    const uint64_t a = table.At(1)->serial;
    const uint64_t b = table.At(2)->serial;
    EXPECT_NE(a, b);
    table.SwapAt(1, 2);
    EXPECT_EQ(table.At(1)->address, "B");
    EXPECT_EQ(table.At(1)->serial, b);
    EXPECT_FALSE(table.SetStatusIfSame(1, a, kStatusOnline));
    EXPECT_TRUE(table.SetStatusIfSame(2, a, kStatusOnline));
    EXPECT_EQ(table.At(2)->status, kStatusOnline);
    EXPECT_EQ(table.At(1)->status, kStatusNotPinged);
    // A record appended after a removal never reuses a serial.
    table.RemoveAt(2);
    table.Append(Named("C"));
    EXPECT_NE(table.At(2)->serial, a);
}

TEST(ServerTable, ReplaceKeepsStatusAndSerial) {
    ServerTable table;
    table.Append(Named("A"));
    table.SetStatusAt(1, kStatusOffline);
    const uint64_t serial = table.At(1)->serial;
    table.ReplaceAt(1, "h", "p", "u", "pw", "r", "g");
    const ServerRecord r = *table.At(1);
    EXPECT_EQ(r.address + r.port + r.account + r.password + r.remark + r.group, "hpupwrg");
    EXPECT_EQ(r.status, kStatusOffline);
    EXPECT_EQ(r.serial, serial);
}

TEST(ServerTable, StatusWritesFromAnotherThreadAreSafe) {
    ServerTable table;
    for (int i = 0; i < 100; ++i) {
        table.Append(Named(std::to_string(i)));
    }
    std::thread worker([&table] {
        for (int round = 0; round < 200; ++round) {
            for (int i = 1; i <= table.Count(); ++i) {
                if (auto r = table.At(i)) {
                    table.SetStatusIfSame(i, r->serial, kStatusOnline);
                }
            }
        }
    });
    for (int round = 0; round < 200; ++round) {
        table.SwapAt(1, 2);
        table.Append(Named("x"));
        table.RemoveAt(table.Count());
    }
    worker.join();
    EXPECT_EQ(table.Count(), 100);
}

}  // namespace
}  // namespace vardex
