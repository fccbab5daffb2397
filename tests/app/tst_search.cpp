#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>
#include <QtTest>

#include "app/AppTestSupport.h"
#include "app/ScriptedDialogs.h"
#include "controls/TDBEditGrid.h"
#include "search/TSearchCommands.h"
#include "search/TSearchOptionFrm.h"
#include "search/TSearchPage.h"
#include "shell/TMainfrm.h"
#include "store/TDMod.h"
#include "view/TRecordViewWidget.h"

// The Search Records page on a real database folder: the questions each command asks and
// what it leaves on the page. The query rules themselves are tested in the core.
class TestSearch : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> config_;
    std::unique_ptr<QTemporaryDir> db_;
    std::unique_ptr<TDMod> dmod_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<TMainfrm> window_;

    // Table News with rows: Subject "Subject i", Notes, Article.
    struct Row {
        const char* subject;
        const char* notes;
        const char* article;
    };
    void MakeNews(const std::vector<Row>& rows) {
        TDMod maker;
        maker.OpenFolder(db_->path().toStdString());
        maker.CreateMainTable("News");
        for (const Row& row : rows) {
            TRecordFields record;
            record.From = "Taro <taro@example.jp>";
            record.Subject = row.subject;
            record.Notes = row.notes;
            record.Article = row.article;
            record.Date = "2001/5/12 10:20:30";
            maker.AppendLogRecord(record);
        }
        maker.PostAll();
    }

    void Start(const std::vector<Row>& rows) {
        MakeNews(rows);
        QSettings store(QStringLiteral("Korvath"), QStringLiteral("Brevilo"));
        store.setValue("DBDir", db_->path());
        store.setValue("RecentTable", "News");
        store.sync();
        dialogs_->execAnswers.push_back([](QDialog&) { return int(QDialog::Accepted); });
        window_ = std::make_unique<TMainfrm>(*dmod_, TAppEnv{db_->path()});
        window_->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(window_.get())); }();
        QTRY_VERIFY(window_->Started());
        dialogs_->calls.clear();
        window_->ShowPage(TMainfrm::SearchPage);
    }

    // Runs "Search by Keyword" with these options, answering the options dialog.
    void Search(const QString& keywords, TSearchOptions options) {
        window_->SearchRecordsPage().KeywordBox()->setText(keywords);
        dialogs_->execAnswers.push_back([options](QDialog& dialog) {
            static_cast<TSearchOptionFrm&>(dialog).SetOptions(options);
            return int(QDialog::Accepted);
        });
        window_->SearchCommands().SearchByKeyword();
    }

    QStringList Subjects() {
        QStringList subjects;
        TSearchResult& result = dmod_->Search();
        for (long long i = 0; i < result.Count(); ++i)
            subjects << QString::fromStdString(result.Row(i).Subject);
        return subjects;
    }

    QString Selected() { return window_->View().ArticleEditor()->textCursor().selectedText(); }

  private slots:
    void init() {
        config_ = std::make_unique<QTemporaryDir>();
        db_ = std::make_unique<QTemporaryDir>();
        apptest::RedirectSettings(config_->path());
        dmod_ = std::make_unique<TDMod>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
    }

    void cleanup() {
        if (window_) {
            dialogs_->messageAnswers.push_back(QMessageBox::No);
            window_->close();
        }
        window_.reset();
        dialogs_.reset();
        dmod_.reset();
        TSearchCommands::SetOpener(nullptr);
        TSearchCommands::SetArticleMenuHook(nullptr);
        APPTEST_VERIFY_NO_WINDOWS();
    }

    void keywordSearchMarksEachKeywordInTurn() {
        Start({{"one", "", "0123456789Osaka and more...Tokyo end"},
               {"two", "", "only Tokyo here"},
               {"three", "", "Osaka, Tokyo"}});
        Search("tokyo & osaka", {TSearchMethod::Initial, TSearchField::Article, false});
        QCOMPARE(Subjects(), QStringList({"one", "three"}));
        QCOMPARE(window_->StatusPanelText(0), QStringLiteral("2 of 3"));
        QVERIFY(dialogs_->unexpected.isEmpty());

        // The first row opens on 'Osaka'; Find Next goes to 'Tokyo', then finds nothing.
        QCOMPARE(Selected(), QStringLiteral("Osaka"));
        QVERIFY(apptest::ChooseMenuItem(*window_, "mnuFindNext"));
        QCOMPARE(Selected(), QStringLiteral("Tokyo"));
        QVERIFY(apptest::ChooseMenuItem(*window_, "mnuFindNext"));
        QCOMPARE(Selected(), QString());
        QCOMPARE(window_->View().ArticleEditor()->textCursor().position(), 32);
        QVERIFY(apptest::ChooseMenuItem(*window_, "mnuFind"));
        QCOMPARE(Selected(), QStringLiteral("Osaka"));
    }

    void badKeywordsAskNothingAndKeepTheResult_data() {
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty box") << "" << int(TSearchField::Article) << "Input keyword";
        QTest::newRow("bad operator") << "=>3" << int(TSearchField::MessageID) << "Invalid keyword";
        QTest::newRow("lone quote") << "a & \"" << int(TSearchField::Article) << "Invalid keyword";
    }
    void badKeywordsAskNothingAndKeepTheResult() {
        QFETCH(QString, keywords);
        QFETCH(int, field);
        QFETCH(QString, message);
        Start({{"one", "", "a"}, {"two", "", "b"}});
        Search("b", {TSearchMethod::Initial, TSearchField::Article, false});
        QCOMPARE(Subjects(), QStringList({"two"}));
        dialogs_->calls.clear();
        dialogs_->messageAnswers.push_back(QMessageBox::Ok);
        Search(keywords, {TSearchMethod::Initial, TSearchField(field), false});
        QCOMPARE(dialogs_->Kinds(), QStringList({"exec", "message"}));
        QCOMPARE(dialogs_->Last("message")->text, message);
        QCOMPARE(Subjects(), QStringList({"two"}));
    }

    void narrowingAndRecycleFollowTheScratchTables() {
        Start({{"a1", "", "apple banana"}, {"a2", "", "apple"}, {"a3", "", "banana"}});
        auto* narrowing =
            window_->SearchCommands().OptionsForm().findChild<QRadioButton*>("rbNarrowing");
        auto* recycle =
            window_->SearchCommands().OptionsForm().findChild<QRadioButton*>("rbRecycle");
        // Nothing in "tmpout" or "tmpmem" yet.
        bool narrowingOffered = true, recycleOffered = true;
        window_->SearchRecordsPage().KeywordBox()->setText("apple");
        dialogs_->execAnswers.push_back([&](QDialog&) {
            narrowingOffered = narrowing->isEnabled();
            recycleOffered = recycle->isEnabled();
            return int(QDialog::Accepted);
        });
        window_->SearchCommands().SearchByKeyword();
        QVERIFY(!narrowingOffered);
        QVERIFY(!recycleOffered);
        QCOMPARE(Subjects(), QStringList({"a1", "a2"}));

        // Narrowing searches only the last hits.
        window_->findChild<QToolButton*>("sbMemory")->click();
        Search("banana", {TSearchMethod::Narrowing, TSearchField::Article, false});
        QCOMPARE(Subjects(), QStringList({"a1"}));
        // Recycle searches the memorised rows.
        Search("apple", {TSearchMethod::Recycle, TSearchField::Article, false});
        QCOMPARE(Subjects(), QStringList({"a1", "a2"}));
        QVERIFY(dialogs_->unexpected.isEmpty());
    }

    void editsAreSavedOrDiscardedByThePrompt_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("saved") << true;
        QTest::newRow("declined") << false;
    }
    void editsAreSavedOrDiscardedByThePrompt() {
        QFETCH(bool, save);
        Start({{"old subject", "", "text"}, {"other", "", "text"}});
        Search("text", {TSearchMethod::Initial, TSearchField::Article, false});
        window_->findChild<QToolButton*>("sbMemory")->click();
        QTest::keyClick(window_->View().SubjectBox(), Qt::Key_End);
        QTest::keyClicks(window_->View().SubjectBox(), " new");
        QVERIFY(window_->View().PostEdit());
        QVERIFY(window_->SearchRecordsPage().SaveButton()->isEnabled());

        // Enter in the keyword box asks first.
        dialogs_->messageAnswers.push_back(save ? QMessageBox::Yes : QMessageBox::No);
        window_->SearchRecordsPage().KeywordBox()->setText("subject");
        QTest::keyClick(window_->SearchRecordsPage().KeywordBox(), Qt::Key_Return);
        QCOMPARE(dialogs_->Last("message")->caption, QStringLiteral("Save Updates"));
        QCOMPARE(dialogs_->Last("message")->text, QStringLiteral("Record modified\r\nSave it?"));
        QVERIFY(!window_->SearchRecordsPage().SaveButton()->isEnabled());

        // Subject or Notes over the main table, then the memorised copy.
        Search("new", {TSearchMethod::Initial, TSearchField::SubjectOrNotes, false});
        QCOMPARE(Subjects(), save ? QStringList({"old subject new"}) : QStringList());
        Search("new", {TSearchMethod::Recycle, TSearchField::SubjectOrNotes, false});
        QCOMPARE(Subjects(), save ? QStringList({"old subject new"}) : QStringList());
    }

    void addSkipsRowsThatHoldTheKeyword() {
        Start({{"s1", "", "x"}, {"s2", "tag", "x"}, {"s3", "old", "x"}});
        Search("x", {TSearchMethod::Initial, TSearchField::Article, false});
        dmod_->SetMultiSelect(true);
        window_->View().Grid()->setSelectionMode(QAbstractItemView::MultiSelection);
        window_->View().Grid()->selectAll();
        window_->SearchRecordsPage().KeywordBox()->setText("tag");
        QVERIFY(apptest::ChooseMenuItem(*window_, "mnuAddKeyword"));
        QVERIFY(!dmod_->MultiSelect());
        QStringList notes;
        for (long long i = 0; i < dmod_->Search().Count(); ++i)
            notes << QString::fromStdString(dmod_->Search().Row(i).Notes);
        QCOMPARE(notes, QStringList({"tag", "tag", "tag old"}));
        QVERIFY(window_->SearchRecordsPage().SaveButton()->isEnabled());
    }

    void aNewSearchRemovesTheBookmark() {
        Start({{"s1", "", "x"}, {"s2", "", "x"}});
        Search("x", {TSearchMethod::Initial, TSearchField::Article, false});
        QVERIFY(apptest::ChooseMenuItem(*window_, "popSetBookmark"));
        QVERIFY(dmod_->Search().BookmarkID() >= 0);
        Search("x", {TSearchMethod::Initial, TSearchField::Article, false});
        QCOMPARE(dmod_->Search().BookmarkID(), -1);
        QVERIFY(!apptest::ChooseMenuItem(*window_, "popGotoBookmark"));
    }

    void articleMenuFillsNotesAndTheKeywordBox() {
        Start({{"s1", "old", "fresh weather"}, {"s2", "", "y"}});
        Search("fresh", {TSearchMethod::Initial, TSearchField::Article, false});
        QCOMPARE(Selected(), QStringLiteral("fresh"));
        auto choose = [&](const char* name) {
            TSearchCommands::SetArticleMenuHook([name](QMenu& menu) {
                QAction* action = menu.findChild<QAction*>(name);
                QVERIFY(action && action->isEnabled());
                action->trigger();
            });
            window_->SearchCommands().ArticleContextMenu(QPoint());
        };
        choose("popAddToNote");
        QCOMPARE(QString::fromStdString(dmod_->Search().Row(0).Notes), QStringLiteral("fresh old"));

        QPlainTextEdit* editor = window_->View().ArticleEditor();
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(6);
        cursor.setPosition(13, QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
        window_->SearchRecordsPage().KeywordBox()->setText("news");
        choose("popAddSearchKey");
        QCOMPARE(window_->SearchRecordsPage().KeywordBox()->text(),
                 QStringLiteral("news & weather"));
    }

    void informationSourceOpensMailOrWeb_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("message");
        QTest::newRow("mail") << "Taro <taro@example.jp>" << true << "mailto:taro@example.jp"
                              << "";
        QTest::newRow("web") << "News http://news.example.com/" << true
                             << "http://news.example.com/"
                             << "";
        QTest::newRow("no address") << "Taro" << true << ""
                                    << "Invalid EMAIL address";
        QTest::newRow("mailer fails") << "taro@example.jp" << false << "mailto:taro@example.jp"
                                      << "[Error] Failed to execute your mailer";
    }
    void informationSourceOpensMailOrWeb() {
        QFETCH(QString, from);
        QFETCH(bool, opens);
        QFETCH(QString, opened);
        QFETCH(QString, message);
        Start({{"s1", "", "x"}});
        QString seen;
        TSearchCommands::SetOpener([&](const QUrl& url) {
            seen = url.toString();
            return opens;
        });
        window_->View().FromBox()->setText(from);
        if (!message.isEmpty())
            dialogs_->messageAnswers.push_back(QMessageBox::Ok);
        QVERIFY(apptest::ChooseMenuItem(*window_, "mnuInfoSource"));
        QCOMPARE(seen, opened);
        QCOMPARE(dialogs_->Last("message") ? dialogs_->Last("message")->text : QString(), message);
        window_->View().CancelEdit();
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
