// Starting the client on Windows: CreateProcessW of the GBK command line, which a helper that
// stands in for the client records as the system hands it over.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "TempDir.h"
#include "WinTestKit.h"
#include "launch/ClientOptions.h"
#include "launch/ConnectionFile.h"
#include "platform/ClientStarter.h"
#include "platform/CodePage.h"

namespace vardex {
namespace {

using testing::ReadFileBytes;
using testing::SystemPath;

std::wstring Wide(const std::string& utf8) {
    const std::u16string units = *Utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string Utf16Bytes(const std::u16string& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

bool SystemHasTheClient() {
    wchar_t folder[MAX_PATH + 1];
    const UINT size = GetSystemDirectoryW(folder, MAX_PATH + 1);
    return size > 0 && GetFileAttributesW((std::wstring(folder, size) + L"\\mstsc.exe").c_str()) !=
                           INVALID_FILE_ATTRIBUTES;
}

class ClientStartWin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::create_directory(SystemPath(record)));
        // 连接 一 (2).rdp: a space, brackets and characters that code page 1252 cannot hold.
        path = *Utf8ToGbk(dir.File("")) + "\xC1\xAC\xBD\xD3 \xD2\xBB (2).rdp";
        ASSERT_TRUE(WriteConnectionFile(path, RdpTemplate()));
    }

    testing::TempDir dir;
    std::string record = dir.File("record");
    testing::ScopedEnvironment recordFolder{L"VARDEX_RECORD_FOLDER", Wide(record)};
    std::string path;  // GBK
};

TEST_F(ClientStartWin, TheClientGetsTheCommandLineWholeAndOpensTheFile) {
    // The builder's line with the helper named in place of the system's client.
    const std::string built = BuildClientCommandLine(path, "/w:800 /h:600 /admin ");
    const std::string line =
        "\"" + std::string(COMMAND_LINE_RECORD_PATH) + "\"" + built.substr(built.find(' '));
    const ClientStartResult result = StartClient(line);
    ASSERT_TRUE(result.started) << result.reason;
    EXPECT_EQ(result.problem, ClientStartProblem::None);
    EXPECT_GT(result.processId, 0);
    ASSERT_TRUE(testing::WaitForRecord(SystemPath(record)));
    EXPECT_EQ(ReadFileBytes(record + "\\cmdline"), Utf16Bytes(*GbkToUtf16(line)));
    EXPECT_EQ(ReadFileBytes(record + "\\file"), RdpTemplate());
}

TEST_F(ClientStartWin, AMissingClientIsReported) {
    struct Case {
        const char* name;
        std::string line;
    } const cases[] = {
        {"a client path that leads nowhere",
         "\"" + dir.File("none\\mstsc.exe") + "\" \"" + path + "\""},
        {"a client file that is not there", "\"" + dir.File("mstsc.exe") + "\" \"" + path + "\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ClientStartResult result = StartClient(c.line);
        EXPECT_FALSE(result.started);
        EXPECT_EQ(result.problem, ClientStartProblem::ClientMissing);
        EXPECT_EQ(result.clientName, "mstsc.exe");
        EXPECT_FALSE(result.reason.empty());
    }
}

// A mstsc.exe in the current folder (a downloads folder, say) is not the system's client.
TEST_F(ClientStartWin, TheClientIsTheSystemsOwnNotOneInTheCurrentFolder) {
    if (SystemHasTheClient()) {
        GTEST_SKIP() << "this system has its own mstsc.exe, which the test would start";
    }
    std::filesystem::copy_file(SystemPath(COMMAND_LINE_RECORD_PATH),
                               SystemPath(dir.File("mstsc.exe")));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(SystemPath(dir.path()));
    const ClientStartResult result = StartClient(BuildClientCommandLine(path, ""));
    std::filesystem::current_path(before);
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.problem, ClientStartProblem::ClientMissing);
    EXPECT_FALSE(testing::WaitForRecord(SystemPath(record), 1000)) << "the planted one ran";
}

TEST_F(ClientStartWin, ACommandLineThatIsNoGbkStartsNothing) {
    for (const std::string& line : {std::string(), "\"" + path + "\xFF\""}) {
        SCOPED_TRACE(line);
        const ClientStartResult result = StartClient(line);
        EXPECT_FALSE(result.started);
        EXPECT_EQ(result.problem, ClientStartProblem::CommandLineUnusable);
    }
}

}  // namespace
}  // namespace vardex
