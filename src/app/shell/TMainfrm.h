#pragma once

#include <QMainWindow>

// The one main window.
class TMainfrm : public QMainWindow {
    Q_OBJECT

  public:
    explicit TMainfrm(QWidget* parent = nullptr);
};
