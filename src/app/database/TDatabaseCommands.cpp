#include "database/TDatabaseCommands.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStatusBar>

#include "base/EError.h"
#include "controls/Cp932Text.h"
#include "runner/TRunner.h"
#include "shell/IDialogs.h"
#include "shell/TCommands.h"
#include "shell/TMainfrm.h"
#include "shell/TMigrationForm.h"
#include "shell/TNameChangeForm.h"
#include "shell/TSelectForm.h"
#include "store/TDMod.h"
#include "store/TTableFolder.h"
#include "view/TRecordViewWidget.h"

namespace {

// A folder the browser may start at: the remembered one while it still exists.
QString StartFolder(const QString& remembered) {
    return !remembered.isEmpty() && QFileInfo(remembered).isDir() ? remembered
                                                                  : QDir::currentPath();
}

}  // namespace

TDatabaseCommands::TDatabaseCommands(const TMainContext& context, IDialogs& dialogs)
    : QObject(&context.frame), context_(context), dialogs_(dialogs) {
    TCommands& commands = context.commands;
    TDMod& dmod = context.dmod;
    commands.Handle(TCmd::OpenDB, [this] { mnuOpenDBClick(); });
    commands.Handle(TCmd::NewDB, [this] { mnuNewDBClick(); });
    commands.Handle(
        TCmd::ChangeFolder, [this] { mnuChangeFolderClick(); },
        [&dmod] { return !dmod.LogInUse(); });
    commands.Handle(TCmd::DataFiles, [this] { mnuDataFilesClick(); });
    commands.Handle(
        TCmd::Backup, [this] { mnuBackupClick(); }, [&dmod] { return dmod.HasMainTable(); });
    commands.Handle(
        TCmd::OpenLogDB, [this] { mnuOpenLogDBClick(); },
        [&dmod] {
            return dmod.IsFolderOpen() && !dmod.Log().FilterActive() &&
                   dmod.Log().TableCount() == 0;
        });
    commands.Handle(
        TCmd::CloseLogDB, [this] { mnuCloseLogDBClick(); },
        [&dmod] {
            return dmod.IsFolderOpen() && !dmod.Log().FilterActive() && dmod.Log().TableCount() > 0;
        });
    commands.Handle(
        TCmd::PackLogDB, [this] { mnuPackLogDBClick(); },
        [&dmod] {
            return dmod.IsFolderOpen() && !dmod.LogIsTemporary() && !dmod.Log().FilterActive() &&
                   dmod.Log().TableCount() > 0;
        });
    commands.Handle(TCmd::ChangeDBName, [this] { mnuChangeDBNameClick(); });
}

void TDatabaseCommands::Message(const QString& text) {
    dialogs_.Message(&context_.frame, text, QApplication::applicationName(), QMessageBox::NoIcon,
                     QMessageBox::Ok);
}

bool TDatabaseCommands::ArticleTableChosen(const QString& chosen, std::string& name) {
    if (chosen.isEmpty())
        return false;
    name = ToCp932(chosen);
    if (!context_.dmod.IsArticleTable(name)) {
        Message(QStringLiteral("Unsupported database type"));
        return false;
    }
    return true;
}

QStringList TDatabaseCommands::UserTableNames() {
    std::vector<std::string> tables;
    try {
        if (context_.dmod.IsFolderOpen())
            context_.dmod.ListUserTables(tables);
    } catch (const EError&) {
        tables.clear();
    }
    if (tables.empty()) {
        dialogs_.Message(&context_.frame, QStringLiteral("Database files missing"),
                         QStringLiteral("Warning"), QMessageBox::Warning, QMessageBox::Ok);
        return {};
    }
    QStringList names;
    for (const std::string& table : tables)
        names << FromCp932(table);
    return names;
}

