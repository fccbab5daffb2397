#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

#include "import/IImportWindow.h"

struct TMainContext;
class TImportCommands;
class TOECommands;

// Puts the import and Outlook Express commands into the main window: the Import button of
// the log page, dropped files, "&Select Script...", "&Delete bak files", "Delete &err
// file", "&View Error", "I&mport Dbx Files..." and "Change &OE User...", and the window's
// side of an import (IImportWindow). Constructed once by the frame, after the settings
// are loaded: it resolves the Outlook Express store then. GUI thread only.
class TImportWiring : public QObject, public IImportWindow {
    Q_OBJECT

  public:
    // `registryPath`: the Wine user.reg for the identities (empty: the user's own).
    explicit TImportWiring(const TMainContext& context, std::string registryPath = {});
    ~TImportWiring() override;

    // Files dropped on the main window.
    void FilesDropped(const QStringList& paths);

    TImportCommands& Imports() { return *imports_; }
    TOECommands& OE() { return *oe_; }

    // IImportWindow
    QWidget* Owner() override;
    bool LogInUse() const override;
    void ShowLogPage() override;
    void ImportStarting() override;
    void ImportEnded() override;
    void ImportSettingsChanged() override;

  private:
    const TMainContext& context_;
    std::unique_ptr<TImportCommands> imports_;
    std::unique_ptr<TOECommands> oe_;
    bool frozen_ = false;
};
