#include "log/TTransferCommands.h"

#include <QApplication>
#include <QToolButton>

#include "base/EError.h"
#include "controls/Cp932Text.h"
#include "database/TDatabaseCommands.h"
#include "log/TLogPage.h"
#include "search/TSearchPage.h"
#include "shell/IDialogs.h"
#include "shell/TCommands.h"
#include "shell/TMainfrm.h"
#include "store/TDMod.h"
#include "store/ViewRules.h"
#include "view/TBoundRecords.h"
#include "view/TRecordViewWidget.h"

TTransferCommands::TTransferCommands(const TMainContext& context)
    : QObject(&context.frame), context_(context) {
    TMainfrm& frame = context.frame;
    TLogPage& logPage = frame.LogRecordsPage();
    connect(logPage.PostButton(), &QToolButton::clicked, this, [this] { sbPostClick(); });
    connect(logPage.CopySelectedButton(), &QToolButton::clicked, this,
            [this] { sbCopySelectClick(); });
    connect(logPage.MoveSelectedButton(), &QToolButton::clicked, this,
            [this] { sbMoveSelectClick(); });
    connect(logPage.DeleteSelectedButton(), &QToolButton::clicked, this,
            [this] { DeleteSelectedClick(); });
    connect(frame.SearchRecordsPage().DeleteSelectedButton(), &QToolButton::clicked, this,
            [this] { DeleteSelectedClick(); });

    TDMod& dmod = context.dmod;
    auto rules = [&dmod] {
        return dmod.IsFolderOpen() ? EditMenuItems(ViewStateOf(dmod)) : TEditMenu{};
    };
    context.commands.Handle(
        TCmd::CopyFiltered, [this] { mnuCopyFilteredClick(); },
        [rules] { return rules().copyFiltered; });
    context.commands.Handle(
        TCmd::MoveFiltered, [this] { mnuMoveFilteredClick(); },
        [rules] { return rules().moveFiltered; });
    context.commands.Handle(
        TCmd::DeleteFiltered, [this] { mnuDeleteFilteredClick(); },
        [rules] { return rules().deleteFiltered; });
}

