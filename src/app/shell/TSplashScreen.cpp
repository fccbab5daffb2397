#include "shell/TSplashScreen.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>

namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 180;
constexpr int kRadius = 36;

QPainterPath PlatePath() {
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, kWidth, kHeight), kRadius, kRadius);
    return path;
}

}  // namespace

TSplashScreen::TSplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SplashScreen"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kWidth, kHeight);
    setMask(QRegion(PlatePath().toFillPolygon().toPolygon()));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    }
}

void TSplashScreen::ShowNow() {
    show();
    raise();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TSplashScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, kHeight);
    gradient.setColorAt(0, QColor(0x1f, 0x3a, 0x6e));
    gradient.setColorAt(1, QColor(0x0b, 0x17, 0x33));
    painter.fillPath(PlatePath(), gradient);

    QFont title = font();
    title.setPointSize(30);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 30, kWidth, 70), Qt::AlignCenter, QStringLiteral("Brevilo"));

    QFont line = font();
    line.setPointSize(10);
    painter.setFont(line);
    painter.setPen(QColor(0xc8, 0xd8, 0xff));
    painter.drawText(QRect(0, 100, kWidth, 24), Qt::AlignCenter,
                     QStringLiteral("Archive for Internet text"));
    painter.drawText(QRect(0, 130, kWidth, 24), Qt::AlignCenter,
                     QStringLiteral("Version ") + QStringLiteral(BREVILO_VERSION));
}
