// Starting the remote desktop client on a command line without waiting for it to end. Windows
// starts its own client; Linux starts FreeRDP through the stand-in of MstscStandIn.h.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "DataProtection.h"

namespace vardex {

enum class ClientStartProblem {
    None,
    CommandLineUnusable,     // not GBK, or no connection file named in it
    ConnectionFileUnusable,  // unreadable, or it names no usable server (Linux)
    ClientMissing,           // the client program is not installed
    SystemRefused,           // the system would not start it
};

struct ClientStartResult {
    bool started = false;
    std::string clientName;  // the client started, or the one looked for: "mstsc.exe", "xfreerdp"
    ClientStartProblem problem = ClientStartProblem::None;
    std::string reason;  // UTF-8, for the message when not started
    long processId = 0;
};

// commandLine is GBK: "mstsc.exe <quoted connection file> <options>". The client runs on by
// itself and leaves no zombie; the call returns within about a second. On Linux protection
// opens the file's password, which reaches FreeRDP through a pipe on its standard input only.
ClientStartResult StartClient(std::string_view commandLine, DataProtection& protection);

// The same with the user's own data protection of this system.
ClientStartResult StartClient(std::string_view commandLine);

// The same behind an interface, for callers that take a test double.
class ClientStarter {
public:
    virtual ~ClientStarter() = default;
    virtual ClientStartResult Start(std::string_view commandLine) = 0;
};

// protection must outlive the starter.
std::unique_ptr<ClientStarter> MakeSystemClientStarter(DataProtection& protection);

}  // namespace vardex
