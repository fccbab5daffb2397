#include "shell/ToolButton.h"

#include <QToolBar>
#include <QToolButton>

QToolButton* AddToolButton(QToolBar* bar, const char* name, const QString& text,
                           const QString& hint) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    const qsizetype barAt = hint.indexOf(QLatin1Char('|'));
    const QString shortHint = barAt < 0 ? hint : hint.left(barAt);
    button->setToolTip(shortHint);
    button->setAccessibleName(shortHint);
    button->setStatusTip(barAt < 0 ? hint : hint.mid(barAt + 1));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(button);
    return button;
}
