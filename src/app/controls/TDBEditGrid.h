#pragma once

#include <QPoint>
#include <QTableView>

// The record grid. Two rules keep the current row where the user put it:
// - a right-button press never moves the current row or the selection; its position is
//   kept for the grid's context menu (and for switching multi-select on, which selects
//   the row under that press);
// - the mouse wheel over the rows is swallowed (it neither scrolls nor moves the row);
//   the scroll bar itself still scrolls.
class TDBEditGrid : public QTableView {
    Q_OBJECT

  public:
    explicit TDBEditGrid(QWidget* parent = nullptr);

    // Viewport position of the last right-button press; (-1, -1) before the first one.
    QPoint LastRightPress() const { return lastRightPress_; }
    Qt::KeyboardModifiers LastRightPressModifiers() const { return lastRightModifiers_; }

    // Presses the left button again where the last right press was, so the row under it
    // becomes current (and selected when rows can be multi-selected).
    void ReplayLastRightPress();

    // Whether a cell editor is open.
    bool CellEditing() const { return state() == QAbstractItemView::EditingState; }

  signals:
    // The context menu is asked for at globalPos.
    void contextMenuRequested(const QPoint& globalPos);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QPoint lastRightPress_{-1, -1};
    Qt::KeyboardModifiers lastRightModifiers_ = Qt::NoModifier;
};
