// The system's client starter behind its interface.
#include "ClientStarter.h"

namespace vardex {
namespace {

class SystemClientStarter : public ClientStarter {
public:
    explicit SystemClientStarter(DataProtection& protection) : protection_(protection) {}
    ClientStartResult Start(std::string_view commandLine) override {
        return StartClient(commandLine, protection_);
    }

private:
    DataProtection& protection_;
};

}  // namespace

ClientStartResult StartClient(std::string_view commandLine) {
    const std::unique_ptr<DataProtection> protection = MakeSystemDataProtection();
    return StartClient(commandLine, *protection);
}

std::unique_ptr<ClientStarter> MakeSystemClientStarter(DataProtection& protection) {
    return std::make_unique<SystemClientStarter>(protection);
}

}  // namespace vardex
