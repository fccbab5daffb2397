#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QProgressBar;

// The background runner: one data-module operation runs on a worker thread while a small
// modal wait window stands in front of the main window. Used by the transfers, backup,
// pack and the search queries.
//
// The invariant everything relies on: while the operation runs, the GUI thread does
// nothing but run the wait window's local event loop (repainting, the busy indicator).
// The caller freezes the controls bound to the store before Run (TRecordViewWidget::
// Freeze), so no paint or slot touches the store while the worker uses it, and no lock is
// needed. The user cannot cancel a running operation.
class TRunner {
  public:
    // The modal result codes callers test.
    enum Result { mrOK = 1, mrAbort = 3 };
    // The wait window's look: transfers and backup (light blue), deletions (light grey),
    // queries (round, light green).
    enum class Look { Copy, Delete, Find };

    // Runs op on a worker thread one step below normal priority behind the wait window
    // (owner: the window it centres on and blocks). mrOK when op returned; mrAbort when it
    // threw, with the exception's text (cp932 for the store's errors) in *error.
    // GUI thread only; returns when the worker has ended.
    static int Run(QWidget* owner, Look look, std::function<void()> op,
                   std::string* error = nullptr);

    // Called in the GUI thread each time a wait window is shown, with the window (tests
    // check that it repaints while a long operation runs). nullptr removes it.
    static void SetShownHook(std::function<void(QDialog&)> hook);
};

// The wait window (borderless, modal, a busy indicator on its colour). Created by
// TRunner::Run; named "AVICopyDlg" (Copy, Delete) or "AVIFindDlg" (Find).
class TAVICopyDlg : public QDialog {
    Q_OBJECT

  public:
    TAVICopyDlg(QWidget* owner, TRunner::Look look);

    // Times the window or its busy indicator was painted since it was created.
    int PaintCount() const { return paints_; }

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QProgressBar* busy_ = nullptr;
    int paints_ = 0;
};
