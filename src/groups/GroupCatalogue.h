// The group catalogue: the names in the main window's group combo box, the add, rename and
// delete commands on them, and their line in the group file. The window mirrors the catalogue
// after each command and writes the file when the result says so.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ComboValue.h"
#include "platform/FileIo.h"
#include "store/ServerTable.h"

namespace vardex {

inline constexpr std::string_view kAllGroups = "\xCB\xF9\xD3\xD0\xB7\xD6\xD7\xE9";   // 所有分组
inline constexpr std::string_view kComboSection = "\xD7\xE9\xBA\xCF\xBF\xF2";        // 组合框
inline constexpr std::string_view kGroupComboName = "\xD7\xE9\xBA\xCF\xBF\xF2\x31";  // 组合框1
inline constexpr std::string_view kGroupFileName = "fz.ini";

// Messages for the refusals below, shown with the title "信息：".
inline constexpr std::string_view kDuplicateGroupMessage =
    "\xB7\xD6\xD7\xE9\xD6\xD8\xB8\xB4";  // 分组重复
inline constexpr std::string_view kTooManyGroupsMessage =
    "\xB7\xD6\xD7\xE9\xCC\xAB\xB6\xE0\xA3\xAC\xCE\xDE\xB7\xA8\xB1\xA3\xB4\xE6";  // 分组太多，无法保存

// run directory + the separator + "fz.ini".
std::string GroupFilePath(std::string_view runDirectory);

// One item "所有分组" with value 0, selected: the catalogue when the file supplies none.
ComboState InitialGroupCatalogue();

// The selected item's name, "" when nothing is selected: a drop-down list shows no other text.
std::string CurrentGroupText(const ComboState& catalogue);

// What a group name holds that the group file or the store cannot carry back ("<|>", "<||>",
// "#引号", "|", CR, LF, a zero byte or a store marker, the earliest of them, else an unfinished
// last character); empty when it can be saved.
std::string_view UnsavableGroupNameText(std::string_view name);

// "分组名不能包含“<|>”" for what UnsavableGroupNameText found (a line end or zero byte named as
// such), or "分组名不能以“€”结尾" for a last character that the store cannot end a field with.
std::string UnsavableGroupNameMessage(std::string_view found);

enum class GroupOutcome {
    Added,
    Renamed,        // records moved to the new name; the selected item, if any, renamed
    Deleted,        // the selected item removed; nothing is selected now
    Unchanged,      // an empty name, "所有分组" selected, or nothing selected to delete
    Duplicate,      // an item already has the name: show kDuplicateGroupMessage
    Unsavable,      // see unsavableText: show UnsavableGroupNameMessage(unsavableText)
    TooManyGroups,  // the file could not hold the catalogue whole: show kTooManyGroupsMessage
};

struct GroupCommandResult {
    GroupOutcome outcome = GroupOutcome::Unchanged;
    bool saveGroupFile = false;      // write the group file now; also after some Unchanged
    bool refillServerList = false;   // after a rename: the list shows the new name's servers
    std::string_view unsavableText;  // for Unsavable; a constant, or the last byte of the name
};

// The "加入分组" button: a non-empty name is appended and selected.
GroupCommandResult AddGroup(ComboState& catalogue, std::string_view name);

// The "修改分组" button: every record of the current group takes newName (through SetGroupAt;
// the store is written later), and so does the selected item, which stays selected.
GroupCommandResult RenameGroup(ComboState& catalogue, std::string_view newName, ServerTable& table);

// The "删除分组" button: removes the selected item unless it is "所有分组"; records keep their
// group text.
GroupCommandResult DeleteGroup(ComboState& catalogue);

// The combo box comboName as the INI file at path keeps it in section "组合框"; nullopt when
// the file, the section or the key is missing or the value is empty: leave the box as it is.
std::optional<ComboState> RestoreComboValue(const std::string& path, std::string_view comboName);

// The group combo box as the group file at path keeps it, or the initial catalogue; its text is
// the selected item's name whatever the file says, as a drop-down list shows.
ComboState RestoreGroupCatalogue(const std::string& path);

// Replaces the combo box's value in the INI file; other sections and keys stay as they are.
WriteResult SaveComboValue(const std::string& path, std::string_view comboName,
                           const ComboState& state);

}  // namespace vardex
