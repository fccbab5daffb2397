#pragma once

// Shared set-up of the Qt tests: settings kept in a private folder, and the check that a
// test left no window open.

#include <QApplication>
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

}  // namespace apptest

#define APPTEST_VERIFY_NO_WINDOWS() QCOMPARE(apptest::VisibleTopLevels(), QStringList())
