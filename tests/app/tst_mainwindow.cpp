#include <QtTest>

#include "shell/TMainfrm.h"

class TestMainWindow : public QObject {
    Q_OBJECT

  private slots:
    void startsAndClosesCleanly() {
        TMainfrm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Brevilo"));
        QVERIFY(window.close());
        QTRY_VERIFY(!window.isVisible());
    }

    void keepsItsMinimumSize() {
        TMainfrm window;
        window.show();
        window.resize(100, 100);
        QVERIFY(window.width() >= 555);
        QVERIFY(window.height() >= 555);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
