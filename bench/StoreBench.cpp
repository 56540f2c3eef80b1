// Loading and saving the store at 1,000, 10,000 and 100,000 servers.
#include <benchmark/benchmark.h>

#include "BenchServers.h"
#include "store/Rc4Crypt.h"
#include "store/StoreFormat.h"

namespace vardex {
namespace {

// From file bytes to table and settings, as at start.
void BM_LoadStore(benchmark::State& state) {
    ServerTable source;
    bench::FillTable(source, static_cast<int>(state.range(0)));
    const std::string file = Rc4Crypt(BuildStorePlaintext(source, WindowSettings{}, ""), kStoreKey);
    for (auto _ : state) {
        ServerTable table;
        const std::string bytes = Rc4Crypt(file, kStoreKey);
        benchmark::DoNotOptimize(StartupPasswordIn(bytes));
        benchmark::DoNotOptimize(ApplyStore(bytes, table));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_LoadStore)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// From table to enciphered bytes; the atomic write itself is the disk's business.
void BM_SaveStore(benchmark::State& state) {
    ServerTable table;
    bench::FillTable(table, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            Rc4Crypt(BuildStorePlaintext(table, WindowSettings{}, ""), kStoreKey));
    }
}
BENCHMARK(BM_SaveStore)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vardex
