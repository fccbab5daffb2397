#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "runner/TRunner.h"
#include "shell/TMainContext.h"

// The seven transfers of log rows: "Write into database", "Copy selected rows", "Move
// selected rows", "Delete seleted rows" (both pages), and the Edit menu's "&Copy Filtered",
// "&Move Filtered" and "&Delete Filtered". Each asks first, runs one data-module operation
// on the runner with the record view frozen, and then shows its failure text or does its
// after-effects (status text, log cleanup, page switch). The store makes each transfer all
// or nothing, so a failure leaves both tables, the filter and the grid's selection as they
// were. GUI thread only.
class TTransferCommands : public QObject {
    Q_OBJECT

  public:
    explicit TTransferCommands(const TMainContext& context);

    void sbPostClick();
    void sbCopySelectClick();
    void sbMoveSelectClick();
    // "Delete seleted rows" of either page: from the log, or from the search result
    // (cached until its changes are saved).
    void DeleteSelectedClick();
    void mnuCopyFilteredClick();
    void mnuMoveFilteredClick();
    void mnuDeleteFilteredClick();

  private:
    // The confirmation; a text beginning with " << " is preceded by the current table's
    // name.
    bool Confirm(const QString& text);
    // Runs op on the runner with the record view frozen; true when it succeeded, else
    // failureText is shown.
    bool Run(TRunner::Look look, const std::function<void()>& op, const QString& failureText);
    // After rows left the log: when it is empty the filter is released, and when it is
    // still empty the log is closed. With releaseFilter (the filtered rows left) the
    // filter goes first in any case. A failure is shown.
    void LogCleanup(bool releaseFilter);
    void ShowSearchPage();

    TMainContext context_;
};
