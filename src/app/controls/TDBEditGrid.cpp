#include "controls/TDBEditGrid.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QWheelEvent>

TDBEditGrid::TDBEditGrid(QWidget* parent) : QTableView(parent) {
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

void TDBEditGrid::ReplayLastRightPress() {
    if (lastRightPress_.x() < 0)
        return;
    const QPointF pos(lastRightPress_);
    QMouseEvent press(QEvent::MouseButtonPress, pos, viewport()->mapToGlobal(pos), Qt::LeftButton,
                      Qt::LeftButton, lastRightModifiers_);
    QTableView::mousePressEvent(&press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, viewport()->mapToGlobal(pos),
                        Qt::LeftButton, Qt::NoButton, lastRightModifiers_);
    QTableView::mouseReleaseEvent(&release);
}

void TDBEditGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        lastRightPress_ = event->position().toPoint();
        lastRightModifiers_ = event->modifiers();
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TDBEditGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void TDBEditGrid::wheelEvent(QWheelEvent* event) {
    event->accept();
}

void TDBEditGrid::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuRequested(event->globalPos());
    event->accept();
}
