// The Linux stand-in for the Windows client: command line, connection file and the FreeRDP
// arguments made from them.
#include <gtest/gtest.h>

#include "FakeProtection.h"
#include "platform/MstscStandIn.h"

namespace vardex {
namespace {

using testing::FakeProtection;
using Strings = std::vector<std::string>;

TEST(SplitWindowsCommandLine, FollowsTheWindowsRules) {
    struct Case {
        const char* name;
        std::string line;
        Strings expected;
    };
    const Case cases[] = {
        {"quoted path with a space",
         "mstsc.exe \"C:\\t\\my server\" /f ",
         {"mstsc.exe", "C:\\t\\my server", "/f"}},
        {"backslashes before other characters are kept", "p a\\\\b\\c", {"p", "a\\\\b\\c"}},
        {"two backslashes before a quote give one", "p \"x\\\\\" y", {"p", "x\\", "y"}},
        {"three backslashes before a quote give one and the quote",
         "p x\\\\\\\"y",
         {"p", "x\\\"y"}},
        {"doubled quote inside quotes", "p \"b\"\"c\"", {"p", "b\"c"}},
        {"empty quoted argument", "p \"\"", {"p", ""}},
        {"quotes join with what stands beside them", "p a\"b c\"d", {"p", "ab cd"}},
        {"program name in quotes knows no escapes",
         "\"C:\\Program Files\\x\\\" a",
         {"C:\\Program Files\\x\\", "a"}},
        {"tabs and runs of spaces", "\t p  \ta   b\t", {"p", "a", "b"}},
        {"unclosed quote runs to the end", "p \"a b", {"p", "a b"}},
        {"nothing", "   ", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SplitWindowsCommandLine(c.line), c.expected);
    }
}

TEST(ParseClientCommandLine, TakesTheFileAndTheOptionsTheClientKnows) {
    struct Case {
        const char* name;
        std::string line;
        std::optional<ClientRequest> expected;
    };
    auto request = [](std::string file, std::optional<int> w, std::optional<int> h, bool f,
                      bool admin) {
        return ClientRequest{std::move(file), w, h, f, admin};
    };
    const Case cases[] = {
        {"forced 1024*768", "mstsc.exe \"/t/a b\" /admin /w:1024 /h:768 ",
         request("/t/a b", 1024, 768, false, true)},
        {"full screen in any case", "mstsc.exe \"/t/x\" /F ", request("/t/x", {}, {}, true, false)},
        {"custom with empty boxes is no size",
         "mstsc.exe \"/t/x\" /w: /h: ", request("/t/x", {}, {}, false, false)},
        {"sizes that are no number or too big are passed over",
         "mstsc.exe /t/x /w:12a /h:9000 /w:0", request("/t/x", {}, {}, false, false)},
        {"unknown options are passed over", "mstsc.exe /t/x /public /h:600",
         request("/t/x", {}, 600, false, false)},
        {"GBK path becomes UTF-8",
         "mstsc.exe \"/t/\xB7\xFE\xCE\xF1\xC6\xF7\" ",  // 服务器
         request(u8"/t/服务器", {}, {}, false, false)},
        {"no file", "mstsc.exe ", std::nullopt},
        {"empty file", "mstsc.exe \"\" /f", std::nullopt},
        {"no GBK", "mstsc.exe \"/t/\x81\" ", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto got = ParseClientCommandLine(c.line);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (got) {
            EXPECT_EQ(got->connectionFile, c.expected->connectionFile);
            EXPECT_EQ(got->width, c.expected->width);
            EXPECT_EQ(got->height, c.expected->height);
            EXPECT_EQ(got->fullScreen, c.expected->fullScreen);
            EXPECT_EQ(got->admin, c.expected->admin);
        }
    }
}

const std::string kFile =
    "screen mode id:i:2\r\n"
    "desktopwidth:i:1920\r\n"
    "desktopheight:i:1080\r\n"
    "full address:s:192.168.1.10:3389\r\n"
    "redirectdrives:i:0\r\n"
    "redirectsmartcards:i:1\r\n"
    "username:s:administrator\r\n"
    "password 51:b:01D00A0\r\n"
    "drivestoredirect:s:\r\n"
    "use redirection server name:i:0";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(ReadConnectionSettings, ReadsTheLinesTheClientNeeds) {
    const auto settings = ReadConnectionSettings(kFile);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->host, "192.168.1.10");
    EXPECT_EQ(settings->port, 3389);
    EXPECT_EQ(settings->username, "administrator");
    EXPECT_EQ(settings->passwordBlob, std::string("\x01\xD0\x0A", 3));
    EXPECT_EQ(settings->screenModeId, 2);
    EXPECT_EQ(settings->desktopWidth, 1920);
    EXPECT_EQ(settings->desktopHeight, 1080);
    EXPECT_FALSE(settings->redirectAllDrives);
    EXPECT_TRUE(settings->redirectSmartCards);
}

std::string Block(std::u16string_view units, bool terminate = true) {
    std::string block(512, '\0');
    for (size_t i = 0; i < units.size() && 2 * i + 1 < block.size(); ++i) {
        block[2 * i] = static_cast<char>(units[i] & 0xFF);
        block[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    if (!terminate) {
        block.resize(2 * units.size());
    }
    return block;
}

TEST(ReadConnectionSettings, Variants) {
    struct Case {
        const char* name;
        std::string file;
        bool usable;
        void (*check)(const ConnectionSettings&);
    };
    const std::string address = "full address:s:192.168.1.10:3389";
    const Case cases[] = {
        {"empty port is the default", Replaced(kFile, address, "full address:s:192.168.1.10:"),
         true, [](const ConnectionSettings& s) { EXPECT_EQ(s.port, 3389); }},
        {"no port at all", Replaced(kFile, address, "full address:s:host.example"), true,
         [](const ConnectionSettings& s) { EXPECT_EQ(s.host, "host.example"); }},
        {"bracketed IPv6", Replaced(kFile, address, "full address:s:[::1]:3390"), true,
         [](const ConnectionSettings& s) {
             EXPECT_EQ(s.host, "[::1]");
             EXPECT_EQ(s.port, 3390);
         }},
        {"bare IPv6 and the port behind the last colon",
         Replaced(kFile, address, "full address:s:fe80::1:3389"), true,
         [](const ConnectionSettings& s) { EXPECT_EQ(s.host, "fe80::1"); }},
        {"names in any case, LF lines, later line wins",
         "FULL ADDRESS:S:a:1\nUserName:s:x\nusername:s:y\nDriveStoreDirect:s:*\n", true,
         [](const ConnectionSettings& s) {
             EXPECT_EQ(s.host, "a");
             EXPECT_EQ(s.port, 1);
             EXPECT_EQ(s.username, "y");
             EXPECT_TRUE(s.redirectAllDrives);
             EXPECT_EQ(s.passwordBlob, std::nullopt);
             EXPECT_EQ(s.screenModeId, 1);
         }},
        {"GBK user name becomes UTF-8",
         Replaced(kFile, "administrator", "\xB9\xDC\xC0\xED\xD4\xB1"), true,  // 管理员
         [](const ConnectionSettings& s) { EXPECT_EQ(s.username, u8"管理员"); }},
        {"UTF-16LE with its mark", "\xFF\xFE" + Block(u"full address:s:h:7", false), true,
         [](const ConnectionSettings& s) {
             EXPECT_EQ(s.host, "h");
             EXPECT_EQ(s.port, 7);
         }},
        {"unfilled placeholder line is passed over",
         Replaced(kFile, "password 51:b:01D00A0", "%\xC3\xDC\xC2\xEB%"), true,  // %密码%
         [](const ConnectionSettings& s) { EXPECT_EQ(s.passwordBlob, std::nullopt); }},
        {"failed protection's lone zero is an empty blob", Replaced(kFile, "01D00A0", "0"), true,
         [](const ConnectionSettings& s) { EXPECT_EQ(s.passwordBlob, ""); }},
        {"hex that is no hex is no blob", Replaced(kFile, "01D00A0", "01X00A0"), true,
         [](const ConnectionSettings& s) { EXPECT_EQ(s.passwordBlob, std::nullopt); }},
        {"port that is no number", Replaced(kFile, address, "full address:s:h:33a"), false,
         nullptr},
        {"port 0", Replaced(kFile, address, "full address:s:h:0"), false, nullptr},
        {"port above 65535", Replaced(kFile, address, "full address:s:h:65536"), false, nullptr},
        {"no host", Replaced(kFile, address, "full address:s::3389"), false, nullptr},
        {"no full address", Replaced(kFile, address, "gatewayhostname:s:"), false, nullptr},
        {"empty file", "", false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto settings = ReadConnectionSettings(c.file);
        ASSERT_EQ(settings.has_value(), c.usable);
        if (settings && c.check) {
            c.check(*settings);
        }
    }
}

TEST(PasswordFromBlock, TakesTheUnitsUpToTheFirstZero) {
    EXPECT_EQ(PasswordFromBlock(Block(u"abc")), "abc");
    EXPECT_EQ(PasswordFromBlock(Block(u"")), "");
    EXPECT_EQ(PasswordFromBlock(Block(u"\u4E2D\u20AC")), u8"中€");
    EXPECT_EQ(PasswordFromBlock(Block(std::u16string(256, u'x'), false)), std::string(256, 'x'));
    EXPECT_EQ(PasswordFromBlock(Block(u"a\xD800"
                                      u"b")),
              std::nullopt);
    EXPECT_EQ(PasswordFromBlock(Block(u"a\nb")), std::nullopt);
    EXPECT_EQ(PasswordFromBlock(Block(u"a\rb")), std::nullopt);
}

struct PlanCase {
    const char* name;
    ClientRequest request;
    void (*change)(ConnectionSettings&);
    Strings arguments;
    std::optional<std::string> standardInput;
};

std::string Protected(std::u16string_view password) {
    return std::string(FakeProtection::kMark) + Block(password);
}

TEST(PlanClientLaunch, GivesFreeRdpTheFilesMeaningAndThePasswordOnStandardInput) {
    const Strings base = {"/v:192.168.1.10:3389", "/u:administrator"};
    auto with = [&base](Strings more) {
        Strings all = base;
        all.insert(all.end(), more.begin(), more.end());
        return all;
    };
    const PlanCase cases[] = {
        {"screen mode 2 without a size is full screen",
         {},
         [](ConnectionSettings&) {},
         with({"/f", "/cert:tofu", "/from-stdin:force"}),
         "S3cret pw\n"},
        {"a size option wins over screen mode 2",
         {"f", 1024, 768, false, false},
         [](ConnectionSettings&) {},
         with({"/w:1024", "/h:768", "/cert:tofu", "/from-stdin:force"}),
         "S3cret pw\n"},
        {"full screen asked",
         {"f", 800, 600, true, false},
         [](ConnectionSettings& s) { s.screenModeId = 1; },
         with({"/f", "/cert:tofu", "/from-stdin:force"}),
         "S3cret pw\n"},
        {"windowed file without a size option takes the file's size",
         {},
         [](ConnectionSettings& s) { s.screenModeId = 1; },
         with({"/w:1920", "/h:1080", "/cert:tofu", "/from-stdin:force"}),
         "S3cret pw\n"},
        {"admin, drives and smart card",
         {"f", {}, {}, false, true},
         [](ConnectionSettings& s) {
             s.redirectAllDrives = true;
             s.redirectSmartCards = true;
         },
         with({"/f", "/admin", "/drives", "/smartcard", "/cert:tofu", "/from-stdin:force"}),
         "S3cret pw\n"},
        {"no password line: nothing on standard input",
         {},
         [](ConnectionSettings& s) { s.passwordBlob.reset(); },
         with({"/f", "/cert:tofu"}),
         std::nullopt},
        {"a blob that does not open: nothing on standard input",
         {},
         [](ConnectionSettings& s) { s.passwordBlob = "other user's blob"; },
         with({"/f", "/cert:tofu"}),
         std::nullopt},
        {"an empty password is still a password",
         {},
         [](ConnectionSettings& s) { s.passwordBlob = Protected(u""); },
         with({"/f", "/cert:tofu", "/from-stdin:force"}),
         "\n"},
        {"no account: no user and no password, which FreeRDP would take for the user",
         {},
         [](ConnectionSettings& s) { s.username.clear(); },
         {"/v:192.168.1.10:3389", "/f", "/cert:tofu"},
         std::nullopt},
        {"IPv6 host in brackets",
         {},
         [](ConnectionSettings& s) {
             s.host = "fe80::1";
             s.port = 3390;
         },
         {"/v:[fe80::1]:3390", "/u:administrator", "/f", "/cert:tofu", "/from-stdin:force"},
         "S3cret pw\n"},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.name);
        ConnectionSettings settings;
        settings.host = "192.168.1.10";
        settings.username = "administrator";
        settings.passwordBlob = Protected(u"S3cret pw");
        settings.screenModeId = 2;
        settings.desktopWidth = 1920;
        settings.desktopHeight = 1080;
        c.change(settings);
        FakeProtection protection;
        const ClientLaunch launch = PlanClientLaunch(c.request, settings, protection);
        EXPECT_EQ(launch.arguments, c.arguments);
        EXPECT_EQ(launch.standardInput, c.standardInput);
        for (const std::string& argument : launch.arguments) {
            EXPECT_EQ(argument.find("S3cret"), std::string::npos) << argument;
        }
    }
}

}  // namespace
}  // namespace vardex
