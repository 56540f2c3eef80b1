// Reading and writing the store's plaintext, byte for byte.
#include <gtest/gtest.h>

#include "store/StoreFormat.h"

namespace vardex {
namespace {

const std::string kWorkedExample =
    "192.168.1.10|3389|Administrator||web|Office\r\n"
    "192.168.1.20|3390|admin||db|\r\n"
    "#admin:1\r\n"
    "#Start:4\r\n"
    "#x:1280\r\n"
    "#y:800\r\n"
    "#LoadinPass:<>\r\n";

std::vector<ServerRecord> Records(const ServerTable& table) {
    std::vector<ServerRecord> out;
    table.ForEach([&out](int, const ServerRecord& r) { out.push_back(r); });
    return out;
}

TEST(StoreFormat, WorkedExampleReadsBackAndWritesTheSameBytes) {
    ASSERT_EQ(kWorkedExample.size(), 128u);
    ServerTable table;
    const StoreSettings stored = ApplyStore(kWorkedExample, table);
    const auto records = Records(table);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].address, "192.168.1.10");
    EXPECT_EQ(records[0].port, "3389");
    EXPECT_EQ(records[0].account, "Administrator");
    EXPECT_EQ(records[0].password, "");
    EXPECT_EQ(records[0].remark, "web");
    EXPECT_EQ(records[0].group, "Office");
    EXPECT_EQ(records[1].remark, "db");
    EXPECT_EQ(records[1].group, "");
    for (const auto& r : records) {
        EXPECT_EQ(r.status, kStatusNotPinged);
    }
    EXPECT_EQ(stored.admin, true);
    EXPECT_EQ(stored.resolutionChoice, 4);
    EXPECT_EQ(stored.customWidth, "1280");
    EXPECT_EQ(stored.customHeight, "800");
    EXPECT_EQ(StartupPasswordIn(kWorkedExample), "");

    WindowSettings settings;
    settings.Apply(stored);
    EXPECT_EQ(BuildStorePlaintext(table, settings, ""), kWorkedExample);
}

TEST(StoreFormat, EmptyTableWithDefaultsIsThirtySixBytes) {
    ServerTable table;
    const std::string text = BuildStorePlaintext(table, WindowSettings{}, "");
    EXPECT_EQ(text, "#Start:2\r\n#x:\r\n#y:\r\n#LoadinPass:<>\r\n");
    EXPECT_EQ(text.size(), 36u);
}

TEST(StoreFormat, WritesEachResolutionAndThePassword) {
    ServerTable table;
    WindowSettings settings;
    settings.resolutionChoice = 0;
    settings.customWidth = "1280";
    EXPECT_EQ(BuildStorePlaintext(table, settings, "pw"), "#x:1280\r\n#y:\r\n#LoadinPass:<pw>\r\n");
    for (int choice = 1; choice <= 4; ++choice) {
        settings.resolutionChoice = choice;
        ServerTable readBack;
        EXPECT_EQ(ApplyStore(BuildStorePlaintext(table, settings, ""), readBack).resolutionChoice,
                  choice);
    }
}

struct ReadCase {
    const char* name;
    std::string text;
    std::vector<std::vector<std::string>>
        records;  // address, port, account, password, remark, group
    StoreSettings settings;
    std::string password;
    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

class ApplyStore_ : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ApplyStore_, ReadsRecordsSettingsAndPassword) {
    const ReadCase& c = GetParam();
    ServerTable table;
    const StoreSettings got = ApplyStore(c.text, table);
    std::vector<std::vector<std::string>> records;
    for (const auto& r : Records(table)) {
        records.push_back({r.address, r.port, r.account, r.password, r.remark, r.group});
    }
    EXPECT_EQ(records, c.records);
    EXPECT_EQ(got.admin, c.settings.admin);
    EXPECT_EQ(got.resolutionChoice, c.settings.resolutionChoice);
    EXPECT_EQ(got.customWidth, c.settings.customWidth);
    EXPECT_EQ(got.customHeight, c.settings.customHeight);
    EXPECT_EQ(StartupPasswordIn(c.text), c.password);
}

