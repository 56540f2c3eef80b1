// The online monitor with a pinger the test controls: what reaches which row, and when.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>
#include <QtTest/QtTest>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

#include "ConsoleFixture.h"
#include "WindowTestKit.h"
#include "console/MainWindow.h"
#include "console/OnlineMonitor.h"
#include "console/ServerListModel.h"
#include "platform/Pinger.h"

using namespace vardex;
using vardex::testing::Child;

namespace {

// Answers from a table of hosts; a host can be held until the test lets it go.
class FakePinger : public Pinger {
public:
    int PingHost(const std::string& host, int timeoutMs) override {
        std::unique_lock<std::mutex> lock(mutex_);
        pinged_.push_back(host);
        timeouts_.push_back(timeoutMs);
        changed_.notify_all();
        changed_.wait(lock, [&] { return cancelled_ || held_.count(host) == 0; });
        if (cancelled_) {
            return -1;
        }
        const auto answer = answers_.find(host);
        return answer == answers_.end() ? -1 : answer->second;
    }
    void Cancel() override {
        std::lock_guard<std::mutex> lock(mutex_);
        cancelled_ = true;
        changed_.notify_all();
    }

    void Answer(const std::string& host, int ms) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_[host] = ms;
    }
    void Hold(const std::string& host) {
        std::lock_guard<std::mutex> lock(mutex_);
        held_.insert(host);
    }
    void Release(const std::string& host) {
        std::lock_guard<std::mutex> lock(mutex_);
        held_.erase(host);
        changed_.notify_all();
    }
    // Waits until host is being pinged (it may then be held).
    void WaitUntilPinged(const std::string& host) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(
            lock, [&] { return std::find(pinged_.begin(), pinged_.end(), host) != pinged_.end(); });
    }
    std::vector<std::string> Pinged() {
        std::lock_guard<std::mutex> lock(mutex_);
        return pinged_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, int> answers_;
    std::set<std::string> held_;
    std::vector<std::string> pinged_;

public:
    std::vector<int> timeouts_;

private:
    bool cancelled_ = false;
};

}  // namespace

class OnlineMonitorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakePinger> pinger_;  // outlives the window that pings with it
    std::unique_ptr<vardex::testing::ConsoleFixture> console_;

    // Servers A, B, C, D (addresses "A".."D"); A and C in group g1. Holds are set before the
    // first pass starts.
    void Open(std::initializer_list<const char*> held = {}) {
        console_ = std::make_unique<vardex::testing::ConsoleFixture>();
        console_->WriteStore("A|1||||g1\r\nB|1||||g2\r\nC|1||||g1\r\nD|1||||g2\r\n");
        pinger_ = std::make_unique<FakePinger>();
        pinger_->Answer("A", 0);
        pinger_->Answer("C", 16);
        for (const char* host : held) {
            pinger_->Hold(host);
        }
        ConsoleServices services;
        services.pinger = pinger_.get();
        console_->Start(services);
    }
    void WaitForPass() {
        QTRY_VERIFY_WITH_TIMEOUT(!console_->window->Monitor()->PassRunning(), 5000);
    }
    ServerListModel& Model() { return console_->window->ListModel(); }
    QString Status(int row) { return Model().RowStatusText(row); }
    int Record(int index) { return console_->state->table.At(index)->status; }

