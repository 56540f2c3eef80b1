// Small aids for Linux tests: an environment variable put back afterwards, waiting for a
// condition with a limit, and a file's mode bits.
#pragma once

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include <sys/stat.h>

namespace vardex::testing {

// Remembers a variable and restores it (or its absence) when the test ends.
class SavedEnvironment {
public:
    explicit SavedEnvironment(const char* name) : name_(name) {
        if (const char* value = std::getenv(name)) {
            value_ = value;
        }
    }
    ~SavedEnvironment() { value_ ? ::setenv(name_, value_->c_str(), 1) : ::unsetenv(name_); }
    SavedEnvironment(const SavedEnvironment&) = delete;
    SavedEnvironment& operator=(const SavedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<std::string> value_;
};

// Polls condition until it holds (true) or limit has passed (false).
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// The permission bits of path itself (a symlink is not followed); 0 when it does not exist.
inline unsigned FileMode(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

}  // namespace vardex::testing
