// One pass of the real online monitor with the system pinger over 1,000 loopback servers,
// 127.0.0.1 to 127.0.3.232, shown in a real (offscreen) list: the pass time, and the longest
// the GUI thread went without running its 1 ms timer meanwhile ("longest_stall_ms"). A first,
// untimed pass gets the list painted once before.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHeaderView>
#include <QTableView>
#include <QTimer>
#include <algorithm>

#include "BenchServers.h"
#include "console/OnlineMonitor.h"
#include "console/ServerListModel.h"
#include "console/ServerListRules.h"
#include "platform/Pinger.h"

namespace vardex {
namespace {

constexpr int kServers = 1000;

void BM_MonitorPass(benchmark::State& state) {
    ServerTable table;
    bench::FillTable(table, kServers);
    ServerListModel model(table);
    model.SetRows(AllRows(table));
    QTableView view;
    view.setModel(&model);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(17);
    view.resize(680, 329);
    view.show();
    const auto pinger = MakeSystemPinger();
    OnlineMonitor monitor(table, model, *pinger);

    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    QEventLoop loop;
    QObject::connect(&monitor, &OnlineMonitor::PassFinished, &loop, &QEventLoop::quit);

    // The first pass also sees the list painted for the first time; that is start-up's business.
    monitor.MonitorPass();
    loop.exec();

    qint64 worstStall = 0;
    int64_t failed = 0;
    for (auto _ : state) {
        QElapsedTimer pass;
        pass.start();
        sinceTick.start();
        longestStall = 0;
        ticks.start();
        if (!monitor.MonitorPass()) {
            state.SkipWithError("the monitor did not start a pass");
            break;
        }
        loop.exec();
        ticks.stop();
        state.SetIterationTime(static_cast<double>(pass.nsecsElapsed()) / 1e9);
        worstStall = std::max(worstStall, longestStall);
        for (int row = 0; row < model.rowCount(); ++row) {
            failed += model.RowStatusText(row).endsWith(QStringLiteral("ms")) ? 0 : 1;
        }
    }
    state.counters["longest_stall_ms"] = static_cast<double>(worstStall) / 1e6;
    state.counters["not_answered"] = static_cast<double>(failed);
}
BENCHMARK(BM_MonitorPass)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace
}  // namespace vardex

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
