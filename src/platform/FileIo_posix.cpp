// POSIX files: read(2), and mkstemp + fsync + rename + fsync of the folder for the replace.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "FileIo.h"

namespace vardex {
namespace {

std::string Reason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string bytes;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_size > 0) {
        bytes.reserve(static_cast<size_t>(info.st_size));
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

bool IsMissingFile(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) != 0 && errno == ENOENT;
}

WriteResult WriteWholeFileAtomic(const std::string& path, std::string_view bytes,
                                 FileAccess access) {
    std::string temp = path + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);  // created 0600
    if (fd < 0) {
        return {false, Reason("create")};
    }
    auto fail = [&](const char* what) {
        WriteResult result{false, Reason(what)};
        ::close(fd);
        ::unlink(temp.c_str());
        return result;
    };
    if (access == FileAccess::Everyone && ::fchmod(fd, 0644) != 0) {
        return fail("chmod");
    }
    if (!WriteAll(fd, bytes)) {
        return fail("write");
    }
    if (::fsync(fd) != 0) {
        return fail("fsync");
    }
    if (::close(fd) != 0) {
        WriteResult result{false, Reason("close")};
        ::unlink(temp.c_str());
        return result;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        WriteResult result{false, Reason("rename")};
        ::unlink(temp.c_str());
        return result;
    }
    // The rename itself must reach the disk too.
    const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

}  // namespace vardex
