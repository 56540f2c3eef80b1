// The private temporary folder on Linux and the private write of a file in it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "Environment_posix.h"
#include "TempDir.h"
#include "platform/TempFolder.h"

namespace vardex {
namespace {

using testing::TempDir;

// Points XDG_RUNTIME_DIR at a fresh folder for one test.
class RuntimeDirTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1); }
    TempDir runtime;
    std::string folder = runtime.File("vardex");

private:
    testing::SavedEnvironment saved_{"XDG_RUNTIME_DIR"};
};

TEST_F(RuntimeDirTest, FolderIsMade0700WithATrailingSeparator) {
    ::umask(0);
    EXPECT_EQ(PrivateTempFolder(), folder + "/");
    EXPECT_EQ(testing::FileMode(folder), 0700u);
    EXPECT_EQ(PrivateTempFolder(), folder + "/") << "an existing private folder is taken";
}

TEST_F(RuntimeDirTest, WithoutRuntimeDirItIsTheUsersFolderInTmp) {
    ::unsetenv("XDG_RUNTIME_DIR");
    const std::string expected = "/tmp/vardex-" + std::to_string(::geteuid()) + "/";
    const auto got = PrivateTempFolder();
    if (!got) {
        GTEST_SKIP() << expected << " exists here and is not private; left alone";
    }
    EXPECT_EQ(got, expected);
}

TEST_F(RuntimeDirTest, FolderIsRefusedWhenNotPrivate) {
    struct Case {
        const char* name;
        void (*plant)(const std::string& made, const std::string& aside);
    };
    const Case cases[] = {
        {"a symlink to a private folder",
         [](const std::string& made, const std::string& aside) {
             ::mkdir(aside.c_str(), 0700);
             ASSERT_EQ(::symlink(aside.c_str(), made.c_str()), 0);
         }},
        {"group may read",
         [](const std::string& made, const std::string&) { ::mkdir(made.c_str(), 0750); }},
        {"others may enter",
         [](const std::string& made, const std::string&) { ::mkdir(made.c_str(), 0701); }},
        {"a file",
         [](const std::string& made, const std::string&) { testing::WriteFileBytes(made, "x"); }},
    };
    ::umask(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(folder);
        std::filesystem::remove_all(runtime.File("aside"));
        c.plant(folder, runtime.File("aside"));
        EXPECT_EQ(PrivateTempFolder(), std::nullopt);
    }
}

TEST_F(RuntimeDirTest, FolderOfAnotherUserIsRefused) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a folder to another user";
    }
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::chown(folder.c_str(), ::geteuid() + 1, static_cast<gid_t>(-1)), 0);
    EXPECT_EQ(PrivateTempFolder(), std::nullopt);
}

TEST(WritePrivateFile, Is0600AndRewritesWhole) {
    TempDir dir;
    const std::string path = dir.File("connection");
    ::umask(0);
    ASSERT_TRUE(WritePrivateFile(path, std::string(5000, 'a')).ok);
    EXPECT_EQ(testing::FileMode(path), 0600u);
    ASSERT_TRUE(WritePrivateFile(path, "short").ok);
    EXPECT_EQ(testing::ReadFileBytes(path), "short");
    ::chmod(path.c_str(), 0644);
    ASSERT_TRUE(WritePrivateFile(path, "again").ok);
    EXPECT_EQ(testing::FileMode(path), 0600u) << "a file left readable from before is closed again";
}

TEST(WritePrivateFile, PlantedSymlinkIsNotFollowed) {
    TempDir dir;
    const std::string target = dir.File("target");
    testing::WriteFileBytes(target, "precious");
    const std::string path = dir.File("connection");
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    EXPECT_FALSE(WritePrivateFile(path, "password 51:b:00").ok);
    EXPECT_EQ(testing::ReadFileBytes(target), "precious");

    const std::string dangling = dir.File("dangling");
    ASSERT_EQ(::symlink(dir.File("made-through-link").c_str(), dangling.c_str()), 0);
    EXPECT_FALSE(WritePrivateFile(dangling, "x").ok);
    EXPECT_FALSE(std::filesystem::exists(dir.File("made-through-link")));
}

TEST(WritePrivateFile, PlantedFifoIsRefusedWithoutWaiting) {
    TempDir dir;
    const std::string path = dir.File("connection");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    // Opened for writing with nobody reading, a FIFO would block; the write must just fail.
    EXPECT_FALSE(WritePrivateFile(path, "x").ok);
}

}  // namespace
}  // namespace vardex
