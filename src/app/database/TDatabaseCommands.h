#pragma once

#include <QObject>
#include <QStringList>
#include <string>

#include "shell/TMainContext.h"

class IDialogs;

// The database commands of the File, Edit and Tools menus: Open, New, Change Database
// Folder, Data Files, Open and Close Log Database, Backup, Pack Log Database and Change
// Database Name. Each command asks through the dialogs interface, calls the data module
// and catches the store's EError in one place, where it shows the command's own message.
// A failed check leaves the table, the log, the names and the title as they were.
// GUI thread only; lives as long as the main window.
class TDatabaseCommands : public QObject {
    Q_OBJECT

  public:
    // Registers the commands' menu handlers and enabling with context.commands.
    TDatabaseCommands(const TMainContext& context, IDialogs& dialogs);

    void mnuOpenDBClick();
    void mnuNewDBClick();
    void mnuChangeFolderClick();
    void mnuDataFilesClick();
    void mnuOpenLogDBClick();
    void mnuCloseLogDBClick();
    void mnuBackupClick();
    void mnuPackLogDBClick();
    void mnuChangeDBNameClick();
    // The window's part of closing the log, after the store reset the temporary tables:
    // the idle log state, the view on the temporary log, the title.
    void LogClosed();

  signals:
    // A main table was opened or created (the keyword box and the article keyword list
    // are cleared by their owners).
    void mainTableChanged();
    // A log database was opened (Set Memory Position becomes available).
    void logDatabaseOpened();

  private:
    // The user tables a chooser offers; empty after the "Database files missing" warning.
    QStringList UserTableNames();
    // The table chosen in a chooser, as the store names it: false when none was chosen,
    // or (after "Unsupported database type") when it holds no articles.
    bool ArticleTableChosen(const QString& chosen, std::string& name);
    void Message(const QString& text);

    TMainContext context_;
    IDialogs& dialogs_;
};
