#pragma once

#include <QColor>
#include <QFont>
#include <QMainWindow>
#include <QString>

#include "shell/TSettings.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolButton;
class TArticleGridModel;
class TDBEditGrid;
class TDMod;
class TDBNavigator;
class TSelectForm;

// Where the program finds its own files; tests point it elsewhere.
struct TAppEnv {
    // Folder of the program (scripts are kept there); empty = the executable's folder.
    QString programFolder;
};

// The one main window: the two pages with their tool bars, the record boxes, the article
// editor and the grid, the status bar, the menus, and the settings of the user. GUI thread
// only. The data module is created before the window and outlives it.
class TMainfrm : public QMainWindow {
    Q_OBJECT

  public:
    TMainfrm(TDMod& dmod, const TAppEnv& env, QWidget* parent = nullptr);
    ~TMainfrm() override;

    // Pages of PageControl1.
    enum Page { LogPage = 0, SearchPage = 1 };

    const TSettings& Settings() const { return settings_; }
    const QString& ProgramFolder() const { return programFolder_; }

    // The extension of the item chosen in the extension box (".eml", ".nws", ".htm",
    // ".txt " - the trailing blank of the last item is kept).
    QString ImportExtension() const;

    // The article font and its colour (the font dialog and the settings set them).
    const QFont& ArticleFont() const { return articleFont_; }
    const QColor& ArticleColor() const { return articleColor_; }
    const QFont& ScriptFont() const { return scriptFont_; }
    const QColor& ScriptColor() const { return scriptColor_; }

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

    // Rebuilds the window title from the folder, the current table and the log name.
    void UpdateTitle();

    // Applies the article font to the editor and the boxes that follow it, measures the
    // two widths and sets the 32 tab stops.
    void ApplyArticleFont();

    // State of the window.
    const QString& DatabaseFolder() const { return databaseFolder_; }
    const QString& CurrentTable() const { return currentTable_; }
    const QString& CurrentLog() const { return currentLog_; }
    bool NoTable() const { return noTable_; }
    bool LogInUse() const { return logInUse_; }
    bool MultiSelect() const { return multiSelect_; }
    Page ActivePage() const;
    // Whether the deferred start-up has run.
    bool Started() const { return started_; }

    // Binds the grid, the record boxes and the article view to the page's record set.
    void BindView(Page page);
    // Makes page the active page, with the page-change handling.
    void ShowPage(Page page);
    // Enables and disables the tool-bar buttons by the view state.
    void UpdateButtonState();
    // Reads the bound record set again after the store changed it.
    void RefreshView();

    // Menu commands.
    void mnuOpenDBClick();
    void mnuNewDBClick();
    void mnuOpenLogDBClick();
    void mnuCloseLogDBClick();
    void mnuFontClick();
    void mnuEditorClick();
    void mnuAboutClick();

  signals:
    // The deferred start-up is done: a table is open (or the user declined one).
    void startupFinished();

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // The user tables offered by Open Database and Open Log Database; empty (after the
    // "Database files missing" message) when there are none.
    QStringList UserTableNames();
    void CreateMenus();
    void CreatePages();
    void CreateRecordView();
    void CreateStatusBar();
    void LoadSettings();
    void SaveSettings();
    void CentreOnWorkArea();
    void StatusBarResized();
    void Timer1Timer();
    void DeferredStartup();
    bool OpenDatabaseFolder(const QString& folder);
    bool PendingChangesPrompt();
    void PageControl1Change(int index);
    void GridCurrentChanged(const QModelIndex& current);
    void ShowCurrentRecord();
    void UpdateCounter();
    void UpdateNavigators();
    void ApplyColumnWidths();
    void NavigatorClick(int button);
    void EnterIdleLogState();
    void mnuEditPopup();
    void ShowError(const QString& text);

    TDMod& dmod_;
    TArticleGridModel* gridModel_ = nullptr;
    bool startPosted_ = false;
    bool started_ = false;

    TSettings settings_;
    QString programFolder_;
    bool settingsSaved_ = false;

    QFont articleFont_;
    QColor articleColor_;
    QFont scriptFont_;
    QColor scriptColor_;
    int spacesWidth_ = 0;
    int lettersWidth_ = 0;

    QString folderStatusText_;
    QString databaseFolder_;
    QString currentTable_;
    QString currentLog_;
    bool noTable_ = true;
    bool logInUse_ = false;
    bool multiSelect_ = false;

    // Menus and their items, named as designed.
    QMenu* mnuFile_ = nullptr;
    QMenu* mnuEdit_ = nullptr;
    QMenu* mnuView_ = nullptr;
    QMenu* mnuKeyword_ = nullptr;
    QMenu* mnuTools_ = nullptr;
    QMenu* mnuScript_ = nullptr;
    QMenu* mnuOptions_ = nullptr;
    QMenu* mnuHelp_ = nullptr;
    QMenu* popGrid_ = nullptr;

    // Pages and tool bars.
    QTabWidget* PageControl1_ = nullptr;
    QComboBox* cbExtension_ = nullptr;
    QToolButton* sbImport_ = nullptr;
    QToolButton* sbFilter_ = nullptr;
    QToolButton* sbSubject_ = nullptr;
    QToolButton* sbDelSelect_ = nullptr;
    QToolButton* sbCopySelect_ = nullptr;
    QToolButton* sbMoveSelect_ = nullptr;
    TDBNavigator* navLog_ = nullptr;
    QToolButton* sbPost_ = nullptr;
    QLineEdit* edKeyword_ = nullptr;
    QToolButton* sbSearch_ = nullptr;
    QToolButton* sbMemory_ = nullptr;
    QToolButton* sbSrchDelSelect_ = nullptr;
    TDBNavigator* navSearch_ = nullptr;
    QToolButton* sbSave_ = nullptr;

    // The record view.
    QLineEdit* edDate_ = nullptr;
    QLineEdit* edGroup_ = nullptr;
    QLineEdit* edFrom_ = nullptr;
    QLineEdit* edSubject_ = nullptr;
    QPlainTextEdit* dreArticle_ = nullptr;
    QSplitter* Splitter1_ = nullptr;
    TDBEditGrid* dbgNews_ = nullptr;

    // Status bar panels and the confirmation timer.
    QLabel* panels_[3] = {};
    QTimer* Timer1_ = nullptr;

    // Dialogs that live for the whole run.
    TSelectForm* SelectForm_ = nullptr;
};
