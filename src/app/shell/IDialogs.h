#pragma once

#include <QColor>
#include <QFont>
#include <QMessageBox>
#include <QString>
#include <optional>

class QDialog;
class QWidget;

// Every modal question, message, input box, folder browser, file dialog, font dialog and
// chooser of the program goes through this one interface, so a test can answer them
// without a person at the screen. Calls come from the GUI thread only.
//
// The process uses the Qt implementation unless SetDialogs() installed another one; the
// installed object is not owned and must outlive its use.
class IDialogs {
  public:
    virtual ~IDialogs() = default;

    // A message box; returns the button pressed (the escape button when it was closed).
    virtual QMessageBox::StandardButton Message(QWidget* parent, const QString& text,
                                                const QString& caption, QMessageBox::Icon icon,
                                                QMessageBox::StandardButtons buttons) = 0;

    // A one-line input box; nothing when cancelled.
    virtual std::optional<QString> InputText(QWidget* parent, const QString& title,
                                             const QString& prompt, const QString& value) = 0;

    // A folder browser starting at startFolder; nothing when cancelled.
    virtual std::optional<QString> BrowseFolder(QWidget* parent, const QString& title,
                                                const QString& startFolder) = 0;

    // File dialogs. filter is in Qt's form ("Text files (*.txt);;All files (*)").
    virtual std::optional<QString> OpenFile(QWidget* parent, const QString& title,
                                            const QString& folder, const QString& filter) = 0;
    virtual std::optional<QString> SaveFile(QWidget* parent, const QString& title,
                                            const QString& folder, const QString& filter,
                                            const QString& defaultSuffix) = 0;

    struct FontChoice {
        QFont font;
        QColor color;
    };
    // The font dialog preset with font and color; nothing when cancelled.
    virtual std::optional<FontChoice> ChooseFont(QWidget* parent, const QFont& font,
                                                 const QColor& color) = 0;

    // Runs one of the program's own modal windows (a chooser, a settings form) and
    // returns its result code (QDialog::Accepted or Rejected).
    virtual int Exec(QDialog& dialog) = 0;
};

// The dialogs in use.
IDialogs& Dialogs();

// Installs dialogs (not owned); nullptr brings back the Qt implementation.
void SetDialogs(IDialogs* dialogs);

// The plain message box with OK only and the application's name as caption.
void ShowMessage(QWidget* parent, const QString& text);
