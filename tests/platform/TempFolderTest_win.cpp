// The temporary folder on Windows (GetTempPathW) and the private write of a file in it, with
// Chinese names that the ANSI code page (1252 under Wine) cannot hold.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "TempDir.h"
#include "WinTestKit.h"
#include "platform/CodePage.h"
#include "platform/TempFolder.h"

namespace vardex {
namespace {

using testing::ReadFileBytes;
using testing::SystemPath;
using testing::TempDir;

std::wstring Wide(const std::string& utf8) {
    const std::u16string units = *Utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

TEST(PrivateTempFolderWin, IsTheUsersTemporaryFolderWithItsSeparator) {
    TempDir dir;
    const std::string chinese = dir.File(u8"临时 文件");
    std::filesystem::create_directory(SystemPath(chinese));
    struct Case {
        const char* name;
        std::string tmp;
        std::string expected;
    } const cases[] = {
        {"a Chinese name", chinese, chinese + "\\"},
        {"already ending in a separator", chinese + "\\", chinese + "\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::ScopedEnvironment tmp(L"TMP", Wide(c.tmp));
        EXPECT_EQ(PrivateTempFolder(), c.expected);
    }
}

TEST(WritePrivateFileWin, WritesWholeUnderTheChineseName) {
    TempDir dir;
    const std::string path = dir.File(u8"连接 一.rdp");
    ASSERT_TRUE(WritePrivateFile(path, std::string(5000, 'a')).ok);
    EXPECT_TRUE(std::filesystem::is_regular_file(SystemPath(path)));
    ASSERT_TRUE(WritePrivateFile(path, "short").ok);
    EXPECT_EQ(ReadFileBytes(path), "short");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(SystemPath(dir.path())),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(WritePrivateFileWin, SaysWhyNothingWasWritten) {
    TempDir dir;
    std::filesystem::create_directory(SystemPath(dir.File("folder")));
    const std::string held = dir.File("held");
    ASSERT_TRUE(WritePrivateFile(held, "old").ok);
    // Open elsewhere without write sharing, as an editor might hold it.
    HANDLE other = CreateFileW(Wide(held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    struct Case {
        const char* name;
        std::string path;
    } const cases[] = {
        {"a folder", dir.File("folder")},
        {"a missing folder", dir.File("none/file")},
        {"no UTF-8 path", dir.path() + "\\\xFF"},
        {"a file open elsewhere", held},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WriteResult result = WritePrivateFile(c.path, "new");
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.reason.empty());
    }
    CloseHandle(other);
    EXPECT_EQ(ReadFileBytes(held), "old");
}

}  // namespace
}  // namespace vardex
