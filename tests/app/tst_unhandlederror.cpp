#include <QAction>
#include <QMainWindow>
#include <QtTest>
#include <functional>
#include <new>

#include "AppTestSupport.h"
#include "ScriptedDialogs.h"
#include "base/EError.h"
#include "script/EScriptError.h"
#include "shell/TApplication.h"

// An exception escaping a command is reported with its text and the program goes on: the
// same window answers the next command.
class TestUnhandledError : public QObject {
    Q_OBJECT

  private slots:
    void commandFailureIsReportedAndTheWindowGoesOn_data() {
        QTest::addColumn<std::function<void()>>("fail");
        QTest::addColumn<QString>("text");
        QTest::newRow("engine error in cp932")
            << std::function<void()>([] { throw EError("Folders.dbx \x95\x5c"); })  // 表
            << QString::fromUtf8("Folders.dbx 表");
        QTest::newRow("exhausted memory")
            << std::function<void()>([] { throw std::bad_alloc(); }) << "Out of memory";
        QTest::newRow("script error")
            << std::function<void()>([] { throw EScriptError(7, "detail"); })
            << "[Script Error] Stopped at line: 7";
        QTest::newRow("foreign exception")
            << std::function<void()>([] { throw 42; }) << "Unknown error";
    }
    void commandFailureIsReportedAndTheWindowGoesOn() {
        QFETCH(std::function<void()>, fail);
        QFETCH(QString, text);
        ScriptedDialogs dialogs;
        dialogs.messageAnswers = {QMessageBox::Ok};

        QMainWindow window;
        int worked = 0;
        auto* failing = window.addAction(QStringLiteral("Fail"));
        failing->setShortcut(QKeySequence(Qt::Key_F7));
        connect(failing, &QAction::triggered, &window, [&] { fail(); });
        auto* working = window.addAction(QStringLiteral("Work"));
        working->setShortcut(QKeySequence(Qt::Key_F8));
        connect(working, &QAction::triggered, &window, [&] { ++worked; });
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QTest::keyClick(&window, Qt::Key_F7);
        QCOMPARE(dialogs.Kinds(), QStringList{"message"});
        QCOMPARE(dialogs.calls[0].text, text);
        QCOMPARE(dialogs.calls[0].icon, QMessageBox::Critical);

        QTest::keyClick(&window, Qt::Key_F8);
        QCOMPARE(worked, 1);
        QVERIFY(window.isVisible());
        QVERIFY(dialogs.unexpected.isEmpty());
    }
};

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    TApplication::setApplicationName(QStringLiteral("Brevilo"));
    TestUnhandledError test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_unhandlederror.moc"
