#include "shell/TMainfrm.h"

TMainfrm::TMainfrm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("Mainfrm");
    setWindowTitle("Brevilo");
    setMinimumSize(555, 555);
}
