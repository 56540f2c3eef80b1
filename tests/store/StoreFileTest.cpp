// ms.ini on disk: enciphered, private, backed up before the first save, never left half written.
#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.h"
#include "store/ProgramState.h"
#include "store/Rc4Crypt.h"

namespace vardex {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

std::string Deciphered(const std::string& path) {
    return Rc4Crypt(ReadFileBytes(path), "7391");
}

TEST(StoreFile, FirstStartInAnEmptyFolderSavesTheDefaultStore) {
    TempDir dir;
    ProgramState state(dir.path());
    state.LoadStoreAtStart();
    EXPECT_EQ(state.table.Count(), 0);
    EXPECT_EQ(state.startupPassword, "");
    ASSERT_TRUE(state.SaveStore(WindowSettings{}).ok());
    EXPECT_EQ(Deciphered(dir.File("ms.ini")), "#Start:2\r\n#x:\r\n#y:\r\n#LoadinPass:<>\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("ms.ini.bak")));  // nothing was there to keep
}

TEST(StoreFile, ReadsTheStartupPasswordAndKeepsTheFileAsFoundAtStart) {
    TempDir dir;
    const std::string original = Rc4Crypt("h|1\r\n#LoadinPass:<pw>\r\n", "7391");
    WriteFileBytes(dir.File("ms.ini"), original);
    ProgramState state(dir.path());
    state.LoadStoreAtStart();
    EXPECT_EQ(state.startupPassword, "pw");
    ApplyStore(state.store.StoreBytes(), state.table);
    state.table.RemoveAt(1);
    ASSERT_TRUE(state.SaveStore(WindowSettings{}).ok());
    EXPECT_EQ(ReadFileBytes(dir.File("ms.ini.bak")), original);
    // Later saves leave the backup alone.
    state.startupPassword = "";
    ASSERT_TRUE(state.SaveStore(WindowSettings{}).ok());
    EXPECT_EQ(ReadFileBytes(dir.File("ms.ini.bak")), original);
    EXPECT_EQ(Deciphered(dir.File("ms.ini")), "#Start:2\r\n#x:\r\n#y:\r\n#LoadinPass:<>\r\n");
}

TEST(StoreFile, AFailedBackupLeavesTheStoreUntouchedAndSaysWhy) {
    TempDir dir;
    const std::string original = Rc4Crypt("junk that deciphered into nothing", "7391");
    WriteFileBytes(dir.File("ms.ini"), original);
    std::filesystem::create_directory(dir.File("ms.ini.bak"));  // cannot be replaced by a file
    ProgramState state(dir.path());
    state.LoadStoreAtStart();
    const SaveOutcome outcome = state.SaveStore(WindowSettings{});
    EXPECT_EQ(outcome.problem, SaveOutcome::Problem::Backup);
    EXPECT_EQ(outcome.path, dir.File("ms.ini.bak"));
    EXPECT_FALSE(outcome.reason.empty());
    EXPECT_EQ(ReadFileBytes(dir.File("ms.ini")), original);
}

TEST(StoreFile, AFailedWriteIsReportedAndTheNextSaveTriesAgain) {
    TempDir dir;
    ProgramState state(dir.File("later"));
    state.LoadStoreAtStart();
    const SaveOutcome outcome = state.SaveStore(WindowSettings{});
    EXPECT_EQ(outcome.problem, SaveOutcome::Problem::Write);
    EXPECT_EQ(outcome.path, dir.File("later/ms.ini"));
    std::filesystem::create_directory(dir.File("later"));
    EXPECT_TRUE(state.SaveStore(WindowSettings{}).ok());
}

}  // namespace
}  // namespace vardex
