// ms.ini: read once at start, enciphered as a whole, replaced atomically on every save. The file
// as found at start is kept as ms.ini.bak before the first save replaces it.
#pragma once

#include <string>
#include <string_view>

namespace vardex {

struct SaveOutcome {
    enum class Problem { None, Backup, Write };
    Problem problem = Problem::None;
    std::string path;    // the file that could not be written
    std::string reason;  // what the system said

    bool ok() const { return problem == Problem::None; }
};

class StoreFile {
public:
    explicit StoreFile(std::string path);

    // Reads and deciphers the file; a missing, unreadable or empty file is an empty store.
    void LoadStoreAtStart();

    const std::string& Path() const { return path_; }
    // The deciphered content as read at start; never refreshed.
    const std::string& StoreBytes() const { return storeBytes_; }

    // Enciphers plaintext and replaces the file. When the backup of the file as found at start
    // cannot be written, the file is left alone, so nothing is lost.
    SaveOutcome Save(std::string_view plaintext);

private:
    std::string path_;
    std::string storeBytes_;
    bool backupPending_ = false;
};

}  // namespace vardex
