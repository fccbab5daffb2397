#include <sqlite3.h>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QtTest>

#include "app/AppTestSupport.h"
#include "app/ScriptedDialogs.h"
#include "controls/TDBEditGrid.h"
#include "shell/TMainfrm.h"
#include "shell/TMigrationForm.h"
#include "shell/TSelectForm.h"
#include "store/TDMod.h"
#include "view/TArticleGridModel.h"

// The main window on a real database folder: the deferred start-up, "Open Database..." and
// "New Database...", the close query, the grid over the log and the record view.
class TestDatabase : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> config_;
    std::unique_ptr<QTemporaryDir> program_;
    std::unique_ptr<QTemporaryDir> db_;

    TAppEnv Env() const { return TAppEnv{program_->path()}; }
    static QSettings Store() {
        return QSettings(QStringLiteral("Korvath"), QStringLiteral("Brevilo"));
    }

    // Settings as a previous run left them.
    void Remember(const QString& name, const QVariant& value) {
        QSettings store = Store();
        store.setValue(name, value);
    }

    // Makes main tables in the database folder, as an earlier run would have.
    void MakeTables(const QStringList& names) {
        TDMod maker;
        maker.OpenFolder(db_->path().toStdString());
        for (const QString& name : names)
            maker.CreateMainTable(name.toStdString());
    }

    static TRecordFields Record(int i) {
        TRecordFields record;
        record.From = "Taro <taro@example.jp>";
        record.Newsgroup = "fj.news";
        record.Subject = "Subject " + std::to_string(i);
        record.Date = "2001/5/12 10:20:30";
        record.Article = "line one\r\nline two " + std::to_string(i) + "\r\n";
        return record;
    }

    // Starts a window on the folder with table News open (answering the chooser).
    std::unique_ptr<TMainfrm> StartOnNews(TDMod& dmod, ScriptedDialogs& dialogs) {
        MakeTables({"News"});
        Remember("DBDir", db_->path());
        Remember("RecentTable", "News");
        dialogs.execAnswers.push_back([](QDialog&) { return int(QDialog::Accepted); });
        auto window = std::make_unique<TMainfrm>(dmod, Env());
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return nullptr;
        if (!QTest::qWaitFor([&] { return window->Started(); }))
            return nullptr;
        return window;
    }

    static TDBEditGrid* Grid(TMainfrm& window) { return window.findChild<TDBEditGrid*>("dbgNews"); }

    // The MessageID column is 70 pixels, or wider when its bold title needs it.
    static bool MessageIDTitleFits(TDBEditGrid& grid) {
        QFont bold = grid.horizontalHeader()->font();
        bold.setBold(true);
        const int width = grid.columnWidth(TArticleGridModel::ColMessageID);
        return width >= 70 &&
               width > QFontMetrics(bold).horizontalAdvance(QStringLiteral("MessageID"));
    }

  private slots:
    void init() {
        config_ = std::make_unique<QTemporaryDir>();
        program_ = std::make_unique<QTemporaryDir>();
        db_ = std::make_unique<QTemporaryDir>();
        apptest::RedirectSettings(config_->path());
    }

    void cleanup() { APPTEST_VERIFY_NO_WINDOWS(); }

    void knownFolderWithATableOffersItOnStart() {
        TDMod dmod;
        ScriptedDialogs dialogs;
        auto window = StartOnNews(dmod, dialogs);
        QVERIFY(window);
        QCOMPARE(dialogs.Kinds(), QStringList({"exec"}));
        QCOMPARE(dialogs.calls[0].caption, QStringLiteral("Open Database"));
        QCOMPARE(window->CurrentTable(), QStringLiteral("News"));
        QVERIFY(!window->NoTable());
        QCOMPARE(window->windowTitle(), "Brevilo - [" + db_->path() + "] News");
        QVERIFY(window->findChild<QTabWidget*>("PageControl1")->isTabVisible(1));
        window->close();
    }

    void vanishedFolderLeadsToTheFolderQuestion() {
        QString gone;
        {
            QTemporaryDir dir;
            gone = dir.path();
        }
        Remember("DBDir", gone);
        TDMod dmod;
        ScriptedDialogs dialogs;
        dialogs.folderAnswers = {db_->path()};
        dialogs.inputAnswers = {QStringLiteral("Clips")};
        TMainfrm window(dmod, Env());
        QCOMPARE(window.windowTitle(), QStringLiteral("Brevilo"));
        window.show();
        QTRY_VERIFY(window.Started());
        QCOMPARE(dialogs.Kinds(), QStringList({"folder", "input"}));
        QCOMPARE(dialogs.calls[0].caption, QStringLiteral("Select Database Folder"));
        QCOMPARE(dialogs.calls[0].text, QDir::currentPath());
        // An empty folder leads straight to a new database.
        QCOMPARE(dialogs.calls[1].caption, QStringLiteral("New Database"));
        QCOMPARE(dialogs.calls[1].text, QStringLiteral("Enter a new database name"));
        QCOMPARE(window.windowTitle(), "Brevilo - [" + db_->path() + "] Clips");
        QCOMPARE(window.Settings().DBDir, db_->path());
        QVERIFY(QFile::exists(db_->filePath("Clips.db")));
        window.close();
        QCOMPARE(Store().value("RecentTable").toString(), QStringLiteral("Clips"));
        QCOMPARE(Store().value("DBDir").toString(), db_->path());
    }

    void cancelledFolderQuestionUsesTheProgramFolder() {
        TDMod dmod;
        ScriptedDialogs dialogs;
        dialogs.folderAnswers = {std::nullopt};
        dialogs.inputAnswers = {std::nullopt};
        TMainfrm window(dmod, Env());
        window.show();
        QTRY_VERIFY(window.Started());
        QCOMPARE(window.DatabaseFolder(), program_->path());
        QVERIFY(window.NoTable());
        QVERIFY(!window.findChild<QTabWidget*>("PageControl1")->isTabVisible(1));
        QCOMPARE(window.windowTitle(), "Brevilo - [" + program_->path() + "]");
        window.close();
    }

    void folderThatCannotBeOpenedSaysTryAgain() {
        TDMod dmod;
        ScriptedDialogs dialogs;
        QFile blocker(db_->filePath("not-a-folder"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        dialogs.folderAnswers = {blocker.fileName()};
        dialogs.messageAnswers = {QMessageBox::Ok};
        dialogs.inputAnswers = {QStringLiteral("News")};
        dialogs.messageAnswers.push_back(QMessageBox::Ok);
        TMainfrm window(dmod, Env());
        window.show();
        QTRY_VERIFY(window.Started());
        QCOMPARE(dialogs.calls[1].text, QStringLiteral("Error: Try again"));
        // The New Database question still follows, and fails without a folder.
        QCOMPARE(dialogs.calls[2].kind, QStringLiteral("input"));
        QCOMPARE(dialogs.calls[3].text, QStringLiteral("Error: Cannot make database"));
        QCOMPARE(window.Settings().DBDir, QString());
        QVERIFY(window.NoTable());
        window.close();
    }

    void missingRecentScriptIsCleared() {
        Remember("RecentScript", "gone.hsc");
        TDMod dmod;
        ScriptedDialogs dialogs;
        dialogs.folderAnswers = {std::nullopt};
        dialogs.inputAnswers = {std::nullopt};
        TMainfrm window(dmod, Env());
        QCOMPARE(window.Settings().RecentScript, QStringLiteral("gone.hsc"));
        window.show();
        QTRY_VERIFY(window.Started());
        QCOMPARE(window.Settings().RecentScript, QString());
        QCOMPARE(window.StatusPanelText(2), QString());
        window.close();
    }

    void presentRecentScriptIsKept() {
        QFile script(program_->filePath("news.hsc"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.close();
        Remember("RecentScript", "news.hsc");
        TDMod dmod;
        ScriptedDialogs dialogs;
        dialogs.folderAnswers = {std::nullopt};
        dialogs.inputAnswers = {std::nullopt};
        TMainfrm window(dmod, Env());
        window.show();
        QTRY_VERIFY(window.Started());
        QCOMPARE(window.Settings().RecentScript, QStringLiteral("news.hsc"));
        QCOMPARE(window.StatusPanelText(2), QStringLiteral("news.hsc"));
        window.close();
    }

    void newDatabaseNameChecks_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("slash") << "a/b"
                               << "Invalid database name";
        QTest::newRow("backslash") << "a\\b"
                                   << "Invalid database name";
        QTest::newRow("colon") << "a:b"
                               << "Invalid database name";
        QTest::newRow("asterisk") << "a*"
                                  << "Invalid database name";
        QTest::newRow("question mark") << "a?"
                                       << "Invalid database name";
        QTest::newRow("double quote") << "a\"b"
                                      << "Invalid database name";
        QTest::newRow("less than") << "<a"
                                   << "Invalid database name";
        QTest::newRow("greater than") << "a>"
                                      << "Invalid database name";
        QTest::newRow("bar") << "a|b"
                             << "Invalid database name";
        QTest::newRow("empty") << ""
                               << "Invalid database name";
        QTest::newRow("not in cp932") << QStringLiteral("caf\u00e9") << "Invalid database name";
        QTest::newRow("existing in other case") << "NEWS"
                                                << "Database name already exsits";
    }
    void newDatabaseNameChecks() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        TDMod dmod;
        ScriptedDialogs dialogs;
        auto window = StartOnNews(dmod, dialogs);
        QVERIFY(window);
        dialogs.inputAnswers = {name};
        dialogs.messageAnswers = {QMessageBox::Ok};
        window->findChild<QAction*>("mnuNewDB")->trigger();
        QCOMPARE(dialogs.Last("message")->text, message);
        // A failed check leaves the table and the title as they were.
        QCOMPARE(window->CurrentTable(), QStringLiteral("News"));
        QCOMPARE(window->windowTitle(), "Brevilo - [" + db_->path() + "] News");
        QCOMPARE(QDir(db_->path()).entryList({"*.db"}, QDir::Files).size(), 4);
        QVERIFY(dialogs.unexpected.isEmpty());
        window->close();
    }

    void newDatabaseWithAJapaneseName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("nihon") << QStringLiteral("\u65e5\u672c") << QByteArray("\x93\xfa\x96\x7b");
        // The second byte of 表 is 0x5C, a backslash when read byte by byte.
        QTest::newRow("hyou") << QStringLiteral("\u8868") << QByteArray("\x95\x5c");
    }
    void newDatabaseWithAJapaneseName() {
        QFETCH(QString, name);
        QFETCH(QByteArray, stored);
        TDMod dmod;
        ScriptedDialogs dialogs;
        auto window = StartOnNews(dmod, dialogs);
        QVERIFY(window);
        dialogs.inputAnswers = {name};
        window->findChild<QAction*>("mnuNewDB")->trigger();
        QCOMPARE(window->CurrentTable(), name);
        QCOMPARE(QByteArray::fromStdString(dmod.MainTableName()), stored);
        QCOMPARE(window->windowTitle(), "Brevilo - [" + db_->path() + "] " + name);
        QVERIFY(dialogs.unexpected.isEmpty());
        window->close();
    }

    void openDatabaseWithOnlyTheCurrentTableSaysFilesMissing() {
        TDMod dmod;
        ScriptedDialogs dialogs;
        auto window = StartOnNews(dmod, dialogs);
        QVERIFY(window);
        dialogs.messageAnswers = {QMessageBox::Ok};
        window->findChild<QAction*>("mnuOpenDB")->trigger();
        const auto* message = dialogs.Last("message");
        QVERIFY(message);
        QCOMPARE(message->text, QStringLiteral("Database files missing"));
        QCOMPARE(message->caption, QStringLiteral("Warning"));
        QCOMPARE(message->icon, QMessageBox::Warning);
        QCOMPARE(dialogs.Kinds().count("exec"), 1);  // only the chooser at start
        window->close();
    }

    void openDatabaseOffersTheRecentTableFirst() {
        MakeTables({"Archive", "clips", "News"});
        Remember("DBDir", db_->path());
        Remember("RecentTable", "CLIPS");
        TDMod dmod;
        ScriptedDialogs dialogs;
        QStringList offered;
        QString selected;
        dialogs.execAnswers.push_back([&](QDialog& dialog) {
            auto& form = dynamic_cast<TSelectForm&>(dialog);
            offered = form.Items();
            selected = form.SelectedItem();
            return int(QDialog::Accepted);
        });
        TMainfrm window(dmod, Env());
        window.show();
        QTRY_VERIFY(window.Started());
        QCOMPARE(offered, QStringList({"Archive", "clips", "News"}));
        QCOMPARE(selected, QStringLiteral("clips"));
        QCOMPARE(window.CurrentTable(), QStringLiteral("clips"));
        QCOMPARE(window.Settings().RecentTable, QStringLiteral("clips"));
        window.close();
    }

    void openDatabaseRefusesATableOfAnotherShape() {
        MakeTables({"News"});
        {
            // A table whose MessageID is a plain integer, like a copy of the query result.
            sqlite3* db = nullptr;
            QCOMPARE(sqlite3_open(db_->filePath("Copy.db").toUtf8().constData(), &db), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db,
                                  "CREATE TABLE articles (MessageID INTEGER NOT NULL, Rank "
                                  "INTEGER, Date TEXT, \"From\" TEXT, Newsgroup TEXT, Subject "
                                  "TEXT, Notes TEXT, Article TEXT)",
                                  nullptr, nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_close(db);
        }
        Remember("DBDir", db_->path());
        Remember("RecentTable", "Copy");
        TDMod dmod;
        ScriptedDialogs dialogs;
        dialogs.execAnswers.push_back([](QDialog&) { return int(QDialog::Accepted); });
        dialogs.messageAnswers = {QMessageBox::Ok};
        TMainfrm window(dmod, Env());
        window.show();
        QTRY_VERIFY(window.Started());
        QCOMPARE(dialogs.Last("message")->text, QStringLiteral("Unsupported database type"));
        QVERIFY(window.NoTable());
        QCOMPARE(window.windowTitle(), "Brevilo - [" + db_->path() + "]");
        window.close();
    }

    void cancelledChooserLeavesNoTable() {
        MakeTables({"News"});
        Remember("DBDir", db_->path());
        TDMod dmod;
        ScriptedDialogs dialogs;
        dialogs.execAnswers.push_back([](QDialog&) { return int(QDialog::Rejected); });
        TMainfrm window(dmod, Env());
        window.show();
        QTRY_VERIFY(window.Started());
        QVERIFY(window.NoTable());
        QVERIFY(!window.findChild<QTabWidget*>("PageControl1")->isTabVisible(1));
        window.close();
    }

    void closingWithLogRecordsAsksAndNoKeepsTheWindow() {
        TDMod dmod;
        ScriptedDialogs dialogs;
        auto window = StartOnNews(dmod, dialogs);
        QVERIFY(window);
        dmod.AppendLogRecord(Record(1));
        window->RefreshView();
        dialogs.messageAnswers = {QMessageBox::No};
        QVERIFY(!window->close());
        QVERIFY(window->isVisible());
        const auto* question = dialogs.Last("message");
        QCOMPARE(question->text, QStringLiteral("Discard remaining records?"));
        QCOMPARE(question->caption, QStringLiteral("Warning"));
        QCOMPARE(question->icon, QMessageBox::Question);
        QCOMPARE(question->buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(dmod.Log().TableCount(), 1);
        // Nothing was written while the window stayed.
        QVERIFY(!Store().contains("FontName"));

        dialogs.messageAnswers = {QMessageBox::Yes};
        QVERIFY(window->close());
        QVERIFY(Store().contains("FontName"));
    }

    void closingWithAnEmptyLogAsksNothing() {
        TDMod dmod;
        ScriptedDialogs dialogs;
        auto window = StartOnNews(dmod, dialogs);
        QVERIFY(window);
        QVERIFY(window->close());
        QCOMPARE(dialogs.Kinds(), QStringList({"exec"}));
    }

    void gridShowsTheLogAndTheRecordBoxesFollowTheCurrentRow() {
        TDMod dmod;
        ScriptedDialogs dialogs;
        auto window = StartOnNews(dmod, dialogs);
        QVERIFY(window);
        for (int i = 1; i <= 10; ++i)
            dmod.AppendLogRecord(Record(i));
        TRecordFields japanese = Record(11);
        japanese.Subject = "\x83\x65\x83\x58\x83\x67";               // テスト
        japanese.Article = "\x93\xfa\x96\x7b\r\n\x82\xa0\x09x\r\n";  // 日本 / あ<TAB>x
        dmod.AppendLogRecord(japanese);
        window->RefreshView();

        TDBEditGrid* grid = Grid(*window);
        QCOMPARE(grid->model()->rowCount(), 11);
        // The temporary log hides MessageID.
        QVERIFY(grid->isColumnHidden(TArticleGridModel::ColMessageID));
        QCOMPARE(grid->columnWidth(TArticleGridModel::ColRank), 45);
        QCOMPARE(grid->columnWidth(TArticleGridModel::ColSubject), 250);
        QCOMPARE(window->StatusPanelText(0), QStringLiteral("1 / 11"));
        QCOMPARE(window->findChild<QLineEdit*>("edSubject")->text(), QStringLiteral("Subject 1"));
        QCOMPARE(window->findChild<QLineEdit*>("edDate")->text(),
                 QStringLiteral("05/12/2001 10:20:30"));

        grid->setCurrentIndex(grid->model()->index(10, TArticleGridModel::ColSubject));
        QCOMPARE(window->StatusPanelText(0), QStringLiteral("11 / 11"));
        QCOMPARE(window->findChild<QLineEdit*>("edSubject")->text(),
                 QStringLiteral("\u30c6\u30b9\u30c8"));
        QCOMPARE(window->findChild<QPlainTextEdit*>("dreArticle")->toPlainText(),
                 QStringLiteral("\u65e5\u672c\n\u3042\tx\n"));
        window->close();
        dialogs.messageAnswers = {QMessageBox::Yes};
        window->close();
    }

    void rightClickOnTheGridDoesNotMoveTheCurrentRow() {
        TDMod dmod;
        ScriptedDialogs dialogs;
        auto window = StartOnNews(dmod, dialogs);
        QVERIFY(window);
        for (int i = 1; i <= 20; ++i)
            dmod.AppendLogRecord(Record(i));
        window->RefreshView();
        TDBEditGrid* grid = Grid(*window);
        grid->setCurrentIndex(grid->model()->index(2, TArticleGridModel::ColSubject));
        QCOMPARE(window->StatusPanelText(0), QStringLiteral("3 / 20"));

        const QRect row5 = grid->visualRect(grid->model()->index(5, TArticleGridModel::ColSubject));
        QVERIFY(row5.isValid());
        QTest::mousePress(grid->viewport(), Qt::RightButton, {}, row5.center());
        QTest::mouseRelease(grid->viewport(), Qt::RightButton, {}, row5.center());
        QCOMPARE(grid->currentIndex().row(), 2);
        QCOMPARE(window->StatusPanelText(0), QStringLiteral("3 / 20"));
        QCOMPARE(window->findChild<QLineEdit*>("edSubject")->text(), QStringLiteral("Subject 3"));
        dialogs.messageAnswers = {QMessageBox::Yes};
        window->close();
        APPTEST_VERIFY_NO_WINDOWS();
    }

    void navigatorMovesThroughTheLog() {
        TDMod dmod;
        ScriptedDialogs dialogs;
        auto window = StartOnNews(dmod, dialogs);
        QVERIFY(window);
        for (int i = 1; i <= 5; ++i)
            dmod.AppendLogRecord(Record(i));
        window->RefreshView();
        auto click = [&](const char* name) {
            window->findChild<QWidget*>("navLog")->findChild<QToolButton*>(name)->click();
        };
        click("nbLast");
        QCOMPARE(window->StatusPanelText(0), QStringLiteral("5 / 5"));
        QVERIFY(
            !window->findChild<QWidget*>("navLog")->findChild<QToolButton*>("nbNext")->isEnabled());
        click("nbPrior");
        QCOMPARE(window->StatusPanelText(0), QStringLiteral("4 / 5"));
        click("nbFirst");
        QCOMPARE(window->StatusPanelText(0), QStringLiteral("1 / 5"));
        click("nbNext");
        QCOMPARE(window->findChild<QLineEdit*>("edSubject")->text(), QStringLiteral("Subject 2"));
        dialogs.messageAnswers = {QMessageBox::Yes};
        window->close();
    }

    void searchPageShowsTheSearchCounterAndItsMenus() {
        TDMod dmod;
        ScriptedDialogs dialogs;
        auto window = StartOnNews(dmod, dialogs);
        QVERIFY(window);
        window->ShowPage(TMainfrm::SearchPage);
        QCOMPARE(window->ActivePage(), TMainfrm::SearchPage);
        QCOMPARE(window->StatusPanelText(0), QStringLiteral("0 of 0"));
        QVERIFY(!Grid(*window)->isColumnHidden(TArticleGridModel::ColMessageID));
        QVERIFY(MessageIDTitleFits(*Grid(*window)));
        QVERIFY(window->findChild<QMenu*>("mnuKeyword")->menuAction()->isVisible());
        QVERIFY(!window->findChild<QMenu*>("mnuEdit")->menuAction()->isVisible());
        window->ShowPage(TMainfrm::LogPage);
        QVERIFY(!window->findChild<QMenu*>("mnuKeyword")->menuAction()->isVisible());
        QVERIFY(window->findChild<QMenu*>("mnuEdit")->menuAction()->isVisible());
        QCOMPARE(window->StatusPanelText(0), QStringLiteral("0 / 0"));
        window->close();
    }

    void logDatabaseOpensAndCloses() {
        {
            TDMod maker;
            maker.OpenFolder(db_->path().toStdString());
            maker.CreateMainTable("Archive");
            for (int i = 1; i <= 3; ++i)
                maker.AppendLogRecord(Record(i));
            maker.PostAll();
        }
        TDMod dmod;
        ScriptedDialogs dialogs;
        auto window = StartOnNews(dmod, dialogs);
        QVERIFY(window);
        QCOMPARE(window->CurrentTable(), QStringLiteral("News"));

        QString target;
        QStringList offered;
        dialogs.execAnswers.push_back([&](QDialog& dialog) {
            auto& form = dynamic_cast<TMigrationForm&>(dialog);
            target = form.findChild<QLabel*>("lbTo")->text();
            offered = form.Items();
            return int(QDialog::Accepted);
        });
        QVERIFY(apptest::ChooseMenuItem(*window, "mnuOpenLogDB"));
        QCOMPARE(dialogs.Last("exec")->caption, QStringLiteral("Open Log Database"));
        QCOMPARE(target, QStringLiteral("News"));
        QCOMPARE(offered, QStringList({"Archive"}));
        QCOMPARE(window->CurrentLog(), QStringLiteral("Archive"));
        QVERIFY(window->LogInUse());
        QCOMPARE(window->windowTitle(), "Brevilo - [" + db_->path() + "] Archive ----> News");
        TDBEditGrid* grid = Grid(*window);
        QCOMPARE(grid->model()->rowCount(), 3);
        QVERIFY(!grid->isColumnHidden(TArticleGridModel::ColMessageID));
        QVERIFY(MessageIDTitleFits(*grid));
        QCOMPARE(window->StatusPanelText(0), QStringLiteral("1 / 3"));

        QVERIFY(apptest::ChooseMenuItem(*window, "mnuCloseLogDB"));
        QCOMPARE(window->CurrentLog(), QString());
        QVERIFY(!window->LogInUse());
        QCOMPARE(grid->model()->rowCount(), 0);
        QVERIFY(grid->isColumnHidden(TArticleGridModel::ColMessageID));
        QCOMPARE(window->windowTitle(), "Brevilo - [" + db_->path() + "] News");
        window->close();
    }

    void largeLogOpensWithEveryRowAndReadsRowsOnDemand() {
        TDMod dmod;
        ScriptedDialogs dialogs;
        auto window = StartOnNews(dmod, dialogs);
        QVERIFY(window);
        constexpr int kRows = 50000;
        {
            TDMod::LogBatch batch(dmod);
            for (int i = 1; i <= kRows; ++i)
                dmod.AppendLogRecord(Record(i));
            batch.Commit();
        }
        window->RefreshView();
        TDBEditGrid* grid = Grid(*window);
        QCOMPARE(grid->model()->rowCount(), kRows);
        grid->scrollToBottom();
        grid->setCurrentIndex(grid->model()->index(kRows - 1, TArticleGridModel::ColSubject));
        QCOMPARE(window->StatusPanelText(0), QStringLiteral("50000 / 50000"));
        QCOMPARE(grid->model()->index(kRows - 1, TArticleGridModel::ColSubject).data().toString(),
                 QStringLiteral("Subject 50000"));
        dialogs.messageAnswers = {QMessageBox::Yes};
        window->close();
    }
};

QTEST_MAIN(TestDatabase)
#include "tst_database.moc"
