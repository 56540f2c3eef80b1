// The startup password: the window that asks for it and the one that sets it.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QtTest>

#include "FakeMessageBoxes.h"
#include "WindowTestKit.h"
#include "startup/PasswordWindows.h"

using namespace vardex;
using vardex::testing::Child;
using vardex::testing::FakeMessageBoxes;
using vardex::testing::TypeText;

class PasswordWindowsTest : public QObject {
    Q_OBJECT

    FakeMessageBoxes messages_;

private slots:
    void init() {
        messages_.shown.clear();
        messages_.answers.clear();
    }

    void theGateHasItsControls() {
        std::string password = "pw";
        AuthenticationWindow gate(password, messages_, [] {});
        QCOMPARE(gate.windowTitle(), QStringLiteral("身份验证 (Authentication)"));
        QCOMPARE(Child<QLabel>(&gate, "标签1")->text(),
                 QStringLiteral("请输入密码(Input Password):"));
        QCOMPARE(Child<QLabel>(&gate, "标签1")->geometry(), QRect(57, 7, 175, 16));
        QVERIFY(!Child<QLabel>(&gate, "图片框1")->pixmap().isNull());
        QCOMPARE(Child<QLabel>(&gate, "图片框1")->geometry(), QRect(12, 20, 38, 38));
        QCOMPARE(Child<QLineEdit>(&gate, "编辑框1")->echoMode(), QLineEdit::Password);
        QCOMPARE(Child<QLineEdit>(&gate, "编辑框1")->geometry(), QRect(64, 26, 152, 24));
        QCOMPARE(Child<QPushButton>(&gate, "按钮1")->text(), QStringLiteral("确定(OK)"));
        QCOMPARE(Child<QPushButton>(&gate, "按钮1")->geometry(), QRect(64, 59, 72, 24));
        QCOMPARE(Child<QPushButton>(&gate, "按钮2")->text(), QStringLiteral("取消(NO)"));
        QCOMPARE(Child<QPushButton>(&gate, "按钮2")->geometry(), QRect(144, 59, 72, 24));
    }

