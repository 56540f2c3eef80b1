// Marks itself as running under a name given in hex, says so on standard output, and holds
// the mark until its standard input ends or it is killed.
#include <cstdio>
#include <string>

#include "platform/InstanceMarker.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: instance_marker_hold <name in hex>\n");
        return 2;
    }
    const std::string hex = argv[1];
    std::string name;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        name.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    std::puts(vardex::MarkInstanceRunning(name) ? "marked" : "refused");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
