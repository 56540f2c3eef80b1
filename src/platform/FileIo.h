// Whole-file read and the atomic whole-file replace. Paths are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vardex {

// Who may read a file that is written; Windows files inherit their folder's rights.
enum class FileAccess { OwnerOnly, Everyone };

struct WriteResult {
    bool ok = true;
    std::string reason;  // what the system said when ok is false
};

// nullopt when the file is missing or cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// True when nothing exists at path; false for a file that is there, readable or not. Tells a
// file that may be created from one that must not be replaced unread.
bool IsMissingFile(const std::string& path);

// Writes a temporary file beside path, flushes it to the disk and renames it over path, so that
// a crash or a full disk leaves either the old file or the new one, never a part of either.
WriteResult WriteWholeFileAtomic(const std::string& path, std::string_view bytes,
                                 FileAccess access);

}  // namespace vardex
