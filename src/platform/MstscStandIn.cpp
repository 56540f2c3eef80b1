// Reading the client's command line and connection file, and the FreeRDP arguments for them.
#include "MstscStandIn.h"

#include <algorithm>

#include "CodePage.h"

namespace vardex {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    return lower;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && LowerAscii(text.substr(0, prefix.size())) == prefix;
}

// Digits only, at most max; anything else gives nullopt.
std::optional<int> Number(std::string_view text, int min, int max) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

constexpr int kMaxDesktopSize = 8192;

std::string FileTextAsUtf8(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        std::u16string units;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                  (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        }
        return Utf16ToUtf8(units).value_or(std::string());
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        return std::string(bytes.substr(3));
    }
    return Utf16ToUtf8(GbkToUtf16Lossy(bytes)).value_or(std::string());
}

std::optional<std::string> HexBytes(std::string_view hex) {
    // The writer puts one "0" after the last pair; a lone final digit is no byte.
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        c = Lower(c);
        return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    };
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int high = digit(hex[i]);
        const int low = digit(hex[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
    return bytes;
}

// "host:port", "host:" or "host"; "[v6]:port". An address typed with a port of its own keeps
// it in the host, where FreeRDP will not find such a host.
bool SplitFullAddress(std::string_view full, ConnectionSettings& settings) {
    std::string_view host = full;
    std::string_view port;
    if (!full.empty() && full.front() == '[') {
        const size_t close = full.find(']');
        if (close == std::string_view::npos) {
            return false;
        }
        host = full.substr(0, close + 1);
        const std::string_view rest = full.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') {
                return false;
            }
            port = rest.substr(1);
        }
    } else if (const size_t colon = full.rfind(':'); colon != std::string_view::npos) {
        host = full.substr(0, colon);
        port = full.substr(colon + 1);
    }
    if (host.empty() || host == "[]") {
        return false;
    }
    settings.host = std::string(host);
    if (!port.empty()) {
        const auto number = Number(port, 1, 65535);
        if (!number) {
            return false;
        }
        settings.port = *number;
    }
    return true;
}

// FreeRDP reads "/v:a:b:port" as host "a"; an IPv6 host has to be in brackets.
std::string HostForFreeRdp(const std::string& host) {
    if (host.find(':') != std::string::npos && host.front() != '[') {
        return "[" + host + "]";
    }
    return host;
}

void Wipe(std::string& secret) {
    volatile char* bytes = secret.data();
    for (size_t i = 0; i < secret.size(); ++i) {
        bytes[i] = 0;
    }
    secret.clear();
}

}  // namespace

