#pragma once

#include <QByteArray>
#include <QString>
#include <QThread>
#include <string>
#include <vector>

#include "script/TTestRun.h"

// The worker thread of one script test: runs a TTestRun over a page and hands its output
// to the window through the two signals, which the window connects with
// Qt::BlockingQueuedConnection so that the worker waits until the window took each chunk
// (the output is handed over after every post, so a long page reaches the window in
// pieces and never piles up in the worker).
//
// Lifetime: created by the window, started once, and deleted (deleteLater) when the thread
// has finished. The window must not go away while the thread runs: the worker would block
// on a call nobody answers. Terminate() may be called from any thread.
class TTestParser : public QThread, private TTestReporter {
    Q_OBJECT

  public:
    // `scriptLines` is a copy of the editor's lines; `pagePath` a local file path.
    TTestParser(std::vector<std::string> scriptLines, const QString& pagePath, std::string today,
                QObject* parent = nullptr);

    void Terminate() { run_.Terminate(); }

  signals:
    // From the worker thread: the output since the last hand-over (cp932) and the progress.
    void progress(const QByteArray& output, int percent);
    // From the worker thread, once: the rest of the output, the line to select (0 for
    // none), and whether the run succeeded.
    void finish(const QByteArray& output, int errorLine, bool success);

  protected:
    void run() override;

  private:
    void Progress(const std::string& output, int percent) override;
    void Finish(const std::string& output, int errorLine, bool success) override;

    TTestRun run_;
    bool finished_ = false;
};
