// libFuzzer target for the stand-in's readers. Any bytes as command line, connection file and
// password block give a result or a refusal, never a crash, and what they give stays within
// its limits; a connection file and a command line as the launcher writes them read back as
// the launcher meant them.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "launch/ClientOptions.h"
#include "launch/ConnectionFile.h"
#include "platform/CodePage.h"
#include "platform/MstscStandIn.h"

namespace vardex {
namespace {

constexpr int kMaxDesktopSize = 8192;

class OpenAnything : public DataProtection {
public:
    std::optional<std::string> Protect(std::string_view plain) override {
        return std::string(plain);
    }
    std::optional<std::string> Unprotect(std::string_view blob) override {
        return std::string(blob);
    }
};

bool InRange(const std::optional<int>& size) {
    return !size || (*size >= 1 && *size <= kMaxDesktopSize);
}

void CheckLaunch(const ClientLaunch& launch) {
    FUZZ_REQUIRE(!launch.arguments.empty() && launch.arguments[0].rfind("/v:", 0) == 0);
    if (launch.standardInput) {
        const std::string& line = *launch.standardInput;
        FUZZ_REQUIRE(line.find_first_of("\r\n") == line.size() - 1 && line.back() == '\n');
    }
}

void CheckAnyBytes(std::string_view bytes) {
    if (const auto request = ParseClientCommandLine(bytes)) {
        FUZZ_REQUIRE(!request->connectionFile.empty());
        FUZZ_REQUIRE(InRange(request->width) && InRange(request->height));
    }
    if (const auto password = PasswordFromBlock(bytes)) {
        FUZZ_REQUIRE(password->find_first_of("\r\n") == std::string::npos);
    }
    if (const auto settings = ReadConnectionSettings(bytes)) {
        FUZZ_REQUIRE(!settings->host.empty());
        FUZZ_REQUIRE(settings->port >= 1 && settings->port <= 65535);
        FUZZ_REQUIRE(InRange(settings->desktopWidth) && InRange(settings->desktopHeight));
        OpenAnything protection;
        CheckLaunch(PlanClientLaunch(ParseClientCommandLine(bytes).value_or(ClientRequest{}),
                                     *settings, protection));
    }
}

// The port as the stand-in takes it: digits only, 1 to 65535; empty is the default.
std::optional<int> PortNumber(std::string_view port) {
    if (port.empty()) {
        return 3389;
    }
    if (port.size() > 9 || port.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const int number = std::stoi(std::string(port));
    return number >= 1 && number <= 65535 ? std::optional<int>(number) : std::nullopt;
}

// The password's UTF-16 units as its 512-byte block holds them, up to the first zero.
std::string PasswordAsBlockHolds(std::string_view password) {
    std::u16string units = GbkToUtf16Lossy(password);
    units = units.substr(0, units.find(u'\0'));
    return Utf16ToUtf8(units.substr(0, 256)).value_or(std::string());
}

void CheckWrittenConnectionFile(FuzzedDataProvider& input) {
    ConnectionFields fields;
    fields.address = input.ConsumeRandomLengthString(24);
    fields.port = input.ConsumeRandomLengthString(8);
    fields.account = input.ConsumeRandomLengthString(16);
    if (input.ConsumeBool()) {
        fields.password = input.ConsumeRandomLengthString(300);
    }
    fields.redirectDisks = input.ConsumeBool();
    OpenAnything protection;
    const ConnectionText text = BuildConnectionText(fields, protection);
    if (!text.ok()) {
        return;
    }
    const std::optional<ConnectionSettings> settings = ReadConnectionSettings(text.text);
    const std::optional<std::string> host = GbkToUtf8(fields.address);
    const std::optional<std::string> account = GbkToUtf8(fields.account);
    // A field holding a placeholder of the template is filled by a later step, as the
    // connection file always did; an address in brackets is read as IPv6.
    for (const std::string* field : {&fields.address, &fields.port, &fields.account}) {
        if (field->find('%') != std::string::npos) {
            return;
        }
    }
    // A ":" in the port makes what stands before the last one part of the host.
    if (!host || !account || (!fields.address.empty() && fields.address.front() == '[') ||
        fields.port.find(':') != std::string::npos) {
        return;
    }
    const std::optional<int> port = PortNumber(fields.port);
    FUZZ_REQUIRE(settings.has_value() == (!host->empty() && port.has_value()));
    if (!settings) {
        return;
    }
    FUZZ_REQUIRE(settings->host == *host && settings->port == *port);
    FUZZ_REQUIRE(settings->username == *account);
    FUZZ_REQUIRE(settings->screenModeId == 2);
    FUZZ_REQUIRE(settings->redirectAllDrives == fields.redirectDisks);
    FUZZ_REQUIRE(settings->redirectSmartCards == !fields.redirectDisks);
    FUZZ_REQUIRE(settings->passwordBlob.has_value() == fields.password.has_value());

    const ClientLaunch launch = PlanClientLaunch(ClientRequest{}, *settings, protection);
    CheckLaunch(launch);
    if (fields.password && !account->empty()) {
        FUZZ_REQUIRE(launch.standardInput == PasswordAsBlockHolds(*fields.password) + "\n");
    } else {
        FUZZ_REQUIRE(!launch.standardInput);
    }
}

// A size option as the stand-in takes it: 1 to 8192 in digits; anything else is no size.
std::optional<int> SizeNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 9) {
        return std::nullopt;
    }
    const int number = std::stoi(std::string(digits));
    return number >= 1 && number <= kMaxDesktopSize ? std::optional<int>(number) : std::nullopt;
}

bool AllDigits(std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

void CheckWrittenCommandLine(FuzzedDataProvider& input) {
    LaunchOptions options;
    options.size800x600 = input.ConsumeBool();
    options.size1024x768 = input.ConsumeBool();
    options.fullScreen = input.ConsumeBool();
    options.customSize = input.ConsumeBool();
    options.forcedLogin = input.ConsumeBool();
    options.customWidth = input.ConsumeRandomLengthString(6);
    options.customHeight = input.ConsumeRandomLengthString(6);
    const std::string path = input.ConsumeRemainingBytesAsString();
    const std::string line = BuildClientCommandLine(path, BuildClientOptions(options));
    const std::optional<ClientRequest> request = ParseClientCommandLine(line);
    if (!GbkToUtf8(line) || path.empty()) {
        FUZZ_REQUIRE(!request);
        return;
    }
    FUZZ_REQUIRE(request && request->connectionFile == *GbkToUtf8(path));
    FUZZ_REQUIRE(request->fullScreen == options.fullScreen);
    FUZZ_REQUIRE(request->admin == options.forcedLogin);
    FUZZ_REQUIRE(InRange(request->width) && InRange(request->height));
    // A later size wins: the custom one, then 1024*768, then 800*600.
    std::optional<int> width;
    std::optional<int> height;
    if (options.size800x600) {
        width = 800;
        height = 600;
    }
    if (options.size1024x768) {
        width = 1024;
        height = 768;
    }
    if (options.customSize) {
        if (!AllDigits(options.customWidth) || !AllDigits(options.customHeight)) {
            return;  // what the option keeps of other texts is ClientOptions' own business
        }
        width = SizeNumber(options.customWidth);
        height = SizeNumber(options.customHeight);
    }
    FUZZ_REQUIRE(request->width == width && request->height == height);
}

}  // namespace
}  // namespace vardex

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange(0, 2)) {
        case 0:
            vardex::CheckAnyBytes(input.ConsumeRemainingBytesAsString());
            break;
        case 1:
            vardex::CheckWrittenConnectionFile(input);
            break;
        default:
            vardex::CheckWrittenCommandLine(input);
            break;
    }
    return 0;
}
