#include "controls/TEllipsisLabel.h"

#include <QFontMetrics>
#include <QResizeEvent>

TEllipsisLabel::TEllipsisLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setMinimumWidth(40);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void TEllipsisLabel::SetPath(const QString& path) {
    if (path == path_)
        return;
    path_ = path;
    setToolTip(path);
    setAccessibleName(path);
    Elide();
}

void TEllipsisLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void TEllipsisLabel::Elide() {
    setText(fontMetrics().elidedText(path_, Qt::ElideMiddle, qMax(0, contentsRect().width())));
}
