#pragma once

#include <QWidget>

// The start-up picture: a borderless, stay-on-top, screen-centred window in the shape of
// its picture (a rounded plate), shown while the data module and the windows are built.
class TSplashScreen : public QWidget {
    Q_OBJECT

  public:
    explicit TSplashScreen(QWidget* parent = nullptr);

    // Shows the window and paints it at once, before the event loop runs.
    void ShowNow();

  protected:
    void paintEvent(QPaintEvent* event) override;
};
