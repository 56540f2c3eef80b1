// Filling the connection file's template, naming the file and writing it.
#include "ConnectionFile.h"

#include <cctype>

#include "PasswordBlob.h"
#include "platform/CodePage.h"
#include "platform/TempFolder.h"
#include "store/GbkText.h"

namespace vardex {
namespace {

constexpr std::string_view kAccountMark = "%\xD5\xCB\xBA\xC5%";  // %账号%
constexpr std::string_view kAddressMark =
    "%\xB7\xFE\xCE\xF1\xC6\xF7\xB5\xD8\xD6\xB7%";                          // %服务器地址%
constexpr std::string_view kPasswordMark = "%\xC3\xDC\xC2\xEB%";           // %密码%
constexpr std::string_view kDiskMark = "%\xB4\xC5\xC5\xCC%";               // %磁盘%
constexpr std::string_view kSmartCardMark = "%\xD6\xC7\xC4\xDC\xBF\xA8%";  // %智能卡%

bool HoldsLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

std::optional<ConnectionField> FirstRefusedField(const ConnectionFields& fields) {
    if (HoldsLineBreak(fields.address)) {
        return ConnectionField::Address;
    }
    if (HoldsLineBreak(fields.port)) {
        return ConnectionField::Port;
    }
    if (HoldsLineBreak(fields.account)) {
        return ConnectionField::Account;
    }
    if (fields.password && HoldsLineBreak(*fields.password)) {
        return ConnectionField::Password;
    }
    return std::nullopt;
}

bool IsWindowsDeviceName(std::string_view name) {
    // Windows opens the device, not a file, for these names, with or without an extension.
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    for (char& c : stem) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") {
        return true;
    }
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

const std::string& RdpTemplate() {
    static const std::string kTemplate =
        "screen mode id:i:2\r\n"
        "desktopwidth:i:1920\r\n"
        "desktopheight:i:1080\r\n"
        "session bpp:i:16\r\n"
        "winposstr:s:0,3,0,0,1920,1080\r\n"
        "full address:s:%\xB7\xFE\xCE\xF1\xC6\xF7\xB5\xD8\xD6\xB7%\r\n"  // %服务器地址%
        "compression:i:1\r\n"
        "keyboardhook:i:2\r\n"
        "audiomode:i:0\r\n"
        "redirectdrives:i:0\r\n"
        "redirectprinters:i:0\r\n"
        "redirectcomports:i:0\r\n"
        "%\xB4\xC5\xC5\xCC%\r\n"  // %磁盘%
        "displayconnectionbar:i:1\r\n"
        "autoreconnection enabled:i:1\r\n"
        "username:s:%\xD5\xCB\xBA\xC5%\r\n"  // %账号%
        "alternate shell:s:\r\n"
        "shell working directory:s:\r\n"
        "%\xC3\xDC\xC2\xEB%\r\n"  // %密码%
        "disable wallpaper:i:1\r\n"
        "disable full window drag:i:1\r\n"
        "disable menu anims:i:1\r\n"
        "disable themes:i:0\r\n"
        "disable cursor setting:i:0\r\n"
        "bitmapcachepersistenable:i:1\r\n"
        "use multimon:i:0\r\n"
        "audiocapturemode:i:0\r\n"
        "videoplaybackmode:i:1\r\n"
        "connection type:i:2\r\n"
        "allow font smoothing:i:1\r\n"
        "allow desktop composition:i:0\r\n"
        "redirectclipboard:i:1\r\n"
        "redirectposdevices:i:0\r\n"
        "redirectdirectx:i:1\r\n"
        "%\xD6\xC7\xC4\xDC\xBF\xA8%\r\n"  // %智能卡%
        "authentication level:i:0\r\n"
        "prompt for credentials:i:0\r\n"
        "negotiate security layer:i:1\r\n"
        "remoteapplicationmode:i:0\r\n"
        "gatewayhostname:s:\r\n"
        "gatewayusagemethod:i:4\r\n"
        "gatewaycredentialssource:i:4\r\n"
        "gatewayprofileusagemethod:i:0\r\n"
        "promptcredentialonce:i:1\r\n"
        "use redirection server name:i:0";
    return kTemplate;
}

ConnectionFields FieldsForServer(const ServerRecord& record, bool redirectDisks) {
    ConnectionFields fields;
    fields.address = record.address;
    fields.port = record.port;
    fields.account = record.account;
    if (!record.password.empty()) {
        fields.password = record.password;
    }
    fields.redirectDisks = redirectDisks;
    return fields;
}

ConnectionText BuildConnectionText(const ConnectionFields& fields, DataProtection& protection) {
    ConnectionText result;
    result.refused = FirstRefusedField(fields);
    if (result.refused) {
        return result;
    }
    // Each step works on the text of the one before, so a value holding a later placeholder
    // has it filled by that later step.
    std::string text = ReplaceAllText(RdpTemplate(), kAccountMark, fields.account);
    const std::string fullAddress = fields.address + ":" + fields.port;
    text = ReplaceAllText(text, kAddressMark, fullAddress);
    if (fields.password) {
        const std::string line =
            "password 51:b:" + ProtectPasswordHex(*fields.password, protection);
        text = ReplaceAllText(text, kPasswordMark, line);
    }
    // The disk placeholder takes the smart-card line and the smart-card one the drive line;
    // clients read the lines by their names, wherever they stand.
    text =
        ReplaceAllText(text, kDiskMark,
                       fields.redirectDisks ? "redirectsmartcards:i:0" : "redirectsmartcards:i:1");
    text = ReplaceAllText(text, kSmartCardMark,
                          fields.redirectDisks ? "drivestoredirect:s:*" : "drivestoredirect:s:");
    result.text = std::move(text);
    return result;
}

std::optional<std::string> ConnectionFileName(std::string_view remarkOrAddress) {
    if (remarkOrAddress.empty() || remarkOrAddress == "." || remarkOrAddress == "..") {
        return std::nullopt;
    }
    static constexpr std::string_view kUnfit = "/\\:*?\"<>|";
    std::string name;
    name.reserve(remarkOrAddress.size() + 1);
    for (size_t pos = 0; pos < remarkOrAddress.size();) {
        // Characters as the system reads the name: after a euro sign (0x80) a backslash or "/"
        // is a separator of its own.
        const size_t next = NextSystemCharStart(remarkOrAddress, pos);
        const char c = remarkOrAddress[pos];
        if (next - pos == 2) {
            name.append(remarkOrAddress.substr(pos, 2));
        } else if (IsSystemLeadByte(c)) {
            name += '_';  // a lead byte without its trail byte is no character
        } else if (static_cast<unsigned char>(c) < 0x20 ||
                   kUnfit.find(c) != std::string_view::npos) {
            name += '_';
        } else {
            name += c;
        }
        pos = next;
    }
    if (IsWindowsDeviceName(name)) {
        name.insert(0, "_");
    }
    // Windows drops a final dot or space, which would make the name another file's.
    if (name.back() == '.' || name.back() == ' ') {
        name.back() = '_';
    }
    return name;
}

std::optional<std::string> ConnectionFileName(const ServerRecord& record) {
    return ConnectionFileName(record.remark.empty() ? record.address : record.remark);
}

std::string ConnectionFilePath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    path.append(name);
    return path;
}

std::optional<std::string> ConnectionFolder() {
    const std::optional<std::string> folder = PrivateTempFolder();
    if (!folder) {
        return std::nullopt;
    }
    return Utf8ToGbk(*folder);
}

bool WriteConnectionFile(std::string_view path, std::string_view text) {
    if (path.empty()) {
        return false;
    }
    const std::optional<std::string> systemPath = GbkToUtf8(path);
    return systemPath && WritePrivateFile(*systemPath, text).ok;
}

}  // namespace vardex