void TDatabaseCommands::mnuOpenDBClick() {
    TMainfrm& frame = context_.frame;
    TDMod& dmod = context_.dmod;
    frame.PendingChangesPrompt();

    const QStringList names = UserTableNames();
    if (names.isEmpty())
        return;
    TSelectForm& chooser = frame.SelectForm();
    chooser.setWindowTitle(QStringLiteral("Open Database"));
    chooser.SetItems(names);
    chooser.SelectItem(frame.Settings().RecentTable);
    if (dialogs_.Exec(chooser) != QDialog::Accepted)
        return;
    std::string name;
    if (!ArticleTableChosen(chooser.SelectedItem(), name))
        return;
    if (frame.ActivePage() == TMainfrm::SearchPage)
        frame.ShowPage(TMainfrm::LogPage);
    try {
        context_.view.PostEdit();
        dmod.OpenMainTable(name);
    } catch (const EError& e) {
        Message(FromCp932(e.what()));
        return;
    }
    frame.Settings().RecentTable = FromCp932(dmod.MainTableName());
    emit mainTableChanged();
    frame.UpdateButtonState();
    frame.UpdateTitle();
}

void TDatabaseCommands::mnuNewDBClick() {
    TMainfrm& frame = context_.frame;
    TDMod& dmod = context_.dmod;
    frame.PendingChangesPrompt();

    const auto answer = dialogs_.InputText(&frame, QStringLiteral("New Database"),
                                           QStringLiteral("Enter a new database name"), QString());
    if (!answer)
        return;
    // The store's own check, which steps over double-byte characters (the second byte of
    // a character such as 0x95 0x5C is not a backslash). A character cp932 lacks becomes
    // "?" and is refused with the others.
    const std::string name = ToCp932(*answer);
    if (!TTableFolder::IsValidNewName(name)) {
        Message(QStringLiteral("Invalid database name"));
        return;
    }
    if (dmod.TableExists(name)) {
        Message(QStringLiteral("Database name already exsits"));
        return;
    }
    try {
        if (!dmod.IsFolderOpen())
            throw EError("No database folder");
        context_.view.PostEdit();
        dmod.CreateMainTable(name);
        if (frame.ActivePage() == TMainfrm::SearchPage)
            frame.ShowPage(TMainfrm::LogPage);
        frame.Settings().RecentTable = FromCp932(dmod.MainTableName());
        emit mainTableChanged();
        frame.UpdateButtonState();
        dmod.DeleteValFile(name);
        frame.UpdateTitle();
    } catch (const EError&) {
        frame.UpdateTitle();
        Message(QStringLiteral("Error: Cannot make database"));
    }
}

void TDatabaseCommands::mnuChangeFolderClick() {
    TMainfrm& frame = context_.frame;
    TDMod& dmod = context_.dmod;
    frame.PendingChangesPrompt();

    TSettings& settings = frame.Settings();
    const auto chosen = dialogs_.BrowseFolder(&frame, QStringLiteral("Select Database Folder"),
                                              StartFolder(settings.DBDir));
    if (!chosen || *chosen == settings.DBDir)
        return;
    context_.view.PostEdit();
    if (frame.ActivePage() == TMainfrm::SearchPage)
        frame.ShowPage(TMainfrm::LogPage);
    settings.DBDir = *chosen;
    try {
        dmod.ChangeFolder(QFile::encodeName(*chosen).toStdString());
    } catch (const EError&) {
        settings.DBDir.clear();
        frame.BindView(TMainfrm::LogPage);
        frame.UpdateButtonState();
        frame.UpdateTitle();
        Message(QStringLiteral("Error: Try again"));
        return;
    }
    frame.BindView(TMainfrm::LogPage);
    frame.UpdateButtonState();
    frame.UpdateTitle();
    if (dmod.CountUserTables() > 0)
        mnuOpenDBClick();
    else
        mnuNewDBClick();
    if (!dmod.HasMainTable())
        frame.UpdateButtonState();
}

void TDatabaseCommands::mnuDataFilesClick() {
    TMainfrm& frame = context_.frame;
    TSettings& settings = frame.Settings();
    const auto chosen = dialogs_.BrowseFolder(
        &frame, QStringLiteral("Select Folder for data files"), settings.CurDir);
    if (!chosen || *chosen == settings.CurDir)
        return;
    settings.CurDir = *chosen;
    frame.RefreshFolderStatus();
}