private slots:
    void cleanup() {
        console_.reset();
        pinger_.reset();
    }

    void theFirstPassShowsTimesAndOffline() {
        Open();
        WaitForPass();
        QCOMPARE(Status(0), QStringLiteral("0ms"));
        QCOMPARE(Model().RowPicture(0), 0);
        QCOMPARE(Record(1), int(kStatusOnline));
        QCOMPARE(Status(1), QStringLiteral("离线"));  // no answer, or a host that cannot resolve
        QCOMPARE(Model().RowPicture(1), 1);
        QCOMPARE(Record(2), int(kStatusOffline));
        QCOMPARE(Status(2), QStringLiteral("16ms"));
        QCOMPARE(pinger_->Pinged(), std::vector<std::string>({"A", "B", "C", "D"}));

        // A refill shows the stored states in words; a new server shows "...".
        console_->state->table.Append(ServerRecord{"E", "1", "", "", "", 3, "", 0});
        console_->window->FillServerList();
        QCOMPARE(Status(0), QStringLiteral("在线"));
        QCOMPARE(Status(1), QStringLiteral("离线"));
        QCOMPARE(Status(4), QStringLiteral("..."));
        QCOMPARE(Model().RowPicture(4), 2);
    }

    void onlyTheShownRowsArePinged() {
        Open({"A"});
        pinger_->WaitUntilPinged("A");
        pinger_->Release("A");
        WaitForPass();
        auto* combo = Child<QComboBox>(console_->window.get(), "组合框1");
        combo->addItem(QStringLiteral("g1"), 0);
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        const size_t before = pinger_->Pinged().size();
        QVERIFY(console_->window->Monitor()->MonitorPass());
        WaitForPass();
        const auto pinged = pinger_->Pinged();
        QCOMPARE(std::vector<std::string>(pinged.begin() + before, pinged.end()),
                 std::vector<std::string>({"A", "C"}));
    }

    void noSecondPassStartsWhileOneRuns() {
        Open({"B"});
        pinger_->WaitUntilPinged("B");
        QVERIFY(console_->window->Monitor()->PassRunning());
        QVERIFY(!console_->window->Monitor()->MonitorPass());
        // Ticks keep coming while B is silent; none of them starts a pass.
        auto* timer = Child<QTimer>(console_->window.get(), "时钟1");
        timer->start(1);
        QTest::qWait(50);
        QCOMPARE(pinger_->Pinged().size(), size_t(2));
        timer->stop();
        pinger_->Release("B");
        WaitForPass();
        QCOMPARE(pinger_->Pinged().size(), size_t(4));
        QCOMPARE(pinger_->timeouts_, std::vector<int>(4, 2000));
    }

    void aDeleteDuringAPassWritesNothingBeyondTheTable() {
        Open({"D"});
        pinger_->WaitUntilPinged("D");
        for (int n = 0; n < 2; ++n) {
            console_->window->ListView().selectionModel()->setCurrentIndex(
                Model().index(0, 0), QItemSelectionModel::NoUpdate);
            console_->window->ListView().selectionModel()->select(
                Model().index(0, 0),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            Child<QPushButton>(console_->window.get(), "按钮_删除服务器")->click();
        }
        QCOMPARE(console_->state->table.Count(), 2);
        QCOMPARE(Child<QTimer>(console_->window.get(), "时钟1")->interval(), 3000);
        pinger_->Answer("D", 5);
        pinger_->Release("D");
        WaitForPass();
        QCOMPARE(Status(0), QStringLiteral("..."));  // C, refilled after the delete
        QCOMPARE(Status(1), QStringLiteral("..."));  // D, whose old row 3 is gone
        QCOMPARE(Record(2), int(kStatusNotPinged));
    }

    void aMoveDuringAPassNeverGivesTheStatusToTheNeighbour() {
        Open({"B"});
        pinger_->WaitUntilPinged("B");
        QTRY_COMPARE(Status(0), QStringLiteral("0ms"));  // A's result is in
        // B moves up while its ping is under way: row 1 now shows A.
        console_->window->ListView().selectionModel()->select(
            Model().index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        Child<QPushButton>(console_->window.get(), "按钮7")->click();
        QCOMPARE(console_->state->table.At(1)->address, std::string("B"));
        pinger_->Answer("B", 7);
        pinger_->Release("B");
        WaitForPass();
        QCOMPARE(Status(1), QStringLiteral("0ms"));  // A's result moved with A
        QCOMPARE(Record(2), int(kStatusOnline));
        QCOMPARE(Status(0), QStringLiteral("..."));  // B's result is dropped, not given to A
        QCOMPARE(Record(1), int(kStatusNotPinged));
        // The next pass puts B right.
        QVERIFY(console_->window->Monitor()->MonitorPass());
        WaitForPass();
        QCOMPARE(Status(0), QStringLiteral("7ms"));
    }

    void closingDuringAPingEndsAtOnce() {
        Open({"A"});
        pinger_->WaitUntilPinged("A");
        QElapsedTimer clock;
        clock.start();
        console_->Stop();
        QVERIFY2(clock.elapsed() < 500, "the close waited for the ping");
    }
};

QTEST_MAIN(OnlineMonitorTest)
#include "OnlineMonitorTest.moc"
