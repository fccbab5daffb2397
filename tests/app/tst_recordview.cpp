#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "app/AppTestSupport.h"
#include "app/ScriptedDialogs.h"
#include "controls/TDBEditGrid.h"
#include "shell/TMainfrm.h"
#include "store/TDMod.h"
#include "view/TArticleGridModel.h"
#include "view/TRecordViewWidget.h"

// The record view's editing path on a real log: an edit is posted when the row or the
// page changes, a bad date keeps the edit, the navigator inserts at the end and drops an
// unchanged new row, and Delete asks first.
class TestRecordView : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> config_;
    std::unique_ptr<QTemporaryDir> db_;
    std::unique_ptr<TDMod> dmod_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<TMainfrm> window_;

    static TRecordFields Record(int i) {
        TRecordFields record;
        record.From = "Taro <taro@example.jp>";
        record.Newsgroup = "fj.news";
        record.Subject = "Subject " + std::to_string(i);
        record.Date = "2001/5/12 10:20:30";
        record.Article = "line " + std::to_string(i) + "\r\n";
        return record;
    }

    TRecordViewWidget& View() { return window_->View(); }
    QLineEdit* Box(const char* name) { return window_->findChild<QLineEdit*>(name); }
    void Click(const char* name) {
        window_->findChild<QWidget*>("navLog")->findChild<QToolButton*>(name)->click();
    }
    // Types text over the box's contents as one key press (any characters).
    void Type(QLineEdit* box, const QString& text) {
        box->selectAll();
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(box, &press);
    }
    std::string LogSubject(int row) { return dmod_->Log().Rows().Row(row).Subject; }

  private slots:
    void init() {
        config_ = std::make_unique<QTemporaryDir>();
        db_ = std::make_unique<QTemporaryDir>();
        apptest::RedirectSettings(config_->path());
        {
            TDMod maker;
            maker.OpenFolder(db_->path().toStdString());
            maker.CreateMainTable("News");
        }
        QSettings store(QStringLiteral("Korvath"), QStringLiteral("Brevilo"));
        store.setValue("DBDir", db_->path());
        store.setValue("RecentTable", "News");
        store.sync();
        dmod_ = std::make_unique<TDMod>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        dialogs_->execAnswers.push_back([](QDialog&) { return int(QDialog::Accepted); });
        window_ = std::make_unique<TMainfrm>(*dmod_, TAppEnv{config_->path()});
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QTRY_VERIFY(window_->Started());
        for (int i = 1; i <= 10; ++i)
            dmod_->AppendLogRecord(Record(i));
        window_->RefreshView();
    }

    void cleanup() {
        dialogs_->messageAnswers = {QMessageBox::Yes};
        window_->close();
        window_.reset();
        dialogs_.reset();
        dmod_.reset();
        APPTEST_VERIFY_NO_WINDOWS();
    }

    void editIsPostedWhenTheRowChanges() {
        View().GoToRow(1);
        Type(Box("edSubject"), QStringLiteral("Changed"));
        Type(Box("edGroup"), QString(70, QLatin1Char('g')));
        QVERIFY(View().Editing());
        QCOMPARE(LogSubject(1), std::string("Subject 2"));  // nothing written yet
        View().GoToRow(4);
        QVERIFY(!View().Editing());
        QCOMPARE(LogSubject(1), std::string("Changed"));
        QCOMPARE(dmod_->Log().Rows().Row(1).Newsgroup, std::string(60, 'g'));  // 60 at most
        QCOMPARE(window_->StatusPanelText(0), QStringLiteral("5 / 10"));
        QCOMPARE(Box("edSubject")->text(), QStringLiteral("Subject 5"));
    }

    void editIsPostedWhenThePageChanges() {
        View().GoToRow(2);
        Type(Box("edSubject"), QStringLiteral("\u8868"));  // 表
        window_->ShowPage(TMainfrm::SearchPage);
        QCOMPARE(LogSubject(2), std::string("\x95\x5c"));
    }

    void unreadableDateKeepsTheEditAndTheRow() {
        View().GoToRow(3);
        Type(Box("edDate"), QStringLiteral("13/45/2001"));
        dialogs_->messageAnswers = {QMessageBox::Ok};
        View().GoToRow(6);
        QCOMPARE(dialogs_->Last("message")->text,
                 QStringLiteral("'13/45/2001' is not a valid date"));
        QVERIFY(View().Editing());
        QCOMPARE(View().CurrentRow(), 3);
        Type(Box("edDate"), QStringLiteral("06/12/2001 08:00:00"));
        QVERIFY(View().PostEdit());
        QCOMPARE(dmod_->Log().Rows().Row(3).Date->ToText(), std::string("2001-06-12 08:00:00"));
    }

    void insertAppendsAtTheEndAndAnUnchangedRowIsDropped() {
        View().GoToRow(4);
        Click("nbInsert");
        QCOMPARE(View().RowCount(), 11);
        QCOMPARE(View().CurrentRow(), 10);
        QCOMPARE(window_->StatusPanelText(0), QStringLiteral("11 / 11"));
        View().GoToRow(0);
        QCOMPARE(dmod_->Log().TableCount(), 10);
        QCOMPARE(View().RowCount(), 10);

        Click("nbInsert");
        Type(Box("edSubject"), QStringLiteral("Typed by hand"));
        View().GoToRow(0);
        QCOMPARE(dmod_->Log().TableCount(), 11);
        QCOMPARE(LogSubject(10), std::string("Typed by hand"));
    }

    void deleteAsksFirst() {
        View().GoToRow(2);
        dialogs_->messageAnswers = {QMessageBox::Cancel};
        Click("nbDelete");
        QCOMPARE(dialogs_->Last("message")->text, QStringLiteral("Delete record?"));
        QCOMPARE(dialogs_->Last("message")->caption, QStringLiteral("Confirmation"));
        QCOMPARE(dmod_->Log().TableCount(), 10);
        dialogs_->messageAnswers = {QMessageBox::Ok};
        Click("nbDelete");
        QCOMPARE(dmod_->Log().TableCount(), 9);
        QCOMPARE(LogSubject(2), std::string("Subject 4"));
    }
};

QTEST_MAIN(TestRecordView)
#include "tst_recordview.moc"
