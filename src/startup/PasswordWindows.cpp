#include "PasswordWindows.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include "Padlock.h"
#include "console/GbkQt.h"
#include "console/InputGuard.h"
#include "console/MessageBoxes.h"
#include "platform/CodePage.h"
#include "store/StoreFormat.h"

namespace vardex {
namespace {

constexpr int kPasswordBytes = 16;

// Refuses input beyond 16 bytes counted in GBK, where a Chinese character counts two.
class GbkByteLimit : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        const auto* units = reinterpret_cast<const char16_t*>(input.utf16());
        const size_t bytes =
            Utf16ToGbkLossy(std::u16string_view(units, static_cast<size_t>(input.size()))).size();
        return bytes <= kPasswordBytes ? Acceptable : Invalid;
    }
};

QLineEdit* PasswordBox(QWidget* parent, const char* name, QRect place, MessageBoxes& messages) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(name));
    edit->setGeometry(place);
    edit->setValidator(new GbkByteLimit(edit));
    new InputGuard(edit, messages);
    return edit;
}

void PlacePadlock(QWidget* parent, QRect place) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(QStringLiteral("图片框1"));
    picture->setGeometry(place);
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(PadlockPixmap());
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const char* caption, QRect place) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setGeometry(place);
    return label;
}

QPushButton* PlaceButton(QWidget* parent, const char* name, const char* caption, QRect place) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setGeometry(place);
    button->setAutoDefault(false);
    return button;
}

void UsePixelFont(QWidget* window) {
    QFont font = window->font();
    font.setFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(12);
    window->setFont(font);
}

}  // namespace

AuthenticationWindow::AuthenticationWindow(const std::string& startupPassword,
                                           MessageBoxes& messages, std::function<void()> endProgram,
                                           QWidget* parent)
    : QDialog(parent),
      startupPassword_(startupPassword),
      messages_(messages),
      endProgram_(std::move(endProgram)) {
    setObjectName(QStringLiteral("AuthenticationWindow"));
    setWindowTitle(QStringLiteral("身份验证 (Authentication)"));
    UsePixelFont(this);
    setFixedSize(244, 92);
    PlacePadlock(this, QRect(12, 20, 38, 38));
    PlaceLabel(this, "标签1", "请输入密码(Input Password):", QRect(57, 7, 175, 16));
    input_ = PasswordBox(this, "编辑框1", QRect(64, 26, 152, 24), messages_);
    input_->setEchoMode(QLineEdit::Password);
    input_->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
    auto* ok = PlaceButton(this, "按钮1", "确定(OK)", QRect(64, 59, 72, 24));
    auto* cancel = PlaceButton(this, "按钮2", "取消(NO)", QRect(144, 59, 72, 24));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &AuthenticationWindow::Check);
    connect(cancel, &QPushButton::clicked, this, [this] { endProgram_(); });
}

void AuthenticationWindow::keyPressEvent(QKeyEvent* event) {
    // Esc acts on the cancel button; only the close box merely closes the window.
    if (event->key() == Qt::Key_Escape) {
        endProgram_();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AuthenticationWindow::Check() {
    const auto input = ToGbk(input_->text());
    if (input && !input->empty() && *input == startupPassword_) {
        accept();
        return;
    }
    messages_.Show(QStringLiteral("密码错误"), QStringLiteral("错误"), MessageButtons::Ok,
                   MessageIcon::Stop);
    input_->clear();
}

StartupPasswordWindow::StartupPasswordWindow(std::string& startupPassword, MessageBoxes& messages,
                                             QWidget* parent)
    : QDialog(parent), startupPassword_(startupPassword), messages_(messages) {
    setObjectName(QStringLiteral("StartupPasswordWindow"));
    setWindowTitle(QStringLiteral("启动密码设置(Set LoginPass)"));
    UsePixelFont(this);
    setFixedSize(284, 100);
    PlacePadlock(this, QRect(16, 15, 40, 32));
    PlaceLabel(this, "标签1", "新的密码:", QRect(64, 9, 56, 16));
    first_ = PasswordBox(this, "编辑框1", QRect(120, 8, 152, 24), messages_);
    PlaceLabel(this, "标签2", "重复密码:", QRect(64, 36, 56, 16));
    second_ = PasswordBox(this, "编辑框2", QRect(120, 33, 152, 24), messages_);
    auto* ok = PlaceButton(this, "按钮1", "确定(OK)", QRect(120, 65, 70, 26));
    auto* cancel = PlaceButton(this, "按钮2", "取消(NO)", QRect(205, 65, 70, 26));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &StartupPasswordWindow::Confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void StartupPasswordWindow::Confirm() {
    const auto first = ToGbk(first_->text());
    const auto second = ToGbk(second_->text());
    if (!first || !second || *first != *second) {
        messages_.Show(QStringLiteral("两次密码必须相同"), QStringLiteral("输入出错"),
                       MessageButtons::Ok, MessageIcon::Stop);
        return;
    }
    if (first->empty()) {
        if (messages_.Show(QStringLiteral("您确定要清空密码吗？"), QStringLiteral("提示"),
                           MessageButtons::YesNo, MessageIcon::Information) != MessageAnswer::Yes) {
            return;
        }
    } else if (const std::string_view bad = UnstorablePasswordTextIn(*first); !bad.empty()) {
        // The store keeps the password between "<" and ">" and could not give this one back.
        messages_.Show(UnstorableRefusal(QStringLiteral("启动密码"), bad) + QStringLiteral("。"),
                       QStringLiteral("输入出错"), MessageButtons::Ok, MessageIcon::Stop);
        return;
    }
    startupPassword_ = *first;
    accept();
}

}  // namespace vardex
