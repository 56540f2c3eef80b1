// One value of an INI file, read and written as the Windows profile-string functions do but on
// the file's own bytes, so the file is replaced atomically and its code page stays as it was.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileIo.h"

namespace vardex {

// The longest value a read returns (the readers' buffer holds 10240 bytes with the zero).
inline constexpr size_t kMaxIniValueBytes = 10239;

// The value of key in the first section named section; "" when either is missing. Section and
// key names match without regard to ASCII case. Blanks (space, tab) at both ends are dropped,
// then a pair of double quotes around the whole value, as Windows does; then the value is cut
// to kMaxIniValueBytes, never inside a two-byte character.
std::string ReadIniValue(std::string_view fileText, std::string_view section, std::string_view key);

// The file text with the value set: an existing key has its value replaced in place, a missing
// key gets a line after the last non-blank line of its section, a missing section is added at
// the end. Every other byte stays as it was, blanks around an old value too, except at an end
// where the new value brings blanks of its own. New lines end in CR LF; a last line without a
// line end gets one first (a lone CR at its end becomes CR LF). nullopt when the names or the
// value cannot be written so that they read back: a line end in any of them, a name that ends
// in a lead byte without its second byte, a key that is empty, holds "=", starts with "[" or
// has blanks at either end, or a section that holds "]" or has blanks at either end.
std::optional<std::string> WriteIniValue(std::string_view fileText, std::string_view section,
                                         std::string_view key, std::string_view value);

// ReadIniValue on the file at path (UTF-8); a missing or unreadable file reads as empty.
std::string ReadIniFileValue(const std::string& path, std::string_view section,
                             std::string_view key);

// WriteIniValue on the file at path, which is then replaced whole and atomically (readable by
// everyone). A missing file is created. A file that exists but cannot be read is left alone
// rather than replaced by one that holds only this value.
WriteResult WriteIniFileValue(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view value);

}  // namespace vardex
