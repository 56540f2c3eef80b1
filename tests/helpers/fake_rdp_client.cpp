// Stands in for FreeRDP in tests: records its arguments, its command line and environment as
// the system shows them, and its standard input into the folder $VARDEX_FAKE_CLIENT_RECORD,
// then writes "done" there and ends.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(std::istream& in) {
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Read(in);
}

}  // namespace

int main(int argc, char** argv) {
    const char* record = std::getenv("VARDEX_FAKE_CLIENT_RECORD");
    if (record == nullptr) {
        std::fprintf(stderr, "fake_rdp_client: VARDEX_FAKE_CLIENT_RECORD is not set\n");
        return 3;
    }
    const std::string folder = record;
    std::string arguments;
    for (int i = 0; i < argc; ++i) {
        arguments += argv[i];
        arguments += '\0';
    }
    Write(folder + "/args", arguments);
    Write(folder + "/cmdline", ReadFile("/proc/self/cmdline"));
    Write(folder + "/environ", ReadFile("/proc/self/environ"));
    std::cin >> std::noskipws;
    Write(folder + "/stdin", Read(std::cin));
    Write(folder + "/done.tmp", "done");
    std::filesystem::rename(folder + "/done.tmp", folder + "/done");
    return 0;
}
