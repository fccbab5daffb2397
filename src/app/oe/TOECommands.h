#pragma once

#include <QObject>
#include <string>

class IImportWindow;
class TDbxForm;
class TDMod;
class TImportCommands;
class TSettings;
class TWineRegistry;

// The Outlook Express commands of the main window: the store resolution at start-up,
// "Change &OE User..." (Options menu) and "I&mport Dbx Files..." (File menu). The settings
// it keeps are "OEStoreRoot" (a Linux path) and "Username". GUI thread only.
class TOECommands : public QObject {
    Q_OBJECT

  public:
    // `registryPath` is the Wine user.reg to read the identities from (empty: the default
    // one of the user); `imports` runs the .dbx import.
    TOECommands(TDMod& dmod, TSettings& settings, IImportWindow& window, TImportCommands& imports,
                std::string registryPath = {}, QObject* parent = nullptr);
    ~TOECommands() override;

    // The start-up step: finds the store of the default identity (or of the installation
    // without identities) and counts the identities.
    void ResolveStore();
    int IdentityCount() const { return identityCount_; }

    // "Change &OE User...": enabled with more than one identity.
    bool CanChangeOEUser() const { return identityCount_ > 1; }
    void mnuChangeOEUserClick();

    // "I&mport Dbx Files...": enabled when the log is empty and a store is known.
    bool CanImportDbx() const;
    void mnudbxImportClick();

    TDbxForm& DbxForm() { return *dbxForm_; }

  private:
    TWineRegistry LoadRegistry() const;

    TDMod& dmod_;
    TSettings& settings_;
    IImportWindow& window_;
    TImportCommands& imports_;
    std::string registryPath_;
    int identityCount_ = 0;
    TDbxForm* dbxForm_ = nullptr;
};
