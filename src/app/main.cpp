#include <QApplication>

#include "shell/TMainfrm.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Brevilo");
    QApplication::setOrganizationName("Korvath");
    TMainfrm window;
    window.show();
    return QApplication::exec();
}
