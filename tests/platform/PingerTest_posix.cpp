// The Linux pinger against real ICMP: on loopback in this process, and through the ping_probe
// helper inside network namespaces of the test's own for hosts that do not answer, refused means,
// false replies and a name server that never answers.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Pinger.h"

extern char** environ;

namespace vardex {
namespace {

using Strings = std::vector<std::string>;

struct Command {
    int exitCode = -1;  // -1: it hung and was killed; 127: it could not be started
    std::string out;
    std::string err;
};

// Runs argv (looked up in PATH) and collects its output; a run that hangs is killed.
Command RunCommand(const Strings& args) {
    Command command;
    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) {
        command.err = "pipe failed";
        return command;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t child = -1;
    const int spawned = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (spawned != 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        command.exitCode = 127;
        command.err = args[0] + " could not be started";
        return command;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&command.out, &command.err};
    bool hung = false;
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            hung = true;
            break;
        }
        if (::poll(fds, 2, static_cast<int>(left.count())) < 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
            }
        }
    }
    if (hung) {
        ::kill(child, SIGKILL);
    }
    for (const pollfd& fd : fds) {
        if (fd.fd >= 0) {
            ::close(fd.fd);
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!hung) {
        command.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return command;
}

struct Ping {
    int result;
    int elapsedMs;
};

struct Probe {
    Command command;
    std::vector<Ping> pings;
    int descriptorsBefore = -1;
    int descriptorsAfter = -2;
    bool childLeft = true;
};

const Strings kNetworkNamespace = {"unshare", "-r", "-n"};
const Strings kNetworkAndMountNamespace = {"unshare", "-r", "-n", "-m"};

// Runs the helper under prefix (a namespace, another user) with args, and reads its report.
Probe RunProbe(const Strings& prefix, const Strings& args) {
    Strings argv = prefix;
    argv.push_back(PING_PROBE_PATH);
    argv.insert(argv.end(), args.begin(), args.end());
    Probe probe;
    probe.command = RunCommand(argv);
    std::istringstream lines(probe.command.out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (first == "descriptors") {
            words >> probe.descriptorsBefore >> probe.descriptorsAfter;
        } else if (first == "child") {
            std::string state;
            words >> state;
            probe.childLeft = state != "none";
        } else {
            Ping ping{};
            ping.result = std::stoi(first);
            words >> ping.elapsedMs;
            probe.pings.push_back(ping);
        }
    }
    return probe;
}

// Why such namespaces cannot be made here, or "" when they can.
std::string NamespaceRefusal(const Strings& unshare) {
    const Command command = RunCommand([&] {
        Strings argv = unshare;
        argv.push_back(PING_PROBE_PATH);
        argv.push_back("--lo-up");
        return argv;
    }());
    if (command.exitCode == 0) {
        return "";
    }
    std::string text = "cannot make a namespace with '";
    for (const std::string& word : unshare) {
        text += word + (&word == &unshare.back() ? "" : " ");
    }
    return text + "': " + command.err;
}

#define SKIP_WITHOUT(unshare)                                  \
    do {                                                       \
        const std::string refusal = NamespaceRefusal(unshare); \
        if (!refusal.empty()) {                                \
            GTEST_SKIP() << refusal;                           \
        }                                                      \
    } while (false)

// The helper ran, pinged every host, and left no descriptor open and no child behind.
void ExpectCompleteAndClean(const Probe& probe, size_t hosts) {
    ASSERT_EQ(probe.command.exitCode, 0) << probe.command.err;
    ASSERT_EQ(probe.pings.size(), hosts) << probe.command.out;
    EXPECT_EQ(probe.descriptorsAfter, probe.descriptorsBefore) << "a descriptor was left open";
    EXPECT_FALSE(probe.childLeft) << "a ping program was left running or unreaped";
}

constexpr int kFewMs = 50;  // loopback answers in well under this, even on a busy machine

TEST(Pinger, AnswersOnLoopbackInEveryAddressForm) {
    auto pinger = MakeSystemPinger();
    if (pinger->PingHost("127.0.0.1", 2000) < 0) {
        for (PingMeans means :
             {PingMeans::DatagramSocket, PingMeans::RawSocket, PingMeans::PingProgram}) {
            ASSERT_LT(MakeSystemPinger(means)->PingHost("127.0.0.1", 2000), 0)
                << "a means answers that the automatic choice did not find";
        }
        GTEST_SKIP() << "no ICMP means is open to this user here";
    }
    const char* hosts[] = {"127.0.0.1",  "127.1",       "0x7f.0.0.1", "0177.0.0.1",
                           "2130706433", "127.0.3.232", "localhost"};
    for (const char* host : hosts) {
        SCOPED_TRACE(host);
        const int ms = pinger->PingHost(host, 2000);
        EXPECT_GE(ms, 0);
        EXPECT_LE(ms, kFewMs);
    }
}

TEST(Pinger, RefusesATextThatANulWouldCutShort) {
    auto pinger = MakeSystemPinger();
    for (const std::string& host : {std::string("127.0.0.1\0x", 11), std::string("\0", 1)}) {
        SCOPED_TRACE(host.size());
        EXPECT_EQ(pinger->PingHost(host, 2000), -1);
    }
}

// Each means on its own, inside a namespace where the test decides what answers.
class PingerEachMeans : public ::testing::TestWithParam<const char*> {
protected:
    Probe ProbeInNamespace(const Strings& setup, const Strings& hosts) {
        Strings args = {"--lo-up", "--ping-group-range", "0 0", "--means", GetParam()};
        args.insert(args.end(), setup.begin(), setup.end());
        args.push_back("--");
        args.insert(args.end(), hosts.begin(), hosts.end());
        return RunProbe(kNetworkNamespace, args);
    }
};

TEST_P(PingerEachMeans, AnswersOnLoopback) {
    SKIP_WITHOUT(kNetworkNamespace);
    const Probe probe = ProbeInNamespace({}, {"127.0.0.1", "127.1", "localhost"});
    ExpectCompleteAndClean(probe, 3);
    for (const Ping& ping : probe.pings) {
        EXPECT_GE(ping.result, 0);
        EXPECT_LE(ping.result, kFewMs);
    }
}

TEST_P(PingerEachMeans, GivesUpAtTheTimeOut) {
    SKIP_WITHOUT(kNetworkNamespace);
    struct Case {
        int timeoutMs;
        int earliestMs;
        int latestMs;
    };
    // 500 ms is less than the whole second that the ping program counts in.
    for (const Case& c : {Case{2000, 1900, 2500}, Case{500, 450, 800}}) {
        SCOPED_TRACE(c.timeoutMs);
        const Probe probe = ProbeInNamespace(
            {"--ignore-echo", "--timeout", std::to_string(c.timeoutMs)}, {"127.0.0.1"});
        ExpectCompleteAndClean(probe, 1);
        if (probe.pings.size() == 1) {
            EXPECT_EQ(probe.pings[0].result, -1);
            EXPECT_GE(probe.pings[0].elapsedMs, c.earliestMs);
            EXPECT_LE(probe.pings[0].elapsedMs, c.latestMs);
        }
    }
}

TEST_P(PingerEachMeans, CancelEndsThePingInFlightAndEveryLaterOne) {
    SKIP_WITHOUT(kNetworkNamespace);
    const Probe probe =
        ProbeInNamespace({"--ignore-echo", "--timeout", "2000", "--cancel-after", "300"},
                         {"127.0.0.1", "127.0.0.1"});
    ExpectCompleteAndClean(probe, 2);
    if (probe.pings.size() == 2) {
        EXPECT_EQ(probe.pings[0].result, -1);
        EXPECT_GE(probe.pings[0].elapsedMs, 250) << "the ping was not in flight";
        EXPECT_LE(probe.pings[0].elapsedMs, 300 + 100);
        EXPECT_EQ(probe.pings[1].result, -1);
        EXPECT_LE(probe.pings[1].elapsedMs, kFewMs);
    }
}

INSTANTIATE_TEST_SUITE_P(Means, PingerEachMeans,
                         ::testing::Values("automatic", "datagram", "raw", "program"));

using PingerSocketMeans = PingerEachMeans;

// The only replies here are false ones (another identifier, another sequence number), and a raw
// socket also sees its own request: none of them is an answer.
TEST_P(PingerSocketMeans, TakesOnlyTheReplyToItsOwnRequest) {
    SKIP_WITHOUT(kNetworkNamespace);
    const Probe probe =
        ProbeInNamespace({"--ignore-echo", "--false-replies", "--timeout", "1000"}, {"127.0.0.1"});
    ExpectCompleteAndClean(probe, 1);
    if (probe.pings.size() == 1) {
        EXPECT_EQ(probe.pings[0].result, -1);
        EXPECT_GE(probe.pings[0].elapsedMs, 900);
    }
}

INSTANTIATE_TEST_SUITE_P(Means, PingerSocketMeans,
                         ::testing::Values("automatic", "datagram", "raw"));

// A fresh namespace keeps the kernel's default ping_group_range, which admits nobody.
TEST(PingerNamespace, RefusedDatagramSocketIsDetectedAndTheNextMeansUsed) {
    SKIP_WITHOUT(kNetworkNamespace);
    const Probe datagram =
        RunProbe(kNetworkNamespace, {"--lo-up", "--means", "datagram", "127.0.0.1"});
    ExpectCompleteAndClean(datagram, 1);
    if (datagram.pings.size() == 1) {
        EXPECT_EQ(datagram.pings[0].result, -1);
        EXPECT_LE(datagram.pings[0].elapsedMs, kFewMs);
    }
    const Probe automatic =
        RunProbe(kNetworkNamespace, {"--lo-up", "--means", "automatic", "127.0.0.1"});
    ExpectCompleteAndClean(automatic, 1);
    if (automatic.pings.size() == 1) {
        EXPECT_GE(automatic.pings[0].result, 0);
        EXPECT_LE(automatic.pings[0].result, kFewMs);
    }
}

// There is no network in the namespace, so no name query leaves the machine.
TEST(PingerNamespace, TextsThatAreNoAddressEndQuickly) {
    SKIP_WITHOUT(kNetworkNamespace);
    struct Case {
        std::string host;
        bool mustFail;
    };
    const Case cases[] = {
        {"", true},
        {"no-such-host.invalid", true},
        {"999.1.1.1", false},
        {" 127.0.0.1", false},
        {"127.0.0.1 ", false},
        {"\xB7\xFE\xCE\xF1\xC6\xF7", true},  // 服务器
        {"\x81", true},                      // a lead byte without its trail byte
    };
    Strings args = {"--lo-up", "--ping-group-range", "0 0", "--"};
    for (const Case& c : cases) {
        args.push_back(c.host);
    }
    const Probe probe = RunProbe(kNetworkNamespace, args);
    ExpectCompleteAndClean(probe, std::size(cases));
    for (size_t i = 0; i < probe.pings.size() && i < std::size(cases); ++i) {
        SCOPED_TRACE("host \"" + cases[i].host + "\"");
        EXPECT_GE(probe.pings[i].result, -1);
        if (cases[i].mustFail) {
            EXPECT_EQ(probe.pings[i].result, -1);
        }
        EXPECT_LE(probe.pings[i].elapsedMs, 1000);
    }
}

// The name server here takes the query and never answers; the resolver would wait ten seconds.
TEST(PingerNamespace, CancelEndsAHangingNameLookup) {
    SKIP_WITHOUT(kNetworkAndMountNamespace);
    const Probe probe = RunProbe(
        kNetworkAndMountNamespace,
        {"--lo-up", "--silent-dns", "--cancel-after", "300", "--", "slow.example", "127.0.0.1"});
    ASSERT_EQ(probe.command.exitCode, 0) << probe.command.err;
    ASSERT_EQ(probe.pings.size(), 2u);
    EXPECT_EQ(probe.pings[0].result, -1);
    EXPECT_GE(probe.pings[0].elapsedMs, 250);
    EXPECT_LE(probe.pings[0].elapsedMs, 300 + 100);
    EXPECT_EQ(probe.pings[1].result, -1);
    EXPECT_LE(probe.pings[1].elapsedMs, kFewMs);
}

// As a user without privileges on this machine's own loopback: no raw socket, and datagram
// sockets only where ping_group_range admits the user.
TEST(PingerUnprivileged, EveryMeansAnswersOrFailsAndAutomaticFindsOneThatWorks) {
    Strings prefix;
    if (::geteuid() == 0) {
        prefix = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--inh-caps=-all"};
        if (RunCommand({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "true"})
                .exitCode != 0) {
            GTEST_SKIP() << "setpriv cannot switch to an unprivileged user here";
        }
    }
    bool anyAnswered = false;
    for (const char* means : {"datagram", "raw", "program", "automatic"}) {
        SCOPED_TRACE(means);
        const Probe probe = RunProbe(prefix, {"--means", means, "--timeout", "2000", "127.0.0.1"});
        ExpectCompleteAndClean(probe, 1);
        if (probe.pings.size() != 1) {
            continue;
        }
        const Ping& ping = probe.pings[0];
        EXPECT_GE(ping.result, -1);
        EXPECT_LE(ping.result, kFewMs);
        EXPECT_LE(ping.elapsedMs, 2500);
        if (std::string(means) == "automatic") {
            EXPECT_EQ(ping.result >= 0, anyAnswered);
        } else {
            anyAnswered = anyAnswered || ping.result >= 0;
        }
    }
}

}  // namespace
}  // namespace vardex
