#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "app/AppTestSupport.h"
#include "app/ScriptedDialogs.h"
#include "shell/TSingleInstance.h"

// One running program per user, and a lock left by a dead process does not lock the
// user out.
class TestSingleInstance : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

  private slots:
    void cleanup() { APPTEST_VERIFY_NO_WINDOWS(); }

    void firstInstanceRuns() {
        ScriptedDialogs dialogs;
        TSingleInstance first(dir_.filePath("first.lock"));
        QVERIFY(first.AcquireOrTell(dialogs));
        QVERIFY(dialogs.calls.isEmpty());
    }

    void secondInstanceIsRefusedWithTheMessage() {
        ScriptedDialogs dialogs;
        dialogs.messageAnswers = {QMessageBox::Ok};
        const QString path = dir_.filePath("second.lock");
        TSingleInstance first(path);
        QVERIFY(first.TryAcquire());
        TSingleInstance second(path);
        QVERIFY(!second.AcquireOrTell(dialogs));
        QCOMPARE(dialogs.calls.size(), 1);
        QCOMPARE(dialogs.calls[0].text, QStringLiteral("This application is already running"));
        QCOMPARE(dialogs.calls[0].caption, QStringLiteral("Error"));
        QCOMPARE(dialogs.calls[0].icon, QMessageBox::Critical);
    }

    void lockIsFreeAgainAfterTheFirstEnds() {
        const QString path = dir_.filePath("again.lock");
        {
            TSingleInstance first(path);
            QVERIFY(first.TryAcquire());
        }
        TSingleInstance next(path);
        QVERIFY(next.TryAcquire());
    }

    void staleLockOfADeadProcessIsRecovered() {
        // A process that has ended leaves its id behind in the lock file.
        QProcess child;
        child.start(QStringLiteral("true"));
        QVERIFY(child.waitForFinished());
        const qint64 deadPid = child.processId() ? child.processId() : 999999;
        const QString path = dir_.filePath("stale.lock");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(deadPid) + "\nbrevilo\n" +
                   QSysInfo::machineHostName().toUtf8() + "\n");
        file.close();

        TSingleInstance instance(path);
        QVERIFY(instance.TryAcquire());
    }

    void defaultLockLivesInTheRuntimeFolder() {
        QVERIFY(TSingleInstance::DefaultLockPath().endsWith(QStringLiteral("/Brvlo2Mutex.lock")));
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
