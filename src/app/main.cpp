#include <QApplication>
#include <exception>

#include "shell/IDialogs.h"
#include "shell/TMainfrm.h"
#include "shell/TSingleInstance.h"
#include "shell/TSplashScreen.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brevilo"));
    QApplication::setOrganizationName(QStringLiteral("Korvath"));
    QApplication::setApplicationVersion(QStringLiteral(BREVILO_VERSION));

    TSingleInstance instance(TSingleInstance::DefaultLockPath());
    if (!instance.AcquireOrTell(Dialogs()))
        return 1;

    try {
        TSplashScreen splash;
        splash.ShowNow();

        TMainfrm window;
        splash.close();
        window.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        Dialogs().Message(nullptr, QString::fromLocal8Bit(e.what()), QStringLiteral("Brevilo"),
                          QMessageBox::Critical, QMessageBox::Ok);
        return 1;
    }
}
