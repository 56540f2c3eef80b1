// Every combo box of a window saved to and restored from the group file, one key per box named
// after the control, and the bridge between a combo box and the catalogue logic.
#pragma once

#include <string>

#include "groups/ComboValue.h"
#include "platform/FileIo.h"

class QComboBox;
class QWidget;

namespace vardex {

ComboState ComboStateOf(const QComboBox& combo);
void ShowComboState(QComboBox& combo, const ComboState& state);

// Return the number of combo boxes found, in the window's control order. A failed write is
// given back in failure (the first one), the others are still tried.
int SaveComboBoxes(QWidget& window, const std::string& iniPath, WriteResult& failure);
int RestoreComboBoxes(QWidget& window, const std::string& iniPath);

}  // namespace vardex
