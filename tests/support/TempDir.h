// A fresh folder for one test, removed with everything in it afterwards. Paths are UTF-8, as
// the program's own, and use the system's separator.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace vardex::testing {

// u8path and u8string are the identity on Linux; on Windows they keep names that the ANSI code
// page cannot hold.
inline std::filesystem::path SystemPath(const std::string& utf8) {
    return std::filesystem::u8path(utf8);
}

class TempDir {
public:
    TempDir() {
        std::random_device random;
        for (;;) {
            const auto candidate = std::filesystem::temp_directory_path() /
                                   ("vardex-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) {
                path_ = candidate.u8string();
                return;
            }
        }
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(SystemPath(path_), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(SystemPath(path_), ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // name may hold "/" between folders; it becomes the system's separator.
    std::string File(const std::string& name) const {
        return (SystemPath(path_) / SystemPath(name)).make_preferred().u8string();
    }

private:
    std::string path_;
};

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(SystemPath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(SystemPath(path), std::ios::binary) << bytes;
}

}  // namespace vardex::testing
