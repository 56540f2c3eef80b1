// Refuses, with a message, what is typed or pasted into a text box that the program could not
// keep: characters GBK cannot hold, and whatever an extra rule forbids.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string_view>

class QLineEdit;
class QPlainTextEdit;

namespace vardex {

class MessageBoxes;

// Returns why text is refused, or an empty text when it is accepted.
using InputRule = std::function<QString(const QString& text)>;

// The message for a character that GBK cannot hold; empty when every character is fine.
QString NonGbkRefusal(const QString& text);

// "<field>中不能包含“|”" for what UnstorableTextIn found (a line end or zero byte named as
// such), or "<field>不能以“€”结尾" for a last character the store cannot end a field with.
QString UnstorableRefusal(const QString& field, std::string_view found);

// Watches one box; the box goes back to its last accepted text when an edit is refused.
class InputGuard : public QObject {
public:
    InputGuard(QLineEdit* edit, MessageBoxes& messages, InputRule extraRule = {});
    InputGuard(QPlainTextEdit* edit, MessageBoxes& messages, InputRule extraRule = {});

private:
    QString Refusal(const QString& text) const;

    MessageBoxes& messages_;
    InputRule extraRule_;
    QString accepted_;
    bool restoring_ = false;
};

}  // namespace vardex
