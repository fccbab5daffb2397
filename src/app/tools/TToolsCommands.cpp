#include "tools/TToolsCommands.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "base/EError.h"
#include "controls/TDBEditGrid.h"
#include "shell/IDialogs.h"
#include "shell/TCommands.h"
#include "shell/TMainfrm.h"
#include "store/TDMod.h"
#include "tools/TArticleTextTools.h"
#include "tools/TFileExtForm.h"
#include "tools/TPagePrinter.h"
#include "tools/TTxtConvForm.h"
#include "view/TBoundRecords.h"
#include "view/TRecordViewWidget.h"

TToolsCommands::TToolsCommands(const TMainContext& context)
    : QObject(&context.frame), context_(context) {
    TRecordViewWidget& view = context_.view;
    articleTools_ = new TArticleTextTools(
        view.ArticleEditor(), [&view] { return view.BeginEdit(); }, this);

    TCommands& commands = context_.commands;
    auto logHasRecords = [this] { return LogHasRecords(); };
    auto recordsShown = [this] { return RecordsShown(); };
    commands.Handle(
        TCmd::TextFormat, [this] { articleTools_->mnuTextFormatClick(); }, logHasRecords);
    commands.Handle(
        TCmd::DelBothBlanks, [this] { articleTools_->mnuDelBothBlanksClick(); }, logHasRecords);
    commands.Handle(
        TCmd::TextReplace,
        [this] {
            // 30 pixels right of the grid's left edge, level with its top.
            articleTools_->mnuTextReplaceClick(context_.view.Grid()->mapToGlobal(QPoint(30, 0)));
        },
        logHasRecords);
    commands.Handle(
        TCmd::TextConv, [this] { mnuTextConvClick(); }, recordsShown);
    commands.Handle(TCmd::FileExtConv, [this] { mnuFileExtConvClick(); });
    commands.Handle(
        TCmd::Print, [this] { mnuPrintClick(); }, recordsShown);
}

bool TToolsCommands::RecordsShown() const {
    return context_.view.RowCount() > 0;
}

bool TToolsCommands::LogHasRecords() const {
    try {
        return context_.dmod.IsFolderOpen() && context_.dmod.Log().TableCount() > 0;
    } catch (const EError&) {
        return false;
    }
}

void TToolsCommands::mnuTextConvClick() {
    TRecordViewWidget& view = context_.view;
    // A pending edit belongs to the records written.
    if (!view.PostEdit() || !view.Bound())
        return;
    TTxtConvForm::Run(&context_.frame, context_.dmod, ShownRecords(*view.Bound()),
                      context_.frame.Settings().CurDir, context_.frame.CurrentTable());
}

void TToolsCommands::mnuFileExtConvClick() {
    TFileExtForm::Run(&context_.frame, context_.frame.Settings().CurDir);
}

void TToolsCommands::mnuPrintClick() {
    if (!TPagePrinter::PrinterInstalled()) {
        ShowMessage(&context_.frame, QStringLiteral("No printers are installed"));
        return;
    }
    TMainfrm& frame = context_.frame;
    frame.PendingChangesPrompt();
    TRecordViewWidget& view = context_.view;
    QString messageId;
    if (frame.ActivePage() == TMainfrm::SearchPage && view.Bound() && view.CurrentRow() >= 0)
        messageId = QString::number(view.Bound()->Row(view.CurrentRow()).MessageID);
    PrintRecordLines(
        &frame, view.ArticleEditor()->font(), RecordPrintTitle(frame.CurrentTable(), messageId),
        RecordPrintLines(view.FromBox()->text(), view.GroupBox()->text(), view.SubjectBox()->text(),
                         view.DateBox()->text(), view.ArticleEditor()->toPlainText()));
}
