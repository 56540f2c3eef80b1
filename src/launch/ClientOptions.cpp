// Option text and command line of the remote desktop client.
#include "ClientOptions.h"

#include "store/GbkText.h"

namespace vardex {
namespace {

std::string OneArgumentText(std::string_view text) {
    std::string kept;
    for (size_t pos = 0; pos < text.size();) {
        const size_t next = NextSystemCharStart(text, pos);
        const auto c = static_cast<unsigned char>(text[pos]);
        if (next - pos == 2 || (c > 0x20 && c != 0x7F && c != '"')) {
            kept.append(text.substr(pos, next - pos));
        }
        pos = next;
    }
    return kept;
}

// Windows argument quoting: backslashes count only in front of a quotation mark (or the
// closing one), where they are doubled; a quotation mark inside is escaped.
std::string QuoteArgument(std::string_view text) {
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (size_t pos = 0; pos < text.size();) {
        const size_t next = NextSystemCharStart(text, pos);
        const char c = text[pos];
        if (next - pos == 1 && c == '\\') {
            ++backslashes;
        } else if (next - pos == 1 && c == '"') {
            quoted.append(backslashes + 1, '\\');
            backslashes = 0;
        } else {
            backslashes = 0;
        }
        quoted.append(text.substr(pos, next - pos));
        pos = next;
    }
    quoted.append(backslashes, '\\');
    quoted += '"';
    return quoted;
}

}  // namespace

std::string BuildClientOptions(const LaunchOptions& options) {
    std::string text;
    if (options.size800x600) {
        text += "/w:800 /h:600 ";
    }
    if (options.forcedLogin) {
        text += "/admin ";
    }
    if (options.size1024x768) {
        text += "/w:1024 /h:768 ";
    }
    if (options.customSize) {
        text += "/w:" + OneArgumentText(options.customWidth) +
                " /h:" + OneArgumentText(options.customHeight) + " ";
    }
    if (options.fullScreen) {
        text += "/f ";
    }
    return text;
}

std::string BuildClientCommandLine(std::string_view path, std::string_view options) {
    std::string line = "mstsc.exe ";
    line += QuoteArgument(path);
    line += ' ';
    line.append(options);
    return line;
}

}  // namespace vardex
