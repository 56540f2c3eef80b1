// The two windows of the startup password: the one that asks for it before the main window
// opens, and the one that sets, changes or clears it.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;

namespace vardex {

class MessageBoxes;

// Asks for the startup password. Accepted only for the right, non-empty password; the cancel
// button ends the program at once through endProgram; the close box just closes it.
class AuthenticationWindow : public QDialog {
    Q_OBJECT
public:
    AuthenticationWindow(const std::string& startupPassword, MessageBoxes& messages,
                         std::function<void()> endProgram, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Check();

    const std::string& startupPassword_;
    MessageBoxes& messages_;
    std::function<void()> endProgram_;
    QLineEdit* input_;
};

// Sets startupPassword on OK; the store gets it with its next save.
class StartupPasswordWindow : public QDialog {
    Q_OBJECT
public:
    StartupPasswordWindow(std::string& startupPassword, MessageBoxes& messages,
                          QWidget* parent = nullptr);

private:
    void Confirm();

    std::string& startupPassword_;
    MessageBoxes& messages_;
    QLineEdit* first_;
    QLineEdit* second_;
};

}  // namespace vardex
