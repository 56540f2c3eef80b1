// The marker on Linux: a listening abstract Unix socket named after the user id and the name.
// The kernel removes it with the last descriptor, so it goes with the process even after
// SIGKILL. A second copy connects and accepts the mark only from a socket of the same user.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "InstanceMarker.h"
#include "Md5.h"

namespace vardex {
namespace {

std::string HexOf(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex.push_back(kDigits[b >> 4]);
        hex.push_back(kDigits[b & 0x0F]);
    }
    return hex;
}

// "\0vardex-<uid>-<hex of name>", or "\0vardex-<uid>-md5-<digest>" for a name too long for
// the address; the "-" that no hex text holds keeps the two forms apart. false if neither can
// be made.
bool MarkerAddress(std::string_view name, sockaddr_un& address, socklen_t& length) {
    const std::string prefix = "vardex-" + std::to_string(::getuid()) + "-";
    std::string abstractName = prefix + HexOf(name);
    if (abstractName.size() + 1 > sizeof address.sun_path) {
        const std::string digest = Md5Hex(name);
        if (digest.empty()) {
            return false;
        }
        abstractName = prefix + "md5-" + digest;
    }
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, abstractName.data(), abstractName.size());
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + abstractName.size());
    return true;
}

}  // namespace

bool IsInstanceRunning(std::string_view name) {
    sockaddr_un address;
    socklen_t length = 0;
    if (name.empty() || !MarkerAddress(name, address, length)) {
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return false;
    }
    bool running = false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
        // Any user can bind an abstract name; only a mark of our own user counts, so that
        // nobody else can keep this user's program from starting.
        ucred peer{};
        socklen_t size = sizeof peer;
        running =
            ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
    }
    ::close(fd);
    return running;
}

bool MarkInstanceRunning(std::string_view name) {
    sockaddr_un address;
    socklen_t length = 0;
    if (name.empty() || !MarkerAddress(name, address, length)) {
        return false;
    }
    // CLOEXEC: a started client must not inherit the mark and keep it after we end.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    // Nobody accepts: every check by a later copy leaves one connection waiting, so the queue is
    // made long. A full queue refuses the connection and would read as no mark.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
        ::listen(fd, SOMAXCONN) != 0) {
        ::close(fd);
        return false;
    }
    return true;  // fd stays open, unused, until the process ends
}

}  // namespace vardex
