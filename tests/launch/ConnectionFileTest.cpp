// The connection file: the filled template, the refused fields, the file name and the write.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "FakeProtection.h"
#include "TempDir.h"
#include "launch/ConnectionFile.h"
#include "platform/CodePage.h"

namespace vardex {
namespace {

using testing::FakeProtection;

// The template as the client's file format has it, line by line.
const std::vector<std::string> kTemplateLines = {
    "screen mode id:i:2",
    "desktopwidth:i:1920",
    "desktopheight:i:1080",
    "session bpp:i:16",
    "winposstr:s:0,3,0,0,1920,1080",
    "full address:s:%\xB7\xFE\xCE\xF1\xC6\xF7\xB5\xD8\xD6\xB7%",  // %服务器地址%
    "compression:i:1",
    "keyboardhook:i:2",
    "audiomode:i:0",
    "redirectdrives:i:0",
    "redirectprinters:i:0",
    "redirectcomports:i:0",
    "%\xB4\xC5\xC5\xCC%",  // %磁盘%
    "displayconnectionbar:i:1",
    "autoreconnection enabled:i:1",
    "username:s:%\xD5\xCB\xBA\xC5%",  // %账号%
    "alternate shell:s:",
    "shell working directory:s:",
    "%\xC3\xDC\xC2\xEB%",  // %密码%
    "disable wallpaper:i:1",
    "disable full window drag:i:1",
    "disable menu anims:i:1",
    "disable themes:i:0",
    "disable cursor setting:i:0",
    "bitmapcachepersistenable:i:1",
    "use multimon:i:0",
    "audiocapturemode:i:0",
    "videoplaybackmode:i:1",
    "connection type:i:2",
    "allow font smoothing:i:1",
    "allow desktop composition:i:0",
    "redirectclipboard:i:1",
    "redirectposdevices:i:0",
    "redirectdirectx:i:1",
    "%\xD6\xC7\xC4\xDC\xBF\xA8%",  // %智能卡%
    "authentication level:i:0",
    "prompt for credentials:i:0",
    "negotiate security layer:i:1",
    "remoteapplicationmode:i:0",
    "gatewayhostname:s:",
    "gatewayusagemethod:i:4",
    "gatewaycredentialssource:i:4",
    "gatewayprofileusagemethod:i:0",
    "promptcredentialonce:i:1",
    "use redirection server name:i:0",
};

const std::string kAddressMark = "%\xB7\xFE\xCE\xF1\xC6\xF7\xB5\xD8\xD6\xB7%";  // %服务器地址%
const std::string kBlob("\x01\xD0\x0A", 3);

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    lines.push_back(text.substr(start));
    return lines;
}

TEST(RdpTemplate, Is45LinesOf1041BytesWithCrLfBetweenAndNoneAfter) {
    const std::string& text = RdpTemplate();
    EXPECT_EQ(text.size(), 1041u);
    EXPECT_EQ(Lines(text), kTemplateLines);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    EXPECT_NE(text.substr(text.size() - 1), "\n");
}

ServerRecord StoredServer() {
    ServerRecord record;
    record.address = "192.168.1.10";
    record.port = "3389";
    record.account = "administrator";
    record.password = "secret";
    record.remark = "web";
    return record;
}

struct TextCase {
    const char* name;
    ConnectionFields fields;
    std::map<int, std::string> changedLines;  // 1-based line -> text; the rest is the template
    size_t protectCalls;
    friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }
};

ConnectionFields Fields(void (*change)(ServerRecord&), bool redirectDisks = false) {
    ServerRecord record = StoredServer();
    change(record);
    return FieldsForServer(record, redirectDisks);
}

const std::map<int, std::string> kStoredServerLines = {
    {6, "full address:s:192.168.1.10:3389"},
    {13, "redirectsmartcards:i:1"},
    {16, "username:s:administrator"},
    {19, "password 51:b:01D00A0"},
    {35, "drivestoredirect:s:"},
};

std::map<int, std::string> StoredServerLinesWith(std::map<int, std::string> changes) {
    std::map<int, std::string> lines = kStoredServerLines;
    for (auto& [line, text] : changes) {
        lines[line] = text;
    }
    return lines;
}

class BuildConnectionText_ : public ::testing::TestWithParam<TextCase> {};

