#pragma once

#include <QColor>
#include <QFont>
#include <QMainWindow>
#include <QString>
#include <memory>

#include "shell/TMainContext.h"
#include "shell/TSettings.h"

class QLabel;
class QTabWidget;
class QTimer;
class TCommands;
class TDatabaseCommands;
class TToolsCommands;
class TDMod;
class TImportWiring;
class TLogPage;
class TRecordViewWidget;
class TSearchCommands;
class TSearchPage;
class TScriptCommands;
class TSelectForm;
class TTransferCommands;

// Where the program keeps its own files; tests point it elsewhere.
struct TAppEnv {
    // The user's data folder: the database folder when the folder question is cancelled,
    // and the script folder below it ("scripts"). Empty = QStandardPaths::AppDataLocation.
    QString dataFolder;
};

// The frame of the main window: the two pages, the menus' routing (shell/TCommands.h),
// the title, the status panels, the settings and the close query. The record view, the
// pages' tool bars and the commands are their own classes (view/, log/, search/,
// database/), each given a TMainContext. The table, log and flag state lives in the data
// module; the frame keeps no copy. GUI thread only. The data module is created before the
// window and outlives it.
class TMainfrm : public QMainWindow {
    Q_OBJECT

  public:
    TMainfrm(TDMod& dmod, const TAppEnv& env, QWidget* parent = nullptr);
    ~TMainfrm() override;

    // Pages of PageControl1.
    enum Page { LogPage = 0, SearchPage = 1 };

    const TSettings& Settings() const { return settings_; }
    TSettings& Settings() { return settings_; }
    const QString& DataFolder() const { return dataFolder_; }
    // The user's script folder (script/TScriptFolder.h): scripts are listed, loaded and
    // saved there, and "RecentScript" names a file in it.
    const QString& ScriptFolder() const { return scriptFolder_; }

    // The extension of the item chosen in the extension box (".eml", ".nws", ".htm",
    // ".txt " - the trailing blank of the last item is kept).
    QString ImportExtension() const;

    // The article font and its colour (the font dialog and the settings set them).
    const QFont& ArticleFont() const { return articleFont_; }
    const QColor& ArticleColor() const { return articleColor_; }
    const QFont& ScriptFont() const { return scriptFont_; }
    const QColor& ScriptColor() const { return scriptColor_; }
    // The script test window changed the shared script font.
    void SetScriptFont(const QFont& font, const QColor& color);

    // Pixel widths of 52 spaces and of the 52 letters "A".."Z" "a".."z" in the article
    // font, as measured in the article editor; the HTML engine's blank maker reads them.
    int SpacesWidth() const { return spacesWidth_; }
    int LettersWidth() const { return lettersWidth_; }

    // Text of status panel 0, 1 or 2.
    QString StatusPanelText(int panel) const;
    // The data-folder text of status panel 1: "CurDir" shortened to the panel.
    const QString& FolderStatusText() const { return folderStatusText_; }

    // Shows a short confirmation in status panel 1; with forThreeSeconds the data-folder
    // text comes back after three seconds (Timer1), otherwise at the next refresh.
    void ShowStatusText(const QString& text, bool forThreeSeconds);
    // Recomputes the data-folder text from "CurDir" and the width of panel 1, and shows it.
    void RefreshFolderStatus();
    // Shows the current script ("RecentScript") in status panel 2.
    void ShowCurrentScript();
    // Rebuilds the window title from the folder, the current table and the log name.
    void UpdateTitle();
    // Applies the article font to the record view and the boxes that follow it, measures
    // the two widths and hands them to the HTML engine.
    void ApplyArticleFont();

    // The state as the data module keeps it, in the window's terms.
    QString DatabaseFolder() const;
    QString CurrentTable() const;
    QString CurrentLog() const;
    bool NoTable() const;
    bool LogInUse() const;
    bool MultiSelect() const;
    Page ActivePage() const;
    // Whether the deferred start-up has run.
    bool Started() const { return started_; }

    // Binds the record view to the page's record set.
    void BindView(Page page);
    // Makes page the active page, with the page-change handling.
    void ShowPage(Page page);
    // Enables and disables the tool-bar buttons by the view state.
    void UpdateButtonState();
    // Reads the bound record set again after the store changed it.
    void RefreshView();
    // Writes status panel 0 from the bound record set.
    void UpdateCounter();
    // The idle log state: *log in use* cleared, the bookmark and keyword items disabled,
    // the extension box enabled, the keyword box cleared.
    void EnterIdleLogState();
    // Offers to save the search result's pending edits (Yes saves them).
    void PendingChangesPrompt();

    TMainContext& Context() { return *context_; }
    TCommands& Commands() { return *commands_; }
    TRecordViewWidget& View() { return *view_; }
    TLogPage& LogRecordsPage() { return *logPage_; }
    TSearchPage& SearchRecordsPage() { return *searchPage_; }
    TDatabaseCommands& DatabaseCommands() { return *databaseCommands_; }
    TToolsCommands& ToolsCommands() { return *toolsCommands_; }
    TImportWiring& Import() { return *importWiring_; }
    TSearchCommands& SearchCommands() { return *searchCommands_; }
    TTransferCommands& TransferCommands() { return *transferCommands_; }
    TScriptCommands& ScriptCommands() { return *scriptCommands_; }
    // The table chooser that lives for the whole run.
    TSelectForm& SelectForm() { return *SelectForm_; }

  signals:
    // The deferred start-up is done: a table is open (or the user declined one).
    void startupFinished();

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateStatusBar();
    void RouteFrameCommands();
    void LoadSettings();
    void SaveSettings();
    void CentreOnWorkArea();
    void StatusBarResized();
    void Timer1Timer();
    void DeferredStartup();
    bool OpenDatabaseFolder(const QString& folder);
    void PageControl1Change(int index);
    void mnuFontClick();
    void mnuEditorClick();
    void mnuDecodeCharsetsClick();
    void mnuTopicsClick();
    void mnuAboutClick();

    TDMod& dmod_;
    bool startPosted_ = false;
    bool started_ = false;

    TSettings settings_;
    QString dataFolder_;
    QString scriptFolder_;
    bool settingsSaved_ = false;

    QFont articleFont_;
    QColor articleColor_;
    QFont scriptFont_;
    QColor scriptColor_;
    int spacesWidth_ = 0;
    int lettersWidth_ = 0;
    QString folderStatusText_;

    TCommands* commands_ = nullptr;
    TRecordViewWidget* view_ = nullptr;
    std::unique_ptr<TMainContext> context_;
    QTabWidget* PageControl1_ = nullptr;
    TLogPage* logPage_ = nullptr;
    TSearchPage* searchPage_ = nullptr;
    TDatabaseCommands* databaseCommands_ = nullptr;
    TToolsCommands* toolsCommands_ = nullptr;
    TImportWiring* importWiring_ = nullptr;
    TSearchCommands* searchCommands_ = nullptr;
    TTransferCommands* transferCommands_ = nullptr;
    TScriptCommands* scriptCommands_ = nullptr;

    // Status bar panels and the confirmation timer.
    QLabel* panels_[3] = {};
    QTimer* Timer1_ = nullptr;

    // Dialogs that live for the whole run.
    TSelectForm* SelectForm_ = nullptr;
};
