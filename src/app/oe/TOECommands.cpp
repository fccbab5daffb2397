#include "oe/TOECommands.h"

#include <QFileInfo>
#include <QStringList>

#include "controls/Cp932Text.h"
#include "controls/NativePath.h"
#include "import/IImportWindow.h"
#include "import/TImportCommands.h"
#include "oe/StorePath.h"
#include "oe/TDbxForm.h"
#include "oe/TOE5_FolderInfo.h"
#include "oe/TOEIdentities.h"
#include "oe/TWineRegistry.h"
#include "shell/IDialogs.h"
#include "shell/TSelectForm.h"
#include "shell/TSettings.h"
#include "store/TDMod.h"

TOECommands::TOECommands(TDMod& dmod, TSettings& settings, IImportWindow& window,
                         TImportCommands& imports, std::string registryPath, QObject* parent)
    : QObject(parent),
      dmod_(dmod),
      settings_(settings),
      window_(window),
      imports_(imports),
      registryPath_(std::move(registryPath)) {
    dbxForm_ = new TDbxForm(window_.Owner());
}

TOECommands::~TOECommands() = default;

TWineRegistry TOECommands::LoadRegistry() const {
    return TWineRegistry::Load(registryPath_.empty() ? TWineRegistry::DefaultPath()
                                                     : registryPath_);
}

void TOECommands::ResolveStore() {
    const TWineRegistry registry = LoadRegistry();
    std::string root = ToNativePath(settings_.OEStoreRoot);
    std::string user = ToCp932(settings_.Username);
    identityCount_ = TOEIdentities(registry).ResolveStore(root, user);
    settings_.OEStoreRoot = FromNativePath(root);
    settings_.Username = FromCp932(user);
}

void TOECommands::mnuChangeOEUserClick() {
    const TWineRegistry registry = LoadRegistry();
    const std::vector<TOEUser> users = TOEIdentities(registry).Users();
    QStringList names;
    for (const TOEUser& user : users)
        names << FromCp932(user.Username);
    TSelectForm form(window_.Owner());
    form.setWindowTitle(QStringLiteral("Select User"));
    form.SetItems(names);
    form.SelectItem(settings_.Username);
    if (Dialogs().Exec(form) != QDialog::Accepted)
        return;
    const QString chosen = form.SelectedItem();
    for (const TOEUser& user : users) {
        if (!chosen.isEmpty() && FromCp932(user.Username) == chosen) {
            settings_.Username = chosen;
            settings_.OEStoreRoot = FromNativePath(user.StoreRoot);
            return;
        }
    }
}

bool TOECommands::CanImportDbx() const {
    if (settings_.OEStoreRoot.isEmpty() || !dmod_.IsFolderOpen())
        return false;
    try {
        return dmod_.Log().TableCount() == 0;
    } catch (const std::exception&) {
        return false;
    }
}

void TOECommands::mnudbxImportClick() {
    const std::string root = ToNativePath(settings_.OEStoreRoot);
    if (root.empty() ||
        !QFileInfo(FromNativePath(storepath::StoreFilePath(root, TOE5_FolderInfo::kFolderListFile)))
             .isFile()) {
        Dialogs().Message(window_.Owner(), QStringLiteral("Folders.dbx file not found"),
                          QStringLiteral("Warning"), QMessageBox::Critical, QMessageBox::Ok);
        settings_.OEStoreRoot.clear();
        return;
    }

    // A damaged Folders.dbx is not this command's to explain: its error goes to the
    // application's report of unhandled errors, and nothing is imported.
    TOE5_FolderInfo info;
    info.LoadFolders(root);
    std::vector<std::string> names;
    info.FolderNames(names);
    if (names.empty()) {
        Dialogs().Message(window_.Owner(), QStringLiteral("All folders have no unread messages"),
                          QStringLiteral("Warning"), QMessageBox::Information, QMessageBox::Ok);
        return;
    }

    dbxForm_->setWindowTitle(QStringLiteral("Select OE Folder"));
    dbxForm_->SetItems(names);
    dbxForm_->PutCheckMarks();
    if (Dialogs().Exec(*dbxForm_) != QDialog::Accepted)
        return;
    const int index = dbxForm_->SelectedIndex();
    if (index < 0 || index >= static_cast<int>(names.size()))
        return;
    const std::string& display = names[static_cast<std::size_t>(index)];
    const std::string path = storepath::StoreFilePath(root, info.FolderMap().at(display));
    const int count = info.UnreadMap().at(display);
    if (!QFileInfo(FromNativePath(path)).isFile())
        return;

    TMyFiler& filer = imports_.Filer();
    filer.Clear();
    filer.AddTagged(path, count);
    window_.ShowLogPage();
    imports_.StartImport();
    dbxForm_->MarkImported(index);

    long long rows = 0;
    try {
        rows = dmod_.Log().TableCount();
    } catch (const std::exception&) {
        rows = 0;
    }
    if (rows == 0)
        Dialogs().Message(window_.Owner(), QStringLiteral("No downloaded messages"),
                          QStringLiteral("Warning"), QMessageBox::Warning, QMessageBox::Ok);
}
