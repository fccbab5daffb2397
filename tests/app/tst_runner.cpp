#include <QMainWindow>
#include <QThread>
#include <QtTest>
#include <atomic>

#include "app/AppTestSupport.h"
#include "base/EError.h"
#include "runner/TRunner.h"

// The background runner: the operation runs on another thread behind a modal wait window
// that keeps repainting, and its outcome comes back as the modal result.
class TestRunner : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() {
        TRunner::SetShownHook(nullptr);
        APPTEST_VERIFY_NO_WINDOWS();
    }

    void operationRunsOnAWorkerThreadBehindAModalWindow() {
        QMainWindow owner;
        owner.show();
        QThread* worker = nullptr;
        bool modal = false;
        TRunner::SetShownHook([&](QDialog& window) {
            modal = window.isVisible() && window.windowModality() == Qt::ApplicationModal &&
                    window.objectName() == QStringLiteral("AVICopyDlg");
        });
        const int result =
            TRunner::Run(&owner, TRunner::Look::Copy, [&] { worker = QThread::currentThread(); });
        QCOMPARE(result, int(TRunner::mrOK));
        QVERIFY(modal);
        QVERIFY(worker && worker != QThread::currentThread());
    }

    void failureIsResultThreeWithTheMessage() {
        std::string error;
        const int result = TRunner::Run(
            nullptr, TRunner::Look::Delete, [] { throw EError("Backup error"); }, &error);
        QCOMPARE(result, int(TRunner::mrAbort));
        QCOMPARE(error, std::string("Backup error"));
    }

    void waitWindowRepaintsWhileTheOperationRuns() {
        QMainWindow owner;
        owner.show();
        std::atomic<bool> release{false};
        TAVICopyDlg* shown = nullptr;
        int paintsWhileRunning = 0;
        TRunner::SetShownHook([&](QDialog& window) {
            shown = qobject_cast<TAVICopyDlg*>(&window);
            // Once the busy indicator has repainted the window a few times, let the
            // operation end.
            auto* poll = new QTimer(&window);
            QObject::connect(poll, &QTimer::timeout, &window, [&] {
                paintsWhileRunning = shown->PaintCount();
                if (paintsWhileRunning >= 3)
                    release = true;
            });
            poll->start(20);
        });
        const int result = TRunner::Run(&owner, TRunner::Look::Find, [&] {
            for (int i = 0; i < 500 && !release; ++i)
                QThread::msleep(10);
        });
        QCOMPARE(result, int(TRunner::mrOK));
        QVERIFY(release);
        QVERIFY(paintsWhileRunning >= 3);
    }
};

QTEST_MAIN(TestRunner)
#include "tst_runner.moc"
