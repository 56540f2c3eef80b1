// Windows: CreateProcessW of the command line converted from code page 936, then a wait of at
// most a second until the client takes input.
#include <windows.h>

#include <vector>

#include "ClientStarter.h"
#include "CodePage.h"

namespace vardex {

ClientStartResult StartClient(std::string_view commandLine, DataProtection&) {
    ClientStartResult result;
    result.clientName = "mstsc.exe";
    const auto units = GbkToUtf16(commandLine);
    if (!units || units->empty()) {
        result.problem = ClientStartProblem::CommandLineUnusable;
        result.reason = "the command line is no GBK text";
        return result;
    }
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> line(units->begin(), units->end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        const DWORD error = GetLastError();
        result.problem = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                             ? ClientStartProblem::ClientMissing
                             : ClientStartProblem::SystemRefused;
        result.reason = "CreateProcessW failed: error " + std::to_string(error);
        return result;
    }
    WaitForInputIdle(process.hProcess, 1000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    result.started = true;
    result.processId = static_cast<long>(process.dwProcessId);
    return result;
}

}  // namespace vardex
