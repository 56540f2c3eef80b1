// Message boxes: task-modal, with no owner window. Behind an interface so tests answer them.
#pragma once

#include <QString>

namespace vardex {

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Stop, Information };
enum class MessageAnswer { Ok, Cancel, Yes, No };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer Show(const QString& text, const QString& title, MessageButtons buttons,
                               MessageIcon icon) = 0;

    // A message without a title of its own gets "信息：".
    static QString DefaultTitle();
};

class QtMessageBoxes : public MessageBoxes {
public:
    MessageAnswer Show(const QString& text, const QString& title, MessageButtons buttons,
                       MessageIcon icon) override;
};

}  // namespace vardex