TEST_P(BuildConnectionText_, FillsOnlyThePlaceholderLines) {
    const TextCase& c = GetParam();
    FakeProtection protection(kBlob);
    const ConnectionText built = BuildConnectionText(c.fields, protection);
    ASSERT_TRUE(built.ok());
    const std::vector<std::string> lines = Lines(built.text);
    ASSERT_EQ(lines.size(), kTemplateLines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const auto changed = c.changedLines.find(number);
        SCOPED_TRACE("line " + std::to_string(number));
        EXPECT_EQ(lines[i], changed != c.changedLines.end() ? changed->second : kTemplateLines[i]);
    }
    EXPECT_EQ(built.text.substr(built.text.size() - 2), ":0");
    EXPECT_EQ(protection.ProtectCalls(), c.protectCalls);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildConnectionText_,
    ::testing::Values(
        TextCase{"storedServerDisksClear", Fields([](ServerRecord&) {}), kStoredServerLines, 1},
        TextCase{
            "storedServerDisksTicked", Fields([](ServerRecord&) {}, true),
            StoredServerLinesWith({{13, "redirectsmartcards:i:0"}, {35, "drivestoredirect:s:*"}}),
            1},
        TextCase{"emptyPasswordKeepsThePlaceholder",
                 Fields([](ServerRecord& r) { r.password.clear(); }),
                 StoredServerLinesWith({{19, "%\xC3\xDC\xC2\xEB%"}}), 0},  // %密码%
        TextCase{"emptyPortKeepsTheColon", Fields([](ServerRecord& r) { r.port.clear(); }),
                 StoredServerLinesWith({{6, "full address:s:192.168.1.10:"}}), 1},
        TextCase{"addressWithItsOwnPortGetsASecondOne",
                 Fields([](ServerRecord& r) { r.address = "10.0.0.1:3390"; }),
                 StoredServerLinesWith({{6, "full address:s:10.0.0.1:3390:3389"}}), 1},
        TextCase{"emptyAccount", Fields([](ServerRecord& r) { r.account.clear(); }),
                 StoredServerLinesWith({{16, "username:s:"}}), 1},
        TextCase{"accountHoldingTheAddressPlaceholderGetsTheAddress",
                 Fields([](ServerRecord& r) { r.account = "x" + kAddressMark + "y"; }),
                 StoredServerLinesWith({{16, "username:s:x192.168.1.10:3389y"}}), 1},
        TextCase{"placeholderBehindALeadByteIsNoPlaceholder",
                 Fields([](ServerRecord& r) { r.account = "\xB0" + kAddressMark; }),
                 StoredServerLinesWith({{16, "username:s:\xB0" + kAddressMark}}), 1},
        TextCase{"gbkAccount",
                 Fields([](ServerRecord& r) { r.account = "\xB9\xDC\xC0\xED\xD4\xB1"; }),  // 管理员
                 StoredServerLinesWith({{16, "username:s:\xB9\xDC\xC0\xED\xD4\xB1"}}), 1}),
    [](const ::testing::TestParamInfo<TextCase>& caseInfo) {
        return std::string(caseInfo.param.name);
    });

TEST(BuildConnectionText, TemporaryLoginWithEmptyPasswordStillWritesThePasswordLine) {
    FakeProtection protection(kBlob);
    ConnectionFields fields;
    fields.address = "10.1.1.1";
    fields.port = "3389";
    fields.password = "";
    const ConnectionText built = BuildConnectionText(fields, protection);
    EXPECT_EQ(Lines(built.text)[18], "password 51:b:01D00A0");
    EXPECT_EQ(protection.ProtectCalls(), 1u);
    EXPECT_EQ(protection.Protected()[0], std::string(512, '\0'));
}

TEST(BuildConnectionText, FailedProtectionWritesTheLoneZero) {
    FakeProtection protection(std::nullopt);
    const ConnectionText built = BuildConnectionText(Fields([](ServerRecord&) {}), protection);
    EXPECT_EQ(Lines(built.text)[18], "password 51:b:0");
}

