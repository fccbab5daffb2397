#pragma once

#include <QDialog>

// "About Brevilo": name, version and purpose of the program.
class TAboutBox : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutBox(QWidget* parent = nullptr);
};
