// The online monitor: pings the servers the list shows, one after the other on a worker thread,
// and shows each answer in its row: the round-trip time and a green picture, or "离线" and a red
// one. The worker only ever touches the table and a queue of results under a mutex; the GUI
// thread takes the results from there while a pass runs and writes one only while its row still
// shows the very record that was pinged.
#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace vardex {

class Pinger;
class ServerListModel;
class ServerTable;

class OnlineMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int kTimeoutMs = 2000;
    // How often the GUI thread looks for new results while a pass runs.
    static constexpr int kDeliveryPeriodMs = 40;

    OnlineMonitor(ServerTable& table, ServerListModel& model, Pinger& pinger,
                  QObject* parent = nullptr);
    // Stops a pass in flight without waiting for its ping to time out.
    ~OnlineMonitor() override;

    // Starts a pass over the rows shown now; a pass never starts while another is running.
    bool MonitorPass();
    bool PassRunning() const { return running_; }

signals:
    void PassFinished();

private:
    struct Target {
        int row;
        int recordIndex;
    };
    struct Result {
        Target target;
        quint64 serial;
        int milliseconds;
    };
    // On the GUI thread: writes the results the worker has handed over.
    void DeliverResults();
    void Deliver(const Result& result);

    ServerTable& table_;
    ServerListModel& model_;
    Pinger& pinger_;
    QTimer delivery_;
    std::thread worker_;
    std::mutex resultsMutex_;
    std::vector<Result> results_;  // handed from the worker to the GUI thread
    bool passEnded_ = false;       // under resultsMutex_
    bool running_ = false;  // GUI thread only
    std::atomic<bool> stopping_{false};
};

}  // namespace vardex
