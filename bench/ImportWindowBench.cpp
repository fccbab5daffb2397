// Import of 10 000 generated ".eml" files through the window (offscreen): the import
// commands, the progress window with its worker thread and blocking queued calls, and a
// real log. Counters: records/s end to end; repaints of the record number (the progress
// is throttled, never one repaint per record); the longest the GUI thread was busy
// (a 5 ms timer's worst lateness); and how long Cancel took to stop the run, pressed at
// several moments of an import.
//
// Run it on one core as: QT_QPA_PLATFORM=offscreen taskset -c 0 build/bin/ImportWindowBench
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "GeneratedMail.h"
#include "import/IImportWindow.h"
#include "import/TImportCommands.h"
#include "import/TImportForm.h"
#include "shell/IDialogs.h"
#include "shell/TSettings.h"
#include "store/TDMod.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 10000;

class BenchWindow : public IImportWindow {
  public:
    QWidget owner;
    QWidget* Owner() override { return &owner; }
    bool LogInUse() const override { return false; }
    void ShowLogPage() override {}
    void ImportStarting() override {}
    void ImportEnded() override {}
    void ImportSettingsChanged() override {}
};

// Messages are answered at once (the outcome of a cancelled run).
class SilentDialogs : public IDialogs {
  public:
    QMessageBox::StandardButton Message(QWidget*, const QString&, const QString&, QMessageBox::Icon,
                                        QMessageBox::StandardButtons) override {
        return QMessageBox::Ok;
    }
    std::optional<QString> InputText(QWidget*, const QString&, const QString&,
                                     const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> BrowseFolder(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> OpenFile(QWidget*, const QString&, const QString&,
                                    const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> SaveFile(QWidget*, const QString&, const QString&, const QString&,
                                    const QString&) override {
        return std::nullopt;
    }
    std::optional<FontChoice> ChooseFont(QWidget*, const QFont&, const QColor&) override {
        return std::nullopt;
    }
    int Exec(QDialog&) override { return QDialog::Rejected; }
};

struct Folder {
    fs::path dir;
    Folder() {
        dir = fs::temp_directory_path() / ("brevilo-windowbench-" + std::to_string(getpid()));
        fs::create_directories(dir / "in");
        fs::create_directories(dir / "db");
        std::mt19937 rng(11);
        for (int i = 0; i < kFiles; ++i)
            std::ofstream(dir / "in" / ("m" + std::to_string(i) + ".eml"), std::ios::binary)
                << benchmail::Message(i, rng);
    }
    ~Folder() { fs::remove_all(dir); }
    // Gives the ".bak" files of the last import their names back.
    void Restore() const {
        for (const auto& entry : fs::directory_iterator(dir / "in"))
            if (entry.path().extension() == ".bak")
                fs::rename(entry.path(), fs::path(entry.path()).replace_extension(".eml"));
    }
};

Folder& Files() {
    static Folder folder;
    return folder;
}

// One import through the window; returns the records in the log.
struct Run {
    long long records = 0;
    int repaints = 0;
    qint64 worstGuiGapMs = 0;
    qint64 cancelMs = -1;
    qint64 runMs = 0;  // from the window's creation to its close (without its last look)
};

class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

Run ImportOnce(int cancelAfterMs) {
    Folder& files = Files();
    files.Restore();
    TDMod dmod;
    dmod.OpenFolder((files.dir / "db").string());
    BenchWindow window;
    window.owner.resize(800, 600);
    window.owner.show();
    TSettings settings;
    settings.CurDir = QString::fromStdString((files.dir / "in").string());
    TImportCommands imports(dmod, settings, window, [] { return QString(); });

    Run run;
    PaintCounter counter;
    QElapsedTimer gapClock;
    QTimer heartbeat;
    heartbeat.setInterval(5);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        run.worstGuiGapMs = std::max(run.worstGuiGapMs, gapClock.restart() - 5);
    });
    QElapsedTimer cancelClock, runClock;
    QObject::connect(&imports, &TImportCommands::importFormCreated, [&](TImportForm* form) {
        form->findChild<QLabel*>(QStringLiteral("RecNumLabel"))->installEventFilter(&counter);
        gapClock.start();
        heartbeat.start();
        runClock.start();
        // The window stays half a second on the full bar before it goes.
        QObject::connect(form, &QDialog::finished, [&] { run.runMs = runClock.elapsed() - 500; });
        if (cancelAfterMs >= 0) {
            QTimer::singleShot(cancelAfterMs, form, [form, &cancelClock] {
                cancelClock.start();
                form->CancelButton()->click();
            });
            QObject::connect(form, &QDialog::finished,
                             [&] { run.cancelMs = cancelClock.elapsed(); });
        }
    });
    imports.sbImportClick(QStringLiteral(".eml"));
    heartbeat.stop();
    run.records = dmod.Log().TableCount();
    run.repaints = counter.paints;
    dmod.DeleteTempTables();
    return run;
}

void BM_WindowImport(benchmark::State& state) {
    Run last;
    qint64 runMs = 0;
    for (auto _ : state) {
        last = ImportOnce(-1);
        runMs += last.runMs;
        if (last.records != kFiles)
            state.SkipWithError("not every file was imported");
    }
    state.counters["records/s_run"] =
        runMs ? static_cast<double>(state.iterations()) * kFiles * 1000.0 / runMs : 0;
    state.counters["records/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFiles, benchmark::Counter::kIsRate);
    state.counters["repaints"] = last.repaints;
    state.counters["worst_gui_gap_ms"] = static_cast<double>(last.worstGuiGapMs);
}
BENCHMARK(BM_WindowImport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Cancel pressed 100 ms .. 700 ms into an import: the time until the run has stopped and
// the window is gone.
void BM_WindowCancel(benchmark::State& state) {
    qint64 worst = 0;
    for (auto _ : state) {
        for (int at : {100, 300, 500, 700}) {
            Run run = ImportOnce(at);
            worst = std::max(worst, run.cancelMs);
        }
    }
    state.counters["worst_cancel_ms"] = static_cast<double>(worst);
}
BENCHMARK(BM_WindowCancel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    SilentDialogs dialogs;
    SetDialogs(&dialogs);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetDialogs(nullptr);
    return 0;
}
