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

#include "FakeMessageBoxes.h"
#include "TempDir.h"
#include "WindowTestKit.h"
#include "console/MainWindow.h"
#include "console/ServerListModel.h"
#include "platform/ClientStarter.h"
#include "platform/KeyFileProtection.h"
#include "platform/Registry.h"
#include "store/Rc4Crypt.h"

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

    std::unique_ptr<vardex::testing::TempDir> dir_;
    std::unique_ptr<ProgramState> state_;
    vardex::testing::FakeMessageBoxes messages_;
    std::unique_ptr<KeyFileProtection> protection_;
    std::unique_ptr<Registry> registry_;
    std::unique_ptr<ClientStarter> starter_;
    std::unique_ptr<MainWindow> window_;
    QByteArray savedPath_;

    std::string Record(const char* name) { return ReadFileBytes(dir_->File("record/") + name); }
    bool ClientRan() { return std::filesystem::exists(dir_->File("record/done")); }
    void Click(const char* name) { Child<QPushButton>(window_.get(), name)->click(); }
    void SelectRow(int row) {
        auto* selection = window_->ListView().selectionModel();
        selection->setCurrentIndex(window_->ListModel().index(row, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

private slots:
    void init() {
        dir_ = std::make_unique<vardex::testing::TempDir>();
        for (const char* folder : {"bin", "record", "run"}) {
            ::mkdir(dir_->File(folder).c_str(), 0700);
        }
        QVERIFY(::symlink(FAKE_RDP_CLIENT_PATH, dir_->File("bin/xfreerdp").c_str()) == 0);
        savedPath_ = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString(dir_->File("bin")));
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir_->File("run")));
        qputenv("VARDEX_FAKE_CLIENT_RECORD", QByteArray::fromStdString(dir_->File("record")));

        vardex::testing::WriteFileBytes(
            dir_->File("ms.ini"),
            Rc4Crypt("127.0.0.1|3390|admin|p@ss word|my server|\r\n127.0.0.2|3389|root|||\r\n",
                     kStoreKey));
        state_ = std::make_unique<ProgramState>(dir_->path());
        state_->LoadStoreAtStart();
        protection_ = std::make_unique<KeyFileProtection>(dir_->File("key/protect.key"));
        registry_ = MakeSystemRegistry();
        starter_ = MakeSystemClientStarter(*protection_);
        messages_.shown.clear();
        ConsoleServices services;
        services.messages = &messages_;
        services.protection = protection_.get();
        services.registry = registry_.get();
        services.clientStarter = starter_.get();
        window_ = std::make_unique<MainWindow>(*state_, services);
        QVERIFY(window_->SetUp());
    }
    void cleanup() {
        window_.reset();
        qputenv("PATH", savedPath_);
        dir_.reset();
    }

    void connectHandsTheStoredServerToTheClient() {
        SelectRow(0);
        Child<QRadioButton>(window_.get(), "单选框_分辨1")->click();
        Child<QCheckBox>(window_.get(), "选择框_admin")->click();
        Child<QCheckBox>(window_.get(), "磁盘")->click();
        Click("按钮_连接服务器");
        QVERIFY(messages_.shown.empty());
        QTRY_VERIFY_WITH_TIMEOUT(ClientRan(), 10000);
        const QStringList args = Split(Record("args"));
        for (const char* expected : {"/v:127.0.0.1:3390", "/u:admin", "/w:800", "/h:600",
                                     "/admin", "/drives", "/cert:tofu", "/from-stdin:force"}) {
            QVERIFY2(args.contains(QString::fromUtf8(expected)), expected);
        }
        QVERIFY(!args.contains("/f"));
        QCOMPARE(Record("stdin"), std::string("p@ss word\n"));
        QVERIFY(Record("cmdline").find("p@ss") == std::string::npos);
        QVERIFY(Record("environ").find("p@ss") == std::string::npos);
        QVERIFY(Child<QPushButton>(window_.get(), "按钮_连接服务器")->isEnabled());

        // The file is named after the remark, space and all, and only its owner may read it.
        struct stat info {};
        QCOMPARE(::stat(dir_->File("run/vardex/my server").c_str(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
        const std::string file = ReadFileBytes(dir_->File("run/vardex/my server"));
        QVERIFY(file.find("full address:s:127.0.0.1:3390\r\n") != std::string::npos);
        QVERIFY(file.find("password 51:b:") != std::string::npos);
        QVERIFY(file.find("p@ss") == std::string::npos);
    }

    void aDoubleClickWithoutASelectionOnlySaysSo() {
        QTest::mouseDClick(window_->ListView().viewport(), Qt::LeftButton, {}, QPoint(300, 300));
        QCOMPARE(messages_.shown.size(), size_t(1));
        QCOMPARE(messages_.shown[0].text, QStringLiteral("请选择服务器列表！"));
        QCOMPARE(messages_.shown[0].title, QStringLiteral("操作错误"));
        QTest::qWait(200);
        QVERIFY(!ClientRan());
        QVERIFY(!std::filesystem::exists(dir_->File("run/vardex")));
    }

    void aDoubleClickConnectsTheSelectedServer() {
        SelectRow(1);
        const QRect row = window_->ListView().visualRect(window_->ListModel().index(1, 0));
        QTest::mouseDClick(window_->ListView().viewport(), Qt::LeftButton, {}, row.center());
        QTRY_VERIFY_WITH_TIMEOUT(ClientRan(), 10000);
        const QStringList args = Split(Record("args"));
        QVERIFY(args.contains("/v:127.0.0.2:3389"));
        QVERIFY(args.contains("/w:1024"));
        // A stored server without a password: nothing on standard input.
        QCOMPARE(Record("stdin"), std::string());
    }

    void aTemporaryLoginUsesTheFourBoxes() {
        Child<QLineEdit>(window_.get(), "临时IP")->setText(QStringLiteral("127.0.0.3"));
        Child<QLineEdit>(window_.get(), "临时密码")->setText(QStringLiteral("tmp"));
        Child<QRadioButton>(window_.get(), "单选框_分辨3")->click();
        Click("临时登陆");
        QTRY_VERIFY_WITH_TIMEOUT(ClientRan(), 10000);
        const QStringList args = Split(Record("args"));
        QVERIFY(args.contains("/v:127.0.0.3:3389"));
        QVERIFY(args.contains("/u:administrator"));
        QVERIFY(args.contains("/f"));
        QCOMPARE(Record("stdin"), std::string("tmp\n"));
        QVERIFY(std::filesystem::exists(dir_->File("run/vardex/127.0.0.3")));
        QCOMPARE(state_->table.Count(), 2);  // nothing of it is stored
    }

    void whatStopsALaunchIsTold() {
        Click("临时登陆");  // no address
        QCOMPARE(messages_.shown.size(), size_t(1));
        QCOMPARE(messages_.shown[0].text, QStringLiteral("请输入要登陆的服务器地址。"));

        Child<QLineEdit>(window_.get(), "临时IP")->setText(QStringLiteral("127.0.0.3"));
        Child<QLineEdit>(window_.get(), "临时账号")->setText(QStringLiteral("a\nb"));
        Click("临时登陆");
        QCOMPARE(messages_.shown.size(), size_t(2));
        QVERIFY(messages_.shown[1].text.contains(QStringLiteral("换行符")));

        std::filesystem::remove(dir_->File("bin/xfreerdp"));
        SelectRow(0);
        Click("按钮_连接服务器");
        QCOMPARE(messages_.shown.size(), size_t(3));
        QVERIFY(messages_.shown[2].text.contains(QStringLiteral("xfreerdp")));
        QCOMPARE(messages_.shown[2].title, QStringLiteral("连接失败"));
        QVERIFY(Child<QPushButton>(window_.get(), "按钮_连接服务器")->isEnabled());
        QTest::qWait(200);
        QVERIFY(!ClientRan());
    }
};

QTEST_MAIN(SessionLauncherTest)
#include "SessionLauncherTest_posix.moc"
