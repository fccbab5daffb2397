#pragma once

#include <QString>

class QToolBar;
class QToolButton;

// A tool-bar button with a two-part hint ("short|long"): the short part is the tool tip
// and the accessible name, the long part goes to the status bar.
QToolButton* AddToolButton(QToolBar* bar, const char* name, const QString& text,
                           const QString& hint);
