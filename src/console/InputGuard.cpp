#include "InputGuard.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "GbkQt.h"
#include "MessageBoxes.h"
#include "store/GbkText.h"

namespace vardex {

QString NonGbkRefusal(const QString& text) {
    const QString bad = FirstNonGbkCharacter(text);
    if (bad.isEmpty()) {
        return QString();
    }
    return QStringLiteral("不能输入“%1”：这个字符无法以 GBK 编码保存。").arg(bad);
}

QString UnstorableRefusal(const QString& field, std::string_view found) {
    if (found.size() == 1 && IsLeadByte(found.front())) {
        return QStringLiteral("%1不能以“%2”结尾").arg(field, ToQString(found));
    }
    QString what = QStringLiteral("“%1”").arg(ToQString(found));
    if (found == "\r") {
        what = QStringLiteral("回车符");
    } else if (found == "\n") {
        what = QStringLiteral("换行符");
    } else if (found == std::string_view("\0", 1)) {
        what = QStringLiteral("空字符");
    }
    return QStringLiteral("%1中不能包含%2").arg(field, what);
}

InputGuard::InputGuard(QLineEdit* edit, MessageBoxes& messages, InputRule extraRule)
    : QObject(edit),
      messages_(messages),
      extraRule_(std::move(extraRule)),
      accepted_(edit->text()) {
    // textEdited fires for typing and pasting, not for texts the program sets itself.
    connect(edit, &QLineEdit::textEdited, this, [this, edit](const QString& text) {
        const QString refusal = Refusal(text);
        if (refusal.isEmpty()) {
            accepted_ = text;
            return;
        }
        edit->setText(accepted_);
        messages_.Show(refusal, QStringLiteral("输入出错"), MessageButtons::Ok, MessageIcon::Stop);
    });
    connect(edit, &QLineEdit::textChanged, this, [this, edit](const QString& text) {
        // A refused edit still reports its text here after the box went back; it is stale.
        if (text != edit->text()) {
            return;
        }
        if (!edit->isModified() || Refusal(text).isEmpty()) {
            accepted_ = text;
        }
    });
}

InputGuard::InputGuard(QPlainTextEdit* edit, MessageBoxes& messages, InputRule extraRule)
    : QObject(edit),
      messages_(messages),
      extraRule_(std::move(extraRule)),
      accepted_(edit->toPlainText()) {
    connect(edit, &QPlainTextEdit::textChanged, this, [this, edit] {
        if (restoring_) {
            return;
        }
        const QString text = edit->toPlainText();
        const QString refusal = Refusal(text);
        if (refusal.isEmpty()) {
            accepted_ = text;
            return;
        }
        restoring_ = true;
        edit->setPlainText(accepted_);
        edit->moveCursor(QTextCursor::End);
        restoring_ = false;
        messages_.Show(refusal, QStringLiteral("输入出错"), MessageButtons::Ok, MessageIcon::Stop);
    });
}

QString InputGuard::Refusal(const QString& text) const {
    QString refusal = NonGbkRefusal(text);
    if (refusal.isEmpty() && extraRule_) {
        refusal = extraRule_(text);
    }
    return refusal;
}

}  // namespace vardex
