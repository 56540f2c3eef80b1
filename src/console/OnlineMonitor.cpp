#include "OnlineMonitor.h"

#include <vector>

#include "ServerListModel.h"
#include "StatePictures.h"
#include "platform/Pinger.h"
#include "store/ServerTable.h"

namespace vardex {

OnlineMonitor::OnlineMonitor(ServerTable& table, ServerListModel& model, Pinger& pinger,
                             QObject* parent)
    : QObject(parent), table_(table), model_(model), pinger_(pinger) {}

OnlineMonitor::~OnlineMonitor() {
    stopping_ = true;
    if (worker_.joinable()) {
        pinger_.Cancel();
        worker_.join();
    }
}

bool OnlineMonitor::MonitorPass() {
    if (running_ || stopping_) {
        return false;
    }
    if (worker_.joinable()) {
        worker_.join();  // the last pass has ended; its thread is done
    }
    // The rows as they are now; the worker never touches the list itself.
    std::vector<Target> targets;
    targets.reserve(static_cast<size_t>(model_.rowCount()));
    for (int row = 0; row < model_.rowCount(); ++row) {
        targets.push_back({row, model_.RecordIndexAt(row)});
    }
    running_ = true;
    worker_ = std::thread([this, targets = std::move(targets)] {
        for (const Target& target : targets) {
            if (stopping_) {
                break;
            }
            // The ping works on a copy; the record may be changed or removed meanwhile.
            const auto record = table_.At(target.recordIndex);
            if (!record) {
                continue;
            }
            const int milliseconds = pinger_.PingHost(record->address, kTimeoutMs);
            if (stopping_) {
                break;
            }
            QMetaObject::invokeMethod(
                this,
                [this, target, serial = record->serial, milliseconds] {
                    Deliver(target.row, target.recordIndex, serial, milliseconds);
                },
                Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(
            this,
            [this] {
                running_ = false;
                emit PassFinished();
            },
            Qt::QueuedConnection);
    });
    return true;
}

void OnlineMonitor::Deliver(int row, int recordIndex, quint64 serial, int milliseconds) {
    if (model_.RecordIndexAt(row) != recordIndex) {
        return;  // the list was refilled or changed: the row shows another record now
    }
    const bool online = milliseconds >= 0;
    if (!table_.SetStatusIfSame(recordIndex, serial,
                                online ? kStatusOnline : kStatusOffline)) {
        return;  // the record at that index is another one now (a move or a delete)
    }
    model_.SetRowState(row, online ? kPictureOnline : kPictureOffline,
                       online ? QString::number(milliseconds) + QStringLiteral("ms")
                              : ServerListModel::StatusText(kStatusOffline));
}

}  // namespace vardex
