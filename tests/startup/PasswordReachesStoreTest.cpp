// A startup password set from the main window reaches ms.ini with the next save: a move or the
// window's close.
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest/QtTest>

#include "ConsoleFixture.h"
#include "WindowTestKit.h"
#include "console/ServerListModel.h"
#include "startup/PasswordWindows.h"

using namespace vardex;
using vardex::testing::Child;

class PasswordReachesStoreTest : public QObject {
    Q_OBJECT

    std::unique_ptr<vardex::testing::ConsoleFixture> console_;

    void StartWithThePasswordButton() {
        console_->WriteStore("127.0.0.1|1\r\n127.0.0.2|1\r\n");
        ConsoleServices services;
        services.openStartupPasswordWindow = [this] {
            StartupPasswordWindow window(console_->state->startupPassword, console_->messages);
            window.exec();
        };
        console_->Start(services);
    }
    void SetPasswordThroughTheWindow(const QString& password) {
        vardex::testing::OnNextModal([password](QWidget* window) {
            Child<QLineEdit>(window, "编辑框1")->setText(password);
            Child<QLineEdit>(window, "编辑框2")->setText(password);
            Child<QPushButton>(window, "按钮1")->click();
        });
        Child<QPushButton>(console_->window.get(), "按钮_启动密码")->click();
    }
    bool StoreHolds(const std::string& text) {
        return console_->StoreText().find(text) != std::string::npos;
    }

private slots:
    void init() { console_ = std::make_unique<vardex::testing::ConsoleFixture>(); }
    void cleanup() { console_.reset(); }

    void aMoveUpWritesTheNewPassword() {
        StartWithThePasswordButton();
        SetPasswordThroughTheWindow(QStringLiteral("secret"));
        QCOMPARE(console_->state->startupPassword, std::string("secret"));
        QVERIFY(!QFile::exists(QString::fromStdString(console_->dir.File("ms.ini.bak"))));
        auto& view = console_->window->ListView();
        view.selectionModel()->select(console_->window->ListModel().index(1, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
        Child<QPushButton>(console_->window.get(), "按钮7")->click();
        QVERIFY(StoreHolds("#LoadinPass:<secret>\r\n"));
    }

    void closingWritesItAndTheNextStartAsksForIt() {
        StartWithThePasswordButton();
        SetPasswordThroughTheWindow(QStringLiteral("secret"));
        QVERIFY(!StoreHolds("secret"));  // setting it saves nothing by itself
        console_->Stop();
        QVERIFY(StoreHolds("#LoadinPass:<secret>\r\n"));
        ProgramState next(console_->dir.path());
        next.LoadStoreAtStart();
        QCOMPARE(next.startupPassword, std::string("secret"));
    }
};

QTEST_MAIN(PasswordReachesStoreTest)
#include "PasswordReachesStoreTest.moc"
