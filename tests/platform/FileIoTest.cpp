// Whole-file read and the atomic replace.
#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.h"
#include "platform/FileIo.h"
#include "platform/RunDirectory.h"

namespace vardex {
namespace {

using testing::TempDir;

TEST(FileIo, ReplacesWholeAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.File("data");
    EXPECT_FALSE(ReadWholeFile(path));
    const std::string big(3 * 65536 + 17, '\xA5');
    ASSERT_TRUE(WriteWholeFileAtomic(path, big, FileAccess::OwnerOnly).ok);
    EXPECT_EQ(ReadWholeFile(path), big);
    ASSERT_TRUE(WriteWholeFileAtomic(path, std::string("a\0b", 3), FileAccess::Everyone).ok);
    EXPECT_EQ(ReadWholeFile(path), std::string("a\0b", 3));
    ASSERT_TRUE(WriteWholeFileAtomic(path, "", FileAccess::Everyone).ok);
    EXPECT_EQ(ReadWholeFile(path), std::string());
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(FileIo, AFailedWriteSaysWhyAndKeepsTheOldFile) {
    TempDir dir;
    const WriteResult missingFolder =
        WriteWholeFileAtomic(dir.File("none/data"), "x", FileAccess::OwnerOnly);
    EXPECT_FALSE(missingFolder.ok);
    EXPECT_FALSE(missingFolder.reason.empty());

    std::filesystem::create_directory(dir.File("folder"));
    EXPECT_FALSE(WriteWholeFileAtomic(dir.File("folder"), "x", FileAccess::OwnerOnly).ok);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder")));
}

TEST(RunDirectory, IsTheFolderOfThisProgram) {
    const std::string dir = RunDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(dir)));
    EXPECT_EQ(JoinPath("a", "b").size(), 3u);
}

}  // namespace
}  // namespace vardex
