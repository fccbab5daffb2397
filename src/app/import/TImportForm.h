#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "import/TConvertRun.h"
#include "import/TMyFiler.h"
#include "store/TDMod.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// How an import window runs; tests replace the engine and the stuck limit.
struct TImportOptions {
    // Makes the conversion engine on the worker thread; empty = TNParser.
    TConvertRun::EngineFactory makeEngine;
    // A Cancel later than this after the last progress stops the run by force.
    int stuckAfterMs = 1000;
    // How messages are read ("DecodeCharsets").
    MailParser::TParseOptions mailOptions;
    // From this many records into an empty log, its indexes are made behind the runner's
    // wait window when the run ends (100 000 rows take about half a second).
    int indexOnRunnerFrom = 20000;
};

namespace importform {
struct Shared;
}

// The progress window of an import ("Importing..."): runs TConvertRun over the files on a
// worker thread one step below normal priority and shows the file, the record count and
// the bar until the run ends; exec() returns the ImportOutcome as the result code.
//
// The worker reaches this window and the store only through blocking queued calls, which
// run here while the worker waits, so the store is used by one thread at a time: the GUI
// thread while it runs this window's event loop (the invariant TDMod relies on). A file's
// start and its records wait in the worker's queue and go with the next blocking call (at
// the file's end, or after a few dozen records or 40 ms), so Cancel takes effect at the
// first record the run makes after it. Each file's records go into the log in one
// TDMod::LogBatch (inside a TDMod::LogImport for the whole run), committed when the file
// has converted and before the run renames it ".bak"; a file cut short by Cancel or by
// the forced stop has its batch rolled back and keeps its name. An import into an empty
// log makes the log's indexes when it ends (see TDMod::LogImport), a long one behind the
// runner's wait window.
//
// Progress is throttled: the calls only store the numbers; a timer shows them at most 20
// times a second, so a fast import never repaints once per record.
//
// Cancel within stuckAfterMs of the last progress (a file starting; in tagged mode every
// other record) asks the run to stop ("Canceled by User"). Later, the run is abandoned
// ("Interrupted by force"): the window closes at once, never waiting for the worker,
// which unwinds at its next abort test and calls nothing here any more.
class TImportForm : public QDialog {
    Q_OBJECT

  public:
    TImportForm(TDMod& dmod, std::vector<TMyFiler::Entry> files, std::string scriptPath,
                TImportOptions options, QWidget* owner);
    ~TImportForm() override;

    // What the run left (valid after exec()).
    const TImportResult& Result() const { return result_; }

    QPushButton* CancelButton() const { return CancelBtn_; }
    int Position() const { return position_; }
    int RecordCount() const { return recordCount_; }

  signals:
    // For tests and the status of the window: a record reached the log; the bar's
    // position was set (both emitted for every call, whether or not it is painted).
    void recordHandedOver(int recordCount);
    void positionSet(int position);

  protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

  private:
    friend struct importform::Shared;
    void StartRun();
    void CancelBtnClick();
    void ShowProgress();
    void RunFinished(const TImportResult& result);
    void Close(ImportOutcome outcome);

    // The host calls, on the GUI thread.
    void OnFileProgress(int position, const std::string& path);
    void OnHandOver(const TRecordFields& fields, int recordCount, int position);
    void OnFileEnded(IImportHost::FileEnd end);
    void OnCompleted();

    TDMod& dmod_;
    std::vector<TMyFiler::Entry> files_;
    std::string scriptPath_;
    TImportOptions options_;
    std::shared_ptr<importform::Shared> shared_;
    std::optional<TDMod::LogImport> import_;
    std::optional<TDMod::LogBatch> batch_;  // the current file's records
    TImportResult result_;
    bool started_ = false;
    bool closing_ = false;

    QElapsedTimer clock_;
    qint64 lastProgressTick_ = 0;
    int position_ = 0;
    int recordCount_ = 0;
    QString path_;
    bool dirty_ = false;
    unsigned shownStarts_ = 0;  // the run's file starts the window has shown

    QLabel* FileLabel_ = nullptr;
    QLabel* RecNumLabel_ = nullptr;
    QProgressBar* ProgressBar1_ = nullptr;
    QPushButton* CancelBtn_ = nullptr;
    QTimer* paintTimer_ = nullptr;
};
