// Linux file modes of the atomic replace.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "TempDir.h"
#include "platform/FileIo.h"

namespace vardex {
namespace {

unsigned Mode(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

TEST(FileIoPosix, OwnerOnlyIs0600AndEveryoneIs0644) {
    testing::TempDir dir;
    ASSERT_TRUE(WriteWholeFileAtomic(dir.File("private"), "x", FileAccess::OwnerOnly).ok);
    ASSERT_TRUE(WriteWholeFileAtomic(dir.File("shared"), "x", FileAccess::Everyone).ok);
    EXPECT_EQ(Mode(dir.File("private")), 0600u);
    EXPECT_EQ(Mode(dir.File("shared")), 0644u);
}

}  // namespace
}  // namespace vardex
