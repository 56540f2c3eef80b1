// End to end on Linux: a stored server's connection file and command line, through the
// stand-in, make a real FreeRDP log on to a real loopback server (freerdp-shadow-cli on a
// virtual display, NLA against a SAM file). The client runs with +auth-only, so it ends with 0
// for an accepted logon and 147 for a refused one.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>

#include "Environment_posix.h"
#include "TempDir.h"
#include "launch/ClientOptions.h"
#include "launch/ConnectionFile.h"
#include "platform/ClientStarter.h"
#include "platform/KeyFileProtection.h"

extern char** environ;

namespace vardex {
namespace {

using namespace std::chrono_literals;

std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/bin:/bin";
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string candidate = std::string(rest.substr(0, colon)) + "/" + name;
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::string();
}

// Starts a helper process of the test with its output in a log file; extraFd, when given, is
// passed on as descriptor 3.
pid_t Spawn(const std::vector<std::string>& args, const std::string& log, int extraFd = -1) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    if (extraFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, extraFd, 3);
    }
    std::vector<char*> argv;
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, copies[0].c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void Stop(pid_t pid) {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
}

int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

bool Accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

class ClientEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        std::string missing;
        for (const char* tool : {"Xvfb", "freerdp-shadow-cli", "winpr-hash"}) {
            tools_[tool] = FindProgram(tool);
            if (tools_[tool].empty()) {
                missing += std::string(" ") + tool;
            }
        }
        clientName_ = "xfreerdp";
        realClient_ = FindProgram(clientName_);
        if (realClient_.empty()) {
            clientName_ = "xfreerdp3";
            realClient_ = FindProgram(clientName_);
        }
        if (realClient_.empty()) {
            missing += " xfreerdp";
        }
        if (!missing.empty()) {
            GTEST_SKIP() << "needs" << missing
                         << " (Debian xvfb, freerdp2-shadow-x11, winpr-utils, freerdp2-x11)";
        }
        ::setenv("HOME", dir.path().c_str(), 1);  // FreeRDP keeps certificates there
        ::unsetenv("XDG_CONFIG_HOME");
        StartDisplay();
        StartServer();
    }

    void TearDown() override {
        Stop(server_);
        Stop(display_);
    }

    void StartDisplay() {
        int ends[2];
        ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
        display_ = Spawn(
            {tools_["Xvfb"], "-displayfd", "3", "-screen", "0", "800x600x24", "-nolisten", "tcp"},
            dir.File("xvfb.log"), ends[1]);
        ::close(ends[1]);
        ASSERT_GT(display_, 0);
        std::string number;
        pollfd ready{ends[0], POLLIN, 0};
        char c = 0;
        while (::poll(&ready, 1, 10000) == 1 && ::read(ends[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        ::close(ends[0]);
        ASSERT_FALSE(number.empty()) << testing::ReadFileBytes(dir.File("xvfb.log"));
        ::setenv("DISPLAY", (":" + number).c_str(), 1);
    }

    void StartServer() {
        const std::string sam = dir.File("sam");
        const pid_t hash =
            Spawn({tools_["winpr-hash"], "-u", "administrator", "-p", kPassword, "-f", "sam"}, sam);
        ASSERT_GT(hash, 0);
        int status = 0;
        ::waitpid(hash, &status, 0);
        ASSERT_EQ(status, 0) << testing::ReadFileBytes(sam);
        port_ = FreeLoopbackPort();
        ASSERT_GT(port_, 0);
        // On a busy machine the shadow server may fail to reach a display that has only just
        // come up; it says so and ends, and another start then works.
        for (int attempt = 0; attempt < 3; ++attempt) {
            server_ =
                Spawn({tools_["freerdp-shadow-cli"], "/bind-address:127.0.0.1",
                       "/port:" + std::to_string(port_), "/sec:nla", "/sam-file:" + sam, "+auth"},
                      dir.File("server.log"));
            ASSERT_GT(server_, 0);
            bool ended = false;
            testing::WaitUntil(
                [&] {
                    ended = ::waitpid(server_, nullptr, WNOHANG) == server_;
                    return ended || Accepts(port_);
                },
                20s);
            if (!ended) {
                break;
            }
            server_ = -1;
            std::this_thread::sleep_for(500ms);
        }
        ASSERT_TRUE(server_ > 0 && Accepts(port_))
            << testing::ReadFileBytes(dir.File("server.log"));
    }

    // A client of the stand-in's name that runs the real one with +auth-only and keeps its end.
    void InstallAuthOnlyClient() {
        const std::string bin = dir.File("bin");
        ASSERT_EQ(::mkdir(bin.c_str(), 0700), 0);
        const std::string script = bin + "/" + clientName_;
        testing::WriteFileBytes(script, "#!/bin/sh\nPATH=/usr/bin:/bin\n\"" + realClient_ +
                                            "\" \"$@\" +auth-only >\"" + dir.File("client.log") +
                                            "\" 2>&1\necho $? >\"" + status_ + ".tmp\"\nmv \"" +
                                            status_ + ".tmp\" \"" + status_ + "\"\n");
        ASSERT_EQ(::chmod(script.c_str(), 0700), 0);
        ::setenv("PATH", bin.c_str(), 1);
    }

    // Connects to the loopback server as a stored server with that password; the client's end.
    std::optional<int> Connect(const std::string& password) {
        std::filesystem::remove(status_);
        ServerRecord server;
        server.address = "127.0.0.1";
        server.port = std::to_string(port_);
        server.account = "administrator";
        server.password = password;
        const ConnectionText text = BuildConnectionText(FieldsForServer(server, false), protection);
        const std::string path = ConnectionFilePath(dir.path() + "/", *ConnectionFileName(server));
        if (!text.ok() || !WriteConnectionFile(path, text.text)) {
            return std::nullopt;
        }
        LaunchOptions options;
        options.size800x600 = true;
        const ClientStartResult started =
            StartClient(BuildClientCommandLine(path, BuildClientOptions(options)), protection);
        EXPECT_TRUE(started.started) << started.reason;
        if (!started.started ||
            !testing::WaitUntil([this] { return std::filesystem::exists(status_); }, 60s)) {
            return std::nullopt;
        }
        return std::stoi(testing::ReadFileBytes(status_));
    }

    static constexpr const char* kPassword = "S3cret pw";
    testing::TempDir dir;
    KeyFileProtection protection{dir.File("key/protect.key")};

private:
    testing::SavedEnvironment savedHome_{"HOME"};
    testing::SavedEnvironment savedConfig_{"XDG_CONFIG_HOME"};
    testing::SavedEnvironment savedDisplay_{"DISPLAY"};
    testing::SavedEnvironment savedPath_{"PATH"};
    std::map<std::string, std::string> tools_;
    std::string clientName_;
    std::string realClient_;
    std::string status_ = dir.File("client.status");
    pid_t display_ = -1;
    pid_t server_ = -1;
    int port_ = 0;
};

TEST_F(ClientEndToEnd, RightPasswordLogsOnAndWrongOneIsRefused) {
    InstallAuthOnlyClient();
    EXPECT_EQ(Connect(kPassword), 0) << testing::ReadFileBytes(dir.File("client.log"));
    EXPECT_EQ(Connect("wrong password"), 147) << testing::ReadFileBytes(dir.File("client.log"));
}

}  // namespace
}  // namespace vardex
