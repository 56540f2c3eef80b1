#include "ComboBoxes.h"

#include <QComboBox>
#include <QWidget>

#include "GbkQt.h"
#include "groups/GroupCatalogue.h"

namespace vardex {

ComboState ComboStateOf(const QComboBox& combo) {
    ComboState state;
    for (int i = 0; i < combo.count(); ++i) {
        state.items.push_back({ToGbk(combo.itemText(i)).value_or(""), combo.itemData(i).toInt()});
    }
    state.selection = combo.currentIndex();
    state.text = ToGbk(combo.currentText()).value_or("");
    return state;
}

void ShowComboState(QComboBox& combo, const ComboState& state) {
    const QSignalBlocker quiet(combo);
    combo.clear();
    for (const ComboItem& item : state.items) {
        combo.addItem(ToQString(item.name), item.value);
    }
    // A drop-down list shows the selected item; the stored text has no say.
    combo.setCurrentIndex(state.selection);
}

namespace {

// The window's own combo boxes in control order; not those of a dialog it owns.
QList<QComboBox*> ComboBoxesOf(QWidget& window) {
    QList<QComboBox*> boxes = window.findChildren<QComboBox*>();
    boxes.removeIf([&window](QComboBox* combo) { return combo->window() != &window; });
    return boxes;
}

}  // namespace

int SaveComboBoxes(QWidget& window, const std::string& iniPath, WriteResult& failure) {
    const auto boxes = ComboBoxesOf(window);
    for (QComboBox* combo : boxes) {
        const WriteResult result =
            SaveComboValue(iniPath, ToGbk(combo->objectName()).value_or(""), ComboStateOf(*combo));
        if (!result.ok && failure.ok) {
            failure = result;
        }
    }
    return static_cast<int>(boxes.size());
}

int RestoreComboBoxes(QWidget& window, const std::string& iniPath) {
    const auto boxes = ComboBoxesOf(window);
    for (QComboBox* combo : boxes) {
        if (const auto state =
                RestoreComboValue(iniPath, ToGbk(combo->objectName()).value_or(""))) {
            ShowComboState(*combo, *state);
        }
    }
    return static_cast<int>(boxes.size());
}

}  // namespace vardex
