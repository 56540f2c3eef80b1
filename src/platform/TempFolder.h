// The user's private folder for temporary files (the connection files), and the private write
// of one file in it. Paths are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "FileIo.h"

namespace vardex {

// Ends with the system's separator. Windows: GetTempPathW. Linux: $XDG_RUNTIME_DIR/vardex/ or
// else /tmp/vardex-<uid>/, made 0700; nullopt when it is a symlink, not the user's own or open
// to group or others, so that nobody else can read or plant the files in it.
std::optional<std::string> PrivateTempFolder();

// Creates the file, or empties an existing one, and writes bytes. Linux: mode 0600, and a
// symlink or anything but a regular file of the user's own at path is refused, never followed.
// Windows: no sharing with other openers while it is written.
WriteResult WritePrivateFile(const std::string& path, std::string_view bytes);

}  // namespace vardex
