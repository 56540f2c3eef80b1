// One ICMP echo request to a host, as the online monitor needs it: the round-trip time in whole
// milliseconds, or -1 for every kind of failure.
#pragma once

#include <memory>
#include <string>

namespace vardex {

class Pinger {
public:
    virtual ~Pinger() = default;

    // host is a GBK text used exactly as stored: a dotted IPv4 address (inet_addr forms such as
    // "127.1" included) or a host name. Returns the round-trip time truncated to whole
    // milliseconds (0 on loopback), or -1 when the host cannot be resolved, does not answer
    // within timeoutMs, or cannot be pinged at all. Safe to call from several threads.
    virtual int PingHost(const std::string& host, int timeoutMs) = 0;

    // Callable from any thread: a ping in flight and every later one return -1 promptly, so that
    // closing the window never waits for a time-out. There is no way back.
    virtual void Cancel() {}
};

// How the system pinger reaches ICMP. Windows has one means (icmp.dll) and ignores the choice.
enum class PingMeans {
    Automatic,       // the first of the three below that this process may use
    DatagramSocket,  // Linux ICMP datagram socket, where net.ipv4.ping_group_range allows it
    RawSocket,       // root or CAP_NET_RAW
    PingProgram,     // the system's ping program
};

// Automatic decides once, when the pinger is made, and keeps to that means. A means named
// explicitly (for tests) is used alone: where the system refuses it, every ping gives -1.
std::unique_ptr<Pinger> MakeSystemPinger(PingMeans means = PingMeans::Automatic);

}  // namespace vardex
