// The modal window in which one server is typed in (add) or changed (modify).
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

#include "store/ServerTable.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vardex {

class MessageBoxes;

class ServerEditor : public QDialog {
    Q_OBJECT
public:
    // editIndex 0 adds a record; v > 0 modifies the record at v. groupNames are the main window's
    // group items in order. afterChange refills the list and saves the store once a change is in
    // the table; saveStore is the save that opening in modify mode makes.
    ServerEditor(ServerTable& table, int editIndex, const QStringList& groupNames,
                 MessageBoxes& messages, std::function<void()> afterChange,
                 std::function<void()> saveStore, QWidget* parent = nullptr);

private:
    void Confirm();

    ServerTable& table_;
    int editIndex_;
    MessageBoxes& messages_;
    std::function<void()> afterChange_;
    QLineEdit* address_;
    QLineEdit* port_;
    QLineEdit* account_;
    QLineEdit* password_;
    QPlainTextEdit* remark_;
    QComboBox* group_;
};

}  // namespace vardex
