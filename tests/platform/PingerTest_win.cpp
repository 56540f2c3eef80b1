// The Windows pinger against real ICMP on loopback (icmp.dll; under Wine as well).
#include <gtest/gtest.h>

#include <string>

#include "platform/Pinger.h"

namespace vardex {
namespace {

TEST(PingerWin, AnswersOnLoopbackInEveryAddressForm) {
    auto pinger = MakeSystemPinger();
    for (const char* host : {"127.0.0.1", "127.1", "127.0.3.232", "localhost"}) {
        SCOPED_TRACE(host);
        const int ms = pinger->PingHost(host, 2000);
        EXPECT_GE(ms, 0);
        EXPECT_LE(ms, 50);
    }
}

// An empty name would resolve to this computer and show the row online.
TEST(PingerWin, RefusesEmptyTextsAndTextsThatANulWouldCutShort) {
    auto pinger = MakeSystemPinger();
    for (const std::string& host : {std::string(), std::string("127.0.0.1\0x", 11)}) {
        SCOPED_TRACE(host.size());
        EXPECT_EQ(pinger->PingHost(host, 2000), -1);
    }
}

TEST(PingerWin, CancelStopsEveryLaterPing) {
    auto pinger = MakeSystemPinger();
    ASSERT_GE(pinger->PingHost("127.0.0.1", 2000), 0);
    pinger->Cancel();
    EXPECT_EQ(pinger->PingHost("127.0.0.1", 2000), -1);
}

}  // namespace
}  // namespace vardex
