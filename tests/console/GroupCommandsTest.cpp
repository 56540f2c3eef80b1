// The group buttons and the group file through the real window, across a restart.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest/QtTest>
#include <memory>

#include "ConsoleFixture.h"
#include "WindowTestKit.h"
#include "console/GbkQt.h"
#include "console/MainWindow.h"
#include "console/ServerListModel.h"

using namespace vardex;
using vardex::testing::Child;

class GroupCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<vardex::testing::ConsoleFixture> console_;

    MainWindow* Start() { return &console_->Start(); }
    void Stop() { console_->Stop(); }
    QComboBox* Combo() { return Child<QComboBox>(console_->window.get(), "组合框1"); }
    void Type(const char* name) {
        Child<QLineEdit>(console_->window.get(), "编辑框1")->setText(QString::fromUtf8(name));
    }
    void Press(const char* button) { Child<QPushButton>(console_->window.get(), button)->click(); }
    void Pick(const char* name) {
        const int index = Combo()->findText(QString::fromUtf8(name));
        QVERIFY(index >= 0);
        Combo()->setCurrentIndex(index);
        emit Combo()->activated(index);
    }
    QStringList Items() {
        QStringList items;
        for (int i = 0; i < Combo()->count(); ++i) {
            items << Combo()->itemText(i);
        }
        return items;
    }
    QStringList Addresses() {
        QStringList rows;
        for (int row = 0; row < console_->window->ListModel().rowCount(); ++row) {
            rows << console_->window->ListModel().index(row, 0).data().toString();
        }
        return rows;
    }
    QByteArray GroupFile() {
        return QByteArray::fromStdString(
            vardex::testing::ReadFileBytes(console_->dir.File("fz.ini")));
    }
    QByteArray Gbk(const char* utf8) {
        return QByteArray::fromStdString(ToGbk(QString::fromUtf8(utf8)).value());
    }

