// Filling and searching the server list at 1,000, 10,000 and 100,000 servers, through the model
// and a real (offscreen) view, as the window does it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QTableView>

#include "BenchServers.h"
#include "console/ServerListModel.h"
#include "console/ServerListRules.h"

namespace vardex {
namespace {

struct ListFixture {
    explicit ListFixture(int servers) : model(table) {
        bench::FillTable(table, servers);
        view.setModel(&model);
        view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view.verticalHeader()->setDefaultSectionSize(17);
        view.resize(680, 329);
        view.show();
    }
    ServerTable table;
    ServerListModel model;
    QTableView view;
};

void BM_FillServerList(benchmark::State& state) {
    ListFixture list(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        list.model.SetRows(GroupFilterRows(list.table, "\xCB\xF9\xD3\xD0\xB7\xD6\xD7\xE9"));
        QApplication::processEvents();
    }
}
BENCHMARK(BM_FillServerList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SearchServers(benchmark::State& state) {
    ListFixture list(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        list.model.SetRows(SearchRows(list.table, "\xC6\xF7 9"));  // "器 9"
        QApplication::processEvents();
    }
}
BENCHMARK(BM_SearchServers)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

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