std::vector<std::string> SplitWindowsCommandLine(std::string_view line) {
    std::vector<std::string> arguments;
    size_t pos = 0;
    // The program name knows no escapes: it runs to the closing quotation mark or a space.
    while (pos < line.size() && IsSpace(line[pos])) {
        ++pos;
    }
    if (pos >= line.size()) {
        return arguments;
    }
    std::string program;
    if (line[pos] == '"') {
        const size_t close = line.find('"', pos + 1);
        program = std::string(line.substr(
            pos + 1, close == std::string_view::npos ? std::string_view::npos : close - pos - 1));
        pos = close == std::string_view::npos ? line.size() : close + 1;
    } else {
        while (pos < line.size() && !IsSpace(line[pos])) {
            program += line[pos++];
        }
    }
    arguments.push_back(std::move(program));
    for (;;) {
        while (pos < line.size() && IsSpace(line[pos])) {
            ++pos;
        }
        if (pos >= line.size()) {
            break;
        }
        std::string argument;
        bool quoted = false;
        while (pos < line.size() && (quoted || !IsSpace(line[pos]))) {
            size_t backslashes = 0;
            while (pos < line.size() && line[pos] == '\\') {
                ++backslashes;
                ++pos;
            }
            if (pos < line.size() && line[pos] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else if (quoted && pos + 1 < line.size() && line[pos + 1] == '"') {
                    argument += '"';  // "" inside quotes is a quotation mark
                    ++pos;
                } else {
                    quoted = !quoted;
                }
                ++pos;
            } else {
                argument.append(backslashes, '\\');
                if (pos < line.size() && (quoted || !IsSpace(line[pos]))) {
                    argument += line[pos++];
                }
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::optional<ClientRequest> ParseClientCommandLine(std::string_view commandLine) {
    // Converted first, as Windows does before splitting, so no GBK trail byte is taken for a
    // backslash.
    const std::optional<std::string> utf8 = GbkToUtf8(commandLine);
    if (!utf8) {
        return std::nullopt;
    }
    const std::vector<std::string> arguments = SplitWindowsCommandLine(*utf8);
    if (arguments.size() < 2 || arguments[1].empty()) {
        return std::nullopt;
    }
    ClientRequest request;
    request.connectionFile = arguments[1];
    for (size_t i = 2; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const std::string lower = LowerAscii(option);
        if (lower == "/f") {
            request.fullScreen = true;
        } else if (lower == "/admin") {
            request.admin = true;
        } else if (StartsWithNoCase(option, "/w:")) {
            request.width = Number(std::string_view(option).substr(3), 1, kMaxDesktopSize);
        } else if (StartsWithNoCase(option, "/h:")) {
            request.height = Number(std::string_view(option).substr(3), 1, kMaxDesktopSize);
        }
    }
    return request;
}

std::optional<ConnectionSettings> ReadConnectionSettings(std::string_view fileBytes) {
    const std::string text = FileTextAsUtf8(fileBytes);
    ConnectionSettings settings;
    std::optional<std::string> fullAddress;
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const size_t nameEnd = line.find(':');
        if (nameEnd == std::string_view::npos || line.size() < nameEnd + 3 ||
            line[nameEnd + 2] != ':') {
            continue;  // no "name:type:value" line, such as an unfilled placeholder
        }
        const std::string name = LowerAscii(line.substr(0, nameEnd));
        const char type = Lower(line[nameEnd + 1]);
        const std::string_view value = line.substr(nameEnd + 3);
        if (type == 's' && name == "full address") {
            fullAddress = std::string(value);
        } else if (type == 's' && name == "username") {
            settings.username = std::string(value);
        } else if (type == 'b' && name == "password 51") {
            settings.passwordBlob = HexBytes(value);
        } else if (type == 'i' && name == "screen mode id") {
            settings.screenModeId = Number(value, 0, 9).value_or(1);
        } else if (type == 'i' && name == "desktopwidth") {
            settings.desktopWidth = Number(value, 1, kMaxDesktopSize);
        } else if (type == 'i' && name == "desktopheight") {
            settings.desktopHeight = Number(value, 1, kMaxDesktopSize);
        } else if (type == 's' && name == "drivestoredirect") {
            settings.redirectAllDrives = value == "*";
        } else if (type == 'i' && name == "redirectsmartcards") {
            settings.redirectSmartCards = value == "1";
        }
    }
    if (!fullAddress || !SplitFullAddress(*fullAddress, settings)) {
        return std::nullopt;
    }
    return settings;
}

std::optional<std::string> PasswordFromBlock(std::string_view block) {
    std::u16string units;
    for (size_t i = 0; i + 1 < block.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(block[i]) |
                                                (static_cast<unsigned char>(block[i + 1]) << 8));
        if (unit == 0) {
            break;
        }
        units.push_back(unit);
    }
    std::optional<std::string> password = Utf16ToUtf8(units);
    std::fill(units.begin(), units.end(), u'\0');
    if (password && password->find_first_of("\r\n") != std::string::npos) {
        Wipe(*password);
        return std::nullopt;
    }
    return password;
}

ClientLaunch PlanClientLaunch(const ClientRequest& request, const ConnectionSettings& settings,
                              DataProtection& protection) {
    ClientLaunch launch;
    std::vector<std::string>& args = launch.arguments;
    args.push_back("/v:" + HostForFreeRdp(settings.host) + ":" + std::to_string(settings.port));
    if (!settings.username.empty()) {
        args.push_back("/u:" + settings.username);
    }
    // FreeRDP takes screen mode 2 for full screen whatever the size says, so it gets the file's
    // meaning as explicit arguments instead of the file.
    if (request.fullScreen) {
        args.push_back("/f");
    } else if (request.width || request.height) {
        if (request.width) {
            args.push_back("/w:" + std::to_string(*request.width));
        }
        if (request.height) {
            args.push_back("/h:" + std::to_string(*request.height));
        }
    } else if (settings.screenModeId == 2) {
        args.push_back("/f");
    } else {
        if (settings.desktopWidth) {
            args.push_back("/w:" + std::to_string(*settings.desktopWidth));
        }
        if (settings.desktopHeight) {
            args.push_back("/h:" + std::to_string(*settings.desktopHeight));
        }
    }
    if (request.admin) {
        args.push_back("/admin");
    }
    if (settings.redirectAllDrives) {
        args.push_back("/drives");
    }
    if (settings.redirectSmartCards) {
        args.push_back("/smartcard");
    }
    // With standard input taken, FreeRDP cannot ask about an unknown certificate; it is trusted
    // on first use and checked against that on every later connection.
    args.push_back("/cert:tofu");
    // Without an account FreeRDP would read our password line as the user name.
    if (settings.passwordBlob && !settings.username.empty()) {
        std::optional<std::string> block = protection.Unprotect(*settings.passwordBlob);
        if (block) {
            std::optional<std::string> password = PasswordFromBlock(*block);
            Wipe(*block);
            if (password) {
                args.push_back("/from-stdin:force");
                launch.standardInput = *password + "\n";
                Wipe(*password);
            }
        }
    }
    return launch;
}

}  // namespace vardex
