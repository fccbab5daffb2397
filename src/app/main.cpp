#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <exception>

#include "import/TImportWiring.h"
#include "shell/IDialogs.h"
#include "shell/TApplication.h"
#include "shell/TMainfrm.h"
#include "shell/TSingleInstance.h"
#include "shell/TSplashScreen.h"
#include "store/TDMod.h"

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brevilo"));
    QApplication::setOrganizationName(QStringLiteral("Korvath"));
    QApplication::setApplicationVersion(QStringLiteral(BREVILO_VERSION));

    TSingleInstance instance(TSingleInstance::DefaultLockPath());
    if (!instance.AcquireOrTell(Dialogs()))
        return 1;

    try {
        TSplashScreen splash;
        splash.ShowNow();

        // The data module first: the window opens the last database folder while it is
        // built. It outlives the window and deletes the temporary tables when it goes.
        TDMod dmod;
        TMainfrm window(dmod, TAppEnv{});
        splash.close();
        // BREVILO_STARTUP_TRACE=1 reports on standard error how long the start took, up to
        // the first paint after the table was opened.
        if (qEnvironmentVariableIsSet("BREVILO_STARTUP_TRACE")) {
            QTimer::singleShot(0, &window, [&] {
                std::fprintf(stderr, "brevilo: window on screen after %lld ms\n",
                             static_cast<long long>(sinceStart.elapsed()));
            });
            QObject::connect(&window, &TMainfrm::startupFinished, &window, [&] {
                QTimer::singleShot(0, &window, [&] {
                    std::fprintf(stderr, "brevilo: window with the table after %lld ms\n",
                                 static_cast<long long>(sinceStart.elapsed()));
                });
            });
        }
        // Files named on the command line (the desktop's "Open with") are imported as if
        // they were dropped on the window, once the start-up has opened a table.
        QStringList files = QApplication::arguments().mid(1);
        if (!files.isEmpty()) {
            for (QString& file : files)
                file = QFileInfo(file).absoluteFilePath();
            QObject::connect(&window, &TMainfrm::startupFinished, &window, [&window, files] {
                QTimer::singleShot(0, &window,
                                   [&window, files] { window.Import().FilesDropped(files); });
            });
        }
        window.show();
        return QApplication::exec();
    } catch (...) {
        // Only a failure while the window is being built ends up here; the event loop's
        // failures are reported by TApplication and the program goes on.
        TApplication::ReportUnhandledError(std::current_exception());
        return 1;
    }
}
