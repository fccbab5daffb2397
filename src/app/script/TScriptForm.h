#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QEventLoop;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QToolButton;
class TFindDialog;
class TTestParser;

// What the main window hands the script test window when it creates it.
struct TScriptFormSetup {
    // The user's script folder (scriptfolder::DefaultPath() in the program).
    QString scriptFolder;
    // The editor setting: the program "Open editor" starts.
    QString editor;
    // ComboBox1, Label1 and reOutput take its face name.
    QFont articleFont;
    // The shared script font; a change through "&Font..." is reported by scriptFontChanged.
    QFont scriptFont;
    QColor scriptColor;
    // Today's short date for "#D"; empty = script::TodayShortDate() at each test.
    std::string today;
};

// "Test Script": edits one script of the script folder, runs it over an HTML page on a
// worker thread (TTestParser) and shows what every line did. Nothing is stored.
//
// Modeless, one at a time, a window of its own (own taskbar entry); it deletes itself
// when closed. GUI thread only. While a test runs, everything that could start a second
// test, change the script or close the window is disabled, and closing is refused; the
// window waits for the worker in a local event loop inside sbTestClick, so it is never
// destroyed while the worker may still call into it.
class TScriptForm : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kMaxOutputChars = 256000;
    static constexpr const char* kNewScriptName = "Script1.hsc";

    explicit TScriptForm(const TScriptFormSetup& setup);
    ~TScriptForm() override;

    // The "&Test Script..." command. Brings the existing window (`form`) to the front,
    // or creates and shows it: with the current script selected and the page dialog in
    // `importFolder`. When the last import failed on a web page (`failedExtension` ".htm"
    // or ".html") and its ".err" file `errorFile` is still there, the window opens on that
    // page with `errorLine` selected; otherwise `errorFile` is cleared (the caller forgets
    // it) and the window offers the script's sample page, if it has one.
    static TScriptForm* Open(QPointer<TScriptForm>& form, const TScriptFormSetup& setup,
                             const QString& currentScript, const QString& importFolder,
                             QString& errorFile, const QString& failedExtension, int errorLine);

    // Loads the named script of the script folder into the editor (see the .cpp).
    void SelectScript(const QString& name);
    // The page to test on, and the line to select after the next test (0 for none).
    void SetPage(const QString& path);
    void SetPageFolder(const QString& folder) { pageFolder_ = folder; }
    void SetErrorLine(int line);

    const QString& ScriptName() const { return scriptName_; }
    const QString& PagePath() const { return pagePath_; }
    const QString& PageFolder() const { return pageFolder_; }
    const QString& ScriptFolder() const { return scriptFolder_; }
    int ErrorLine() const { return errorLine_; }
    bool Testing() const { return testing_; }
    // The editor's lines as cp932 byte strings, as a test and Save take them.
    std::vector<std::string> ScriptLines() const;

    // Commands of the tool buttons, the script list and the find dialog.
    void sbHTMLFileOpenClick();
    void sbTestClick();
    void sbStopClick();
    void sbNewScriptClick();
    void sbSaveClick();
    void sbSaveAsClick();
    void sbEditorClick();
    void sbBrowserClick();
    void sbLocateClick();
    void ComboBox1Change(int index);
    void FindDialog1Find();
    void mnuScriptFontClick();

    TFindDialog* FindDialog() const { return findDialog_; }

  signals:
    // The shared script font was changed through "&Font...".
    void scriptFontChanged(const QFont& font, const QColor& color);
    // A test has ended and the window left test mode (tests wait for it).
    void testEnded();

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void ApplyScriptFont();
    void ShowPageLabel();
    void UpdateBrowserButton();
    void ClearOutput();
    void SetCaption(const QString& name);
    void ModifiedPrompt();
    bool LoadScript(const QString& path);
    bool WriteScript(const QString& path);
    void AddScriptEntry(const QString& name);
    void ShowError(const QString& text);
    void EnterTestMode();
    void LeaveTestMode();
    void ShowErrorLine();
    void OnProgress(const QByteArray& output, int percent);
    void OnFinish(const QByteArray& output, int errorLine, bool success);
    void AppendOutput(const QByteArray& output);
    void EditorContextMenu(const QPoint& pos);
    void ScriptEdited();

    QString scriptFolder_;
    QString editor_;
    QFont scriptFont_;
    QColor scriptColor_;
    std::string today_;

    QString scriptName_;
    QString pagePath_;
    QString pageFolder_;
    int errorLine_ = 0;
    bool testing_ = false;
    bool closePending_ = false;
    bool loading_ = false;
    bool rememberedSave_ = false;
    QPointer<TTestParser> worker_;
    // The output handed over so far (cp932). Only its tail is ever shown, so the start of
    // a very long output is dropped while it arrives.
    QByteArray output_;

    QComboBox* ComboBox1_ = nullptr;
    QPlainTextEdit* memScript_ = nullptr;
    QPlainTextEdit* reOutput_ = nullptr;
    QWidget* Panel1_ = nullptr;
    QLabel* Label1_ = nullptr;
    QProgressBar* ProgressBar1_ = nullptr;
    QToolButton* sbHTMLFileOpen_ = nullptr;
    QToolButton* sbTest_ = nullptr;
    QToolButton* sbStop_ = nullptr;
    QToolButton* sbNewScript_ = nullptr;
    QToolButton* sbSave_ = nullptr;
    QToolButton* sbSaveAs_ = nullptr;
    QToolButton* sbEditor_ = nullptr;
    QToolButton* sbBrowser_ = nullptr;
    QToolButton* sbLocate_ = nullptr;
    QToolButton* sbExit_ = nullptr;
    QMenu* popScript_ = nullptr;
    TFindDialog* findDialog_ = nullptr;
};