private slots:
    void init() { console_ = std::make_unique<vardex::testing::ConsoleFixture>(); }
    void cleanup() { console_.reset(); }

    void aFirstStartSavesTheInitialCatalogue() {
        Start();
        QCOMPARE(Items(), QStringList{"所有分组"});
        Stop();
        QCOMPARE(GroupFile(), Gbk("[组合框]\r\n组合框1=所有分组<|>0<||>0<|>所有分组\r\n"));
    }

    void addingThreeGroupsAndPickingOneWritesTheWorkedExample() {
        Start();
        for (const char* name : {"Web", "DB", "Mail"}) {
            Type(name);
            Press("按钮2");
        }
        QCOMPARE(Combo()->currentText(), QStringLiteral("Mail"));  // a new group is selected
        Pick("DB");
        console_->window->SaveGroups();
        const QByteArray expected = QByteArray::fromHex(
            "5bd7e9bacfbff25d0d0ad7e9bacfbff2313dcbf9d3d0b7d6d7e93c7c3e303c7c7c3e5765623c7c3e303c"
            "7c7c3e44423c7c3e303c7c7c3e4d61696c3c7c3e303c7c7c3e323c7c3e44420d0a");
        QCOMPARE(expected.size(), 75);
        QCOMPARE(GroupFile(), expected);
        Press("按钮4");
        QCOMPARE(Combo()->currentIndex(), -1);
        QCOMPARE(GroupFile(),
                 Gbk("[组合框]\r\n组合框1=所有分组<|>0<||>Web<|>0<||>Mail<|>0<||>-1<|>\r\n"));
    }

    void refusalsSayWhyAndWriteNothing() {
        Start();
        Type("Web");
        Press("按钮2");
        const QByteArray saved = GroupFile();
        for (const char* name : {"Web", "所有分组"}) {
            console_->messages.shown.clear();
            Type(name);
            Press("按钮2");
            QCOMPARE(console_->messages.shown.size(), size_t(1));
            QCOMPARE(console_->messages.shown[0].text, QStringLiteral("分组重复"));
            QCOMPARE(console_->messages.shown[0].title, QStringLiteral("信息："));
        }
        Pick("Web");
        Press("按钮3");  // renaming Web to its own name
        QCOMPARE(console_->messages.shown.back().text, QStringLiteral("分组重复"));
        Type("a<|>b");
        Press("按钮2");
        QVERIFY(console_->messages.shown.back().text.contains(QStringLiteral("<|>")));
        QCOMPARE(Items(), QStringList({"所有分组", "Web"}));
        QCOMPARE(GroupFile(), saved);
    }

    void emptyNamesAndAllGroupsStillRewriteTheFile() {
        Start();
        QFile::remove(QString::fromStdString(console_->dir.File("fz.ini")));
        Type("");
        Press("按钮2");
        QVERIFY(QFile::exists(QString::fromStdString(console_->dir.File("fz.ini"))));
        QFile::remove(QString::fromStdString(console_->dir.File("fz.ini")));
        Type("New");
        Press("按钮3");  // "所有分组" is selected: nothing is renamed
        QCOMPARE(Items(), QStringList{"所有分组"});
        QVERIFY(QFile::exists(QString::fromStdString(console_->dir.File("fz.ini"))));
        QFile::remove(QString::fromStdString(console_->dir.File("fz.ini")));
        Press("按钮4");  // deleting "所有分组" does nothing at all
        QCOMPARE(Items(), QStringList{"所有分组"});
        QVERIFY(!QFile::exists(QString::fromStdString(console_->dir.File("fz.ini"))));
    }

    void aRenameMovesTheServersAndEverythingComesBackAfterARestart() {
        console_->WriteStore("127.0.0.1|1||||DB\r\n127.0.0.2|1||||Web\r\n127.0.0.3|1||||DB\r\n");
        Start();
        for (const char* name : {"DB", "Web"}) {
            Type(name);
            Press("按钮2");
        }
        Pick("DB");
        QCOMPARE(Addresses(), QStringList({"127.0.0.1", "127.0.0.3"}));
        QCOMPARE(Child<QLineEdit>(console_->window.get(), "编辑框1")->text(), QStringLiteral("DB"));
        Type("Database");
        Press("按钮3");
        QCOMPARE(Combo()->currentText(), QStringLiteral("Database"));
        QCOMPARE(Addresses(), QStringList({"127.0.0.1", "127.0.0.3"}));
        QCOMPARE(console_->state->table.At(1)->group, std::string("Database"));
        QCOMPARE(console_->state->table.At(2)->group, std::string("Web"));
        Stop();

        Start();
        QCOMPARE(Items(), QStringList({"所有分组", "Database", "Web"}));
        QCOMPARE(Combo()->currentText(), QStringLiteral("Database"));
        QCOMPARE(Addresses(), QStringList({"127.0.0.1", "127.0.0.3"}));  // the filter is back
    }

    void renamingWithNothingSelectedNamesTheUngroupedServers() {
        console_->WriteStore("127.0.0.1|1||||\r\n127.0.0.2|1||||Web\r\n");
        Start();
        Type("Web");
        Press("按钮2");
        Press("按钮4");  // nothing selected now
        Type("Lab");
        Press("按钮3");
        QCOMPARE(console_->state->table.At(1)->group, std::string("Lab"));
        QCOMPARE(console_->state->table.At(2)->group, std::string("Web"));
        QCOMPARE(Items(), QStringList({"所有分组"}));
    }

    void anOpenEditorsGroupBoxIsNotTheWindowsOwn() {
        Start();
        Type("Web");
        Press("按钮2");
        Pick("所有分组");
        vardex::testing::OnNextModal([this](QWidget* editor) {
            Child<QComboBox>(editor, "组合框1")->setCurrentIndex(1);
            console_->window->SaveGroups();  // as a close while the editor is open does
            Child<QPushButton>(editor, "按钮2")->click();
        });
        Press("按钮_添加服务器");
        QCOMPARE(GroupFile(),
                 Gbk("[组合框]\r\n组合框1=所有分组<|>0<||>Web<|>0<||>0<|>所有分组\r\n"));
    }

    void aQuoteInAGroupNameSurvivesARestart() {
        Start();
        Type("say \"hi\"");
        Press("按钮2");
        QVERIFY(GroupFile().contains(Gbk("say #引号hi#引号")));
        Stop();
        Start();
        QCOMPARE(Items(), QStringList({"所有分组", "say \"hi\""}));
    }
};

QTEST_MAIN(GroupCommandsTest)
#include "GroupCommandsTest.moc"