void TDatabaseCommands::mnuOpenLogDBClick() {
    TMainfrm& frame = context_.frame;
    TDMod& dmod = context_.dmod;
    const QStringList names = UserTableNames();
    if (names.isEmpty())
        return;
    TMigrationForm form(&frame);
    form.setWindowTitle(QStringLiteral("Open Log Database"));
    form.SetTarget(FromCp932(dmod.MainTableName()));
    form.SetItems(names);
    if (dialogs_.Exec(form) != QDialog::Accepted)
        return;
    std::string name;
    if (!ArticleTableChosen(form.SelectedItem(), name))
        return;
    try {
        context_.view.PostEdit();
        dmod.OpenLogTable(name);
    } catch (const EError& e) {
        Message(FromCp932(e.what()));
        return;
    }
    dmod.SetLogInUse(true);
    emit logDatabaseOpened();
    if (frame.ActivePage() == TMainfrm::SearchPage)
        frame.ShowPage(TMainfrm::LogPage);
    else
        frame.BindView(TMainfrm::LogPage);
    context_.view.GoToRow(0);
    frame.UpdateButtonState();
    frame.UpdateTitle();
}

void TDatabaseCommands::mnuCloseLogDBClick() {
    context_.view.PostEdit();
    // Emptying a large temporary log takes a while: it runs behind the wait window.
    std::string error;
    int result;
    {
        TFrozenView frozen(context_.view);
        result = TRunner::Run(
            &context_.frame, TRunner::Look::Delete, [this] { context_.dmod.ResetTempTables(); },
            &error);
    }
    if (result == TRunner::mrAbort)
        Message(FromCp932(error));
    LogClosed();
}

void TDatabaseCommands::LogClosed() {
    TMainfrm& frame = context_.frame;
    frame.EnterIdleLogState();
    frame.BindView(frame.ActivePage());
    frame.UpdateButtonState();
    frame.UpdateTitle();
}

void TDatabaseCommands::mnuBackupClick() {
    TMainfrm& frame = context_.frame;
    TSettings& settings = frame.Settings();
    const auto chosen = dialogs_.BrowseFolder(&frame, QStringLiteral("Select Folder for Backup"),
                                              StartFolder(settings.BackupDir));
    if (!chosen)
        return;
    // The database folder under any spelling (a trailing slash, "..", a link) would have
    // the table copied onto itself.
    const QString canonical = QFileInfo(*chosen).canonicalFilePath();
    if (*chosen == settings.DBDir ||
        (!canonical.isEmpty() && canonical == QFileInfo(settings.DBDir).canonicalFilePath())) {
        Message(QStringLiteral("Backup operation not allowed on Database Folder"));
        return;
    }
    settings.BackupDir = *chosen;
    if (!context_.view.PostEdit())
        return;
    const std::string target = QFile::encodeName(*chosen).toStdString();
    int result;
    {
        TFrozenView frozen(context_.view);
        result = TRunner::Run(&frame, TRunner::Look::Copy,
                              [this, target] { context_.dmod.Backup(target); });
    }
    Message(result == TRunner::mrAbort ? QStringLiteral("Failed to backup")
                                       : QStringLiteral("Backuped seccessfully"));
}

void TDatabaseCommands::mnuPackLogDBClick() {
    TMainfrm& frame = context_.frame;
    if (!context_.view.PostEdit())
        return;
    frame.ShowStatusText(QStringLiteral("Now packing..."), false);
    frame.statusBar()->repaint();
    std::string report;
    int result;
    {
        TFrozenView frozen(context_.view);
        result = TRunner::Run(&frame, TRunner::Look::Copy,
                              [this, &report] { report = context_.dmod.PackLogDatabase(); });
    }
    frame.RefreshFolderStatus();
    Message(result == TRunner::mrAbort ? QStringLiteral("Pack operation failed")
                                       : FromCp932(report));
}

void TDatabaseCommands::mnuChangeDBNameClick() {
    const QStringList names = UserTableNames();
    if (names.isEmpty())
        return;
    TNameChangeForm form(&context_.frame);
    form.SetItems(names);
    if (dialogs_.Exec(form) != QDialog::Accepted)
        return;
    // The store checks the new name (its one rule for names) and refuses every other
    // failure, an existing table of that name included, with "Invalid file name".
    try {
        context_.dmod.RenameTable(ToCp932(form.OldName()), ToCp932(form.NewName()));
    } catch (const EError& e) {
        Message(FromCp932(e.what()));
    }
}
