// Pings hosts with the system pinger and prints "<result> <elapsed ms>" per host, as its Linux
// namesake does; run by the offline test inside a network namespace under Wine.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Pinger.h"

int main(int argc, char** argv) {
    int timeoutMs = 2000;
    int first = 1;
    if (argc > 2 && std::string(argv[1]) == "--timeout") {
        timeoutMs = std::atoi(argv[2]);
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: ping_probe [--timeout MS] host...\n");
        return 2;
    }
    auto pinger = vardex::MakeSystemPinger();
    for (int i = first; i < argc; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const int result = pinger->PingHost(argv[i], timeoutMs);
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        std::printf("%d %lld\n", result, static_cast<long long>(elapsed.count()));
        std::fflush(stdout);
    }
    return 0;
}
