#include "import/TImportForm.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "base/Abort.h"
#include "base/EError.h"
#include "controls/NativePath.h"
#include "controls/TEllipsisLabel.h"
#include "import/TNParser.h"
#include "runner/TRunner.h"

namespace importform {

// What the window and its worker share. The worker keeps it alive until its thread ends,
// so an abandoned run never calls into freed memory; `form` is read and cleared only on
// the GUI thread, and once cleared the run's calls return EAborted without touching
// anything.
//
// Only the calls the run must wait for reach the GUI thread at once (a file's end: its
// records are committed before the file is renamed; the outcome). A file's start and its
// records are queued in the worker and delivered, in order, ahead of the next of those, or
// once kMaxQueued records, kMaxQueuedBytes of text or kFlushMs have gone by: a small file
// then costs the run one wait for the GUI thread instead of one per record, while a long
// file's records still show as they come, and the queue bounds the memory they hold.
struct Shared : IImportHost {
    static constexpr std::size_t kMaxQueued = 64;
    static constexpr std::size_t kMaxQueuedBytes = 4 << 20;  // a few long articles' parts
    static constexpr qint64 kFlushMs = 40;

    using Call = std::function<void(TImportForm&)>;

    TImportForm* form = nullptr;
    QObject* receiver = nullptr;  // lives on the GUI thread; the calls run in its thread
    std::unique_ptr<TConvertRun> run;
    // The worker's queue; the GUI thread takes it only while the worker waits for it.
    std::vector<Call> queued;
    std::size_t queuedBytes = 0;
    QElapsedTimer sinceDelivery;
    // The file the run is on, for the window to show while that file's calls are still
    // queued: a slow file shows its own name, not the one before it.
    std::mutex startedMutex;
    std::string startedPath;    // guarded by startedMutex
    int startedPosition = 0;    // guarded
    unsigned startedCount = 0;  // guarded: one more for every file

    ~Shared() override {
        if (receiver)
            receiver->deleteLater();
    }

    // A blocking queued call: the queued calls and then `call` run on the GUI thread while
    // the worker waits; what they throw is thrown again here, and a queued call that throws
    // takes the ones after it with it (they came after the failure).
    void OnGuiThread(const Call& call) {
        std::exception_ptr error;
        bool abandoned = false;
        QMetaObject::invokeMethod(
            receiver,
            [&] {
                std::vector<Call> calls = std::exchange(queued, {});
                queuedBytes = 0;
                if (!form) {
                    abandoned = true;
                    return;
                }
                try {
                    for (const Call& c : calls)
                        c(*form);
                    if (call)
                        call(*form);
                } catch (...) {
                    error = std::current_exception();
                }
            },
            Qt::BlockingQueuedConnection);
        sinceDelivery.start();
        if (abandoned)
            throw EAborted{};
        if (error)
            std::rethrow_exception(error);
    }

    void Queue(Call call, std::size_t bytes) {
        queued.push_back(std::move(call));
        queuedBytes += bytes;
        if (queued.size() >= kMaxQueued || queuedBytes >= kMaxQueuedBytes ||
            !sinceDelivery.isValid() || sinceDelivery.elapsed() >= kFlushMs)
            OnGuiThread(nullptr);
    }

    void FileProgress(int position, const std::string& path) override {
        {
            std::lock_guard<std::mutex> lock(startedMutex);
            startedPath = path;
            startedPosition = position;
            ++startedCount;
        }
        Queue([position, path](TImportForm& f) { f.OnFileProgress(position, path); }, path.size());
    }
    void HandOver(const TRecordFields& fields, int recordCount, int position) override {
        Queue([fields, recordCount,
               position](TImportForm& f) { f.OnHandOver(fields, recordCount, position); },
              fields.Article.size() + fields.Subject.size());
    }
    void FileEnded(FileEnd end) override {
        OnGuiThread([end](TImportForm& f) { f.OnFileEnded(end); });
    }
    void Completed() override {
        OnGuiThread([](TImportForm& f) { f.OnCompleted(); });
    }
    void Finished(const TImportResult& result) override {
        OnGuiThread([&result](TImportForm& f) { f.RunFinished(result); });
    }
};

}  // namespace importform

