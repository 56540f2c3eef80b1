// The main window driven through its controls, found by their names.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QtTest/QtTest>
#include <memory>

#include "ConsoleFixture.h"
#include "WindowTestKit.h"
#include "console/GbkQt.h"
#include "console/MainWindow.h"
#include "console/ServerListModel.h"
#include "console/ServerListRules.h"

using namespace vardex;
using vardex::testing::Child;
using vardex::testing::OnNextModal;

namespace {

QByteArray Gbk(const char* utf8) {
    return QByteArray::fromStdString(ToGbk(QString::fromUtf8(utf8)).value());
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<vardex::testing::ConsoleFixture> console_;

    // A window over a store whose plaintext is text (GBK), set up as at start.
    MainWindow* Open(const QByteArray& storeText = QByteArray()) {
        if (!storeText.isEmpty()) {
            console_->WriteStore(storeText.toStdString());
        }
        MainWindow& window = console_->Start();
        window.show();
        return &window;
    }

    QTableView* List() { return Child<QTableView>(console_->window.get(), "超级列表框1"); }
    ServerListModel& Model() { return console_->window->ListModel(); }

    QStringList Column(int column) {
        QStringList texts;
        for (int row = 0; row < Model().rowCount(); ++row) {
            texts << Model().index(row, column).data().toString();
        }
        return texts;
    }
    QList<int> ItemValues() {
        QList<int> values;
        for (int row = 0; row < Model().rowCount(); ++row) {
            values << Model().RecordIndexAt(row);
        }
        return values;
    }
    // Selects rows as clicks would: the first becomes the focused row.
    void SelectRows(std::initializer_list<int> rows) {
        List()->selectionModel()->clearSelection();
        if (rows.size() > 0) {
            List()->selectionModel()->setCurrentIndex(Model().index(*rows.begin(), 0),
                                                      QItemSelectionModel::NoUpdate);
        }
        for (int row : rows) {
            List()->selectionModel()->select(
                Model().index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    void Click(const char* name) { Child<QPushButton>(console_->window.get(), name)->click(); }
    std::string StoreText() { return console_->StoreText(); }
    void PickGroup(const char* name) {
        auto* combo = Child<QComboBox>(console_->window.get(), "组合框1");
        const int index = combo->findText(QString::fromUtf8(name));
        QVERIFY(index >= 0);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    // Five servers; 2 and 5 have "168" in different fields.
    static QByteArray FiveServers() {
        return Gbk(
            "10.0.0.1|3389|administrator||甲|Web\r\n"
            "192.168.0.2|3389|admin||乙|Web\r\n"
            "10.0.0.3|3389|root||丙|web\r\n"
            "10.0.0.4|22|Admin||丁|\r\n"
            "10.0.0.5|3389|ops||机房168|DB\r\n");
    }

private slots:
    void init() { console_ = std::make_unique<vardex::testing::ConsoleFixture>(); }
    void cleanup() { console_.reset(); }

    void everyControlHasItsNameCaptionAndPlace() {
        MainWindow* w = Open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Vardex"));
        struct Expected {
            const char* name;
            const char* caption;
            QRect place;
        };
        const Expected buttons[] = {
            {"按钮_连接服务器", "连接", {584, 16, 100, 30}},
            {"按钮_添加服务器", "添加", {584, 48, 100, 30}},
            {"按钮_删除服务器", "删除", {584, 80, 100, 30}},
            {"按钮_设置服务器", "修改", {584, 112, 100, 30}},
            {"按钮_启动密码", "启动密码", {584, 145, 100, 30}},
            {"按钮5", "搜索", {200, 15, 56, 24}},
            {"按钮6", "返回", {264, 15, 56, 24}},
            {"按钮7", "上调↑", {349, 13, 54, 28}},
            {"按钮8", "下调↓", {419, 13, 54, 28}},
            {"按钮2", "加入分组", {307, 131, 72, 24}},
            {"按钮3", "修改分组", {395, 131, 72, 24}},
            {"按钮4", "删除分组", {483, 131, 72, 24}},
            {"临时登陆", "登陆", {294, 16, 40, 56}},
        };
        for (const auto& e : buttons) {
            auto* b = Child<QPushButton>(w, e.name);
            QCOMPARE(b->text(), QString::fromUtf8(e.caption));
            QCOMPARE(b->geometry(), e.place);
        }
        const Expected boxes[] = {
            {"分组框2", "服务器控制", {8, 5, 696, 355}},
            {"分组框4", "", {8, 363, 696, 184}},
            {"分组框3", "分辨率", {479, 12, 92, 112}},
            {"分组框1", "连接方式", {359, 45, 115, 79}},
            {"分组框5", "临时远程登陆", {8, 44, 344, 80}},
        };
        for (const auto& e : boxes) {
            auto* box = Child<QGroupBox>(w, e.name);
            QCOMPARE(box->title(), QString::fromUtf8(e.caption));
            QCOMPARE(box->geometry(), e.place);
        }
        const Expected radios[] = {{"单选框_分辨1", "800*600", {9, 15, 72, 16}},
                                   {"单选框_分辨2", "1024*768", {9, 34, 72, 16}},
                                   {"单选框_分辨3", "全屏幕", {9, 53, 72, 16}},
                                   {"单选框_分辨4", "自定义", {9, 73, 72, 16}}};
        for (const auto& e : radios) {
            auto* r = Child<QRadioButton>(w, e.name);
            QCOMPARE(r->text(), QString::fromUtf8(e.caption));
            QCOMPARE(r->geometry(), e.place);
            QCOMPARE(r->parentWidget()->objectName(), QStringLiteral("分组框3"));
        }
        const Expected edits[] = {
            {"编辑框2", "", {20, 14, 168, 24}},  {"编辑框1", "", {195, 130, 88, 20}},
            {"编辑框3", "", {7, 90, 32, 16}},    {"编辑框4", "", {50, 90, 32, 16}},
            {"临时IP", "", {32, 16, 136, 24}},   {"临时账号", "administrator", {208, 16, 80, 24}},
            {"临时密码", "", {32, 47, 136, 24}}, {"临时端口", "3389", {208, 47, 80, 24}},
        };
        for (const auto& e : edits) {
            auto* edit = Child<QLineEdit>(w, e.name);
            QCOMPARE(edit->text(), QString::fromUtf8(e.caption));
            QCOMPARE(edit->geometry(), e.place);
        }
        const Expected labels[] = {{"透明标签2", "显示分组", {11, 133, 56, 16}},
                                   {"透明标签1", "*", {41, 88, 8, 16}},
                                   {"标签1", "IP", {8, 18, 24, 16}},
                                   {"标签3", "账号", {176, 16, 24, 24}},
                                   {"标签2", "密码", {4, 48, 28, 24}},
                                   {"标签4", "端口", {176, 48, 24, 24}}};
        for (const auto& e : labels) {
            auto* label = Child<QLabel>(w, e.name);
            QCOMPARE(label->text(), QString::fromUtf8(e.caption));
            QCOMPARE(label->geometry(), e.place);
        }
        QCOMPARE(Child<QCheckBox>(w, "磁盘")->text(), QStringLiteral("连接本地磁盘"));
        QCOMPARE(Child<QCheckBox>(w, "磁盘")->geometry(), QRect(8, 18, 95, 24));
        QCOMPARE(Child<QCheckBox>(w, "选择框_admin")->text(), QStringLiteral("强制登陆模式"));
        QCOMPARE(Child<QCheckBox>(w, "选择框_admin")->geometry(), QRect(8, 50, 95, 16));
        QCOMPARE(Child<QComboBox>(w, "组合框1")->geometry(), QRect(75, 131, 104, 20));
        QCOMPARE(Child<QLabel>(w, "超级链接框1")->geometry(), QRect(16, 156, 544, 24));
        QCOMPARE(List()->geometry(), QRect(8, 15, 680, 329));
        QCOMPARE(Child<QTimer>(w, "时钟1")->interval(), 120000);
        QVERIFY(Child<QTimer>(w, "时钟1")->isActive());

        const QStringList titles = {"主机IP地址", "端口", "登陆账号", "网络状态", "备注"};
        const int widths[] = {180, 50, 150, 80, 210};
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(Model().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), titles[c]);
            QCOMPARE(List()->columnWidth(c), widths[c]);
        }
        QCOMPARE(List()->selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(List()->showGrid());
    }

    void firstStartShowsTheDefaultsAndClosingSavesThem() {
        MainWindow* w = Open();
        QCOMPARE(Model().rowCount(), 0);
        QCOMPARE(Child<QComboBox>(w, "组合框1")->currentText(), QStringLiteral("所有分组"));
        QCOMPARE(Child<QComboBox>(w, "组合框1")->count(), 1);
        QVERIFY(Child<QRadioButton>(w, "单选框_分辨2")->isChecked());
        QVERIFY(!Child<QCheckBox>(w, "选择框_admin")->isChecked());
        QVERIFY(!Child<QPushButton>(w, "按钮_连接服务器")->isEnabled());
        QVERIFY(!Child<QPushButton>(w, "按钮_删除服务器")->isEnabled());
        w->close();
        QCOMPARE(StoreText(), std::string("#Start:2\r\n#x:\r\n#y:\r\n#LoadinPass:<>\r\n"));
    }

    void storedSettingsReachTheControlsAndComeBack() {
        MainWindow* w = Open("#admin:1\r\n#Start:4\r\n#x:1280\r\n#y:800\r\n#LoadinPass:<>\r\n");
        QVERIFY(Child<QRadioButton>(w, "单选框_分辨4")->isChecked());
        QVERIFY(!Child<QRadioButton>(w, "单选框_分辨2")->isChecked());
        QVERIFY(Child<QCheckBox>(w, "选择框_admin")->isChecked());
        QCOMPARE(Child<QLineEdit>(w, "编辑框3")->text(), QStringLiteral("1280"));
        QCOMPARE(Child<QLineEdit>(w, "编辑框4")->text(), QStringLiteral("800"));
        Child<QRadioButton>(w, "单选框_分辨3")->click();
        w->close();
        QCOMPARE(StoreText(), std::string("#admin:1\r\n#Start:3\r\n#x:1280\r\n#y:800\r\n"
                                          "#LoadinPass:<>\r\n"));
    }

    void aStartLineOutsideOneToFourClearsEveryOption() {
        MainWindow* w = Open("#Start:9\r\n");
        for (const char* name : {"单选框_分辨1", "单选框_分辨2", "单选框_分辨3", "单选框_分辨4"}) {
            QVERIFY(!Child<QRadioButton>(w, name)->isChecked());
        }
        w->close();
        QCOMPARE(StoreText(), std::string("#x:\r\n#y:\r\n#LoadinPass:<>\r\n"));
    }

    void rowsShowTheRecordsWithStatusPictureAndItemValue() {
        Open(FiveServers());
        QCOMPARE(Column(0),
                 QStringList({"10.0.0.1", "192.168.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5"}));
        QCOMPARE(Column(3), QStringList(5, "..."));
        QCOMPARE(Column(4), QStringList({"甲", "乙", "丙", "丁", "机房168"}));
        QCOMPARE(ItemValues(), QList<int>({1, 2, 3, 4, 5}));
        console_->state->table.SetStatusAt(1, kStatusOnline);
        console_->state->table.SetStatusAt(2, kStatusOffline);
        console_->window->FillServerList();
        QCOMPARE(Column(3).mid(0, 3), QStringList({"在线", "离线", "..."}));
        QCOMPARE(Model().RowPicture(0), 0);
        QCOMPARE(Model().RowPicture(1), 1);
        QCOMPARE(Model().RowPicture(2), 2);
        QVERIFY(!Model().index(0, 0).data(Qt::DecorationRole).value<QPixmap>().isNull());
        QCOMPARE(Model().index(0, 0).data(Qt::DecorationRole).value<QPixmap>().size(),
                 QSize(12, 13));
    }

    void theGroupFilterIsExactAndAnEmptyTextShowsTheUngrouped() {
        MainWindow* w = Open(FiveServers());
        auto* combo = Child<QComboBox>(w, "组合框1");
        combo->addItem(QStringLiteral("Web"), 0);
        PickGroup("Web");
        QCOMPARE(ItemValues(), QList<int>({1, 2}));  // not "web"
        QCOMPARE(Child<QLineEdit>(w, "编辑框1")->text(), QStringLiteral("Web"));
        Child<QLineEdit>(w, "编辑框1")->setText(QStringLiteral("kept"));
        PickGroup("所有分组");
        QCOMPARE(ItemValues(), QList<int>({1, 2, 3, 4, 5}));
        QCOMPARE(Child<QLineEdit>(w, "编辑框1")->text(), QStringLiteral("kept"));
        combo->setCurrentIndex(-1);
        w->FillServerList();
        QCOMPARE(ItemValues(), QList<int>({4}));
    }

    void searchIsCaseSensitiveGbkAwareAndKeepsItemValues() {
        MainWindow* w = Open(FiveServers());
        auto* text = Child<QLineEdit>(w, "编辑框2");
        struct Case {
            const char* text;
            QList<int> rows;
        } cases[] = {
            {"168", {2, 5}},                           // address of 2, remark of 5
            {"Admin", {4}},                            // not administrator or admin
            {"admin", {1, 2}},                         // account
            {"22", {4}},                               // port
            {"机房", {5}},     {"", {1, 2, 3, 4, 5}},  // every record with a non-empty field
        };
        for (const auto& c : cases) {
            text->setText(QString::fromUtf8(c.text));
            Click("按钮5");
            QCOMPARE(ItemValues(), c.rows);
        }
        // "\xBB\xFA" is 机: searching for its trail byte alone must not match.
        console_->state->table.Append(ServerRecord{"h", "", "", "", "\xBB\xFA", 3, "", 0});
        const std::string trail = "\xFA";
        QCOMPARE(SearchRows(console_->state->table, trail).size(), size_t(0));
        QCOMPARE(Child<QComboBox>(w, "组合框1")->currentText(), QStringLiteral("所有分组"));
    }

    void returnListsEveryRecordWhateverTheFilter() {
        MainWindow* w = Open(FiveServers());
        Child<QComboBox>(w, "组合框1")->addItem(QStringLiteral("DB"), 0);
        PickGroup("DB");
        QCOMPARE(ItemValues(), QList<int>({5}));
        Click("按钮6");
        QCOMPARE(ItemValues(), QList<int>({1, 2, 3, 4, 5}));
        QCOMPARE(Child<QComboBox>(w, "组合框1")->currentText(), QStringLiteral("DB"));
        PickGroup("DB");
        QCOMPARE(ItemValues(), QList<int>({5}));
    }

    void aNewFocusedRowEnablesTheButtonsAndFillsTheTemporaryLogin() {
        MainWindow* w = Open(FiveServers());
        SelectRows({1, 4});
        List()->selectionModel()->setCurrentIndex(Model().index(4, 0),
                                                  QItemSelectionModel::NoUpdate);
        QCOMPARE(List()->selectionModel()->selectedRows().size(), 2);
        QVERIFY(Child<QPushButton>(w, "按钮_连接服务器")->isEnabled());
        QVERIFY(Child<QPushButton>(w, "按钮_删除服务器")->isEnabled());
        // The first selected row's record, not the focused one's.
        QCOMPARE(Child<QLineEdit>(w, "临时IP")->text(), QStringLiteral("192.168.0.2"));
        QCOMPARE(Child<QLineEdit>(w, "临时端口")->text(), QStringLiteral("3389"));
        QCOMPARE(Child<QLineEdit>(w, "临时账号")->text(), QStringLiteral("administrator"));
    }

    void addWithTheDefaultsAppendsAndSaves() {
        MainWindow* w = Open(FiveServers());
        OnNextModal([](QWidget* editor) {
            QCOMPARE(editor->windowTitle(), QStringLiteral("添加服务器列表"));
            QCOMPARE(Child<QPushButton>(editor, "按钮1")->text(),
                     QStringLiteral("添 加 列 表(ADDLIST)"));
            QCOMPARE(Child<QPushButton>(editor, "按钮2")->text(), QStringLiteral("取 消\n(Close)"));
            QCOMPARE(Child<QComboBox>(editor, "组合框1")->currentText(),
                     QStringLiteral("所有分组"));
            Child<QPushButton>(editor, "按钮1")->click();
        });
        Click("按钮_添加服务器");
        const ServerRecord r = *console_->state->table.At(6);
        QCOMPARE(QString::fromStdString(r.address + "|" + r.port + "|" + r.account + "|" +
                                        r.password + "|" + r.remark),
                 QStringLiteral("127.0.0.1|3389|Administrator||"));
        QCOMPARE(QByteArray::fromStdString(r.group), Gbk("所有分组"));
        QCOMPARE(r.status, int(kStatusNotPinged));
        QCOMPARE(ItemValues().size(), 6);
        QVERIFY(StoreText().find("127.0.0.1|3389|Administrator|||") != std::string::npos);

        // Under a filter naming another group the new server is stored but not shown.
        Child<QComboBox>(w, "组合框1")->addItem(QStringLiteral("DB"), 0);
        PickGroup("DB");
        OnNextModal([](QWidget* editor) {
            auto* group = Child<QComboBox>(editor, "组合框1");
            QCOMPARE(group->count(), 2);
            Child<QPushButton>(editor, "按钮1")->click();
        });
        Click("按钮_添加服务器");
        QCOMPARE(console_->state->table.Count(), 7);
        QCOMPARE(ItemValues(), QList<int>({5}));
    }

    void modifyKeepsStatusAndPositionAndSavesOnOpening() {
        MainWindow* w = Open(FiveServers());
        Child<QComboBox>(w, "组合框1")->addItem(QStringLiteral("Web"), 0);
        console_->state->table.SetStatusAt(2, kStatusOffline);
        w->FillServerList();
        SelectRows({1});
        OnNextModal([](QWidget* editor) {
            QCOMPARE(editor->windowTitle(), QStringLiteral("修改服务器列表"));
            QCOMPARE(Child<QPushButton>(editor, "按钮1")->text(),
                     QStringLiteral("修 改 列 表(EDIT LIST)"));
            QCOMPARE(Child<QLineEdit>(editor, "编辑框_域名")->text(),
                     QStringLiteral("192.168.0.2"));
            QCOMPARE(Child<QLineEdit>(editor, "编辑框_账号")->text(), QStringLiteral("admin"));
            QCOMPARE(Child<QPlainTextEdit>(editor, "编辑框_备注")->toPlainText(),
                     QStringLiteral("乙"));
            QCOMPARE(Child<QComboBox>(editor, "组合框1")->currentText(), QStringLiteral("Web"));
            Child<QLineEdit>(editor, "编辑框_端口")->setText(QStringLiteral("3390"));
            Child<QPushButton>(editor, "按钮1")->click();
        });
        Click("按钮_设置服务器");
        const ServerRecord r = *console_->state->table.At(2);
        QCOMPARE(QString::fromStdString(r.port), QStringLiteral("3390"));
        QCOMPARE(r.status, int(kStatusOffline));
        QCOMPARE(Column(3).at(1), QStringLiteral("离线"));
        QCOMPARE(List()->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(List()->selectionModel()->selectedRows().at(0).row(), 1);
        QVERIFY(StoreText().find("192.168.0.2|3390|admin||") != std::string::npos);

        // Cancel changes nothing but the store was still written on opening.
        QFile::remove(QString::fromStdString(console_->dir.File("ms.ini")));
        OnNextModal([](QWidget* editor) { Child<QPushButton>(editor, "按钮2")->click(); });
        Click("按钮_设置服务器");
        QCOMPARE(QString::fromStdString(console_->state->table.At(2)->port),
                 QStringLiteral("3390"));
        QVERIFY(QFile::exists(QString::fromStdString(console_->dir.File("ms.ini"))));
    }

    void aGroupNotInTheCatalogueBecomesTheFirstItemOnModify() {
        Open(FiveServers());
        SelectRows({4});  // group DB, not an item
        OnNextModal([](QWidget* editor) { Child<QPushButton>(editor, "按钮1")->click(); });
        Click("按钮_设置服务器");
        QCOMPARE(QByteArray::fromStdString(console_->state->table.At(5)->group), Gbk("所有分组"));
    }

    void afterASearchModifyAndDeleteActOnTheRecordTheRowShows() {
        MainWindow* w = Open(FiveServers());
        Child<QLineEdit>(w, "编辑框2")->setText(QStringLiteral("168"));
        Click("按钮5");
        QCOMPARE(ItemValues(), QList<int>({2, 5}));
        SelectRows({1});
        OnNextModal([](QWidget* editor) {
            QCOMPARE(Child<QLineEdit>(editor, "编辑框_域名")->text(), QStringLiteral("10.0.0.5"));
            Child<QPushButton>(editor, "按钮2")->click();
        });
        Click("按钮_设置服务器");
        SelectRows({1});
        console_->messages.answers = {MessageAnswer::Ok};
        Click("按钮_删除服务器");
        QCOMPARE(console_->state->table.Count(), 4);
        QCOMPARE(QString::fromStdString(console_->state->table.At(4)->address),
                 QStringLiteral("10.0.0.4"));
        // The refill applies the group filter, not the search.
        QCOMPARE(ItemValues(), QList<int>({1, 2, 3, 4}));
    }

    void deleteAsksFirstAndThenPingsEveryThreeSeconds() {
        MainWindow* w = Open(FiveServers());
        SelectRows({2});
        console_->messages.answers = {MessageAnswer::Cancel};
        Click("按钮_删除服务器");
        QCOMPARE(console_->messages.shown.back().text, QStringLiteral("确认删除该项？"));
        QCOMPARE(console_->messages.shown.back().title, QStringLiteral("删除项目"));
        QVERIFY(console_->messages.shown.back().buttons == MessageButtons::OkCancel);
        QVERIFY(console_->messages.shown.back().icon == MessageIcon::None);
        QCOMPARE(console_->state->table.Count(), 5);
        QCOMPARE(Child<QTimer>(w, "时钟1")->interval(), 120000);

        SelectRows({2, 4});
        console_->messages.answers = {MessageAnswer::Ok};
        Click("按钮_删除服务器");
        QCOMPARE(console_->state->table.Count(), 4);
        QCOMPARE(Column(0), QStringList({"10.0.0.1", "192.168.0.2", "10.0.0.4", "10.0.0.5"}));
        QCOMPARE(Child<QTimer>(w, "时钟1")->interval(), 3000);
        QVERIFY(Child<QTimer>(w, "时钟1")->isActive());
        QVERIFY(StoreText().find("10.0.0.3") == std::string::npos);

        // Deleting the last records leaves a store without record lines.
        for (int left = 4; left > 0; --left) {
            SelectRows({0});
            console_->messages.answers = {MessageAnswer::Ok};
            Click("按钮_删除服务器");
        }
        QCOMPARE(Model().rowCount(), 0);
        QCOMPARE(StoreText(), std::string("#Start:2\r\n#x:\r\n#y:\r\n#LoadinPass:<>\r\n"));
    }

    void commandsWithoutASelectionOnlySaySo() {
        MainWindow* w = Open(FiveServers());
        SelectRows({0});
        List()->selectionModel()->clearSelection();  // delete stays enabled, nothing selected
        for (const char* button : {"按钮_设置服务器", "按钮_删除服务器"}) {
            console_->messages.shown.clear();
            Click(button);
            QCOMPARE(console_->messages.shown.size(), size_t(1));
            QCOMPARE(console_->messages.shown[0].text, QStringLiteral("请选择服务器列表！"));
            QCOMPARE(console_->messages.shown[0].title, QStringLiteral("操作错误"));
            QVERIFY(console_->messages.shown[0].icon == MessageIcon::Stop);
        }
        QCOMPARE(console_->state->table.Count(), 5);
        QVERIFY(!QFile::exists(QString::fromStdString(console_->dir.File("ms.ini.bak"))));
        QCOMPARE(Child<QTimer>(w, "时钟1")->interval(), 120000);
    }

    void theEditorRefusesWhatTheStoreCannotCarry() {
        Open(FiveServers());
        const char* bad[][2] = {{"编辑框_域名", "a|b"},
                                {"编辑框_账号", "#x:1"},
                                {"编辑框_密码", "p|w"},
                                {"编辑框_端口", "#LoadinPass:<"},
                                {"编辑框_账号", "admin€"}};
        for (const auto& field : bad) {
            console_->messages.shown.clear();
            OnNextModal([&field](QWidget* editor) {
                Child<QLineEdit>(editor, field[0])->setText(QString::fromUtf8(field[1]));
                Child<QPushButton>(editor, "按钮1")->click();
                QVERIFY(editor->isVisible());  // refused: the editor stays open
                Child<QPushButton>(editor, "按钮2")->click();
            });
            Click("按钮_添加服务器");
            QCOMPARE(console_->messages.shown.size(), size_t(1));
            QCOMPARE(console_->messages.shown[0].title, QStringLiteral("输入出错"));
        }
        QCOMPARE(console_->messages.shown[0].text,
                 QStringLiteral("登陆账号不能以“€”结尾，服务器列表无法保存它。"));
        console_->messages.shown.clear();
        OnNextModal([](QWidget* editor) {
            Child<QPlainTextEdit>(editor, "编辑框_备注")->setPlainText(QStringLiteral("两\n行"));
            Child<QPushButton>(editor, "按钮1")->click();
            Child<QPushButton>(editor, "按钮2")->click();
        });
        Click("按钮_添加服务器");
        QCOMPARE(console_->messages.shown.size(), size_t(1));
        QVERIFY(console_->messages.shown[0].text.contains(QStringLiteral("换行符")));
        QCOMPARE(console_->state->table.Count(), 5);
    }

    void typingWhatGbkCannotHoldIsRefusedWithAMessage() {
        MainWindow* w = Open();
        auto* search = Child<QLineEdit>(w, "编辑框2");
        QTest::keyClicks(search, QStringLiteral("ab"));
        vardex::testing::TypeText(search, QStringLiteral("\U0001F600"));
        QCOMPARE(search->text(), QStringLiteral("ab"));
        QCOMPARE(console_->messages.shown.size(), size_t(1));
        QVERIFY(console_->messages.shown[0].text.contains(QStringLiteral("\U0001F600")));
        auto* width = Child<QLineEdit>(w, "编辑框3");
        QTest::keyClicks(width, QStringLiteral("12|"));
        QCOMPARE(width->text(), QStringLiteral("12"));
        QCOMPARE(console_->messages.shown.size(), size_t(2));
        // The sizes are stored as typed: a marker, or a last euro sign, would not read back.
        QTest::keyClicks(width, QStringLiteral("#y:"));
        QCOMPARE(width->text(), QStringLiteral("12#y"));
        QCOMPARE(console_->messages.shown.size(), size_t(3));
        QVERIFY(console_->messages.shown[2].text.contains(QStringLiteral("“#y:”")));
        vardex::testing::TypeText(width, QStringLiteral("€"));
        QCOMPARE(width->text(), QStringLiteral("12#y"));
        QCOMPARE(console_->messages.shown.size(), size_t(4));
        QCOMPARE(console_->messages.shown[3].text, QStringLiteral("自定义分辨率不能以“€”结尾。"));
    }

    void aFailedSaveIsToldOnceAndClosingStillWorks() {
        MainWindow* w = Open("h|1\r\n");
        // The backup cannot be written: the store as found stays, and the user hears of it once.
        QDir().mkdir(QString::fromStdString(console_->dir.File("ms.ini.bak")));
        w->SaveStore();
        w->SaveStore();
        QCOMPARE(console_->messages.shown.size(), size_t(1));
        QCOMPARE(console_->messages.shown[0].title, QStringLiteral("保存失败"));
        QCOMPARE(StoreText(), std::string("h|1\r\n"));
        w->close();
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
