#include "shell/TApplication.h"

#include <new>

#include "controls/Cp932Text.h"
#include "script/EScriptError.h"
#include "shell/IDialogs.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportUnhandledError(std::current_exception());
        return false;
    }
}

void TApplication::ReportUnhandledError(std::exception_ptr error) {
    // The report must not throw out of the event loop itself: a failure to show it (memory
    // still exhausted) is dropped rather than ending the program.
    try {
        Dialogs().Message(QApplication::activeWindow(), UnhandledErrorText(error),
                          QApplication::applicationName(), QMessageBox::Critical, QMessageBox::Ok);
    } catch (...) {
    }
}

QString TApplication::UnhandledErrorText(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const EScriptError& e) {
        return QStringLiteral("[Script Error] Stopped at line: ") + QString::number(e.Line());
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        // Engine messages are cp932 byte strings; the library's own are ASCII, which reads
        // the same in cp932.
        return FromCp932(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}
