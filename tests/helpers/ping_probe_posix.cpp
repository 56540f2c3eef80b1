// Pings hosts with one system pinger and prints "<result> <elapsed ms>" per host, then the open
// descriptors before and after and whether a child process is left. Run by the pinger's tests
// inside a network namespace of their own, which it can first set up (loopback, sysctls, a DNS
// server that never answers, a sender of false echo replies).
#include <arpa/inet.h>
#include <dirent.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/Pinger.h"

namespace {

constexpr int kSetupRefused = 77;

[[noreturn]] void Refuse(const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(kSetupRefused);
}

int OpenDescriptors() {
    DIR* dir = ::opendir("/proc/self/fd");
    if (dir == nullptr) {
        return -1;
    }
    int count = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.') {
            ++count;
        }
    }
    ::closedir(dir);
    return count - 1;  // the folder's own descriptor
}

// The settings below must never touch the machine's own network: a namespace fresh from
// unshare holds nothing but a loopback interface.
void RequireFreshNamespace() {
    struct if_nameindex* interfaces = ::if_nameindex();
    if (interfaces == nullptr) {
        Refuse("if_nameindex");
    }
    const bool onlyLoopback = interfaces[0].if_name != nullptr &&
                              std::strcmp(interfaces[0].if_name, "lo") == 0 &&
                              interfaces[1].if_name == nullptr;
    ::if_freenameindex(interfaces);
    if (!onlyLoopback) {
        std::fprintf(stderr, "not in a network namespace of its own: refusing to change it\n");
        std::exit(2);
    }
}

void BringLoopbackUp() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    std::strcpy(request.ifr_name, "lo");
    if (fd < 0 || ::ioctl(fd, SIOCGIFFLAGS, &request) != 0) {
        Refuse("loopback flags");
    }
    request.ifr_flags |= IFF_UP;
    if (::ioctl(fd, SIOCSIFFLAGS, &request) != 0) {
        Refuse("loopback up");
    }
    ::close(fd);
}

void WriteSysctl(const std::string& name, const std::string& value) {
    std::ofstream out("/proc/sys/net/ipv4/" + name);
    out << value << "\n";
    out.close();
    if (!out) {
        Refuse("write net.ipv4." + name);
    }
}

// A name server on 127.0.0.1 that takes every query and answers none; needs a mount namespace.
int StartSilentNameServer() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(53);
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        Refuse("bind 127.0.0.1:53");
    }
    const std::string conf = "/tmp/ping_probe-resolv-" + std::to_string(::getpid());
    std::ofstream(conf) << "nameserver 127.0.0.1\noptions timeout:10 attempts:1\n";
    const int mounted = ::mount(conf.c_str(), "/etc/resolv.conf", nullptr, MS_BIND, nullptr);
    ::unlink(conf.c_str());
    if (mounted != 0) {
        Refuse("bind mount over /etc/resolv.conf");
    }
    return fd;
}

uint16_t Checksum(const uint8_t* bytes, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < size; i += 2) {
        sum += static_cast<uint32_t>(bytes[i] << 8 | bytes[i + 1]);
    }
    while (sum >> 16 != 0) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return htons(static_cast<uint16_t>(~sum));
}

// Answers every echo request it sees with two false replies from the pinged address: one with
// another identifier, one with another sequence number. A pinger that takes either is wrong.
class FalseResponder {
public:
    FalseResponder() : socket_(::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP)) {
        if (socket_ < 0 || stop_ < 0) {
            Refuse("raw socket for false replies");
        }
        thread_ = std::thread([this] { Run(); });
    }
    ~FalseResponder() {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(stop_, &one, sizeof one);
        thread_.join();
        ::close(socket_);
        ::close(stop_);
    }

private:
    void Run() {
        for (;;) {
            pollfd fds[2] = {{socket_, POLLIN, 0}, {stop_, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 || fds[1].revents != 0) {
                return;
            }
            uint8_t packet[1024];
            sockaddr_in from{};
            socklen_t size = sizeof from;
            const ssize_t n = ::recvfrom(socket_, packet, sizeof packet, 0,
                                         reinterpret_cast<sockaddr*>(&from), &size);
            const size_t offset = n > 0 ? static_cast<size_t>(packet[0] & 0x0F) * 4 : 0;
            if (n < static_cast<ssize_t>(offset + sizeof(icmphdr)) || packet[offset] != ICMP_ECHO) {
                continue;
            }
            icmphdr request;
            std::memcpy(&request, packet + offset, sizeof request);
            const uint16_t id = ntohs(request.un.echo.id);
            const uint16_t sequence = ntohs(request.un.echo.sequence);
            Reply(from, static_cast<uint16_t>(id + 1), sequence);
            Reply(from, id, static_cast<uint16_t>(sequence + 1));
        }
    }

    void Reply(const sockaddr_in& to, uint16_t id, uint16_t sequence) {
        icmphdr reply{};
        reply.type = ICMP_ECHOREPLY;
        reply.un.echo.id = htons(id);
        reply.un.echo.sequence = htons(sequence);
        reply.checksum = Checksum(reinterpret_cast<const uint8_t*>(&reply), sizeof reply);
        ::sendto(socket_, &reply, sizeof reply, 0, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to);
    }

    int socket_;
    int stop_ = ::eventfd(0, EFD_CLOEXEC);
    std::thread thread_;
};

