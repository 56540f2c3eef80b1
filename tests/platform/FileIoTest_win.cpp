// The atomic replace on Windows: Chinese file names whatever the ANSI code page, and a replace
// that the system refuses leaves the old file whole and no temporary file behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "TempDir.h"
#include "platform/CodePage.h"
#include "platform/FileIo.h"

namespace vardex {
namespace {

using testing::ReadFileBytes;
using testing::SystemPath;
using testing::TempDir;

std::wstring Wide(const std::string& utf8) {
    const std::u16string units = *Utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

long FilesIn(const std::string& folder) {
    return static_cast<long>(std::distance(std::filesystem::directory_iterator(SystemPath(folder)),
                                           std::filesystem::directory_iterator()));
}

TEST(FileIoWin, ReplacesAndReadsUnderAChineseName) {
    TempDir dir;
    const std::string path = dir.File(u8"服务器.ini");
    EXPECT_TRUE(IsMissingFile(path));
    ASSERT_TRUE(WriteWholeFileAtomic(path, "first", FileAccess::OwnerOnly).ok);
    ASSERT_TRUE(WriteWholeFileAtomic(path, "second", FileAccess::OwnerOnly).ok);
    EXPECT_EQ(ReadFileBytes(path), "second") << "not written under the Chinese name";
    EXPECT_EQ(ReadWholeFile(path), "second");
    EXPECT_FALSE(IsMissingFile(path));
    EXPECT_TRUE(IsMissingFile(dir.File(u8"服务.ini")));
    EXPECT_EQ(FilesIn(dir.path()), 1);
}

TEST(FileIoWin, ARefusedReplaceKeepsTheOldFileAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.File("ms.ini");
    ASSERT_TRUE(WriteWholeFileAtomic(path, "old", FileAccess::OwnerOnly).ok);
    // Open elsewhere without delete sharing, as an editor or a virus scanner might hold it.
    HANDLE other = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const WriteResult result = WriteWholeFileAtomic(path, "new", FileAccess::OwnerOnly);
    CloseHandle(other);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.reason.find("rename"), std::string::npos) << result.reason;
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(FilesIn(dir.path()), 1);
}

// Made empty, such a path would name the current folder.
TEST(FileIoWin, APathThatIsNoUtf8IsRefused) {
    TempDir dir;
    const std::string path = dir.path() + "\\\xFF";
    const WriteResult result = WriteWholeFileAtomic(path, "x", FileAccess::OwnerOnly);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(ReadWholeFile(path), std::nullopt);
    EXPECT_FALSE(IsMissingFile(path)) << "nothing could be made there";
    EXPECT_EQ(FilesIn(dir.path()), 0);
}

}  // namespace
}  // namespace vardex