TEST(BuildConnectionText, RefusesAFieldHoldingALineBreakAndProtectsNothing) {
    struct Case {
        const char* name;
        void (*change)(ConnectionFields&);
        ConnectionField refused;
    };
    const Case cases[] = {
        {"CR in address", [](ConnectionFields& f) { f.address += "\rscreen mode id:i:1"; },
         ConnectionField::Address},
        {"LF in port", [](ConnectionFields& f) { f.port = "3389\n"; }, ConnectionField::Port},
        {"CR LF in account", [](ConnectionFields& f) { f.account = "a\r\nalternate shell:s:x"; },
         ConnectionField::Account},
        {"LF in password", [](ConnectionFields& f) { f.password = "pw\n"; },
         ConnectionField::Password},
        {"the first of two is named", [](ConnectionFields& f) { f.port = "\n", f.account = "\n"; },
         ConnectionField::Port},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConnectionFields fields = Fields([](ServerRecord&) {});
        c.change(fields);
        FakeProtection protection(kBlob);
        const ConnectionText built = BuildConnectionText(fields, protection);
        EXPECT_FALSE(built.ok());
        EXPECT_EQ(built.refused, c.refused);
        EXPECT_EQ(built.text, "");
        EXPECT_EQ(protection.ProtectCalls(), 0u);
    }
}

TEST(ConnectionFileName, MakesANameEverySystemKeepsAsOneFile) {
    struct Case {
        const char* name;
        std::string given;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"plain with a space", "web server", "web server"},
        {"address", "192.168.1.10", "192.168.1.10"},
        {"separators and unfit characters", "a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
        {"parent folder inside", "../../x", ".._.._x"},
        {"control characters", "\t\x01x\x1F", "__x_"},
        {"GBK trail bytes 0x5C and 0x7C are no separators", "\x81\x5C\x81\x7C", "\x81\x5C\x81\x7C"},
        {"GBK text", "\xB7\xFE\xCE\xF1\xC6\xF7", "\xB7\xFE\xCE\xF1\xC6\xF7"},  // 服务器
        {"lone lead byte at the end", "ab\xB0", "ab_"},
        // The system reads 0x80 as the euro sign on its own, so what follows it is a character
        // of its own too.
        {"separators after a euro sign", "\x80\\..\\x\x80/y\x80", "\x80_.._x\x80_y\x80"},
        {"final dot", "server.", "server_"},
        {"final space", "server ", "server_"},
        {"three dots", "...", ".._"},
        {"device name", "CON", "_CON"},
        {"device name with extension, any case", "com1.txt", "_com1.txt"},
        {"no device name", "CONSOLE", "CONSOLE"},
        {"empty", "", std::nullopt},
        {"dot", ".", std::nullopt},
        {"dot dot", "..", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ConnectionFileName(c.given), c.expected);
    }
}

TEST(ConnectionFileName, RemarkWhenThereIsOneElseAddress) {
    ServerRecord record = StoredServer();
    EXPECT_EQ(ConnectionFileName(record), "web");
    record.remark.clear();
    EXPECT_EQ(ConnectionFileName(record), "192.168.1.10");
    EXPECT_EQ(ConnectionFilePath("/run/user/7/vardex/", "web"), "/run/user/7/vardex/web");
}

TEST(WriteConnectionFile, RewritesWholeUnderTheGbkName) {
    testing::TempDir dir;
    const std::string folder = dir.path() + "/";
    const std::string path = ConnectionFilePath(folder, "\xB7\xFE\xCE\xF1\xC6\xF7");  // 服务器
    const std::string longText = RdpTemplate();
    const std::string shortText = "full address:s:x:1";
    ASSERT_TRUE(WriteConnectionFile(path, longText));
    EXPECT_EQ(testing::ReadFileBytes(dir.File(u8"服务器")), longText);
    ASSERT_TRUE(WriteConnectionFile(path, shortText));
    EXPECT_EQ(testing::ReadFileBytes(dir.File(u8"服务器")), shortText);
}

TEST(WriteConnectionFile, ReportsWhatCannotBeWritten) {
    testing::TempDir dir;
    EXPECT_FALSE(WriteConnectionFile("", "x"));
    EXPECT_FALSE(WriteConnectionFile(dir.path() + "/missing/name", "x"));
    EXPECT_FALSE(WriteConnectionFile(dir.path() + "/", "x"));  // the folder itself
}

}  // namespace
}  // namespace vardex
