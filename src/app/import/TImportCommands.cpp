#include "import/TImportCommands.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QWidget>

#include "controls/Cp932Text.h"
#include "controls/NativePath.h"
#include "import/FileMask.h"
#include "import/IImportWindow.h"
#include "shell/IDialogs.h"
#include "shell/TSelectForm.h"
#include "shell/TSettings.h"
#include "store/TDMod.h"

TImportCommands::TImportCommands(TDMod& dmod, TSettings& settings, IImportWindow& window,
                                 std::function<QString()> scriptFolder, QObject* parent)
    : QObject(parent),
      dmod_(dmod),
      settings_(settings),
      window_(window),
      scriptFolder_(std::move(scriptFolder)) {}

QWidget* TImportCommands::Owner() const {
    return window_.Owner();
}

QString TImportCommands::ScriptFolder() const {
    return scriptFolder_ ? scriptFolder_() : QString();
}

bool TImportCommands::CheckScript() {
    const QString path = ScriptFolder() + QLatin1Char('/') + settings_.RecentScript;
    if (settings_.RecentScript.isEmpty() || !QFileInfo(path).isFile()) {
        ShowMessage(Owner(), QStringLiteral("Script files missing"));
        settings_.RecentScript.clear();
        window_.ImportSettingsChanged();
        return false;
    }
    filer_.ScriptPath = ToNativePath(path);
    return true;
}

void TImportCommands::sbImportClick(const QString& extension) {
    filer_.Clear();
    if (extension == QLatin1String(".htm") && !CheckScript())
        return;
    filer_.ListFolder(ToNativePath(settings_.CurDir), extension.toStdString());
    if (filer_.Count() == 0) {
        ShowMessage(Owner(), QStringLiteral("*") + extension + QStringLiteral(" files missing"));
        return;
    }
    StartImport();
}

bool TImportCommands::FilesDropped(const QStringList& paths) {
    if (QWidget* owner = Owner()) {
        owner->raise();
        owner->activateWindow();
    }
    if (window_.LogInUse())
        return false;
    filer_.Clear();
    for (const QString& path : paths) {
        const std::string native = ToNativePath(path);
        if (filer_.AddDropped(native))
            continue;
        const QString reason = ExtensionOf(native).empty()
                                   ? QStringLiteral("Folder is unsupported")
                                   : QStringLiteral("Unsupported file type");
        Dialogs().Message(Owner(), path + QStringLiteral("\r\n") + reason,
                          QStringLiteral("Warning"), QMessageBox::Critical, QMessageBox::Ok);
        filer_.Clear();
        break;
    }
    if (filer_.Count() == 0)
        return false;
    // The import runs once the desktop has got its drop back.
    QMetaObject::invokeMethod(this, &TImportCommands::DroppedImport, Qt::QueuedConnection);
    return true;
}

void TImportCommands::DroppedImport() {
    if (filer_.Count() == 0)
        return;
    if (filer_.PageCount > 0 && !CheckScript())
        return;
    settings_.CurDir = FromNativePath(filer_.FirstFolder());
    window_.ImportSettingsChanged();
    window_.ShowLogPage();
    StartImport();
}

void TImportCommands::StartImport() {
    QCoreApplication::processEvents();
    TImportOptions options = options_;
    options.mailOptions.DecodeCharsets = settings_.DecodeCharsets;
    TImportForm form(dmod_, filer_.Entries(), filer_.ScriptPath, options, Owner());
    window_.ImportStarting();
    emit importFormCreated(&form);
    form.exec();
    window_.ImportEnded();

    const TImportResult& result = form.Result();
    switch (result.Outcome) {
        case ImportOutcome::Failed: {
            lastErrorFile_ = FromNativePath(result.ErrorFile);
            lastErrorLine_ = result.ErrorLine;
            lastErrorExtension_ = QString::fromStdString(result.LastExtension);
            filer_.ErrorFile = result.ErrorFile;
            filer_.ErrorLine = result.ErrorLine;
            filer_.LastExtension = result.LastExtension;
            filer_.ErrorMessage = result.ErrorMessage;
            // A store that failed keeps its name and has no ".err" file: it is named.
            const std::string& named =
                result.ErrorFile.empty() ? result.FailedFile : result.ErrorFile;
            QString text = FromCp932(result.ErrorMessage);
            if (!named.empty())
                text += QStringLiteral("\r\n") + QFileInfo(FromNativePath(named)).fileName();
            ShowMessage(Owner(), text);
            break;
        }
        case ImportOutcome::Cancelled:
            ShowMessage(Owner(), QStringLiteral("Canceled by User"));
            break;
        case ImportOutcome::Killed:
            ShowMessage(Owner(), QStringLiteral("Interrupted by force"));
            break;
        default:
            break;
    }
}

void TImportCommands::mnuSetScriptClick() {
    filer_.Clear();
    filer_.ListFolder(ToNativePath(ScriptFolder()), ".hsc");
    if (filer_.Count() == 0) {
        ShowMessage(Owner(), QStringLiteral("*.hsc") + QStringLiteral(" files missing"));
        return;
    }
    QStringList names;
    for (const TMyFiler::Entry& entry : filer_.Entries())
        names << QFileInfo(FromNativePath(entry.path)).fileName();
    TSelectForm form(Owner());
    form.setWindowTitle(QStringLiteral("Select Script"));
    form.SetItems(names);
    form.SelectItem(settings_.RecentScript);
    if (Dialogs().Exec(form) != QDialog::Accepted)
        return;
    const QString chosen = form.SelectedItem();
    if (chosen.isEmpty())
        return;
    settings_.RecentScript = chosen;
    window_.ImportSettingsChanged();
}

bool TImportCommands::CanDeleteBak() const {
    return TMyFiler::AnyFileWith(ToNativePath(settings_.CurDir), ".bak");
}

bool TImportCommands::CanDeleteErr() const {
    return TMyFiler::AnyFileWith(ToNativePath(settings_.CurDir), ".err");
}

void TImportCommands::DeleteFilesWith(const char* extension) {
    TMyFiler files;
    files.ListFolder(ToNativePath(settings_.CurDir), extension);
    // To the desktop trash, without a question: the user can take them back from there.
    // A file the trash does not take stays where it is.
    for (const TMyFiler::Entry& entry : files.Entries())
        QFile::moveToTrash(FromNativePath(entry.path));
}

void TImportCommands::mnuDelBakClick() {
    DeleteFilesWith(".bak");
}

void TImportCommands::mnuDelErrClick() {
    DeleteFilesWith(".err");
}

bool TImportCommands::CanViewError() {
    if (lastErrorFile_.isEmpty())
        return false;
    if (!QFileInfo::exists(lastErrorFile_)) {
        lastErrorFile_.clear();
        lastErrorLine_ = 0;
        return false;
    }
    return !settings_.EditorName.isEmpty();
}

void TImportCommands::mnuViewErrorClick() {
    if (lastErrorFile_.isEmpty())
        return;
    const QFileInfo file(lastErrorFile_);
    const QString editor =
        settings_.EditorName.isEmpty() ? TSettings::DefaultEditor() : settings_.EditorName;
    // The editor gets the file's name and starts in its folder (the import folder, unless
    // the folder changed since).
    if (!QProcess::startDetached(editor, {file.fileName()}, file.absolutePath()))
        ShowMessage(Owner(),
                    QStringLiteral("[Error] Can't execute ") + QStringLiteral(" ") + editor);
}