int Usage() {
    std::fprintf(stderr,
                 "usage: ping_probe [--lo-up] [--ping-group-range 'A B'] [--ignore-echo]\n"
                 "                  [--silent-dns] [--false-replies]\n"
                 "                  [--means automatic|datagram|raw|program] [--timeout MS]\n"
                 "                  [--cancel-after MS] host...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool loopbackUp = false;
    bool ignoreEcho = false;
    bool silentDns = false;
    bool falseReplies = false;
    std::string pingGroupRange;
    vardex::PingMeans means = vardex::PingMeans::Automatic;
    int timeoutMs = 2000;
    int cancelAfterMs = -1;
    std::vector<std::string> hosts;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--lo-up") {
            loopbackUp = true;
        } else if (arg == "--ignore-echo") {
            ignoreEcho = true;
        } else if (arg == "--silent-dns") {
            silentDns = true;
        } else if (arg == "--false-replies") {
            falseReplies = true;
        } else if (arg == "--ping-group-range" && hasValue) {
            pingGroupRange = argv[++i];
        } else if (arg == "--timeout" && hasValue) {
            timeoutMs = std::atoi(argv[++i]);
        } else if (arg == "--cancel-after" && hasValue) {
            cancelAfterMs = std::atoi(argv[++i]);
        } else if (arg == "--means" && hasValue) {
            const std::string name = argv[++i];
            if (name == "automatic") {
                means = vardex::PingMeans::Automatic;
            } else if (name == "datagram") {
                means = vardex::PingMeans::DatagramSocket;
            } else if (name == "raw") {
                means = vardex::PingMeans::RawSocket;
            } else if (name == "program") {
                means = vardex::PingMeans::PingProgram;
            } else {
                return Usage();
            }
        } else if (arg == "--") {
            hosts.insert(hosts.end(), argv + i + 1, argv + argc);
            break;
        } else if (arg.rfind("--", 0) == 0) {
            return Usage();
        } else {
            hosts.push_back(arg);
        }
    }

    if (loopbackUp || ignoreEcho || silentDns || !pingGroupRange.empty()) {
        RequireFreshNamespace();
    }
    if (loopbackUp) {
        BringLoopbackUp();
    }
    if (!pingGroupRange.empty()) {
        WriteSysctl("ping_group_range", pingGroupRange);
    }
    if (ignoreEcho) {
        WriteSysctl("icmp_echo_ignore_all", "1");
    }
    const int nameServer = silentDns ? StartSilentNameServer() : -1;
    std::unique_ptr<FalseResponder> responder;
    if (falseReplies) {
        RequireFreshNamespace();
        responder = std::make_unique<FalseResponder>();
    }

    auto pinger = vardex::MakeSystemPinger(means);
    const int descriptorsBefore = OpenDescriptors();
    std::thread canceller;
    if (cancelAfterMs >= 0) {
        canceller = std::thread([&pinger, cancelAfterMs] {
            std::this_thread::sleep_for(std::chrono::milliseconds(cancelAfterMs));
            pinger->Cancel();
        });
    }
    for (const std::string& host : hosts) {
        const auto start = std::chrono::steady_clock::now();
        const int result = pinger->PingHost(host, timeoutMs);
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        std::printf("%d %lld\n", result, static_cast<long long>(elapsed.count()));
        std::fflush(stdout);
    }
    if (canceller.joinable()) {
        canceller.join();
    }
    // A name lookup runs on a thread of its own that frees its descriptor just after it answers.
    int descriptorsAfter = OpenDescriptors();
    for (int wait = 0; wait < 100 && descriptorsAfter > descriptorsBefore; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        descriptorsAfter = OpenDescriptors();
    }
    const bool childLeft = ::waitpid(-1, nullptr, WNOHANG) >= 0;  // alive or not yet reaped
    std::printf("descriptors %d %d\nchild %s\n", descriptorsBefore, descriptorsAfter,
                childLeft ? "left" : "none");
    responder.reset();
    if (nameServer >= 0) {
        ::close(nameServer);
    }
    return 0;
}
