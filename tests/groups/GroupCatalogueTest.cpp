// The group commands and the group file: what each command does to the catalogue, the records
// and the file, and what a restart reads back.
#include <gtest/gtest.h>

#include <cstdio>

#include "TempDir.h"
#include "groups/GroupCatalogue.h"
#include "groups/IniFile.h"

namespace vardex {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

const std::string kAll(kAllGroups);
const std::string kSection(kComboSection);
const std::string kKey(kGroupComboName);

ComboState Catalogue(std::vector<std::string> names, int32_t selection) {
    ComboState state;
    for (std::string& name : names) {
        state.items.push_back(ComboItem{std::move(name), 0});
    }
    state.selection = selection;
    state.text = CurrentGroupText(state);
    return state;
}

std::vector<std::string> Groups(const ServerTable& table) {
    std::vector<std::string> groups;
    table.ForEach([&](int, const ServerRecord& record) { groups.push_back(record.group); });
    return groups;
}

TEST(GroupFile, TheWorkedExampleGivesTheseBytes) {
    TempDir dir;
    const std::string path = GroupFilePath(dir.path());
    ComboState catalogue = InitialGroupCatalogue();
    for (const char* name : {"Web", "DB", "Mail"}) {
        ASSERT_EQ(AddGroup(catalogue, name).outcome, GroupOutcome::Added);
    }
    catalogue.selection = 2;  // the user picks DB
    catalogue.text = "DB";
    ASSERT_TRUE(SaveComboValue(path, kGroupComboName, catalogue).ok);
    const std::string expected =
        "\x5b\xd7\xe9\xba\xcf\xbf\xf2\x5d\x0d\x0a\xd7\xe9\xba\xcf\xbf\xf2"
        "\x31\x3d\xcb\xf9\xd3\xd0\xb7\xd6\xd7\xe9\x3c\x7c\x3e\x30\x3c\x7c"
        "\x7c\x3e\x57\x65\x62\x3c\x7c\x3e\x30\x3c\x7c\x7c\x3e\x44\x42\x3c"
        "\x7c\x3e\x30\x3c\x7c\x7c\x3e\x4d\x61\x69\x6c\x3c\x7c\x3e\x30\x3c"
        "\x7c\x7c\x3e\x32\x3c\x7c\x3e\x44\x42\x0d\x0a";
    EXPECT_EQ(ReadFileBytes(path), expected);
    EXPECT_EQ(expected.size(), 75u);

    const GroupCommandResult deleted = DeleteGroup(catalogue);
    EXPECT_EQ(deleted.outcome, GroupOutcome::Deleted);
    ASSERT_TRUE(deleted.saveGroupFile);
    ASSERT_TRUE(SaveComboValue(path, kGroupComboName, catalogue).ok);
    EXPECT_EQ(ReadIniFileValue(path, kComboSection, kGroupComboName),
              kAll + "<|>0<||>Web<|>0<||>Mail<|>0<||>-1<|>");

    const ComboState restarted = RestoreGroupCatalogue(path);
    EXPECT_EQ(restarted.items, Catalogue({kAll, "Web", "Mail"}, -1).items);
    EXPECT_EQ(restarted.selection, -1);
    EXPECT_EQ(restarted.text, "");
}

TEST(GroupFile, TheInitialCatalogueIsSavedAsOneSelectedItem) {
    TempDir dir;
    const std::string path = GroupFilePath(dir.path());
    ASSERT_TRUE(SaveComboValue(path, kGroupComboName, RestoreGroupCatalogue(path)).ok);
    EXPECT_EQ(ReadIniFileValue(path, kComboSection, kGroupComboName), kAll + "<|>0<||>0<|>" + kAll);
}

enum class Command { Add, Rename, Delete };

TEST(GroupCommands, ChangeTheCatalogueTheRecordsAndTellWhetherToSave) {
    const std::vector<std::string> records = {"DB", "Web", "", "DB", "db"};
    struct Case {
        const char* name;
        ComboState before;
        Command command;
        std::string text;  // the name typed for add and rename
        GroupOutcome outcome;
        bool save;
        ComboState after;
        std::vector<std::string> recordsAfter;
    };
    const ComboState all = Catalogue({kAll, "Web", "DB"}, 0);
    const ComboState db = Catalogue({kAll, "Web", "DB"}, 2);
    const ComboState none = Catalogue({kAll, "Web", "DB"}, -1);
    const Case cases[] = {
        {"add", all, Command::Add, "Mail", GroupOutcome::Added, true,
         Catalogue({kAll, "Web", "DB", "Mail"}, 3), records},
        {"add differs in case only", all, Command::Add, "web", GroupOutcome::Added, true,
         Catalogue({kAll, "Web", "DB", "web"}, 3), records},
        {"add empty still saves", db, Command::Add, "", GroupOutcome::Unchanged, true, db, records},
        {"add duplicate", db, Command::Add, "Web", GroupOutcome::Duplicate, false, db, records},
        {"add all groups", db, Command::Add, kAll, GroupOutcome::Duplicate, false, db, records},
        {"rename",
         db,
         Command::Rename,
         "Database",
         GroupOutcome::Renamed,
         true,
         Catalogue({kAll, "Web", "Database"}, 2),
         {"Database", "Web", "", "Database", "db"}},
        {"rename to its own name", db, Command::Rename, "DB", GroupOutcome::Duplicate, false, db,
         records},
        {"rename to another group", db, Command::Rename, "Web", GroupOutcome::Duplicate, false, db,
         records},
        {"rename to all groups", db, Command::Rename, kAll, GroupOutcome::Duplicate, false, db,
         records},
        {"rename empty still saves", db, Command::Rename, "", GroupOutcome::Unchanged, true, db,
         records},
        {"rename while all groups selected still saves", all, Command::Rename, "X",
         GroupOutcome::Unchanged, true, all, records},
        {"rename with nothing selected names the servers without a group",
         none,
         Command::Rename,
         "New",
         GroupOutcome::Renamed,
         true,
         none,
         {"DB", "Web", "New", "DB", "db"}},
        {"delete", db, Command::Delete, "", GroupOutcome::Deleted, true,
         Catalogue({kAll, "Web"}, -1), records},
        {"delete all groups does nothing", all, Command::Delete, "", GroupOutcome::Unchanged, false,
         all, records},
        {"delete with nothing selected still saves", none, Command::Delete, "",
         GroupOutcome::Unchanged, true, none, records},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ServerTable table;
        for (const std::string& group : records) {
            ServerRecord record;
            record.group = group;
            table.Append(record);
        }
        ComboState catalogue = c.before;
        const GroupCommandResult result = c.command == Command::Add ? AddGroup(catalogue, c.text)
                                          : c.command == Command::Rename
                                              ? RenameGroup(catalogue, c.text, table)
                                              : DeleteGroup(catalogue);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.saveGroupFile, c.save);
        EXPECT_EQ(result.refillServerList, c.outcome == GroupOutcome::Renamed);
        EXPECT_EQ(catalogue.items, c.after.items);
        EXPECT_EQ(catalogue.selection, c.after.selection);
        EXPECT_EQ(catalogue.text, c.after.text);
        EXPECT_EQ(Groups(table), c.recordsAfter);
    }
}

