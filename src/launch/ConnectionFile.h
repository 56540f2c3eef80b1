// The connection file handed to the remote desktop client: its fixed template, the filled text,
// its safe file name in the private temporary folder, and its write. Texts and paths are GBK.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/DataProtection.h"
#include "store/ServerRecord.h"

namespace vardex {

struct ConnectionFields {
    std::string address;
    std::string port;
    std::string account;
    std::optional<std::string> password;  // absent: line 19 keeps its placeholder
    bool redirectDisks = false;
};

// A stored server's fields: an empty password is no password, so the file keeps the password
// placeholder. (The temporary login always has a password, an empty one included.)
ConnectionFields FieldsForServer(const ServerRecord& record, bool redirectDisks);

enum class ConnectionField { Address, Port, Account, Password };

struct ConnectionText {
    std::string text;                        // empty when a field was refused
    std::optional<ConnectionField> refused;  // the first field holding a CR or LF

    bool ok() const { return !refused.has_value(); }
};

// 45 lines joined by CR LF, none after the last; 1041 bytes.
const std::string& RdpTemplate();

// Fills the template: account, then address ":" port, then the protected password (only when
// present; the protection is called exactly once then), then the smart-card and drive lines.
// A field holding CR or LF would add lines of its own to the file, so it is refused instead and
// nothing is protected.
ConnectionText BuildConnectionText(const ConnectionFields& fields, DataProtection& protection);

// The file name for a remark or address: path separators and the characters file names cannot
// hold become "_" (a GBK character is kept whole, its trail byte is never taken for one), a
// Windows device name such as "CON" gets a "_" in front, and a final "." or space becomes "_",
// so the name means the same file on every system. nullopt for "", "." and "..": no file.
std::optional<std::string> ConnectionFileName(std::string_view remarkOrAddress);

// The record's remark when it has one, else its address.
std::optional<std::string> ConnectionFileName(const ServerRecord& record);

// folder (ending in its separator) followed directly by name.
std::string ConnectionFilePath(std::string_view folder, std::string_view name);

// The private temporary folder as GBK text; nullopt when there is none or GBK cannot hold it.
std::optional<std::string> ConnectionFolder();

// Creates or empties the file and writes text in one piece, privately (see TempFolder.h).
// False when nothing or not all was written; an empty path writes nothing.
bool WriteConnectionFile(std::string_view path, std::string_view text);

}  // namespace vardex
