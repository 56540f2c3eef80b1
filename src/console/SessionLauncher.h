// From a server's fields to a running remote desktop client: the connection file in the private
// temporary folder, the client's device value, the command line and the start. Whatever stops
// a launch is told to the user.
#pragma once

#include <QString>
#include <string>

#include "launch/ClientOptions.h"
#include "launch/ConnectionFile.h"

namespace vardex {

class ClientStarter;
class DataProtection;
class MessageBoxes;
class Registry;

struct LaunchRequest {
    ConnectionFields fields;
    std::string fileName;  // GBK: a remark or an address, made safe before use
    LaunchOptions options;
};

class SessionLauncher {
public:
    SessionLauncher(DataProtection& protection, Registry& registry, ClientStarter& starter,
                    MessageBoxes& messages);

    // True when the client was started.
    bool Launch(const LaunchRequest& request);

private:
    void Refuse(const QString& text);

    DataProtection& protection_;
    Registry& registry_;
    ClientStarter& starter_;
    MessageBoxes& messages_;
};

}  // namespace vardex