TEST(GroupCommands, RenameKeepsTheItemValue) {
    ComboState catalogue{{{kAll, 0}, {"DB", 42}}, 1, "DB"};
    ServerTable table;
    ASSERT_EQ(RenameGroup(catalogue, "Database", table).outcome, GroupOutcome::Renamed);
    EXPECT_EQ(catalogue.items[1], (ComboItem{"Database", 42}));
}

// A name that the group file or the store would bring back changed is refused before it
// reaches the catalogue or any record.
TEST(GroupCommands, RefuseNamesThatCannotBeSaved) {
    struct Case {
        std::string name;
        std::string found;
    } const cases[] = {
        {"a<|>b", "<|>"},
        {"a<||>b", "<||>"},
        {"x#\xD2\xFD\xBA\xC5", "#\xD2\xFD\xBA\xC5"},  // x#引号
        {"a|b", "|"},
        {"a\nb", "\n"},
        {"#x:1", "#x:"},
        {"a\x97\nb", "\n"},  // a line end as second byte still ends the file's line
        {std::string("a\0b", 3), std::string("\0", 1)},
        {"Web\x80", "\x80"},  // a last euro sign would take the "<|>" after it
        {"a|b<|>", "|"},
        {"a<|>b|", "<|>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ComboState catalogue = Catalogue({kAll, "DB"}, 1);
        ServerTable table;
        ServerRecord record;
        record.group = "DB";
        table.Append(record);
        for (const GroupCommandResult& result :
             {AddGroup(catalogue, c.name), RenameGroup(catalogue, c.name, table)}) {
            EXPECT_EQ(result.outcome, GroupOutcome::Unsavable);
            EXPECT_FALSE(result.saveGroupFile);
            EXPECT_EQ(result.unsavableText, c.found);
        }
        EXPECT_EQ(catalogue.items, Catalogue({kAll, "DB"}, 1).items);
        EXPECT_EQ(Groups(table), std::vector<std::string>{"DB"});
    }
    const std::string cannotHold =
        "\xB7\xD6\xD7\xE9\xC3\xFB\xB2\xBB\xC4\xDC\xB0\xFC\xBA\xAC";  // 分组名不能包含
    EXPECT_EQ(UnsavableGroupNameMessage("<|>"), cannotHold + "\xA1\xB0<|>\xA1\xB1");
    EXPECT_EQ(UnsavableGroupNameMessage("\n"),
              cannotHold + "\xA1\xB0\xBB\xBB\xD0\xD0\xA1\xB1");  // “换行”
    EXPECT_EQ(UnsavableGroupNameMessage(std::string_view("\0", 1)),
              cannotHold + "\xA1\xB0\xBF\xD5\xD7\xD6\xB7\xFB\xA1\xB1");  // “空字符”
    EXPECT_EQ(UnsavableGroupNameMessage("\x80"),
              "\xB7\xD6\xD7\xE9\xC3\xFB\xB2\xBB\xC4\xDC\xD2\xD4\xA1\xB0\x80\xA1\xB1\xBD\xE1\xCE"
              "\xB2");  // 分组名不能以“€”结尾
    EXPECT_EQ(UnsavableGroupNameText("Web \"1\""), "");
}

// Whatever item is selected when the catalogue is saved, a restart must get back every item and
// the selection; the text after the selection is not needed.
TEST(GroupCommands, RefuseToGrowTheCatalogueBeyondWhatAReadReturns) {
    // Long names with quotes, which take five bytes each in the file, then short ones, then the
    // last name grown a byte at a time: the catalogue ends as full as the file allows.
    ComboState catalogue = InitialGroupCatalogue();
    ServerTable table;
    for (const bool quoted : {true, false}) {
        for (int i = 0;; ++i) {
            ASSERT_LT(i, 2000);
            const std::string name =
                quoted ? "q" + std::to_string(i) + std::string(static_cast<size_t>(i % 40), '"')
                       : "s" + std::to_string(i);
            const GroupCommandResult result = AddGroup(catalogue, name);
            if (result.outcome == GroupOutcome::TooManyGroups) {
                EXPECT_FALSE(result.saveGroupFile);
                break;
            }
            ASSERT_EQ(result.outcome, GroupOutcome::Added);
        }
    }
    ServerRecord record;
    for (;;) {
        record.group = CurrentGroupText(catalogue);
        const GroupCommandResult result = RenameGroup(catalogue, record.group + "x", table);
        if (result.outcome == GroupOutcome::TooManyGroups) {
            EXPECT_FALSE(result.saveGroupFile);
            break;
        }
        ASSERT_EQ(result.outcome, GroupOutcome::Renamed);
    }
    table.Append(record);
    ASSERT_EQ(RenameGroup(catalogue, record.group + "x", table).outcome,
              GroupOutcome::TooManyGroups);
    EXPECT_EQ(CurrentGroupText(catalogue), record.group);
    EXPECT_EQ(Groups(table), std::vector<std::string>{record.group}) << "no record renamed";

    for (int32_t selection = -1; selection < static_cast<int32_t>(catalogue.items.size());
         ++selection) {
        ComboState saved = catalogue;
        saved.selection = selection;
        saved.text = CurrentGroupText(saved);
        const auto file = WriteIniValue("", kSection, kKey, EncodeComboValue(saved));
        ASSERT_TRUE(file);
        const auto back = DecodeComboValue(ReadIniValue(*file, kSection, kKey));
        ASSERT_TRUE(back);
        ASSERT_EQ(back->items, catalogue.items) << "selection " << selection;
        ASSERT_EQ(back->selection, selection);
    }
}

class GroupFileOnDisk : public ::testing::Test {
protected:
    TempDir dir;
    const std::string path = GroupFilePath(dir.path());
};

TEST_F(GroupFileOnDisk, AMissingFileSectionOrKeyLeavesTheInitialCatalogue) {
    struct Case {
        const char* name;
        std::optional<std::string> file;
    } const cases[] = {
        {"missing file", std::nullopt},
        {"empty file", ""},
        {"missing section", "[other]\r\n" + kKey + "=Web<|>0<||>0<|>Web\r\n"},
        {"missing key", "[" + kSection + "]\r\n" + kKey + "2=Web<|>0<||>0<|>Web\r\n"},
        {"empty value", "[" + kSection + "]\r\n" + kKey + "=  \r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(path.c_str());
        if (c.file) {
            WriteFileBytes(path, *c.file);
        }
        EXPECT_FALSE(RestoreComboValue(path, kGroupComboName));
        const ComboState catalogue = RestoreGroupCatalogue(path);
        EXPECT_EQ(catalogue.items, InitialGroupCatalogue().items);
        EXPECT_EQ(catalogue.selection, 0);
        EXPECT_EQ(catalogue.text, kAll);
    }
}

TEST_F(GroupFileOnDisk, ASaveChangesOnlyTheValue) {
    const std::string before = "; kept\n[other]\r\n" + kKey + "=x\r\n\r\n[" + kSection + "]\r\n" +
                               kKey + "2=y\r\n" + kKey + "=old\r\nz=1";
    WriteFileBytes(path, before);
    ASSERT_TRUE(SaveComboValue(path, kGroupComboName, InitialGroupCatalogue()).ok);
    std::string expected = before;
    expected.replace(expected.rfind("old"), 3, kAll + "<|>0<||>0<|>" + kAll);
    EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST_F(GroupFileOnDisk, RestoresQuotesSelectionsAndTheSelectedText) {
    struct Case {
        const char* name;
        std::string value;
        std::vector<ComboItem> items;
        int32_t selection;
        std::string text;
    } const cases[] = {
        {"quote",
         kAll + "<|>0<||>say #\xD2\xFD\xBA\xC5hi<|>0<||>1<|>x",
         {{kAll, 0}, {"say \"hi", 0}},
         1,
         "say \"hi"},
        {"selection 99 of four",
         "a<|>0<||>b<|>0<||>c<|>0<||>d<|>0<||>99<|>a",
         {{"a", 0}, {"b", 0}, {"c", 0}, {"d", 0}},
         3,
         "d"},
        {"selection -1", "a<|>0<||>b<|>0<||>-1<|>a", {{"a", 0}, {"b", 0}}, -1, ""},
        {"damaged", "Web<||>DB<|>0<||>x<|>DB", {{"", 0}, {"DB", 0}}, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(path, "[" + kSection + "]\r\n" + kKey + "=" + c.value + "\r\n");
        const ComboState catalogue = RestoreGroupCatalogue(path);
        EXPECT_EQ(catalogue.items, c.items);
        EXPECT_EQ(catalogue.selection, c.selection);
        EXPECT_EQ(catalogue.text, c.text);
    }
}

TEST_F(GroupFileOnDisk, AQuoteInANameSurvivesARestart) {
    ComboState catalogue = InitialGroupCatalogue();
    ASSERT_EQ(AddGroup(catalogue, "\"quoted\" group").outcome, GroupOutcome::Added);
    ASSERT_TRUE(SaveComboValue(path, kGroupComboName, catalogue).ok);
    EXPECT_EQ(ReadFileBytes(path).find('"'), std::string::npos);
    const ComboState restarted = RestoreGroupCatalogue(path);
    EXPECT_EQ(restarted.items, catalogue.items);
    EXPECT_EQ(restarted.selection, 1);
}

}  // namespace
}  // namespace vardex
