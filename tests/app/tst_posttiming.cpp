#include <QElapsedTimer>
#include <QtTest>
#include <ctime>

#include "app/MainWindowFixture.h"
#include "runner/TRunner.h"

// A timed scenario, not a test: "Write into database" from the window with 100 000 log
// records of about 4 KB, from the button press until the Search Records page shows them,
// while the wait window keeps repainting. Runs only when BREVILO_POST_TIMING is set (it
// writes about 1 GB); prints wall and CPU time, asserts no time.
class TestPostTiming : public QObject {
    Q_OBJECT

    apptest::MainWindowFixture f_;

  private slots:
    void cleanup() { f_.Stop(); }

    void postHundredThousandRecordsFromTheWindow() {
        if (!qEnvironmentVariableIsSet("BREVILO_POST_TIMING"))
            QSKIP("set BREVILO_POST_TIMING=1 to run the timed posting scenario");
        const int rows = qEnvironmentVariableIntValue("BREVILO_POST_TIMING") > 1
                             ? qEnvironmentVariableIntValue("BREVILO_POST_TIMING")
                             : 100000;
        QVERIFY(f_.Start());
        {
            TDMod::LogBatch batch(*f_.dmod);
            std::string article;
            for (int line = 0; article.size() < 4000; ++line)
                article += "Line " + std::to_string(line) +
                           " of an article kept for the timing of posting.\r\n";
            for (int i = 1; i <= rows; ++i) {
                TRecordFields record = apptest::MainWindowFixture::Record(i);
                record.Article = article;
                f_.dmod->AppendLogRecord(record);
            }
            batch.Commit();
        }
        f_.dmod->SetLogInUse(true);
        f_.window->RefreshView();

        int paints = 0;
        TRunner::SetShownHook([&](QDialog& window) {
            auto* poll = new QTimer(&window);
            QObject::connect(poll, &QTimer::timeout, &window, [&paints, &window] {
                paints = static_cast<TAVICopyDlg&>(window).PaintCount();
            });
            poll->start(50);
        });
        f_.dialogs->messageAnswers = {QMessageBox::Ok};
        QElapsedTimer wall;
        const std::clock_t cpu = std::clock();
        wall.start();
        f_.Button("sbPost")->click();
        const qint64 ms = wall.elapsed();
        const double cpuSeconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
        TRunner::SetShownHook(nullptr);
        QCOMPARE(f_.View().RowCount(), rows);
        QCOMPARE(f_.window->ActivePage(), TMainfrm::SearchPage);
        qInfo(
            "posted %d records of ~4 KB from the window: %lld ms wall, %.2f s CPU, wait "
            "window painted %d times",
            rows, ms, cpuSeconds, paints);
    }
};

QTEST_MAIN(TestPostTiming)
#include "tst_posttiming.moc"
