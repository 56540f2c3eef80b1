// The whole program from exec to its main window mapped on the X display, with a store of
// 10,000 loopback servers in its run directory, and the process's peak memory
// ("peak_memory_MB"), with the median of ten starts ("median_ms"). Needs an X display:
// scripts/bench.sh runs it on Xvfb.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "BenchServers.h"
#include "platform/FileIo.h"
#include "store/Rc4Crypt.h"
#include "store/StoreFormat.h"

extern char** environ;

namespace vardex {
namespace {

constexpr int kServers = 10000;
using Clock = std::chrono::steady_clock;

// Every server on loopback: the program pings each one as soon as its window is up.
std::string StoreFileBytes() {
    ServerTable table;
    bench::FillTable(table, kServers);
    return Rc4Crypt(BuildStorePlaintext(table, WindowSettings{}, ""), kStoreKey);
}

bool IsMainWindow(Display* display, Window window) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* name = nullptr;
    if (XGetWindowProperty(display, window, XA_WM_NAME, 0, 64, False, AnyPropertyType, &type,
                           &format, &items, &after, &name) != Success ||
        name == nullptr) {
        return false;
    }
    const bool main = format == 8 && std::string(reinterpret_cast<char*>(name), items) == "Vardex";
    XFree(name);
    return main;
}

// Waits for a MapNotify of the window captioned "Vardex" among the root's children.
bool WaitForMainWindow(Display* display, Clock::time_point deadline) {
    const int connection = ConnectionNumber(display);
    while (Clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && IsMainWindow(display, event.xmap.window)) {
                return true;
            }
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(connection, &readable);
        timeval wait{0, 10000};
        select(connection + 1, &readable, nullptr, nullptr, &wait);
    }
    return false;
}

void BM_StartToWindowShown(benchmark::State& state) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        state.SkipWithError("no X display (run it on Xvfb, as scripts/bench.sh does)");
        return;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    char folder[] = "/tmp/vardex-start-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        state.SkipWithError("no temporary folder");
        XCloseDisplay(display);
        return;
    }
    std::string program = std::string(folder) + "/vardex";
    std::filesystem::copy_file(VARDEX_PATH, program);
    const std::string store = StoreFileBytes();

    long peakKilobytes = 0;
    std::vector<double> seconds;
    for (auto _ : state) {
        // Each start finds the same files: the last one saved on closing.
        std::filesystem::remove(std::string(folder) + "/ms.ini.bak");
        std::filesystem::remove(std::string(folder) + "/fz.ini");
        if (!WriteWholeFileAtomic(std::string(folder) + "/ms.ini", store, FileAccess::OwnerOnly)
                 .ok) {
            state.SkipWithError("the store could not be written");
            break;
        }
        XSync(display, True);  // events of the last start are dropped

        const Clock::time_point start = Clock::now();
        char* argv[] = {program.data(), nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("the program could not be started");
            break;
        }
        const bool shown = WaitForMainWindow(display, start + std::chrono::seconds(20));
        const Clock::duration elapsed = Clock::now() - start;

        kill(pid, SIGTERM);
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        peakKilobytes = std::max(peakKilobytes, usage.ru_maxrss);
        if (!shown) {
            state.SkipWithError("no main window within 20 s");
            break;
        }
        seconds.push_back(std::chrono::duration<double>(elapsed).count());
        state.SetIterationTime(seconds.back());
    }
    // The median of the starts, which a busy moment of the machine does not move.
    if (!seconds.empty()) {
        std::nth_element(seconds.begin(), seconds.begin() + seconds.size() / 2, seconds.end());
        state.counters["median_ms"] = seconds[seconds.size() / 2] * 1e3;
    }
    state.counters["peak_memory_MB"] = static_cast<double>(peakKilobytes) / 1024.0;
    std::filesystem::remove_all(folder);
    XCloseDisplay(display);
}
BENCHMARK(BM_StartToWindowShown)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

}  // namespace
}  // namespace vardex