    void theGateAcceptsOnlyTheExactNonEmptyPassword_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("right") << "Secret"
                               << "Secret" << true;
        QTest::newRow("wrong") << "Secret"
                               << "secreT" << false;
        QTest::newRow("letter case") << "Secret"
                                     << "secret" << false;
        QTest::newRow("trailing blank") << "Secret"
                                        << "Secret " << false;
        QTest::newRow("empty") << "Secret"
                               << "" << false;
        QTest::newRow("gbk") << "密码12"
                             << "密码12" << true;
    }
    void theGateAcceptsOnlyTheExactNonEmptyPassword() {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        std::string password = ToGbkForTest(stored);
        AuthenticationWindow gate(password, messages_, [] { QFAIL("the program was ended"); });
        gate.show();
        auto* box = Child<QLineEdit>(&gate, "编辑框1");
        TypeText(box, typed);
        QTest::keyClick(box, Qt::Key_Return);  // Enter acts on OK
        QCOMPARE(gate.result() == QDialog::Accepted, accepted);
        if (!accepted) {
            QCOMPARE(messages_.shown.size(), size_t(1));
            QCOMPARE(messages_.shown[0].text, QStringLiteral("密码错误"));
            QCOMPARE(messages_.shown[0].title, QStringLiteral("错误"));
            QVERIFY(messages_.shown[0].icon == MessageIcon::Stop);
            QVERIFY(box->text().isEmpty());
            QVERIFY(gate.isVisible());  // try again, as often as needed
        }
    }

    void cancelAndEscEndTheProgramButTheCloseBoxDoesNot() {
        std::string password = "pw";
        int ended = 0;
        AuthenticationWindow gate(password, messages_, [&ended] { ++ended; });
        gate.show();
        Child<QPushButton>(&gate, "按钮2")->click();
        QCOMPARE(ended, 1);
        QTest::keyClick(&gate, Qt::Key_Escape);
        QCOMPARE(ended, 2);
        gate.close();
        QCOMPARE(ended, 2);
        QCOMPARE(gate.result(), int(QDialog::Rejected));
    }

    void everyPasswordBoxTakesSixteenGbkBytes() {
        std::string password;
        AuthenticationWindow gate(password, messages_, [] {});
        StartupPasswordWindow setter(password, messages_);
        for (QLineEdit* box :
             {Child<QLineEdit>(&gate, "编辑框1"), Child<QLineEdit>(&setter, "编辑框1"),
              Child<QLineEdit>(&setter, "编辑框2")}) {
            TypeText(box, QStringLiteral("12345678901234567"));
            QCOMPARE(box->text(), QStringLiteral("1234567890123456"));
            box->clear();
            TypeText(box, QStringLiteral("一二三四五六七八九"));  // two bytes each
            QCOMPARE(box->text(), QStringLiteral("一二三四五六七八"));
            box->clear();
            TypeText(box, QStringLiteral("一二三四五六七a"));
            TypeText(box, QStringLiteral("八b"));
            QCOMPARE(box->text(), QStringLiteral("一二三四五六七ab"));
        }
    }

    void settingChecksTheRepetitionAndAsksBeforeClearing() {
        std::string password = "old";
        {
            StartupPasswordWindow setter(password, messages_);
            QCOMPARE(setter.windowTitle(), QStringLiteral("启动密码设置(Set LoginPass)"));
            QCOMPARE(Child<QLabel>(&setter, "标签1")->text(), QStringLiteral("新的密码:"));
            QCOMPARE(Child<QLabel>(&setter, "标签2")->text(), QStringLiteral("重复密码:"));
            QCOMPARE(Child<QLineEdit>(&setter, "编辑框1")->echoMode(), QLineEdit::Normal);
            QCOMPARE(Child<QPushButton>(&setter, "按钮1")->geometry(), QRect(120, 65, 70, 26));
            QCOMPARE(Child<QPushButton>(&setter, "按钮2")->geometry(), QRect(205, 65, 70, 26));
            setter.show();
            Child<QLineEdit>(&setter, "编辑框1")->setText(QStringLiteral("new1"));
            Child<QLineEdit>(&setter, "编辑框2")->setText(QStringLiteral("new2"));
            Child<QPushButton>(&setter, "按钮1")->click();
            QCOMPARE(messages_.shown.back().text, QStringLiteral("两次密码必须相同"));
            QCOMPARE(messages_.shown.back().title, QStringLiteral("输入出错"));
            QVERIFY(messages_.shown.back().icon == MessageIcon::Stop);
            QCOMPARE(password, std::string("old"));
            QCOMPARE(Child<QLineEdit>(&setter, "编辑框2")->text(), QStringLiteral("new2"));
            QVERIFY(setter.isVisible());

            Child<QLineEdit>(&setter, "编辑框1")->clear();
            Child<QLineEdit>(&setter, "编辑框2")->clear();
            messages_.answers = {MessageAnswer::No};
            Child<QPushButton>(&setter, "按钮1")->click();
            QCOMPARE(messages_.shown.back().text, QStringLiteral("您确定要清空密码吗？"));
            QCOMPARE(messages_.shown.back().title, QStringLiteral("提示"));
            QVERIFY(messages_.shown.back().buttons == MessageButtons::YesNo);
            QVERIFY(messages_.shown.back().icon == MessageIcon::Information);
            QCOMPARE(password, std::string("old"));
            QVERIFY(setter.isVisible());
            messages_.answers = {MessageAnswer::Yes};
            Child<QPushButton>(&setter, "按钮1")->click();
            QCOMPARE(password, std::string());
            QVERIFY(!setter.isVisible());
        }
        StartupPasswordWindow setter(password, messages_);
        setter.show();
        Child<QLineEdit>(&setter, "编辑框1")->setText(QStringLiteral("密码"));
        Child<QLineEdit>(&setter, "编辑框2")->setText(QStringLiteral("密码"));
        QTest::keyClick(Child<QLineEdit>(&setter, "编辑框2"), Qt::Key_Return);
        QCOMPARE(password, ToGbkForTest(QStringLiteral("密码")));
        // Cancel and Esc change nothing.
        StartupPasswordWindow again(password, messages_);
        again.show();
        Child<QLineEdit>(&again, "编辑框1")->setText(QStringLiteral("x"));
        Child<QLineEdit>(&again, "编辑框2")->setText(QStringLiteral("x"));
        QTest::keyClick(&again, Qt::Key_Escape);
        QCOMPARE(password, ToGbkForTest(QStringLiteral("密码")));
    }

    void aPasswordTheStoreCannotGiveBackIsRefused() {
        // A last euro sign (GBK 0x80) would take the closing ">" with it.
        for (const char* bad : {"a>b", "a|b", "#x:1", "pw€"}) {
            std::string password = "old";
            messages_.shown.clear();
            StartupPasswordWindow setter(password, messages_);
            setter.show();
            Child<QLineEdit>(&setter, "编辑框1")->setText(QString::fromUtf8(bad));
            Child<QLineEdit>(&setter, "编辑框2")->setText(QString::fromUtf8(bad));
            Child<QPushButton>(&setter, "按钮1")->click();
            QCOMPARE(messages_.shown.size(), size_t(1));
            QCOMPARE(messages_.shown[0].title, QStringLiteral("输入出错"));
            QCOMPARE(password, std::string("old"));
        }
        QCOMPARE(messages_.shown[0].text, QStringLiteral("启动密码不能以“€”结尾。"));
    }

private:
    static std::string ToGbkForTest(const QString& text);
};

#include "console/GbkQt.h"

std::string PasswordWindowsTest::ToGbkForTest(const QString& text) {
    return ToGbk(text).value();
}

QTEST_MAIN(PasswordWindowsTest)
#include "PasswordWindowsTest.moc"
