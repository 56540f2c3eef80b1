// Message boxes for window tests: every box is recorded and answered at once, without blocking.
#pragma once

#include <QString>
#include <deque>
#include <vector>

#include "console/MessageBoxes.h"

namespace vardex::testing {

class FakeMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        QString text;
        QString title;
        MessageButtons buttons;
        MessageIcon icon;
    };

    MessageAnswer Show(const QString& text, const QString& title, MessageButtons buttons,
                       MessageIcon icon) override {
        shown.push_back({text, title, buttons, icon});
        if (!answers.empty()) {
            const MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }

    std::vector<Shown> shown;
    std::deque<MessageAnswer> answers;  // the next answers; Ok or Yes once they run out
};

}  // namespace vardex::testing
