// One pass of pings over 1,000 loopback addresses, 127.0.0.1 to 127.0.3.232, one after another as
// the monitor does them, for each means; "per_ping" is the time of one ping.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/Pinger.h"

namespace vardex {
namespace {

constexpr int kAddresses = 1000;

std::vector<std::string> LoopbackAddresses() {
    std::vector<std::string> addresses;
    for (int i = 1; i <= kAddresses; ++i) {
        addresses.push_back("127.0." + std::to_string(i / 256) + "." + std::to_string(i % 256));
    }
    return addresses;
}

void BM_PingLoopbackPass(benchmark::State& state, PingMeans means) {
    auto pinger = MakeSystemPinger(means);
    const std::vector<std::string> addresses = LoopbackAddresses();
    if (pinger->PingHost(addresses.front(), 2000) < 0) {
        state.SkipWithError("this means is refused here");
        return;
    }
    int64_t failed = 0;
    for (auto _ : state) {
        for (const std::string& address : addresses) {
            if (pinger->PingHost(address, 2000) < 0) {
                ++failed;
            }
        }
    }
    state.counters["per_ping"] = benchmark::Counter(
        kAddresses, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["failed"] = static_cast<double>(failed);
}
BENCHMARK_CAPTURE(BM_PingLoopbackPass, automatic, PingMeans::Automatic)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_PingLoopbackPass, datagram, PingMeans::DatagramSocket)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_PingLoopbackPass, raw, PingMeans::RawSocket)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_PingLoopbackPass, program, PingMeans::PingProgram)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace vardex
