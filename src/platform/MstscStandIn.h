// The Linux stand-in for the Windows remote desktop client: it reads the client's command line
// and connection file as that client would and turns them into FreeRDP arguments of the same
// meaning. Pure text work, the same on every system, so it is tested and fuzzed anywhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DataProtection.h"

namespace vardex {

// What the client's command line asks for: "<client> <connection file> [options]".
struct ClientRequest {
    std::string connectionFile;  // UTF-8
    std::optional<int> width;    // "/w:N"
    std::optional<int> height;   // "/h:N"
    bool fullScreen = false;     // "/f"
    bool admin = false;          // "/admin"
};

// Splits by the Windows rules: whitespace separates, quotation marks group, backslashes escape
// only a quotation mark. UTF-8 in, UTF-8 out.
std::vector<std::string> SplitWindowsCommandLine(std::string_view commandLine);

// nullopt when the GBK command line is no valid GBK or names no connection file. Unknown
// options and sizes that are no number from 1 to 8192 are passed over, as the client does.
std::optional<ClientRequest> ParseClientCommandLine(std::string_view commandLine);

// The settings of a connection file that the stand-in gives FreeRDP.
struct ConnectionSettings {
    std::string host;  // UTF-8, without the port; an IPv6 address keeps its brackets
    int port = 3389;
    std::string username;                     // UTF-8
    std::optional<std::string> passwordBlob;  // protected bytes of "password 51:b:"
    int screenModeId = 1;                     // 2 is full screen
    std::optional<int> desktopWidth;
    std::optional<int> desktopHeight;
    bool redirectAllDrives = false;   // "drivestoredirect:s:*"
    bool redirectSmartCards = false;  // "redirectsmartcards:i:1"
};

// Lines "name:type:value" (names in any case; a later line wins), GBK, or UTF-8 or UTF-16LE
// after their byte order mark. nullopt when "full address" names no host or a port that is no
// number from 1 to 65535.
std::optional<ConnectionSettings> ReadConnectionSettings(std::string_view fileBytes);

// The password in an opened block: its UTF-16LE code units up to the first zero, as UTF-8.
// nullopt when they are no valid UTF-16 or hold a line break, which FreeRDP's one-line read
// would cut short.
std::optional<std::string> PasswordFromBlock(std::string_view block);

struct ClientLaunch {
    std::vector<std::string> arguments;        // after the program name
    std::optional<std::string> standardInput;  // the password and a newline, or nothing
};

// The FreeRDP arguments: /v:host:port, /u:account, /f or /w: /h:, /admin, /drives, /smartcard,
// /cert:tofu and, when the password blob opens with protection and there is an account to go
// with it, /from-stdin:force with the password on standard input. Without them FreeRDP gets no
// password from us; it then cannot ask for one either (no terminal), so a server that wants one
// before the session refuses the logon and any other shows its own logon screen.
ClientLaunch PlanClientLaunch(const ClientRequest& request, const ConnectionSettings& settings,
                              DataProtection& protection);

}  // namespace vardex
