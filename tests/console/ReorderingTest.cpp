// Moving selected servers up and down: the table, the rows, the selection and the store.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest/QtTest>
#include <memory>

#include "ConsoleFixture.h"
#include "WindowTestKit.h"
#include "console/MainWindow.h"
#include "console/ServerListModel.h"

using namespace vardex;
using vardex::testing::Child;

Q_DECLARE_METATYPE(std::vector<int>)

class ReorderingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<vardex::testing::ConsoleFixture> console_;

    // One server per letter, named by its address; group g1 for A C E ..., g2 for B D F ...
    void Open(const QString& letters) {
        console_ = std::make_unique<vardex::testing::ConsoleFixture>();
        std::string text;
        for (int i = 0; i < letters.size(); ++i) {
            text += letters.at(i).toLatin1();
            text += "|3389||||";
            text += i % 2 ? "g2" : "g1";
            text += "\r\n";
        }
        console_->WriteStore(text);
        console_->Start();
        QFile::remove(QString::fromStdString(console_->dir.File("ms.ini")));
    }
    QString TableOrder() {
        QString order;
        console_->state->table.ForEach(
            [&order](int, const ServerRecord& r) { order += QString::fromStdString(r.address); });
        return order;
    }
    QString RowOrder() {
        QString order;
        for (int row = 0; row < console_->window->ListModel().rowCount(); ++row) {
            order += console_->window->ListModel().index(row, 0).data().toString();
        }
        return order;
    }
    std::vector<int> Selected() {
        std::vector<int> rows;
        for (const QModelIndex& i : console_->window->ListView().selectionModel()->selectedRows()) {
            rows.push_back(i.row());
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    void Select(const std::vector<int>& rows) {
        auto* selection = console_->window->ListView().selectionModel();
        selection->clearSelection();
        for (int row : rows) {
            selection->select(console_->window->ListModel().index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    // Every row shows the record its item value names.
    void VerifyRowsMatchTheTable() {
        for (int row = 0; row < console_->window->ListModel().rowCount(); ++row) {
            const auto record =
                console_->state->table.At(console_->window->ListModel().RecordIndexAt(row));
            QVERIFY(record);
            QCOMPARE(console_->window->ListModel().index(row, 0).data().toString(),
                     QString::fromStdString(record->address));
        }
    }
    bool StoreWritten() {
        return QFile::exists(QString::fromStdString(console_->dir.File("ms.ini")));
    }
    QString StoredOrder() {
        QString order;
        const std::string text = console_->StoreText();
        for (const QString& line : QString::fromStdString(text).split("\r\n")) {
            if (line.contains('|')) {
                order += line.left(1);
            }
        }
        return order;
    }

private slots:
    void cleanup() { console_.reset(); }

    void moves_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<std::vector<int>>("selected");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<std::vector<int>>("selectedAfter");
        QTest::addColumn<bool>("refused");
        using V = std::vector<int>;
        QTest::newRow("B up") << "ABCD" << V{1} << true << "BACD" << V{0} << false;
        QTest::newRow("B and C up") << "ABCD" << V{1, 2} << true << "BCAD" << V{0, 1} << false;
        QTest::newRow("B and D up") << "ABCDEF" << V{1, 3} << true << "BADCEF" << V{0, 2} << false;
        QTest::newRow("B and C down") << "ABCD" << V{1, 2} << false << "ADBC" << V{2, 3} << false;
        QTest::newRow("A and C up") << "ABCD" << V{0, 2} << true << "ABCD" << V{0, 2} << true;
        QTest::newRow("B and D down") << "ABCD" << V{1, 3} << false << "ABCD" << V{1, 3} << true;
        QTest::newRow("nothing selected") << "ABCD" << V{} << true << "ABCD" << V{} << false;
        QTest::newRow("single row up") << "A" << V{0} << true << "A" << V{0} << true;
        QTest::newRow("single row down") << "A" << V{0} << false << "A" << V{0} << true;
    }
    void moves() {
        QFETCH(QString, table);
        QFETCH(std::vector<int>, selected);
        QFETCH(bool, up);
        QFETCH(QString, expected);
        QFETCH(std::vector<int>, selectedAfter);
        QFETCH(bool, refused);
        Open(table);
        Select(selected);
        Child<QPushButton>(console_->window.get(), up ? "按钮7" : "按钮8")->click();
        QCOMPARE(TableOrder(), expected);
        QCOMPARE(RowOrder(), expected);
        QCOMPARE(Selected(), selectedAfter);
        VerifyRowsMatchTheTable();
        if (refused) {
            QCOMPARE(console_->messages.shown.size(), size_t(1));
            QCOMPARE(console_->messages.shown[0].text, QStringLiteral("已经到头了"));
            QCOMPARE(console_->messages.shown[0].title, QStringLiteral("信息："));
            QVERIFY(console_->messages.shown[0].icon == MessageIcon::None);
            QVERIFY(!StoreWritten());
        } else {
            QVERIFY(console_->messages.shown.empty());
            QVERIFY(StoreWritten());
            QCOMPARE(StoredOrder(), expected);
        }
    }

    void statesMoveWithTheirRowsAndCommandsFollowTheRecord() {
        Open("ABCD");
        console_->window->ListModel().SetRowState(1, 0, QStringLiteral("5ms"));
        Select({1});
        Child<QPushButton>(console_->window.get(), "按钮7")->click();
        QCOMPARE(console_->window->ListModel().RowStatusText(0), QStringLiteral("5ms"));
        QCOMPARE(console_->window->ListModel().RowPicture(0), 0);
        QCOMPARE(console_->window->ListModel().RowStatusText(1), QStringLiteral("..."));
        QCOMPARE(console_->state->table.At(console_->window->SelectedRecordIndex())->address,
                 std::string("B"));
        console_->messages.answers = {MessageAnswer::Ok};
        console_->window->ListView().selectionModel()->setCurrentIndex(
            console_->window->ListModel().index(0, 0), QItemSelectionModel::NoUpdate);
        Child<QPushButton>(console_->window.get(), "按钮_删除服务器")->click();
        QCOMPARE(TableOrder(), QStringLiteral("ACD"));
    }

    void underAGroupFilterAServerTakesItsShownNeighboursPlace() {
        Open("ABCDE");  // g1: A C E
        auto* combo = Child<QComboBox>(console_->window.get(), "组合框1");
        combo->addItem(QStringLiteral("g1"), 0);
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        QCOMPARE(RowOrder(), QStringLiteral("ACE"));
        Select({2});
        Child<QPushButton>(console_->window.get(), "按钮7")->click();
        QCOMPARE(RowOrder(), QStringLiteral("AEC"));
        QCOMPARE(TableOrder(), QStringLiteral("ABEDC"));  // B and D keep their places
        QCOMPARE(Selected(), std::vector<int>{1});
        VerifyRowsMatchTheTable();
        QCOMPARE(StoredOrder(), QStringLiteral("ABEDC"));
        Child<QPushButton>(console_->window.get(), "按钮8")->click();
        QCOMPARE(TableOrder(), QStringLiteral("ABCDE"));
        VerifyRowsMatchTheTable();
    }

    void afterASearchMovesStayInStepWithTheTable() {
        Open("ABCDE");
        // Letters B and D, by the addresses.
        console_->state->table.ReplaceAt(2, "B", "1", "x", "", "", "g2");
        console_->state->table.ReplaceAt(4, "D", "1", "x", "", "", "g2");
        Child<QLineEdit>(console_->window.get(), "编辑框2")->setText(QStringLiteral("x"));
        Child<QPushButton>(console_->window.get(), "按钮5")->click();
        QCOMPARE(RowOrder(), QStringLiteral("BD"));
        Select({0});
        Child<QPushButton>(console_->window.get(), "按钮8")->click();
        QCOMPARE(RowOrder(), QStringLiteral("DB"));
        QCOMPARE(TableOrder(), QStringLiteral("ADCBE"));
        VerifyRowsMatchTheTable();
        QCOMPARE(StoredOrder(), QStringLiteral("ADCBE"));
    }
};

QTEST_MAIN(ReorderingTest)
#include "ReorderingTest.moc"
