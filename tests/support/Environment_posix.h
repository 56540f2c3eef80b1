// Small aids for tests that start real processes on Linux: an environment variable put back
// afterwards, and waiting for a condition with a limit.
#pragma once

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

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

}  // namespace vardex::testing
