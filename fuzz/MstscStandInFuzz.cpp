// libFuzzer target for the stand-in's readers: any bytes as command line, connection file and
// password block must give a result or a refusal, never a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/MstscStandIn.h"

namespace {

class OpenAnything : public vardex::DataProtection {
  public:
    std::optional<std::string> Protect(std::string_view plain) override {
        return std::string(plain);
    }
    std::optional<std::string> Unprotect(std::string_view blob) override {
        return std::string(blob);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto request = vardex::ParseClientCommandLine(bytes);
    vardex::PasswordFromBlock(bytes);
    if (const auto settings = vardex::ReadConnectionSettings(bytes)) {
        OpenAnything protection;
        vardex::PlanClientLaunch(request.value_or(vardex::ClientRequest{}), *settings, protection);
    }
    return 0;
}
