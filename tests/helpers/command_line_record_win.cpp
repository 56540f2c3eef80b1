// Stands in for the Windows client in tests: records into the folder named by
// %VARDEX_RECORD_FOLDER% its command line as the system gives it (UTF-16LE bytes), the bytes of
// the file named by its first argument, and its run directory (UTF-8); then writes "done".
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/RunDirectory.h"

namespace {

void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main() {
    wchar_t folderName[MAX_PATH * 4];
    const DWORD size = GetEnvironmentVariableW(L"VARDEX_RECORD_FOLDER", folderName,
                                               sizeof folderName / sizeof folderName[0]);
    if (size == 0 || size >= sizeof folderName / sizeof folderName[0]) {
        std::fprintf(stderr, "command_line_record: VARDEX_RECORD_FOLDER is not set\n");
        return 3;
    }
    const std::filesystem::path folder(folderName);

    const wchar_t* line = GetCommandLineW();
    Write(folder / L"cmdline",
          std::string(reinterpret_cast<const char*>(line), wcslen(line) * sizeof(wchar_t)));
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(line, &count);
    if (arguments != nullptr && count > 1) {
        Write(folder / L"file", ReadFile(arguments[1]));
    }
    LocalFree(arguments);
    Write(folder / L"rundir", vardex::RunDirectory());

    Write(folder / L"done.tmp", "done");
    std::filesystem::rename(folder / L"done.tmp", folder / L"done");
    return 0;
}
