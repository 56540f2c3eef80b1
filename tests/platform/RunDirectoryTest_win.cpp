// The run directory of a real program copied into a folder with a Chinese name and a space:
// GetModuleFileNameW, so that the name survives an ANSI code page without Chinese.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "TempDir.h"
#include "WinTestKit.h"
#include "platform/CodePage.h"
#include "platform/RunDirectory.h"

namespace vardex {
namespace {

using testing::SystemPath;

std::wstring Wide(const std::string& utf8) {
    const std::u16string units = *Utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

TEST(RunDirectoryWin, IsTheFolderOfTheProgramFile) {
    testing::TempDir dir;
    const std::string folder = dir.File(u8"工具 箱");
    const std::string record = dir.File("record");
    std::filesystem::create_directory(SystemPath(folder));
    std::filesystem::create_directory(SystemPath(record));
    const std::string program = folder + "\\" + u8"程序.exe";
    std::filesystem::copy_file(SystemPath(COMMAND_LINE_RECORD_PATH), SystemPath(program));

    testing::ScopedEnvironment recordFolder(L"VARDEX_RECORD_FOLDER", Wide(record));
    std::wstring line = L"\"" + Wide(program) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_TRUE(testing::WaitForRecord(SystemPath(record)));
    EXPECT_EQ(testing::ReadFileBytes(record + "\\rundir"), folder);
    EXPECT_EQ(JoinPath(folder, "ms.ini"), folder + "\\ms.ini");
}

}  // namespace
}  // namespace vardex
