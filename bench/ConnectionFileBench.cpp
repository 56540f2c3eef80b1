// Building one server's connection file text: the template filled and, with a password, the
// password block protected by the real Linux data protection under a key in a temporary folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "launch/ConnectionFile.h"
#include "platform/KeyFileProtection.h"

namespace vardex {
namespace {

void BM_BuildConnectionText(benchmark::State& state) {
    char folder[] = "/tmp/vardex-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    KeyFileProtection protection(std::string(folder) + "/vardex/protect.key");
    ConnectionFields fields;
    fields.address = "192.168.1.10";
    fields.port = "3389";
    fields.account = "Administrator";
    if (state.range(0) != 0) {
        fields.password = "p@ssw0rd\xC3\xDC\xC2\xEB";  // p@ssw0rd密码
    }
    // The key file is made on first use; that is not what is measured.
    if (!BuildConnectionText(fields, protection).ok() || !protection.Protect("x")) {
        state.SkipWithError("the protection refused");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildConnectionText(fields, protection));
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_BuildConnectionText)
    ->ArgName("password")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vardex
