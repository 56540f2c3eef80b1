// On Linux the connection file lands 0600 in the private runtime folder, and a symlink planted
// under its name is not written through.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "Environment_posix.h"
#include "TempDir.h"
#include "launch/ConnectionFile.h"

namespace vardex {
namespace {

class ConnectionFolderTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1); }
    testing::TempDir runtime;

private:
    testing::SavedEnvironment saved_{"XDG_RUNTIME_DIR"};
};

TEST_F(ConnectionFolderTest, FileIsPrivateInThePrivateFolder) {
    const auto folder = ConnectionFolder();
    ASSERT_EQ(folder, runtime.path() + "/vardex/");
    const std::string path = ConnectionFilePath(*folder, *ConnectionFileName("my server"));
    ASSERT_TRUE(WriteConnectionFile(path, RdpTemplate()));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(testing::ReadFileBytes(path), RdpTemplate());
}

TEST_F(ConnectionFolderTest, PlantedSymlinkIsNotWrittenThrough) {
    const auto folder = ConnectionFolder();
    ASSERT_TRUE(folder);
    const std::string target = runtime.File("elsewhere");
    testing::WriteFileBytes(target, "keep");
    ASSERT_EQ(::symlink(target.c_str(), (*folder + "web").c_str()), 0);
    EXPECT_FALSE(WriteConnectionFile(*folder + "web", RdpTemplate()));
    EXPECT_EQ(testing::ReadFileBytes(target), "keep");
}

}  // namespace
}  // namespace vardex
