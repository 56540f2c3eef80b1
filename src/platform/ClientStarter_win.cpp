// Windows: CreateProcessW of the command line converted from code page 936, then a wait of at
// most a second until the client takes input.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ClientStarter.h"
#include "CodePage.h"

namespace vardex {
namespace {

// The program named first on the command line, read as the system reads it: up to the closing
// quotation mark when it starts with one, else up to the first space or tab.
std::u16string ProgramOf(const std::u16string& line) {
    if (!line.empty() && line[0] == u'"') {
        return line.substr(1, line.find(u'"', 1) - 1);
    }
    return line.substr(0, line.find_first_of(u" \t"));
}

// A program given by its bare name ("mstsc.exe") is the system's own, in the system folder.
// Left to CreateProcessW, the name would be looked up in the current folder before that one,
// so a mstsc.exe that happens to lie there (a downloads folder, say) would run instead.
std::optional<std::wstring> SystemProgramPath(const std::u16string& program) {
    if (program.empty() || program.find_first_of(u"\\/:") != std::u16string::npos) {
        return std::nullopt;
    }
    wchar_t folder[MAX_PATH + 1];
    const UINT size = GetSystemDirectoryW(folder, MAX_PATH + 1);
    if (size == 0 || size > MAX_PATH) {
        return std::nullopt;
    }
    std::wstring path(folder, size);
    path += L'\\';
    path.append(program.begin(), program.end());
    return path;
}

}  // namespace

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
    const std::optional<std::wstring> systemProgram = SystemProgramPath(ProgramOf(*units));
    if (!CreateProcessW(systemProgram ? systemProgram->c_str() : nullptr, line.data(), nullptr,
                        nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
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
