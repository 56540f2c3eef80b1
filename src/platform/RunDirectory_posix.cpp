// The run directory on Linux: the folder of /proc/self/exe.
#include <unistd.h>

#include <climits>

#include "RunDirectory.h"

namespace vardex {

std::string RunDirectory() {
    std::string path(PATH_MAX, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0) {
        return ".";
    }
    path.resize(static_cast<size_t>(n));
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string JoinPath(std::string_view dir, std::string_view name) {
    std::string path(dir);
    path += '/';
    path += name;
    return path;
}

}  // namespace vardex