TImportForm::TImportForm(TDMod& dmod, std::vector<TMyFiler::Entry> files, std::string scriptPath,
                         TImportOptions options, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowStaysOnTopHint),
      dmod_(dmod),
      files_(std::move(files)),
      scriptPath_(std::move(scriptPath)),
      options_(std::move(options)) {
    setObjectName(QStringLiteral("ImportForm"));
    setWindowTitle(QStringLiteral("Importing..."));
    setModal(true);

    auto* group = new QGroupBox(QStringLiteral("Now Importing..."), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(group);
    auto* fileCaption = new QLabel(QStringLiteral("File Name:"), group);
    auto* recCaption = new QLabel(QStringLiteral("Record Num:"), group);
    auto* fileLabel = new TEllipsisLabel(group);
    FileLabel_ = fileLabel;
    FileLabel_->setObjectName(QStringLiteral("FileLabel"));
    RecNumLabel_ = new QLabel(QStringLiteral("0"), group);
    RecNumLabel_->setObjectName(QStringLiteral("RecNumLabel"));
    RecNumLabel_->setAccessibleName(QStringLiteral("Record Num:"));
    grid->addWidget(fileCaption, 0, 0);
    grid->addWidget(FileLabel_, 0, 1);
    grid->addWidget(recCaption, 1, 0);
    grid->addWidget(RecNumLabel_, 1, 1);
    grid->setColumnStretch(1, 1);

    ProgressBar1_ = new QProgressBar(this);
    ProgressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1_->setRange(0, 100);
    ProgressBar1_->setValue(0);
    ProgressBar1_->setAccessibleName(QStringLiteral("Progress"));

    CancelBtn_ = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn_->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn_->setDefault(true);
    CancelBtn_->setAutoDefault(true);
    connect(CancelBtn_, &QPushButton::clicked, this, &TImportForm::CancelBtnClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CancelBtn_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(ProgressBar1_);
    layout->addLayout(buttons);
    setFixedSize(420, sizeHint().height());

    paintTimer_ = new QTimer(this);
    paintTimer_->setInterval(50);
    connect(paintTimer_, &QTimer::timeout, this, &TImportForm::ShowProgress);

    clock_.start();
    lastProgressTick_ = 0;

    shared_ = std::make_shared<importform::Shared>();
    shared_->form = this;
    shared_->receiver = new QObject;
    TConvertRun::EngineFactory factory = options_.makeEngine;
    if (!factory)
        factory = [] { return std::make_unique<TNParser>(); };
    shared_->run = std::make_unique<TConvertRun>(files_, scriptPath_, *shared_, factory);
    shared_->run->SetMailOptions(options_.mailOptions);
}

TImportForm::~TImportForm() {
    // A window that goes while its run is still going (never shown, or closed some other
    // way) abandons it, like the forced stop.
    if (shared_ && shared_->form) {
        shared_->form = nullptr;
        shared_->run->Abandon();
    }
}

void TImportForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QWidget* owner = parentWidget()) {
        const QRect main = owner->frameGeometry();
        move(main.left() + (main.width() - frameGeometry().width()) / 2,
             main.top() + (main.height() - frameGeometry().height()) / 2);
    }
    if (!started_) {
        started_ = true;
        QMetaObject::invokeMethod(this, &TImportForm::StartRun, Qt::QueuedConnection);
    }
}

void TImportForm::StartRun() {
    paintTimer_->start();
    try {
        import_.emplace(dmod_);
    } catch (const EError&) {
        // Imported as any other write; a log that cannot be written fails the first file.
    }
    std::shared_ptr<importform::Shared> shared = shared_;
    QThread* worker = QThread::create([shared] { shared->run->Run(); });
    worker->setObjectName(QStringLiteral("TConvertThread"));
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start(QThread::LowPriority);
}

void TImportForm::reject() {
    // Escape is the Cancel button; the window closes only when the run is over.
    CancelBtnClick();
}

