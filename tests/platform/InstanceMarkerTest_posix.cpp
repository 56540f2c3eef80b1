// The instance marker across real processes on Linux: seen by a second process, gone with the
// marking process even after SIGKILL, not inherited by its children, not forged by other users.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/InstanceMarker.h"

namespace vardex {
namespace {

std::string FreshName(const std::string& label) {
    std::random_device random;
    return "vardex-test-" + std::to_string(random()) + "-" + label;
}

std::string Hex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        hex.push_back(kDigits[static_cast<unsigned char>(c) >> 4]);
        hex.push_back(kDigits[static_cast<unsigned char>(c) & 0x0F]);
    }
    return hex;
}

// The helper process that marks a name and holds it while its standard input stays open.
class Holder {
public:
    explicit Holder(const std::string& name) {
        int out[2];
        int in[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(in, O_CLOEXEC) != 0) {
            return;
        }
        const std::string helper = INSTANCE_MARKER_HOLD_PATH;
        const std::string hexName = Hex(name);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::execl(helper.c_str(), helper.c_str(), hexName.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(in[0]);
        stdin_ = in[1];
        char line[16] = {};
        const ssize_t n = ::read(out[0], line, sizeof line - 1);
        ::close(out[0]);
        said_ = n > 0 ? std::string(line, static_cast<size_t>(n)) : "";
    }
    ~Holder() {
        if (stdin_ >= 0) {
            ::close(stdin_);
        }
        if (pid_ > 0) {
            Kill();
        }
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    pid_t pid() const { return pid_; }
    const std::string& said() const { return said_; }
    void Kill() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    std::string said_;
};

std::set<std::string> OpenSockets(const std::string& fdFolder) {
    std::set<std::string> sockets;
    for (const auto& entry : std::filesystem::directory_iterator(fdFolder)) {
        std::error_code error;
        const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
        if (!error && target.rfind("socket:", 0) == 0) {
            sockets.insert(target);
        }
    }
    return sockets;
}

TEST(InstanceMarkerPosix, ASecondProcessSeesTheMarkUntilTheHolderIsKilled) {
    const std::string name = FreshName("\xC2\xD4");  // 略
    const std::string other = FreshName("other");
    Holder holder(name);
    ASSERT_EQ(holder.said(), "marked\n");
    EXPECT_TRUE(IsInstanceRunning(name));
    EXPECT_FALSE(IsInstanceRunning(other));
    EXPECT_FALSE(MarkInstanceRunning(name)) << "the name is held by the other process";

    holder.Kill();
    EXPECT_FALSE(IsInstanceRunning(name));
    EXPECT_TRUE(MarkInstanceRunning(name)) << "a new copy can take the name at once";
}

TEST(InstanceMarkerPosix, StartedProgramsDoNotInheritTheMark) {
    const std::string name = FreshName("parent");
    const std::set<std::string> before = OpenSockets("/proc/self/fd");
    ASSERT_TRUE(MarkInstanceRunning(name));
    std::set<std::string> added;
    for (const std::string& socket : OpenSockets("/proc/self/fd")) {
        if (before.count(socket) == 0) {
            added.insert(socket);
        }
    }
    ASSERT_EQ(added.size(), 1u);

    Holder child("");  // marks nothing itself, just runs
    ASSERT_EQ(child.said(), "refused\n");
    const std::set<std::string> inherited =
        OpenSockets("/proc/" + std::to_string(child.pid()) + "/fd");
    EXPECT_EQ(inherited.count(*added.begin()), 0u);
}

// Any user can bind any abstract name; a socket of another user under our name must neither
// stop us as if a copy were running nor make us fail.
TEST(InstanceMarkerPosix, AnotherUsersSocketUnderOurNameIsNoMark) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run a process under a second user id";
    }
    const std::string name = FreshName("squatted");
    const std::string abstractName = "vardex-" + std::to_string(::getuid()) + "-" + Hex(name);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(abstractName.size() + 1, sizeof address.sun_path);
    std::memcpy(address.sun_path + 1, abstractName.data(), abstractName.size());
    const auto length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + abstractName.size());

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t squatter = ::fork();
    ASSERT_GE(squatter, 0);
    if (squatter == 0) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0 &&
                        ::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
                        ::listen(fd, 4) == 0;
        const char said = ok ? 'y' : 'n';
        (void)!::write(ready[1], &said, 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char said = 0;
    ASSERT_EQ(::read(ready[0], &said, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(said, 'y') << "the squatter could not bind";
    EXPECT_FALSE(IsInstanceRunning(name));
    ::kill(squatter, SIGKILL);
    ::waitpid(squatter, nullptr, 0);
}

}  // namespace
}  // namespace vardex
