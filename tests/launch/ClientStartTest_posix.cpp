// Starting the client on Linux: the stand-in reads a real connection file and starts a fake
// FreeRDP found on PATH, which records what it got.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "Environment_posix.h"
#include "LaunchOptionsFor.h"
#include "TempDir.h"
#include "launch/ClientOptions.h"
#include "launch/ConnectionFile.h"
#include "platform/ClientStarter.h"
#include "platform/KeyFileProtection.h"

namespace vardex {
namespace {

using Strings = std::vector<std::string>;
using namespace std::chrono_literals;

Strings SplitAtZero(const std::string& bytes) {
    Strings pieces;
    size_t start = 0;
    for (size_t end = bytes.find('\0'); end != std::string::npos; end = bytes.find('\0', start)) {
        pieces.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

bool WaitFor(const std::string& path, std::chrono::milliseconds limit) {
    return testing::WaitUntil([&] { return std::filesystem::exists(path); }, limit);
}

// True once the process is gone for good, not left behind as a zombie.
bool Reaped(long pid, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    const std::string proc = "/proc/" + std::to_string(pid);
    while (std::filesystem::exists(proc)) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

class ClientStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::mkdir(bin.c_str(), 0700), 0);
        ASSERT_EQ(::mkdir(record.c_str(), 0700), 0);
        ::setenv("PATH", bin.c_str(), 1);
        ::setenv("VARDEX_FAKE_CLIENT_RECORD", record.c_str(), 1);
    }

    void InstallClient(const char* name) {
        ASSERT_EQ(::symlink(FAKE_RDP_CLIENT_PATH, (bin + "/" + name).c_str()), 0);
    }

    // Writes the connection file of record and returns the command line for it.
    std::string Prepare(const ServerRecord& server, bool redirectDisks,
                        const LaunchOptions& options) {
        const ConnectionText text =
            BuildConnectionText(FieldsForServer(server, redirectDisks), protection);
        EXPECT_TRUE(text.ok());
        const std::string path = ConnectionFilePath(dir.path() + "/", *ConnectionFileName(server));
        EXPECT_TRUE(WriteConnectionFile(path, text.text));
        return BuildClientCommandLine(path, BuildClientOptions(options));
    }

    std::string Recorded(const char* name) { return testing::ReadFileBytes(record + "/" + name); }

    testing::TempDir dir;
    std::string bin = dir.File("bin");
    std::string record = dir.File("record");
    KeyFileProtection protection{dir.File("key/protect.key")};
    testing::SavedEnvironment savedPath{"PATH"};
    testing::SavedEnvironment savedRecord{"VARDEX_FAKE_CLIENT_RECORD"};
};

ServerRecord Server() {
    ServerRecord server;
    server.address = "192.168.1.10";
    server.port = "3389";
    server.account = "administrator";
    server.password = "S3cret pw";
    server.remark = "\xB7\xFE\xCE\xF1\xC6\xF7 one";  // 服务器 one
    return server;
}

struct StartCase {
    const char* name;
    void (*change)(ServerRecord&);
    bool redirectDisks;
    LaunchOptions options;
    Strings arguments;  // after the program name
    std::string standardInput;
};

TEST_F(ClientStartTest, ClientGetsTheServerAndThePasswordOnStandardInputOnly) {
    InstallClient("xfreerdp");
    const StartCase cases[] = {
        {"1024*768 forced, disks ticked",
         [](ServerRecord&) {},
         true,
         testing::LaunchOptionsFor(2, true),
         {"/v:192.168.1.10:3389", "/u:administrator", "/w:1024", "/h:768", "/admin", "/drives",
          "/cert:tofu", "/from-stdin:force"},
         "S3cret pw\n"},
        {"full screen, disks clear",
         [](ServerRecord&) {},
         false,
         testing::LaunchOptionsFor(3, false),
         {"/v:192.168.1.10:3389", "/u:administrator", "/f", "/smartcard", "/cert:tofu",
          "/from-stdin:force"},
         "S3cret pw\n"},
        {"custom size, another port",
         [](ServerRecord& s) { s.port = "3390"; },
         false,
         testing::LaunchOptionsFor(4, false, "1280", "720"),
         {"/v:192.168.1.10:3390", "/u:administrator", "/w:1280", "/h:720", "/smartcard",
          "/cert:tofu", "/from-stdin:force"},
         "S3cret pw\n"},
        {"no size chosen: the file's full screen",
         [](ServerRecord&) {},
         true,
         testing::LaunchOptionsFor(0, false),
         {"/v:192.168.1.10:3389", "/u:administrator", "/f", "/drives", "/cert:tofu",
          "/from-stdin:force"},
         "S3cret pw\n"},
        {"no password stored: nothing on standard input",
         [](ServerRecord& s) { s.password.clear(); },
         true,
         testing::LaunchOptionsFor(1, false),
         {"/v:192.168.1.10:3389", "/u:administrator", "/w:800", "/h:600", "/drives", "/cert:tofu"},
         ""},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(record);
        std::filesystem::create_directory(record);
        ServerRecord server = Server();
        c.change(server);
        const ClientStartResult result =
            StartClient(Prepare(server, c.redirectDisks, c.options), protection);
        ASSERT_TRUE(result.started) << result.reason;
        EXPECT_EQ(result.clientName, "xfreerdp");
        ASSERT_TRUE(WaitFor(record + "/done", 10s));

        Strings expected = {"xfreerdp"};
        expected.insert(expected.end(), c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(SplitAtZero(Recorded("args")), expected);
        EXPECT_EQ(SplitAtZero(Recorded("cmdline")), expected);
        EXPECT_EQ(Recorded("stdin"), c.standardInput);
        EXPECT_EQ(Recorded("cmdline").find("S3cret"), std::string::npos);
        EXPECT_EQ(Recorded("environ").find("S3cret"), std::string::npos);
        EXPECT_TRUE(Reaped(result.processId, 5s)) << "the client is left as a zombie";
    }
}

TEST_F(ClientStartTest, Xfreerdp3IsTakenWhenItIsTheOnlyOne) {
    InstallClient("xfreerdp3");
    const ClientStartResult result =
        StartClient(Prepare(Server(), false, testing::LaunchOptionsFor(3, false)), protection);
    ASSERT_TRUE(result.started) << result.reason;
    EXPECT_EQ(result.clientName, "xfreerdp3");
    ASSERT_TRUE(WaitFor(record + "/done", 10s));
    EXPECT_EQ(SplitAtZero(Recorded("args")).at(0), "xfreerdp3");
}

TEST_F(ClientStartTest, MissingClientIsReportedByName) {
    const ClientStartResult result =
        StartClient(Prepare(Server(), false, testing::LaunchOptionsFor(3, false)), protection);
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.problem, ClientStartProblem::ClientMissing);
    EXPECT_EQ(result.clientName, "xfreerdp");
    EXPECT_NE(result.reason.find("xfreerdp"), std::string::npos);
}

TEST_F(ClientStartTest, UnusableCommandLineOrFileStartsNothing) {
    InstallClient("xfreerdp");
    struct Case {
        const char* name;
        std::string commandLine;
        ClientStartProblem problem;
    };
    testing::WriteFileBytes(dir.File("no-address"), "username:s:x\r\n");
    const Case cases[] = {
        {"no file named", "mstsc.exe ", ClientStartProblem::CommandLineUnusable},
        {"file missing", BuildClientCommandLine(dir.File("missing"), "/f "),
         ClientStartProblem::ConnectionFileUnusable},
        {"file without an address", BuildClientCommandLine(dir.File("no-address"), ""),
         ClientStartProblem::ConnectionFileUnusable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ClientStartResult result = StartClient(c.commandLine, protection);
        EXPECT_FALSE(result.started);
        EXPECT_EQ(result.problem, c.problem);
        EXPECT_FALSE(result.reason.empty());
    }
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(std::filesystem::exists(record + "/args")) << "a client was started";
}

}  // namespace
}  // namespace vardex
