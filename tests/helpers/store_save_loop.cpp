// Saves two different large stores to a path, alternately and without end, so that a test can
// kill it in the middle of a save.
#include <cstdio>
#include <string>

#include "store/ProgramState.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: store_save_loop <folder>\n");
        return 2;
    }
    vardex::ProgramState state(argv[1]);
    state.LoadStoreAtStart();
    for (int i = 0; i < 20000; ++i) {
        vardex::ServerRecord r;
        r.address = "10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256);
        r.port = "3389";
        r.remark = std::string(200, 'r');
        state.table.Append(r);
    }
    vardex::WindowSettings settings;
    for (unsigned round = 0;; ++round) {
        settings.customWidth = std::to_string(round % 2);
        if (!state.SaveStore(settings).ok()) {
            return 1;
        }
        std::puts("saved");
        std::fflush(stdout);
    }
}