StoreSettings Settings(std::optional<bool> admin, std::optional<int> choice,
                       std::optional<std::string> width = {},
                       std::optional<std::string> height = {}) {
    return StoreSettings{admin, choice, width, height};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplyStore_,
    ::testing::Values(
        ReadCase{"empty", "", {}, {}, ""},
        ReadCase{"addressAndPortOnly",
                 "10.0.0.1|3389\r\n",
                 {{"10.0.0.1", "3389", "", "", "", ""}},
                 {},
                 ""},
        ReadCase{"singleFieldIsNoRecord", "10.0.0.1\r\n", {}, {}, ""},
        ReadCase{
            "sevenPiecesTakeSix", "a|b|c|d|e|f|g|h\r\n", {{"a", "b", "c", "d", "e", "f"}}, {}, ""},
        ReadCase{"gbkTrailByteInRemark",
                 "h|1|u|p|\x81|x|g\r\n",
                 {{"h", "1", "u", "p", "\x81|x", "g"}},
                 {},
                 ""},
        ReadCase{"adminZeroChangesNothing", "#admin:0\r\n", {}, {}, ""},
        ReadCase{"startNineClearsAll", "#Start:9\r\n", {}, Settings({}, 0), ""},
        ReadCase{"laterLineWins", "#Start:1\r\n#Start:3\r\n", {}, Settings({}, 3), ""},
        ReadCase{"adminLineIsNoStartLine", "#Start:3#admin:1\r\n", {}, Settings(true, {}), ""},
        ReadCase{"emptySizesStayEmpty", "#x:\r\n#y:\r\n", {}, Settings({}, {}, "", ""), ""},
        ReadCase{"lastLineWithoutCrLf", "a|b", {{"a", "b", "", "", "", ""}}, {}, ""},
        ReadCase{"recordLineAlsoSetsASetting",
                 "h|p#x:99\r\n",
                 {{"h", "p#x:99", "", "", "", ""}},
                 Settings({}, {}, "99"),
                 ""},
        ReadCase{"stopsAtTheFirstZeroByte",
                 std::string("a|b\r\n\0c|d\r\n", 11),
                 {{"a", "b", "", "", "", ""}},
                 {},
                 ""},
        // Half a character, its second byte lost to the end of the file or to a zero byte, is
        // dropped: it would take the "|" written after it on the next save.
        ReadCase{"halfCharacterAtTheEnd", "a|b\x81", {{"a", "b", "", "", "", ""}}, {}, ""},
        ReadCase{"halfCharacterBeforeTheZero",
                 std::string("a|b\xB0\0c", 6),
                 {{"a", "b", "", "", "", ""}},
                 {},
                 ""},
        ReadCase{
            "wholeCharacterAtTheEnd", "a|b\x81\x81", {{"a", "b\x81\x81", "", "", "", ""}}, {}, ""},
        ReadCase{"passwordLine", "#LoadinPass:<s3cret>\r\n", {}, {}, "s3cret"},
        ReadCase{"brokenPasswordLine", "#LoadinPass:<s3cret\r\n", {}, {}, ""},
        ReadCase{"laterBrokenPasswordLineEmptiesAll",
                 "#LoadinPass:<one>\r\n#LoadinPass:<two\r\n",
                 {},
                 {},
                 ""},
        ReadCase{"passwordCutAtItsFirstClose", "#LoadinPass:<a>b>\r\n", {}, {}, "a"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(StoreFormat, HundredThousandServersRoundTripByteIdentical) {
    ServerTable table;
    for (int i = 0; i < 100000; ++i) {
        ServerRecord r;
        r.address = "10." + std::to_string(i / 65536) + "." + std::to_string(i / 256 % 256) + "." +
                    std::to_string(i % 256);
        r.port = "3389";
        r.account = "Administrator";
        r.password = "pw" + std::to_string(i * 7919);
        r.remark = "\xB7\xFE\xCE\xF1\xC6\xF7" + std::to_string(i);  // 服务器 + number
        r.group = i % 3 ? "Web" : "";
        table.Append(r);
    }
    WindowSettings settings;
    settings.admin = true;
    const std::string text = BuildStorePlaintext(table, settings, "pass");
    ServerTable readBack;
    WindowSettings readSettings;
    readSettings.Apply(ApplyStore(text, readBack));
    ASSERT_EQ(readBack.Count(), 100000);
    EXPECT_EQ(BuildStorePlaintext(readBack, readSettings, StartupPasswordIn(text)), text);
}

TEST(StoreFormat, FindsWhatAFieldCannotCarry) {
    const std::pair<std::string, std::string> fields[] = {
        {"plain", ""},
        {"a|b", "|"},
        {"line\nbreak", "\n"},
        {"line\rbreak", "\r"},
        {"x#admin:1", "#admin:"},
        {"#Start:1", "#Start:"},
        {"#x:", "#x:"},
        {"#y:", "#y:"},
        {"#LoadinPass:<", "#LoadinPass:<"},
        {"b|#x:", "|"},
        {"\x81|", ""},  // "|" is the trail byte of a GBK character
        {"a>b", ""},
        // A zero byte ends the text, wherever it stands.
        {std::string("a\0b", 3), std::string("\0", 1)},
        {std::string("a\x81\0|", 4), std::string("\0", 1)},
        // A last lead byte without its second byte, such as the euro sign 0x80, would take
        // the "|" after it; the same byte inside the field is half of a character.
        {"price \x80", "\x80"},
        {"\x80 price", ""},
        {"\xB7\xFE\x80", "\x80"},
        {"\x81\x81", ""},
        {"a|\x80", "|"},
    };
    for (const auto& [field, bad] : fields) {
        SCOPED_TRACE(field);
        EXPECT_EQ(UnstorableTextIn(field), bad);
    }
    EXPECT_EQ(UnstorablePasswordTextIn("a>b"), ">");
    EXPECT_EQ(UnstorablePasswordTextIn("a|b>"), "|");
    EXPECT_EQ(UnstorablePasswordTextIn("ok"), "");
    EXPECT_EQ(UnstorablePasswordTextIn("pw\x80"), "\x80");
    EXPECT_EQ(UnstorablePasswordTextIn("pw\x80>"), "");  // 0x80 ">" is one character
}

// What UnstorableTextIn lets through comes back as it went in; what it refuses would not.
TEST(StoreFormat, RefusedFieldsWouldComeBackChanged) {
    const std::string fields[] = {"price \x80", std::string("a\0b", 3)};
    for (const std::string& field : fields) {
        SCOPED_TRACE(field);
        ASSERT_NE(UnstorableTextIn(field), "");
        ServerTable table;
        ServerRecord record;
        record.remark = field;
        record.group = "Web";
        table.Append(record);
        ServerTable readBack;
        ApplyStore(BuildStorePlaintext(table, WindowSettings{}, ""), readBack);
        const auto back = readBack.At(1);
        EXPECT_FALSE(back && back->remark == field && back->group == "Web");
    }
    // A startup password that ends in half a character loses its ">" and reads back as none.
    EXPECT_EQ(StartupPasswordIn(BuildStorePlaintext(ServerTable{}, WindowSettings{}, "pw\x80")),
              "");
}

}  // namespace
}  // namespace vardex