void TImportForm::closeEvent(QCloseEvent* event) {
    if (!closing_)
        event->ignore();
}

void TImportForm::CancelBtnClick() {
    if (closing_ || !started_ || !shared_->form)
        return;
    if (clock_.elapsed() - lastProgressTick_ <= options_.stuckAfterMs) {
        shared_->run->RequestStop();
        return;
    }
    // Stuck: abandon the run without waiting for it. Its file's records are dropped and
    // the file keeps its name; the run renames nothing once abandoned.
    shared_->form = nullptr;
    shared_->run->Abandon();
    batch_.reset();
    result_ = TImportResult{};
    result_.Outcome = ImportOutcome::Killed;
    result_.RecordCount = recordCount_;
    Close(ImportOutcome::Killed);
}

void TImportForm::OnFileProgress(int position, const std::string& path) {
    if (!batch_)
        batch_.emplace(dmod_);
    position_ = position;
    path_ = FromNativePath(path);
    lastProgressTick_ = clock_.elapsed();
    dirty_ = true;
    emit positionSet(position);
}

void TImportForm::OnHandOver(const TRecordFields& fields, int recordCount, int position) {
    dmod_.AppendLogRecord(fields);
    recordCount_ = recordCount;
    if (position >= 0) {
        position_ = position;
        lastProgressTick_ = clock_.elapsed();
        emit positionSet(position);
    }
    dirty_ = true;
    emit recordHandedOver(recordCount);
}

void TImportForm::OnFileEnded(IImportHost::FileEnd end) {
    if (!batch_)
        return;
    switch (end) {
        case IImportHost::FileEnd::Converted:
            // Throws when the records cannot be kept: the file then fails and keeps no
            // ".bak" name it has not earned.
            batch_->Commit();
            break;
        case IImportHost::FileEnd::Failed:
            // What the failed file handed over before the failure stays in the log.
            try {
                batch_->Commit();
            } catch (const EError&) {
                // Nothing could be kept; the batch is rolled back below.
            }
            break;
        case IImportHost::FileEnd::Stopped:
            break;
    }
    batch_.reset();
}

void TImportForm::OnCompleted() {
    position_ = 100;
    dirty_ = true;
    emit positionSet(100);
}

void TImportForm::ShowProgress() {
    {
        std::lock_guard<std::mutex> lock(shared_->startedMutex);
        if (shared_->startedCount != shownStarts_) {
            // A file began whose calls have not arrived yet.
            shownStarts_ = shared_->startedCount;
            path_ = FromNativePath(shared_->startedPath);
            position_ = std::max(position_, shared_->startedPosition);
            lastProgressTick_ = clock_.elapsed();
            dirty_ = true;
        }
    }
    if (!dirty_)
        return;
    dirty_ = false;
    static_cast<TEllipsisLabel*>(FileLabel_)->SetPath(path_);
    RecNumLabel_->setText(QString::number(recordCount_));
    ProgressBar1_->setValue(position_);
}

void TImportForm::RunFinished(const TImportResult& result) {
    result_ = result;
    shared_->form = nullptr;  // the run calls nothing more
    batch_.reset();
    ShowProgress();
    Close(result.Outcome);
}

void TImportForm::Close(ImportOutcome outcome) {
    closing_ = true;
    if (import_ && import_->IndexesPending() && recordCount_ >= options_.indexOnRunnerFrom) {
        // The log held nothing before: its rows are the ones this run handed over.
        TDMod::LogImport& import = *import_;
        TRunner::Run(this, TRunner::Look::Copy, [&import] { import.BuildIndexes(); });
    }
    import_.reset();
    paintTimer_->stop();
    // A finished or failed run stays on screen a moment, so the last file and the full
    // bar can be seen; a stopped one goes at once.
    const int code = static_cast<int>(outcome);
    if (outcome == ImportOutcome::Done || outcome == ImportOutcome::Failed)
        QTimer::singleShot(500, this, [this, code] { done(code); });
    else
        done(code);
}
