#include "GroupCatalogue.h"

#include <algorithm>

#include "IniFile.h"
#include "platform/RunDirectory.h"
#include "store/GbkText.h"
#include "store/StoreFormat.h"

namespace vardex {
namespace {

bool HasItemNamed(const ComboState& catalogue, std::string_view name) {
    return std::any_of(catalogue.items.begin(), catalogue.items.end(),
                       [&](const ComboItem& item) { return item.name == name; });
}

bool HasSelection(const ComboState& catalogue) {
    return catalogue.selection >= 0 &&
           catalogue.selection < static_cast<int32_t>(catalogue.items.size());
}

// Whether a read gets back every item and the selection, whichever item is selected. The text
// after the selection may be cut: a drop-down list shows the selected item whatever it says.
bool FitsGroupFile(const std::vector<ComboItem>& items) {
    constexpr std::string_view kNoSelection = "-1";
    const size_t itemsPart = EncodeComboValue(ComboState{items, -1, ""}).size() -
                             kNoSelection.size() - kItemMarker.size();
    const size_t lastIndex = items.empty() ? 0 : items.size() - 1;
    const size_t widestSelection = std::max(kNoSelection.size(), std::to_string(lastIndex).size());
    return itemsPart + widestSelection + kItemMarker.size() <= kMaxIniValueBytes;
}

GroupCommandResult Refused(GroupOutcome outcome, std::string_view unsavableText = {}) {
    GroupCommandResult result;
    result.outcome = outcome;
    result.unsavableText = unsavableText;
    return result;
}

GroupCommandResult Done(GroupOutcome outcome, bool refillServerList = false) {
    GroupCommandResult result;
    result.outcome = outcome;
    result.saveGroupFile = true;
    result.refillServerList = refillServerList;
    return result;
}

}  // namespace

std::string GroupFilePath(std::string_view runDirectory) {
    return JoinPath(runDirectory, kGroupFileName);
}

ComboState InitialGroupCatalogue() {
    return ComboState{{ComboItem{std::string(kAllGroups), 0}}, 0, std::string(kAllGroups)};
}

std::string CurrentGroupText(const ComboState& catalogue) {
    return HasSelection(catalogue) ? catalogue.items[static_cast<size_t>(catalogue.selection)].name
                                   : std::string();
}

std::string_view UnsavableGroupNameText(std::string_view name) {
    // The earliest of the group file's own separators and its quote escape, or of a CR or LF
    // byte, which ends the file's line even as a second byte; unless the store refuses something
    // before it.
    const size_t lineEnd = name.find_first_of("\r\n");
    std::string_view found =
        FirstOfTexts(name.substr(0, lineEnd), {kPartSeparator, kItemMarker, kQuoteEscape});
    size_t first = found.empty() ? lineEnd : FindText(name, found);
    if (found.empty() && lineEnd != std::string_view::npos) {
        found = name[lineEnd] == '\r' ? "\r" : "\n";
    }
    // A line end byte may be the second byte of a character: the store looks before that one.
    if (first != std::string_view::npos && EndsInsideCharacter(name.substr(0, first))) {
        --first;
    }
    const std::string_view store = UnstorableTextIn(name.substr(0, first));
    return store.empty() ? found : store;
}

std::string UnsavableGroupNameMessage(std::string_view found) {
    constexpr std::string_view kOpen = "\xA1\xB0";   // “
    constexpr std::string_view kClose = "\xA1\xB1";  // ”
    if (found.size() == 1 && IsLeadByte(found.front())) {
        return std::string("\xB7\xD6\xD7\xE9\xC3\xFB\xB2\xBB\xC4\xDC\xD2\xD4")  // 分组名不能以
            .append(kOpen)
            .append(found)
            .append(kClose)
            .append("\xBD\xE1\xCE\xB2");  // 结尾
    }
    std::string_view what = found;
    if (found == "\r" || found == "\n") {
        what = "\xBB\xBB\xD0\xD0";  // 换行
    } else if (found == std::string_view("\0", 1)) {
        what = "\xBF\xD5\xD7\xD6\xB7\xFB";  // 空字符
    }
    return std::string(
               "\xB7\xD6\xD7\xE9\xC3\xFB\xB2\xBB\xC4\xDC\xB0\xFC\xBA\xAC")  // 分组名不能包含
        .append(kOpen)
        .append(what)
        .append(kClose);
}

GroupCommandResult AddGroup(ComboState& catalogue, std::string_view name) {
    if (name.empty()) {
        return Done(GroupOutcome::Unchanged);  // the file is written all the same
    }
    if (HasItemNamed(catalogue, name)) {
        return Refused(GroupOutcome::Duplicate);
    }
    if (const std::string_view bad = UnsavableGroupNameText(name); !bad.empty()) {
        return Refused(GroupOutcome::Unsavable, bad);
    }
    std::vector<ComboItem> items = catalogue.items;
    items.push_back(ComboItem{std::string(name), 0});
    if (!FitsGroupFile(items)) {
        return Refused(GroupOutcome::TooManyGroups);
    }
    catalogue.items = std::move(items);
    catalogue.selection = static_cast<int32_t>(catalogue.items.size()) - 1;
    catalogue.text = std::string(name);
    return Done(GroupOutcome::Added);
}

GroupCommandResult RenameGroup(ComboState& catalogue, std::string_view newName,
                               ServerTable& table) {
    const std::string oldName = CurrentGroupText(catalogue);
    if (newName.empty() || oldName == kAllGroups) {
        return Done(GroupOutcome::Unchanged);  // the file is written all the same
    }
    if (HasItemNamed(catalogue, newName)) {
        return Refused(GroupOutcome::Duplicate);
    }
    if (const std::string_view bad = UnsavableGroupNameText(newName); !bad.empty()) {
        return Refused(GroupOutcome::Unsavable, bad);
    }
    std::vector<ComboItem> items = catalogue.items;
    if (HasSelection(catalogue)) {
        items[static_cast<size_t>(catalogue.selection)].name = std::string(newName);
        if (!FitsGroupFile(items)) {
            return Refused(GroupOutcome::TooManyGroups);
        }
    }
    // With nothing selected the old name is empty: the servers without a group get the name.
    for (int index = 1; index <= table.Count(); ++index) {
        const std::optional<ServerRecord> record = table.At(index);
        if (record && record->group == oldName) {
            table.SetGroupAt(index, std::string(newName));
        }
    }
    catalogue.items = std::move(items);
    catalogue.text = CurrentGroupText(catalogue);
    return Done(GroupOutcome::Renamed, true);
}

GroupCommandResult DeleteGroup(ComboState& catalogue) {
    if (CurrentGroupText(catalogue) == kAllGroups) {
        return Refused(GroupOutcome::Unchanged);  // nothing changes, nothing is written
    }
    const bool removed = HasSelection(catalogue);
    if (removed) {
        catalogue.items.erase(catalogue.items.begin() + catalogue.selection);
    }
    catalogue.selection = -1;
    catalogue.text.clear();
    return Done(removed ? GroupOutcome::Deleted : GroupOutcome::Unchanged);
}

std::optional<ComboState> RestoreComboValue(const std::string& path, std::string_view comboName) {
    return DecodeComboValue(ReadIniFileValue(path, kComboSection, comboName));
}

ComboState RestoreGroupCatalogue(const std::string& path) {
    ComboState catalogue =
        RestoreComboValue(path, kGroupComboName).value_or(InitialGroupCatalogue());
    catalogue.text = CurrentGroupText(catalogue);
    return catalogue;
}

WriteResult SaveComboValue(const std::string& path, std::string_view comboName,
                           const ComboState& state) {
    return WriteIniFileValue(path, kComboSection, comboName, EncodeComboValue(state));
}

}  // namespace vardex
