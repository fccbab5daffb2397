#pragma once

#include <QApplication>
#include <QString>
#include <exception>

// The program's application object. It adds the general report of unhandled errors: an
// exception that escapes a command (any event handler or slot run from the event loop) is
// shown as a message box with its text, and the program goes on running. Commands catch
// the failures they expect themselves; this is the net under them, so that a damaged file
// or exhausted memory in one command never ends the program and loses the user's work.
class TApplication : public QApplication {
    Q_OBJECT

  public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the report of the exception in flight (call from a catch block) through the
    // dialogs interface. GUI thread only.
    static void ReportUnhandledError(std::exception_ptr error);

    // The text the report shows for an exception: an engine error's message (cp932),
    // a script error's stop line, "Out of memory", or any other exception's text.
    static QString UnhandledErrorText(std::exception_ptr error);
};
