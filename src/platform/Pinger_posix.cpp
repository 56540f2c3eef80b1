// Linux ping: an ICMP datagram socket, else a raw socket, else the system's ping program; every
// wait also wakes on Cancel through an eventfd.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <random>
#include <thread>

#include "CodePage.h"
#include "Pinger.h"

namespace vardex {
namespace {

using Clock = std::chrono::steady_clock;

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void Reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_;
};

enum class Wait { Ready, TimedOut, Cancelled };

// Waits until fd is readable, the deadline passes or cancelFd is signalled. A deadline of
// Clock::time_point::max() waits without limit.
Wait WaitReadable(int fd, int cancelFd, Clock::time_point deadline) {
    for (;;) {
        int waitMs = -1;
        if (deadline != Clock::time_point::max()) {
            const auto left = deadline - Clock::now();
            if (left <= Clock::duration::zero()) {
                return Wait::TimedOut;
            }
            // Rounded up, so that a remainder below a millisecond does not spin.
            const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
            waitMs = static_cast<int>(std::min<long long>(ms, INT_MAX));
        }
        pollfd fds[2] = {{fd, POLLIN, 0}, {cancelFd, POLLIN, 0}};
        const int n = ::poll(fds, 2, waitMs);
        if (n < 0 && errno != EINTR) {
            return Wait::Cancelled;  // poll itself failed: give up rather than spin
        }
        if (n > 0 && fds[1].revents != 0) {
            return Wait::Cancelled;
        }
        if (n > 0 && fds[0].revents != 0) {
            return Wait::Ready;
        }
    }
}

int ElapsedMs(Clock::time_point start) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return static_cast<int>(std::min<long long>(ms.count(), INT_MAX));
}

uint16_t InternetChecksum(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2) {
        sum += static_cast<uint32_t>(bytes[i] << 8 | bytes[i + 1]);
    }
    if (size % 2 != 0) {
        sum += static_cast<uint32_t>(bytes[size - 1] << 8);
    }
    while (sum >> 16 != 0) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return htons(static_cast<uint16_t>(~sum));
}

// The name lookup runs on a thread of its own, so that Cancel need not wait for a resolver that
// hangs; an abandoned lookup finishes by itself and frees this state.
struct Lookup {
    Descriptor doneFd{::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)};
    std::mutex mutex;
    bool found = false;
    in_addr address{};
};

void RunLookup(const std::shared_ptr<Lookup>& lookup, const std::string& name, int flags) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;  // one entry per address, not one per socket type
    hints.ai_flags = flags;
    addrinfo* results = nullptr;
    const bool found = ::getaddrinfo(name.c_str(), nullptr, &hints, &results) == 0 &&
                       results != nullptr && results->ai_family == AF_INET;
    {
        std::lock_guard<std::mutex> lock(lookup->mutex);
        lookup->found = found;
        if (found) {
            lookup->address = reinterpret_cast<const sockaddr_in*>(results->ai_addr)->sin_addr;
        }
    }
    if (results != nullptr) {
        ::freeaddrinfo(results);
    }
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(lookup->doneFd.get(), &one, sizeof one);
}

class PosixPinger : public Pinger {
public:
    explicit PosixPinger(PingMeans means)
        : cancelFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
          means_(means == PingMeans::Automatic ? FirstUsableMeans() : means),
          identifier_(static_cast<uint16_t>(std::random_device{}())),
          pingProgram_(FindPingProgram()) {}

    int PingHost(const std::string& host, int timeoutMs) override {
        if (cancelled_.load() || !cancelFd_.valid()) {
            return -1;
        }
        in_addr address{};
        if (!Resolve(host, address)) {
            return -1;
        }
        const int timeout = std::max(timeoutMs, 0);
        switch (means_) {
            case PingMeans::DatagramSocket:
                return EchoBySocket(SOCK_DGRAM, address, timeout);
            case PingMeans::RawSocket:
                return EchoBySocket(SOCK_RAW, address, timeout);
            case PingMeans::PingProgram:
                return EchoByProgram(address, timeout);
            case PingMeans::Automatic:
                break;
        }
        return -1;
    }

