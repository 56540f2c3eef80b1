#include "ServerEditor.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "GbkQt.h"
#include "InputGuard.h"
#include "MessageBoxes.h"
#include "store/StoreFormat.h"

namespace vardex {

ServerEditor::ServerEditor(ServerTable& table, int editIndex, const QStringList& groupNames,
                           MessageBoxes& messages, std::function<void()> afterChange,
                           std::function<void()> saveStore, QWidget* parent)
    : QDialog(parent),
      table_(table),
      editIndex_(editIndex),
      messages_(messages),
      afterChange_(std::move(afterChange)) {
    setObjectName(QStringLiteral("ServerEditor"));
    setWindowTitle(QStringLiteral("添加服务器列表"));
    setFixedSize(246, 292);

    auto* box = new QGroupBox(QStringLiteral("服务器信息"), this);
    box->setGeometry(8, 4, 230, 282);
    auto label = [box](const QString& text, int top) {
        auto* l = new QLabel(text, box);
        l->setGeometry(8, top + 3, 72, 16);
    };
    auto edit = [box](const char* name, int top, int width) {
        auto* e = new QLineEdit(box);
        e->setObjectName(QString::fromUtf8(name));
        e->setGeometry(80, top, width, 22);
        return e;
    };
    label(QStringLiteral("IP/域名："), 22);
    address_ = edit("编辑框_域名", 22, 140);
    label(QStringLiteral("端口："), 50);
    port_ = edit("编辑框_端口", 50, 64);
    label(QStringLiteral("登陆账号："), 78);
    account_ = edit("编辑框_账号", 78, 140);
    label(QStringLiteral("登陆密码："), 106);
    password_ = edit("编辑框_密码", 106, 140);
    password_->setEchoMode(QLineEdit::Password);
    password_->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
    label(QStringLiteral("备注："), 134);
    remark_ = new QPlainTextEdit(box);
    remark_->setObjectName(QStringLiteral("编辑框_备注"));
    remark_->setGeometry(80, 134, 140, 54);
    group_ = new QComboBox(box);
    group_->setObjectName(QStringLiteral("组合框1"));
    group_->setGeometry(80, 194, 140, 22);

    auto* confirm = new QPushButton(QStringLiteral("添 加 列 表(ADDLIST)"), box);
    confirm->setObjectName(QStringLiteral("按钮1"));
    confirm->setGeometry(8, 226, 150, 44);
    confirm->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取 消\n(Close)"), box);
    cancel->setObjectName(QStringLiteral("按钮2"));
    cancel->setGeometry(164, 226, 56, 44);
    connect(confirm, &QPushButton::clicked, this, &ServerEditor::Confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    address_->setText(QStringLiteral("127.0.0.1"));
    port_->setText(QStringLiteral("3389"));
    account_->setText(QStringLiteral("Administrator"));
    for (QLineEdit* e : {address_, port_, account_, password_}) {
        new InputGuard(e, messages_);
    }
    new InputGuard(remark_, messages_);

    // The creation handler: the group items, then in modify mode the record's texts.
    group_->addItems(groupNames);
    group_->setCurrentIndex(groupNames.isEmpty() ? -1 : 0);
    if (editIndex_ <= 0) {
        return;
    }
    const auto record = table_.At(editIndex_);
    if (!record) {
        return;
    }
    address_->setText(ToQString(record->address));
    account_->setText(ToQString(record->account));
    password_->setText(ToQString(record->password));
    port_->setText(ToQString(record->port));
    remark_->setPlainText(ToQString(record->remark));
    confirm->setText(QStringLiteral("修 改 列 表(EDIT LIST)"));
    setWindowTitle(QStringLiteral("修改服务器列表"));
    for (int j = 0; j < group_->count(); ++j) {
        if (ToGbk(group_->itemText(j)) == record->group) {
            group_->setCurrentIndex(j);  // the last equal item wins
        }
    }
    saveStore();
}

void ServerEditor::Confirm() {
    struct Field {
        QString label;
        QString text;
        std::string gbk;
    };
    Field fields[] = {{QStringLiteral("IP/域名"), address_->text(), {}},
                      {QStringLiteral("端口"), port_->text(), {}},
                      {QStringLiteral("登陆账号"), account_->text(), {}},
                      {QStringLiteral("登陆密码"), password_->text(), {}},
                      {QStringLiteral("备注"), remark_->toPlainText(), {}},
                      {QStringLiteral("分组"), group_->currentText(), {}}};
    for (Field& f : fields) {
        const auto gbk = ToGbk(f.text);
        QString problem;
        if (!gbk) {
            problem = NonGbkRefusal(f.text);
        } else if (const std::string_view bad = UnstorableTextIn(*gbk); !bad.empty()) {
            problem = UnstorableRefusal(f.label, bad) + QStringLiteral("，服务器列表无法保存它。");
        }
        if (!problem.isEmpty()) {
            messages_.Show(problem, QStringLiteral("输入出错"), MessageButtons::Ok,
                           MessageIcon::Stop);
            return;
        }
        f.gbk = *gbk;
    }
    if (editIndex_ <= 0) {
        ServerRecord record;
        record.address = fields[0].gbk;
        record.port = fields[1].gbk;
        record.account = fields[2].gbk;
        record.password = fields[3].gbk;
        record.remark = fields[4].gbk;
        record.group = fields[5].gbk;
        table_.Append(std::move(record));
    } else {
        table_.ReplaceAt(editIndex_, fields[0].gbk, fields[1].gbk, fields[2].gbk, fields[3].gbk,
                         fields[4].gbk, fields[5].gbk);
    }
    afterChange_();
    accept();
}

}  // namespace vardex
