#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "import/TImportForm.h"
#include "import/TMyFiler.h"

class IImportWindow;
class TDMod;
class TSettings;

// The import commands of the main window: "Import records" (sbImportClick), dropped
// files, StartImport with its progress window, "&Select Script...", "&Delete bak files",
// "Delete &err file" and "&View Error". Owns the one import file list and remembers the
// last failed import. GUI thread only.
//
// The settings it reads and changes: "CurDir" (the import folder), "RecentScript" (the
// current script, a file name in the script folder) and "EditorName".
class TImportCommands : public QObject {
    Q_OBJECT

  public:
    // scriptFolder gives the folder the scripts are kept in (asked each time).
    TImportCommands(TDMod& dmod, TSettings& settings, IImportWindow& window,
                    std::function<QString()> scriptFolder, QObject* parent = nullptr);

    // The Import button with the extension chosen in the extension box (".eml", ".nws",
    // ".htm", ".txt ").
    void sbImportClick(const QString& extension);

    // Files dropped on the main window (paths in the order the desktop gives them).
    // Ignored while the log is in use. The import itself runs after the drop has been
    // released (queued); returns whether one was queued.
    bool FilesDropped(const QStringList& paths);

    // Runs one import over the file list.
    void StartImport();

    void mnuSetScriptClick();
    void mnuDelBakClick();
    void mnuDelErrClick();
    void mnuViewErrorClick();

    // Enabling when the File and Edit menus open. CanViewError forgets a last error file
    // that no longer exists.
    bool CanDeleteBak() const;
    bool CanDeleteErr() const;
    bool CanViewError();

    TMyFiler& Filer() { return filer_; }

    // The last failed import: the ".err" file, the script line (0 when not a script
    // error) and the source file's own extension. The script test window opens it.
    const QString& LastErrorFile() const { return lastErrorFile_; }
    int LastErrorLine() const { return lastErrorLine_; }
    const QString& LastErrorExtension() const { return lastErrorExtension_; }

    // For tests: the engine and the stuck limit of the progress windows.
    void SetImportOptions(TImportOptions options) { options_ = std::move(options); }

  signals:
    // A progress window is about to run (tests reach it through this).
    void importFormCreated(TImportForm* form);

  private:
    // The script check of web-page imports: false (after "Script files missing", the
    // current script forgotten) when no script is chosen or its file is missing.
    bool CheckScript();
    void DroppedImport();
    void DeleteFilesWith(const char* extension);
    QString ScriptFolder() const;
    QWidget* Owner() const;

    TDMod& dmod_;
    TSettings& settings_;
    IImportWindow& window_;
    std::function<QString()> scriptFolder_;
    TMyFiler filer_;
    TImportOptions options_;
    QString lastErrorFile_;
    int lastErrorLine_ = 0;
    QString lastErrorExtension_;
};
