#pragma once

class QWidget;

// What the import commands need of the main window. GUI thread only.
class IImportWindow {
  public:
    virtual ~IImportWindow() = default;

    // Owner of the progress window and of the messages.
    virtual QWidget* Owner() = 0;
    // The log holds records of an earlier import, or a log database is open.
    virtual bool LogInUse() const = 0;
    // The log page becomes the active page, with the page-change handling.
    virtual void ShowLogPage() = 0;
    // Before the run: the data-aware controls of the log view are detached, and the log is
    // ordered by import order (its menu item checked).
    virtual void ImportStarting() = 0;
    // After the run: the controls are attached again and show the log as the run left it;
    // when it holds records, the first is current and the log is in use (the Import
    // button and the extension box are disabled).
    virtual void ImportEnded() = 0;
    // The import folder ("CurDir") or the current script changed: the status bar follows.
    virtual void ImportSettingsChanged() = 0;
};
