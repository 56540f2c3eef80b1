// The group file on Linux: a file that is there but cannot be read is never replaced.
#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

#include "TempDir.h"
#include "groups/GroupCatalogue.h"

namespace vardex {
namespace {

using testing::TempDir;

// A save reads the file first to keep what else it holds; when that read fails, writing only
// our value over it would lose the rest.
TEST(GroupFilePosix, AFileThatCannotBeReadIsLeftAlone) {
    TempDir dir;
    const std::string path = GroupFilePath(dir.path());
    // A link to itself exists but cannot be opened, even by root.
    ASSERT_EQ(::symlink("fz.ini", path.c_str()), 0);
    const WriteResult result = SaveComboValue(path, kGroupComboName, InitialGroupCatalogue());
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(std::filesystem::read_symlink(path), "fz.ini");
}

}  // namespace
}  // namespace vardex
