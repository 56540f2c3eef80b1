// The private temporary folder on Linux and the careful write of a file in it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "TempFolder.h"

namespace vardex {
namespace {

std::string Reason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

std::optional<std::string> PrivateTempFolder() {
    std::string folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime != nullptr && runtime[0] == '/') {
        folder = std::string(runtime) + "/vardex";
    } else {
        folder = "/tmp/vardex-" + std::to_string(::geteuid());
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::nullopt;
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid() || (info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        return std::nullopt;
    }
    return folder + "/";
}

WriteResult WritePrivateFile(const std::string& path, std::string_view bytes) {
    // O_NONBLOCK: a planted FIFO must not hang the open; it is refused below.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        return {false, Reason("open")};
    }
    auto fail = [fd](const char* what) {
        WriteResult result{false, Reason(what)};
        ::close(fd);
        return result;
    };
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return fail("stat");
    }
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        errno = EPERM;
        return fail("not a file of our own");
    }
    if ((info.st_mode & 0777) != 0600 && ::fchmod(fd, 0600) != 0) {
        return fail("chmod");
    }
    if (::ftruncate(fd, 0) != 0) {
        return fail("truncate");
    }
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return fail("write");
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    if (::close(fd) != 0) {
        return {false, Reason("close")};
    }
    return {};
}

}  // namespace vardex
