// The self-pipe: the signal handler only writes one byte, the GUI thread reads it.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <initializer_list>

#include "TerminationRequest.h"

namespace vardex {
namespace {

int writeEnd = -1;

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(writeEnd, &byte, 1);
}

}  // namespace

int WatchTerminationRequests() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return -1;
    }
    writeEnd = fds[1];
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(sig, &action, nullptr);
    }
    return fds[0];
}

}  // namespace vardex
