#include "OnlineMonitor.h"

#include <vector>

#include "ServerListModel.h"
#include "StatePictures.h"
#include "platform/Pinger.h"
#include "store/ServerTable.h"

namespace vardex {

OnlineMonitor::OnlineMonitor(ServerTable& table, ServerListModel& model, Pinger& pinger,
                             QObject* parent)
    : QObject(parent), table_(table), model_(model), pinger_(pinger) {
    delivery_.setInterval(kDeliveryPeriodMs);
    connect(&delivery_, &QTimer::timeout, this, &OnlineMonitor::DeliverResults);
}

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
    delivery_.start();
    worker_ = std::thread([this, targets = std::move(targets)] {
        const auto hand = [this](const Result* result) {
            std::lock_guard<std::mutex> lock(resultsMutex_);
            if (result) {
                results_.push_back(*result);
            } else {
                passEnded_ = true;
            }
        };
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
            const Result result{target, record->serial, milliseconds};
            hand(&result);
        }
        hand(nullptr);
    });
    return true;
}

void OnlineMonitor::DeliverResults() {
    std::vector<Result> results;
    bool ended = false;
    {
        std::lock_guard<std::mutex> lock(resultsMutex_);
        results.swap(results_);
        std::swap(ended, passEnded_);
    }
    for (const Result& result : results) {
        Deliver(result);
    }
    if (ended) {
        delivery_.stop();
        running_ = false;
        emit PassFinished();
    }
}

void OnlineMonitor::Deliver(const Result& result) {
    const int row = result.target.row;
    const int recordIndex = result.target.recordIndex;
    const int milliseconds = result.milliseconds;
    if (model_.RecordIndexAt(row) != recordIndex) {
        return;  // the list was refilled or changed: the row shows another record now
    }
    const bool online = milliseconds >= 0;
    if (!table_.SetStatusIfSame(recordIndex, result.serial,
                                online ? kStatusOnline : kStatusOffline)) {
        return;  // the record at that index is another one now (a move or a delete)
    }
    model_.SetRowState(row, online ? kPictureOnline : kPictureOffline,
                       online ? QString::number(milliseconds) + QStringLiteral("ms")
                              : ServerListModel::StatusText(kStatusOffline));
}

}  // namespace vardex