    void Cancel() override {
        cancelled_.store(true);
        // The eventfd stays readable from now on, which wakes every wait, present and future.
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(cancelFd_.get(), &one, sizeof one);
    }

private:
    // A socket that this process may not open is refused at once (EACCES for the datagram
    // socket outside ping_group_range, EPERM for the raw one without CAP_NET_RAW).
    static bool MaySocket(int type) {
        const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd < 0) {
            return false;
        }
        ::close(fd);
        return true;
    }

    static PingMeans FirstUsableMeans() {
        if (MaySocket(SOCK_DGRAM)) {
            return PingMeans::DatagramSocket;
        }
        if (MaySocket(SOCK_RAW)) {
            return PingMeans::RawSocket;
        }
        return PingMeans::PingProgram;
    }

    static std::string FindPingProgram() {
        for (const char* path : {"/usr/bin/ping", "/bin/ping", "/usr/sbin/ping", "/sbin/ping"}) {
            if (::access(path, X_OK) == 0) {
                return path;
            }
        }
        return "";
    }

    // inet_addr rules first (inet_aton: "127.1", hex and octal parts), then a name lookup.
    bool Resolve(const std::string& host, in_addr& address) const {
        // An empty text is no address; a NUL would cut the text short behind our back.
        if (host.empty() || host.find('\0') != std::string::npos) {
            return false;
        }
        if (::inet_aton(host.c_str(), &address) != 0) {
            return true;
        }
        std::string name = host;
        int flags = 0;
        const bool ascii = std::all_of(host.begin(), host.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (!ascii) {
            // A GBK name goes to the resolver as UTF-8, which glibc turns into its IDNA form.
            auto utf8 = GbkToUtf8(host);
            if (!utf8) {
                return false;
            }
            name = *utf8;
            flags = AI_IDN;
        }
        auto lookup = std::make_shared<Lookup>();
        if (!lookup->doneFd.valid()) {
            return false;
        }
        try {
            std::thread(RunLookup, lookup, name, flags).detach();
        } catch (const std::system_error&) {
            return false;
        }
        if (WaitReadable(lookup->doneFd.get(), cancelFd_.get(), Clock::time_point::max()) !=
            Wait::Ready) {
            return false;
        }
        std::lock_guard<std::mutex> lock(lookup->mutex);
        address = lookup->address;
        return lookup->found;
    }

    // One echo request with no payload; type is SOCK_DGRAM or SOCK_RAW.
    int EchoBySocket(int type, in_addr address, int timeoutMs) {
        const bool raw = type == SOCK_RAW;
        Descriptor socket(::socket(AF_INET, type | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_ICMP));
        if (!socket.valid()) {
            return -1;
        }
        // A datagram socket gets its identifier from the kernel (its port) whatever we send.
        uint16_t identifier = identifier_;
        const uint16_t sequence = sequence_.fetch_add(1);
        icmphdr request{};
        request.type = ICMP_ECHO;
        request.un.echo.id = htons(identifier);
        request.un.echo.sequence = htons(sequence);
        request.checksum = InternetChecksum(&request, sizeof request);

        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr = address;
        const Clock::time_point start = Clock::now();
        ssize_t sent;
        do {
            sent = ::sendto(socket.get(), &request, sizeof request, 0,
                            reinterpret_cast<const sockaddr*>(&to), sizeof to);
        } while (sent < 0 && errno == EINTR);
        if (sent != static_cast<ssize_t>(sizeof request)) {
            return -1;
        }
        if (!raw) {
            sockaddr_in local{};
            socklen_t size = sizeof local;
            if (::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&local), &size) != 0) {
                return -1;
            }
            identifier = ntohs(local.sin_port);
        }

        const Clock::time_point deadline = start + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (WaitReadable(socket.get(), cancelFd_.get(), deadline) != Wait::Ready) {
                return -1;
            }
            // Read all that has arrived: a raw socket also sees its own request on loopback and
            // the traffic of every other pinging process.
            for (;;) {
                uint8_t packet[1024];
                sockaddr_in from{};
                socklen_t size = sizeof from;
                const ssize_t n = ::recvfrom(socket.get(), packet, sizeof packet, 0,
                                             reinterpret_cast<sockaddr*>(&from), &size);
                if (n < 0) {
                    if (errno == EINTR) {
                        continue;
                    }
                    break;  // EAGAIN: wait again; other errors end at the deadline
                }
                size_t offset = 0;
                if (raw) {
                    if (n < 1) {
                        continue;
                    }
                    offset = static_cast<size_t>(packet[0] & 0x0F) * 4;  // the IP header
                }
                if (static_cast<size_t>(n) < offset + sizeof(icmphdr)) {
                    continue;
                }
                icmphdr reply;
                std::memcpy(&reply, packet + offset, sizeof reply);
                if (reply.type == ICMP_ECHOREPLY && ntohs(reply.un.echo.id) == identifier &&
                    ntohs(reply.un.echo.sequence) == sequence &&
                    from.sin_addr.s_addr == address.s_addr) {
                    return ElapsedMs(start);
                }
            }
        }
    }

    // "ping -n -c 1 -W <s> <address>" with an argument vector, never a shell; the round-trip time
    // is read from its "time=" field.
    int EchoByProgram(in_addr address, int timeoutMs) {
        if (pingProgram_.empty()) {
            return -1;
        }
        char addressText[INET_ADDRSTRLEN];
        if (::inet_ntop(AF_INET, &address, addressText, sizeof addressText) == nullptr) {
            return -1;
        }
        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
            return -1;
        }
        Descriptor readEnd(pipeFds[0]);
        Descriptor writeEnd(pipeFds[1]);

        const std::string seconds = std::to_string(std::max(1, (timeoutMs + 999) / 1000));
        const char* argv[] = {"ping", "-n", "-c", "1", "-W", seconds.c_str(), addressText, nullptr};
        const char* envp[] = {"LC_ALL=C", nullptr};  // "time=0.045 ms" in every locale

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), 1);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        // The caller's thread may block or ignore signals; ping must start with the defaults.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes, &none);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int signal : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGALRM, SIGCHLD}) {
            sigaddset(&defaults, signal);
        }
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

        pid_t child = -1;
        const int spawned =
            ::posix_spawn(&child, pingProgram_.c_str(), &actions, &attributes,
                          const_cast<char* const*>(argv), const_cast<char* const*>(envp));
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        writeEnd.Reset();
        if (spawned != 0) {
            return -1;
        }

        // ping waits whole seconds; the deadline keeps to the time-out asked for, with a little
        // room for the program to start.
        const Clock::time_point deadline =
            Clock::now() + std::chrono::milliseconds(timeoutMs) + std::chrono::milliseconds(100);
        std::string output;
        bool finished = false;
        while (!finished) {
            if (WaitReadable(readEnd.get(), cancelFd_.get(), deadline) != Wait::Ready) {
                break;
            }
            char buffer[512];
            const ssize_t n = ::read(readEnd.get(), buffer, sizeof buffer);
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
            if (n <= 0) {
                finished = true;
            } else if (output.size() < 65536) {
                output.append(buffer, static_cast<size_t>(n));
            }
        }
        if (!finished) {
            ::kill(child, SIGKILL);
        }
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        if (!finished || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            return -1;
        }
        return ParseRoundTrip(output);
    }

    // Whole milliseconds of "time=0.045 ms" (truncated) or "time<1 ms"; -1 when there is none.
    static int ParseRoundTrip(const std::string& output) {
        auto at = output.find("time<");
        if (at != std::string::npos) {
            return 0;
        }
        at = output.find("time=");
        if (at == std::string::npos) {
            return -1;
        }
        at += 5;
        long long ms = 0;
        bool digits = false;
        for (; at < output.size() && output[at] >= '0' && output[at] <= '9'; ++at) {
            ms = std::min<long long>(ms * 10 + (output[at] - '0'), INT_MAX);
            digits = true;
        }
        return digits ? static_cast<int>(ms) : -1;
    }

    const Descriptor cancelFd_;
    const PingMeans means_;
    const uint16_t identifier_;
    const std::string pingProgram_;
    std::atomic<bool> cancelled_{false};
    std::atomic<uint16_t> sequence_{0};
};

}  // namespace

std::unique_ptr<Pinger> MakeSystemPinger(PingMeans means) {
    return std::make_unique<PosixPinger>(means);
}

}  // namespace vardex