bool TTransferCommands::Confirm(const QString& text) {
    const QString question =
        text.startsWith(QStringLiteral(" << ")) ? context_.frame.CurrentTable() + text : text;
    return Dialogs().Message(&context_.frame, question, QStringLiteral("Confirmation"),
                             QMessageBox::Question,
                             QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool TTransferCommands::Run(TRunner::Look look, const std::function<void()>& op,
                            const QString& failureText) {
    int result;
    {
        // The worker uses the store only while the GUI thread waits behind the runner's
        // modal window and the view reads nothing (frozen).
        TFrozenView frozen(context_.view);
        result = TRunner::Run(&context_.frame, look, op);
    }
    context_.frame.UpdateButtonState();
    context_.frame.UpdateCounter();
    if (result == TRunner::mrAbort) {
        ShowMessage(&context_.frame, failureText);
        return false;
    }
    return true;
}

void TTransferCommands::LogCleanup(bool releaseFilter) {
    TDMod& dmod = context_.dmod;
    try {
        if (releaseFilter)
            dmod.Log().ReleaseFilter();
        if (dmod.Log().TableCount() == 0) {
            dmod.Log().ReleaseFilter();
            if (dmod.Log().TableCount() == 0)
                context_.frame.DatabaseCommands().mnuCloseLogDBClick();
        }
    } catch (const EError& e) {
        ShowMessage(&context_.frame, FromCp932(e.what()));
    }
    if (releaseFilter)
        context_.frame.LogRecordsPage().ReleaseFilter();
}

void TTransferCommands::ShowSearchPage() {
    TMainfrm& frame = context_.frame;
    if (frame.ActivePage() == TMainfrm::SearchPage)
        frame.BindView(TMainfrm::SearchPage);
    else
        frame.ShowPage(TMainfrm::SearchPage);
}

void TTransferCommands::sbPostClick() {
    TMainfrm& frame = context_.frame;
    TDMod& dmod = context_.dmod;
    if (!context_.view.PostEdit())
        return;
    try {
        if (dmod.Log().TableCount() == 0) {
            ShowMessage(&frame, QStringLiteral("There are no records"));
            return;
        }
    } catch (const EError& e) {
        ShowMessage(&frame, FromCp932(e.what()));
        return;
    }
    if (!Confirm(QStringLiteral(" << Post these records?")))
        return;
    // The posting and the emptying of the log both run behind the wait window (a large
    // log takes as long to empty as to post). The log is then the empty temporary log
    // again; a log database keeps its rows.
    bool posted = false;
    std::string error;
    int result;
    {
        TFrozenView frozen(context_.view);
        result = TRunner::Run(
            &frame, TRunner::Look::Copy,
            [&dmod, &posted] {
                dmod.PostAll();
                posted = true;
                dmod.ResetTempTables();
            },
            &error);
    }
    if (!posted) {
        frame.UpdateButtonState();
        frame.UpdateCounter();
        ShowMessage(&frame, QStringLiteral("Failed to post temporary records"));
        return;
    }
    if (result == TRunner::mrAbort)
        ShowMessage(&frame, FromCp932(error));  // posted, but the log could not be emptied
    frame.DatabaseCommands().LogClosed();
    ShowSearchPage();
    frame.ShowStatusText(QStringLiteral("Posted temporary records successfully"), false);
}

void TTransferCommands::sbCopySelectClick() {
    TMainfrm& frame = context_.frame;
    TDMod& dmod = context_.dmod;
    if (!Confirm(QStringLiteral(" << Copy selected records?")) || !context_.view.PostEdit())
        return;
    const std::vector<long long> ids = context_.view.SelectedMessageIDs();
    if (!Run(
            TRunner::Look::Copy, [&dmod, ids] { dmod.CopySelected(ids); },
            QStringLiteral("Failed to copy selected records")))
        return;
    frame.LogRecordsPage().EndMultiSelect();
    ShowSearchPage();
    frame.UpdateButtonState();
    frame.ShowStatusText(QStringLiteral("Copied selected records"), false);
}

void TTransferCommands::sbMoveSelectClick() {
    TMainfrm& frame = context_.frame;
    TDMod& dmod = context_.dmod;
    if (!Confirm(QStringLiteral(" << Move selected records?")) || !context_.view.PostEdit())
        return;
    const std::vector<long long> ids = context_.view.SelectedMessageIDs();
    if (!Run(
            TRunner::Look::Copy, [&dmod, ids] { dmod.MoveSelected(ids); },
            QStringLiteral("Failed to move selected records")))
        return;
    LogCleanup(false);
    frame.LogRecordsPage().EndMultiSelect();
    ShowSearchPage();
    frame.UpdateButtonState();
    frame.ShowStatusText(QStringLiteral("Moved selected records"), false);
}

void TTransferCommands::DeleteSelectedClick() {
    TMainfrm& frame = context_.frame;
    TDMod& dmod = context_.dmod;
    if (!Confirm(QStringLiteral("Delete selected records?")) || !context_.view.PostEdit())
        return;
    const std::vector<long long> ids = context_.view.SelectedMessageIDs();
    TBoundRecords* records = context_.view.Bound();
    if (!records)
        return;
    const bool fromLog = records->IsLog();
    // From the log the rows go at once (one transaction); from the search result the
    // deletions are cached until "Save changes".
    auto op = [&dmod, records, fromLog, ids] {
        if (fromLog) {
            dmod.DeleteSelected(ids);
            return;
        }
        for (auto it = ids.rbegin(); it != ids.rend(); ++it)
            records->Delete(*it);
    };
    if (!Run(TRunner::Look::Delete, op, QStringLiteral("Failed to delete selected records")))
        return;
    if (fromLog)
        LogCleanup(false);
    frame.LogRecordsPage().EndMultiSelect();
    frame.UpdateButtonState();
    frame.ShowStatusText(QStringLiteral("Deleted selected records"), true);
}

void TTransferCommands::mnuCopyFilteredClick() {
    TMainfrm& frame = context_.frame;
    TDMod& dmod = context_.dmod;
    if (!Confirm(QStringLiteral(" << Copy the filtered records?")) || !context_.view.PostEdit())
        return;
    if (!Run(
            TRunner::Look::Copy, [&dmod] { dmod.PostAll(); },
            QStringLiteral("Failed to copy range records")))
        return;
    ShowSearchPage();
    frame.ShowStatusText(QStringLiteral("Copied range records successfully"), false);
}

void TTransferCommands::mnuMoveFilteredClick() {
    TMainfrm& frame = context_.frame;
    TDMod& dmod = context_.dmod;
    if (!Confirm(QStringLiteral(" << Move the filtered records?")) || !context_.view.PostEdit())
        return;
    if (!Run(
            TRunner::Look::Copy, [&dmod] { dmod.MoveFiltered(); },
            QStringLiteral("Failed to move range records")))
        return;
    LogCleanup(true);
    ShowSearchPage();
    frame.ShowStatusText(QStringLiteral("Moved range records successfully"), false);
}

void TTransferCommands::mnuDeleteFilteredClick() {
    TMainfrm& frame = context_.frame;
    TDMod& dmod = context_.dmod;
    if (!Confirm(QStringLiteral("Delete the filtered records?")) || !context_.view.PostEdit())
        return;
    if (!Run(
            TRunner::Look::Delete, [&dmod] { dmod.DeleteFiltered(); },
            QStringLiteral("Failed to delete range records")))
        return;
    LogCleanup(true);
    frame.ShowStatusText(QStringLiteral("Deleted range records successfully"), true);
}
