// The grid over a table of a million records (the one ArchiveBench builds and caches; run
// that first): the table opened as the log, bound to the grid's Qt model and shown in a
// table view (offscreen), until the first screen of rows is painted; then Ctrl+End to the
// last row and its screen painted. Counters: the times, and the private (anonymous)
// resident memory once the first rows are shown, the mapped table file's pages aside.
//
// Run it as: QT_QPA_PLATFORM=offscreen build/bin/GridWindowBench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTableView>
#include <filesystem>
#include <string>

#include "Archive.h"
#include "store/TDMod.h"
#include "view/TArticleGridModel.h"
#include "view/TBoundRecords.h"

namespace {

// Paints the view now, as the event loop would.
void Paint(QTableView& view) {
    view.viewport()->repaint();
    QCoreApplication::processEvents();
}

void BM_GridOpenAndScrollToEnd(benchmark::State& state) {
    if (!std::filesystem::exists(std::filesystem::path(bench::ArchiveCacheDir()) / "Million.db")) {
        state.SkipWithError("no cached table: run ArchiveBench first");
        return;
    }
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        TDMod dmod;
        dmod.OpenFolder(bench::ArchiveCacheDir());
        dmod.OpenLogTable("Million");
        std::unique_ptr<TBoundRecords> records = MakeLogRecords(dmod);
        TArticleGridModel model;
        model.Bind(records.get());
        QTableView view;
        view.resize(760, 480);
        view.setModel(&model);
        view.show();
        Paint(view);
        state.counters["first_rows_ms"] = static_cast<double>(clock.elapsed());
        state.counters["rows"] = model.rowCount();
        state.counters["RssAnon_MB"] = static_cast<double>(bench::RssAnonKb()) / 1024.0;

        clock.restart();
        view.setFocus();
        QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QApplication::sendEvent(&view, &end);
        Paint(view);
        state.counters["to_end_ms"] = static_cast<double>(clock.elapsed());
        if (view.currentIndex().row() != model.rowCount() - 1)
            state.SkipWithError("Ctrl+End did not reach the last row");
    }
}
BENCHMARK(BM_GridOpenAndScrollToEnd)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
