#include "import/TImportWiring.h"

#include <QAction>
#include <QComboBox>
#include <QToolButton>

#include "import/TImportCommands.h"
#include "log/TLogPage.h"
#include "oe/TOECommands.h"
#include "shell/TCommands.h"
#include "shell/TMainContext.h"
#include "shell/TMainfrm.h"
#include "store/TDMod.h"
#include "view/TRecordViewWidget.h"

TImportWiring::TImportWiring(const TMainContext& context, std::string registryPath)
    : QObject(&context.frame), context_(context) {
    TMainfrm& frame = context_.frame;
    imports_ = std::make_unique<TImportCommands>(context_.dmod, frame.Settings(), *this,
                                                 [&frame] { return frame.ScriptFolder(); });
    oe_ = std::make_unique<TOECommands>(context_.dmod, frame.Settings(), *this, *imports_,
                                        std::move(registryPath));
    oe_->ResolveStore();

    TCommands& commands = context_.commands;
    TImportCommands* imports = imports_.get();
    TOECommands* oe = oe_.get();
    auto folderOpen = [this] { return context_.dmod.IsFolderOpen(); };
    commands.Handle(
        TCmd::DelBak, [imports] { imports->mnuDelBakClick(); },
        [imports] { return imports->CanDeleteBak(); });
    commands.Handle(
        TCmd::DelErr, [imports] { imports->mnuDelErrClick(); },
        [imports] { return imports->CanDeleteErr(); });
    commands.Handle(
        TCmd::ViewError, [imports] { imports->mnuViewErrorClick(); },
        [imports] { return imports->CanViewError(); });
    commands.Handle(TCmd::SetScript, [imports] { imports->mnuSetScriptClick(); });
    commands.Handle(
        TCmd::DbxImport, [oe] { oe->mnudbxImportClick(); },
        [oe, folderOpen] { return folderOpen() && oe->CanImportDbx(); });
    commands.Handle(
        TCmd::ChangeOEUser, [oe] { oe->mnuChangeOEUserClick(); },
        [oe] { return oe->CanChangeOEUser(); });
    // The two deletions leave nothing to delete: their items go grey at once.
    connect(commands.Action(TCmd::DelBak), &QAction::triggered, this,
            [&commands] { commands.Action(TCmd::DelBak)->setEnabled(false); });
    connect(commands.Action(TCmd::DelErr), &QAction::triggered, this,
            [&commands] { commands.Action(TCmd::DelErr)->setEnabled(false); });

    TLogPage& page = frame.LogRecordsPage();
    connect(page.ImportButton(), &QToolButton::clicked, this, [this, &page] {
        if (context_.dmod.IsFolderOpen() && !context_.dmod.LogInUse())
            imports_->sbImportClick(page.ImportExtension());
    });
}

TImportWiring::~TImportWiring() = default;

void TImportWiring::FilesDropped(const QStringList& paths) {
    if (!context_.dmod.IsFolderOpen())
        return;
    imports_->FilesDropped(paths);
}

QWidget* TImportWiring::Owner() {
    return &context_.frame;
}

bool TImportWiring::LogInUse() const {
    return context_.dmod.LogInUse();
}

void TImportWiring::ShowLogPage() {
    context_.frame.ShowPage(TMainfrm::LogPage);
}

void TImportWiring::ImportStarting() {
    // The records arrive while the window waits: the view reads nothing until the end.
    context_.view.PostEdit();
    context_.view.Freeze();
    frozen_ = true;
    context_.commands.Action(TCmd::OrderByImport)->setChecked(true);
    context_.dmod.Log().SetOrder(TLogView::Order::Import);
}

void TImportWiring::ImportEnded() {
    if (frozen_) {
        frozen_ = false;
        context_.view.Thaw();
    }
    long long rows = 0;
    try {
        rows = context_.dmod.Log().TableCount();
    } catch (const std::exception&) {
        rows = 0;
    }
    if (rows > 0) {
        context_.view.GoToRow(0);
        context_.dmod.SetLogInUse(true);
    }
    context_.frame.UpdateButtonState();
    context_.frame.UpdateCounter();
}

void TImportWiring::ImportSettingsChanged() {
    context_.frame.RefreshFolderStatus();
    context_.frame.ShowCurrentScript();
}
