// Connect and temporary login through the real window, the real connection file and the real
// client start, with a recording stand-in for FreeRDP on PATH.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest/QtTest>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

#include "ConsoleFixture.h"
#include "WindowTestKit.h"
#include "console/MainWindow.h"
#include "console/ServerListModel.h"
#include "platform/ClientStarter.h"
#include "platform/KeyFileProtection.h"
#include "platform/Registry.h"

using namespace vardex;
using vardex::testing::Child;
using vardex::testing::ReadFileBytes;

namespace {

QStringList Split(const std::string& zeroSeparated) {
    QStringList out;
    for (const QByteArray& piece : QByteArray::fromStdString(zeroSeparated).split('\0')) {
        if (!piece.isEmpty()) {
            out << QString::fromUtf8(piece);
        }
    }
    return out;
}

}  // namespace

class SessionLauncherTest : public QObject {
    Q_OBJECT

    std::unique_ptr<KeyFileProtection> protection_;
    std::unique_ptr<Registry> registry_;
    std::unique_ptr<ClientStarter> starter_;
    std::unique_ptr<vardex::testing::ConsoleFixture> console_;
    QByteArray savedPath_;

    std::string Record(const char* name) {
        return ReadFileBytes(console_->dir.File("record/") + name);
    }
    bool ClientRan() { return std::filesystem::exists(console_->dir.File("record/done")); }
    void Click(const char* name) { Child<QPushButton>(console_->window.get(), name)->click(); }
    void SelectRow(int row) {
        auto* selection = console_->window->ListView().selectionModel();
        selection->setCurrentIndex(console_->window->ListModel().index(row, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

private slots:
    void init() {
        console_ = std::make_unique<vardex::testing::ConsoleFixture>();
        for (const char* folder : {"bin", "record", "run"}) {
            ::mkdir(console_->dir.File(folder).c_str(), 0700);
        }
        QVERIFY(::symlink(FAKE_RDP_CLIENT_PATH, console_->dir.File("bin/xfreerdp").c_str()) == 0);
        savedPath_ = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString(console_->dir.File("bin")));
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(console_->dir.File("run")));
        qputenv("VARDEX_FAKE_CLIENT_RECORD",
                QByteArray::fromStdString(console_->dir.File("record")));

        console_->WriteStore(
            "127.0.0.1|3390|admin|p@ss word|my server|\r\n127.0.0.2|3389|root|||\r\n");
        protection_ = std::make_unique<KeyFileProtection>(console_->dir.File("key/protect.key"));
        registry_ = MakeSystemRegistry();
        starter_ = MakeSystemClientStarter(*protection_);
        ConsoleServices services;
        services.protection = protection_.get();
        services.registry = registry_.get();
        services.clientStarter = starter_.get();
        console_->Start(services);
    }
    void cleanup() {
        console_.reset();
        qputenv("PATH", savedPath_);
    }

    void connectHandsTheStoredServerToTheClient() {
        SelectRow(0);
        Child<QRadioButton>(console_->window.get(), "单选框_分辨1")->click();
        Child<QCheckBox>(console_->window.get(), "选择框_admin")->click();
        Child<QCheckBox>(console_->window.get(), "磁盘")->click();
        Click("按钮_连接服务器");
        QVERIFY(console_->messages.shown.empty());
        QTRY_VERIFY_WITH_TIMEOUT(ClientRan(), 10000);
        const QStringList args = Split(Record("args"));
        for (const char* expected : {"/v:127.0.0.1:3390", "/u:admin", "/w:800", "/h:600", "/admin",
                                     "/drives", "/cert:tofu", "/from-stdin:force"}) {
            QVERIFY2(args.contains(QString::fromUtf8(expected)), expected);
        }
        QVERIFY(!args.contains("/f"));
        QCOMPARE(Record("stdin"), std::string("p@ss word\n"));
        QVERIFY(Record("cmdline").find("p@ss") == std::string::npos);
        QVERIFY(Record("environ").find("p@ss") == std::string::npos);
        QVERIFY(Child<QPushButton>(console_->window.get(), "按钮_连接服务器")->isEnabled());

        // The file is named after the remark, space and all, and only its owner may read it.
        struct stat info {};
        QCOMPARE(::stat(console_->dir.File("run/vardex/my server").c_str(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        const std::string file = ReadFileBytes(console_->dir.File("run/vardex/my server"));
        QVERIFY(file.find("full address:s:127.0.0.1:3390\r\n") != std::string::npos);
        QVERIFY(file.find("password 51:b:") != std::string::npos);
        QVERIFY(file.find("p@ss") == std::string::npos);
    }

    void aDoubleClickWithoutASelectionOnlySaysSo() {
        QTest::mouseDClick(console_->window->ListView().viewport(), Qt::LeftButton, {},
                           QPoint(300, 300));
        QCOMPARE(console_->messages.shown.size(), size_t(1));
        QCOMPARE(console_->messages.shown[0].text, QStringLiteral("请选择服务器列表！"));
        QCOMPARE(console_->messages.shown[0].title, QStringLiteral("操作错误"));
        QTest::qWait(200);
        QVERIFY(!ClientRan());
        QVERIFY(!std::filesystem::exists(console_->dir.File("run/vardex")));
    }

    void aDoubleClickConnectsTheSelectedServer() {
        SelectRow(1);
        const QRect row =
            console_->window->ListView().visualRect(console_->window->ListModel().index(1, 0));
        QTest::mouseDClick(console_->window->ListView().viewport(), Qt::LeftButton, {},
                           row.center());
        QTRY_VERIFY_WITH_TIMEOUT(ClientRan(), 10000);
        const QStringList args = Split(Record("args"));
        QVERIFY(args.contains("/v:127.0.0.2:3389"));
        QVERIFY(args.contains("/w:1024"));
        // A stored server without a password: nothing on standard input.
        QCOMPARE(Record("stdin"), std::string());
    }

    void aTemporaryLoginUsesTheFourBoxes() {
        Child<QLineEdit>(console_->window.get(), "临时IP")->setText(QStringLiteral("127.0.0.3"));
        Child<QLineEdit>(console_->window.get(), "临时密码")->setText(QStringLiteral("tmp"));
        Child<QRadioButton>(console_->window.get(), "单选框_分辨3")->click();
        Click("临时登陆");
        QTRY_VERIFY_WITH_TIMEOUT(ClientRan(), 10000);
        const QStringList args = Split(Record("args"));
        QVERIFY(args.contains("/v:127.0.0.3:3389"));
        QVERIFY(args.contains("/u:administrator"));
        QVERIFY(args.contains("/f"));
        QCOMPARE(Record("stdin"), std::string("tmp\n"));
        QVERIFY(std::filesystem::exists(console_->dir.File("run/vardex/127.0.0.3")));
        QCOMPARE(console_->state->table.Count(), 2);  // nothing of it is stored
    }

    void whatStopsALaunchIsTold() {
        Click("临时登陆");  // no address
        QCOMPARE(console_->messages.shown.size(), size_t(1));
        QCOMPARE(console_->messages.shown[0].text, QStringLiteral("请输入要登陆的服务器地址。"));

        Child<QLineEdit>(console_->window.get(), "临时IP")->setText(QStringLiteral("127.0.0.3"));
        Child<QLineEdit>(console_->window.get(), "临时账号")->setText(QStringLiteral("a\nb"));
        Click("临时登陆");
        QCOMPARE(console_->messages.shown.size(), size_t(2));
        QVERIFY(console_->messages.shown[1].text.contains(QStringLiteral("换行符")));

        std::filesystem::remove(console_->dir.File("bin/xfreerdp"));
        SelectRow(0);
        Click("按钮_连接服务器");
        QCOMPARE(console_->messages.shown.size(), size_t(3));
        QVERIFY(console_->messages.shown[2].text.contains(QStringLiteral("xfreerdp")));
        QCOMPARE(console_->messages.shown[2].title, QStringLiteral("连接失败"));
        QVERIFY(Child<QPushButton>(console_->window.get(), "按钮_连接服务器")->isEnabled());
        QTest::qWait(200);
        QVERIFY(!ClientRan());
    }
};

QTEST_MAIN(SessionLauncherTest)
#include "SessionLauncherTest_posix.moc"
