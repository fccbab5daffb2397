#pragma once

// Shared set-up of the Qt tests: settings kept in a private folder, and the check that a
// test left no window open.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

namespace apptest {

// Points QSettings("Korvath", "Brevilo") into folder for the settings objects made from
// now on.
inline void RedirectSettings(const QString& folder) {
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

// The names of the top-level windows still shown.
inline QStringList VisibleTopLevels() {
    QStringList names;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            names << QString::fromLatin1(widget->metaObject()->className()) + "/" +
                         widget->objectName();
    return names;
}

// Chooses a menu item as a user would: its menu opens (which computes the enabling), then
// the item runs if it is enabled. False when it was disabled.
inline bool ChooseMenuItem(QWidget& window, const char* name) {
    QAction* action = window.findChild<QAction*>(QString::fromLatin1(name));
    if (!action)
        return false;
    for (QObject* owner : action->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(owner)) {
            emit menu->aboutToShow();
            break;
        }
    if (!action->isEnabled())
        return false;
    action->trigger();
    return true;
}

}  // namespace apptest

#define APPTEST_VERIFY_NO_WINDOWS() QCOMPARE(apptest::VisibleTopLevels(), QStringList())
