// Linux file modes of the atomic replace.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "Environment_posix.h"
#include "TempDir.h"
#include "platform/FileIo.h"

namespace vardex {
namespace {

TEST(FileIoPosix, OwnerOnlyIs0600AndEveryoneIs0644) {
    testing::TempDir dir;
    ASSERT_TRUE(WriteWholeFileAtomic(dir.File("private"), "x", FileAccess::OwnerOnly).ok);
    ASSERT_TRUE(WriteWholeFileAtomic(dir.File("shared"), "x", FileAccess::Everyone).ok);
    EXPECT_EQ(testing::FileMode(dir.File("private")), 0600u);
    EXPECT_EQ(testing::FileMode(dir.File("shared")), 0644u);
}

}  // namespace
}  // namespace vardex
