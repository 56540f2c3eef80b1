// ms.ini on Linux: private to its owner, and whole after a SIGKILL at any moment of a save.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempDir.h"
#include "store/ProgramState.h"
#include "store/Rc4Crypt.h"

namespace vardex {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

std::string Deciphered(const std::string& path) {
    return Rc4Crypt(ReadFileBytes(path), "7391");
}

TEST(StoreFilePosix, TheStoreAndItsBackupAreReadableByTheOwnerOnly) {
    TempDir dir;
    testing::WriteFileBytes(dir.File("ms.ini"), "old");
    ::chmod(dir.File("ms.ini").c_str(), 0644);
    ProgramState state(dir.path());
    state.LoadStoreAtStart();
    ASSERT_TRUE(state.SaveStore(WindowSettings{}).ok());
    for (const char* name : {"ms.ini", "ms.ini.bak"}) {
        struct stat info {};
        ASSERT_EQ(::stat(dir.File(name).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u) << name;
    }
}

// The helper saves two different 20,000-server stores in turn; killed at any moment, it must
// leave one of them whole.
TEST(StoreFile, KillDuringASaveNeverLeavesAPartialStore) {
    const std::string helper = STORE_SAVE_LOOP_PATH;
    TempDir dir;
    std::mt19937 random(12345);
    for (int round = 0; round < 20; ++round) {
        int out[2];
        ASSERT_EQ(::pipe(out), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::dup2(out[1], 1);
            ::execl(helper.c_str(), helper.c_str(), dir.path().c_str(), nullptr);
            ::_exit(127);
        }
        ::close(out[1]);
        char first = 0;
        ASSERT_EQ(::read(out[0], &first, 1), 1) << "the helper saved nothing";
        ::usleep(std::uniform_int_distribution<int>(0, 40000)(random));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        ::close(out[0]);

        const std::string text = Deciphered(dir.File("ms.ini"));
        ServerTable table;
        const StoreSettings settings = ApplyStore(text, table);
        ASSERT_EQ(table.Count(), 20000) << "round " << round;
        ASSERT_TRUE(settings.customWidth == "0" || settings.customWidth == "1");
        ASSERT_EQ(text.substr(text.size() - 16), "#LoadinPass:<>\r\n") << "round " << round;
    }
}

}  // namespace
}  // namespace vardex
