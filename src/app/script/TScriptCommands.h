#pragma once

#include <QObject>
#include <QPointer>

#include "script/TScriptForm.h"

class TMyFiler;
struct TMainContext;

// The Script menu's "&Test Script..." (mnuTestScript): opens the one script test window
// and keeps the main window's reference to it. Lives as long as the main window.
class TScriptCommands : public QObject {
    Q_OBJECT

  public:
    explicit TScriptCommands(TMainContext& context);

    // The import's file list, which remembers the last failed file; the window opens on a
    // failed web page. Not owned; nullptr (the default) while no import host gave one.
    void SetImportFiler(TMyFiler* filer) { filer_ = filer; }

    void mnuTestScriptClick();

    // The window, or nullptr when it is not open.
    TScriptForm* Form() const { return form_; }

    // The main window closes: a running test is stopped and the window closed (after its
    // modified prompt; a stopped test first reaches its next line).
    void CloseForm();

  private:
    TMainContext& context_;
    TMyFiler* filer_ = nullptr;
    QPointer<TScriptForm> form_;
};
