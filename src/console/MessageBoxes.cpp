#include "MessageBoxes.h"

#include <QMessageBox>

namespace vardex {

QString MessageBoxes::DefaultTitle() {
    return QStringLiteral("信息：");
}

MessageAnswer QtMessageBoxes::Show(const QString& text, const QString& title,
                                   MessageButtons buttons, MessageIcon icon) {
    QMessageBox box;
    box.setWindowTitle(title);
    box.setText(text);
    box.setWindowModality(Qt::ApplicationModal);
    box.setIcon(icon == MessageIcon::Stop          ? QMessageBox::Critical
                : icon == MessageIcon::Information ? QMessageBox::Information
                                                   : QMessageBox::NoIcon);
    switch (buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            // Esc or the close box on a box with Cancel or No means that answer.
            return buttons == MessageButtons::YesNo ? MessageAnswer::No
                   : buttons == MessageButtons::Ok  ? MessageAnswer::Ok
                                                    : MessageAnswer::Cancel;
    }
}

}  // namespace vardex
