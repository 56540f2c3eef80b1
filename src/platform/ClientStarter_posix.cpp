// Linux: the stand-in reads the command line and connection file and starts FreeRDP with
// explicit arguments by posix_spawn (no shell), the password on a pipe to its standard input.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "ClientStarter.h"
#include "FileIo.h"
#include "MstscStandIn.h"

extern char** environ;

namespace vardex {
namespace {

constexpr const char* kClientNames[] = {"xfreerdp", "xfreerdp3"};

bool IsRunnableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// Only absolute PATH entries count: an empty or relative one would run whatever lies in the
// current folder.
std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        if (!folder.empty() && folder.front() == '/') {
            std::string candidate = std::string(folder) + "/" + name;
            if (IsRunnableFile(candidate)) {
                return candidate;
            }
        }
    }
    return std::string();
}

class SpawnSetup {
public:
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

// The whole password goes into the pipe before the client starts: it is far below the pipe's
// capacity, so the write never waits and the client finds it there when it reads.
int PipeHolding(const std::string& input) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return -1;
    }
    const ssize_t written = ::write(ends[1], input.data(), input.size());
    ::close(ends[1]);
    if (written != static_cast<ssize_t>(input.size())) {
        ::close(ends[0]);
        return -1;
    }
    return ends[0];
}

void Wipe(std::string& secret) {
    volatile char* bytes = secret.data();
    for (size_t i = 0; i < secret.size(); ++i) {
        bytes[i] = 0;
    }
}

ClientStartResult Refused(ClientStartResult result, ClientStartProblem problem,
                          std::string reason) {
    result.problem = problem;
    result.reason = std::move(reason);
    return result;
}

}  // namespace

ClientStartResult StartClient(std::string_view commandLine, DataProtection& protection) {
    ClientStartResult result;
    result.clientName = kClientNames[0];
    std::string clientPath;
    for (const char* name : kClientNames) {
        clientPath = FindOnPath(name);
        if (!clientPath.empty()) {
            result.clientName = name;
            break;
        }
    }
    if (clientPath.empty()) {
        return Refused(result, ClientStartProblem::ClientMissing,
                       "neither xfreerdp nor xfreerdp3 is on PATH");
    }

    const std::optional<ClientRequest> request = ParseClientCommandLine(commandLine);
    if (!request) {
        return Refused(result, ClientStartProblem::CommandLineUnusable,
                       "the command line names no connection file");
    }
    std::optional<std::string> file = ReadWholeFile(request->connectionFile);
    if (!file) {
        return Refused(result, ClientStartProblem::ConnectionFileUnusable,
                       "cannot read " + request->connectionFile + ": " + std::strerror(errno));
    }
    const std::optional<ConnectionSettings> settings = ReadConnectionSettings(*file);
    Wipe(*file);
    if (!settings) {
        return Refused(result, ClientStartProblem::ConnectionFileUnusable,
                       request->connectionFile + " names no usable server address");
    }
    ClientLaunch launch = PlanClientLaunch(*request, *settings, protection);

    SpawnSetup setup;
    int input = -1;
    if (launch.standardInput) {
        input = PipeHolding(*launch.standardInput);
        Wipe(*launch.standardInput);
        if (input < 0) {
            return Refused(result, ClientStartProblem::SystemRefused,
                           std::string("pipe: ") + std::strerror(errno));
        }
        posix_spawn_file_actions_adddup2(&setup.actions, input, STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1);
#endif
    // The client gets the default signal handling, and a session of its own: no terminal to
    // prompt on, and a terminal closing behind us does not end it.
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&setup.attributes, &signals);
    sigfillset(&signals);
    sigdelset(&signals, SIGKILL);
    sigdelset(&signals, SIGSTOP);
    posix_spawnattr_setsigdefault(&setup.attributes, &signals);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#ifdef POSIX_SPAWN_SETSID
    flags |= POSIX_SPAWN_SETSID;
#endif
    posix_spawnattr_setflags(&setup.attributes, flags);

    std::vector<char*> argv;
    std::string program = result.clientName;
    argv.push_back(program.data());
    for (std::string& argument : launch.arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, clientPath.c_str(), &setup.actions, &setup.attributes,
                                    argv.data(), environ);
    if (input >= 0) {
        ::close(input);
    }
    if (error != 0) {
        return Refused(result, ClientStartProblem::SystemRefused,
                       "cannot start " + clientPath + ": " + std::strerror(error));
    }
    // The client runs on by itself; this thread only collects its end so no zombie is left.
    std::thread([pid] {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    result.started = true;
    result.processId = static_cast<long>(pid);
    return result;
}

}  // namespace vardex
