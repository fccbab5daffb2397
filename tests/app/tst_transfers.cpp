#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>

#include "app/MainWindowFixture.h"
#include "base/EError.h"
#include "controls/TDBEditGrid.h"
#include "log/TTransferCommands.h"
#include "shell/TMigrationForm.h"
#include "shell/TNameChangeForm.h"
#include "view/TArticleGridModel.h"
#include "view/TBoundRecords.h"

// The transfers and the database commands from the window: the questions asked, the
// failure texts, the after-effects, backup, pack and rename.
class TestTransfers : public QObject {
    Q_OBJECT

    apptest::MainWindowFixture f_;

    bool Choose(const char* item) { return apptest::ChooseMenuItem(*f_.window, item); }
    // Multi-select on, with these rows selected.
    void SelectRows(const QList<int>& rows) {
        TDBEditGrid* grid = f_.View().Grid();
        const QPoint at =
            grid->visualRect(grid->model()->index(rows.front(), TArticleGridModel::ColSubject))
                .center();
        QTest::mousePress(grid->viewport(), Qt::RightButton, {}, at);
        QVERIFY(Choose("popMultiSelect"));
        for (int row : rows)
            grid->selectionModel()->select(grid->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // Opens the table as the log database.
    void OpenLogDatabase(const QString& name) {
        f_.dialogs->execAnswers.push_back([name](QDialog& dialog) {
            auto& form = dynamic_cast<TMigrationForm&>(dialog);
            form.SelectIndex(form.Items().indexOf(name));
            return int(QDialog::Accepted);
        });
        QVERIFY(Choose("mnuOpenLogDB"));
        QCOMPARE(f_.window->CurrentLog(), name);
    }
    static void AddRows(TDMod& dmod, const std::string& table, int n,
                        std::size_t articleBytes = 0) {
        dmod.OpenMainTable(table);
        for (int i = 1; i <= n; ++i) {
            TRecordFields record = apptest::MainWindowFixture::Record(i);
            if (articleBytes)
                record.Article = std::string(articleBytes, char('a' + i % 26));
            dmod.AppendLogRecord(record);
        }
        dmod.PostAll();
        dmod.ResetTempTables();
    }

  private slots:
    void cleanup() {
        f_.Stop();
        APPTEST_VERIFY_NO_WINDOWS();
    }

    void postingShowsExactlyTheNewRowsOnTheSearchPage() {
        QVERIFY(f_.Start({"News"}, [](TDMod& dmod) { AddRows(dmod, "News", 10); }));
        f_.FillLog(3);
        f_.dialogs->messageAnswers = {QMessageBox::Ok};
        f_.Button("sbPost")->click();
        const auto* question = f_.dialogs->Last("message");
        QCOMPARE(question->text, QStringLiteral("News << Post these records?"));
        QCOMPARE(question->caption, QStringLiteral("Confirmation"));
        QCOMPARE(question->buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(f_.window->ActivePage(), TMainfrm::SearchPage);
        QCOMPARE(f_.View().RowCount(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(f_.View().Bound()->Row(i).MessageID, 11 + i);
        QCOMPARE(f_.Counter(), QStringLiteral("3 of 13"));
        QCOMPARE(f_.window->StatusPanelText(1),
                 QStringLiteral("Posted temporary records successfully"));
        QCOMPARE(f_.dmod->Log().TableCount(), 0);
        QVERIFY(!f_.window->LogInUse());
        QVERIFY(f_.dialogs->unexpected.isEmpty());
    }

    void writingAnEmptyLogSaysThereAreNoRecords() {
        QVERIFY(f_.Start());
        f_.dialogs->messageAnswers = {QMessageBox::Ok};
        f_.window->TransferCommands().sbPostClick();
        QCOMPARE(f_.dialogs->Last("message")->text, QStringLiteral("There are no records"));
        QCOMPARE(f_.dialogs->Kinds().count("message"), 1);
    }

    void failedTransferLeavesTablesAndSelection_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("failure");
        QTest::newRow("copy") << "sbCopySelect"
                              << "Failed to copy selected records";
        QTest::newRow("move") << "sbMoveSelect"
                              << "Failed to move selected records";
    }
    void failedTransferLeavesTablesAndSelection() {
        QFETCH(QString, button);
        QFETCH(QString, failure);
        QVERIFY(f_.Start());
        f_.FillLog(5);
        SelectRows({1, 3});
        int rows = 0;
        f_.dmod->SetRowHook([&rows] {
            if (++rows == 2)
                throw EError("disk full");
        });
        f_.dialogs->messageAnswers = {QMessageBox::Ok, QMessageBox::Ok};
        f_.Button(button.toLatin1().constData())->click();
        QCOMPARE(f_.dialogs->Last("message")->text, failure);
        QCOMPARE(f_.dmod->MainRowCount(), 0);
        QCOMPARE(f_.dmod->Log().TableCount(), 5);
        QVERIFY(f_.window->MultiSelect());
        QCOMPARE(f_.View().SelectedMessageIDs(), std::vector<long long>({2, 4}));
        QCOMPARE(f_.window->ActivePage(), TMainfrm::LogPage);
        f_.dmod->SetRowHook({});
    }

    void movingEveryRowOutOfALogDatabaseClosesIt() {
        QVERIFY(f_.Start({"News", "Archive"}, [](TDMod& dmod) {
            AddRows(dmod, "Archive", 3);
            dmod.OpenMainTable("News");
        }));
        OpenLogDatabase(QStringLiteral("Archive"));
        QVERIFY(f_.window->LogInUse());
        QCOMPARE(f_.window->windowTitle(), "Brevilo - [" + f_.db->path() + "] Archive ----> News");
        SelectRows({0, 1, 2});
        f_.dialogs->messageAnswers = {QMessageBox::Ok};
        f_.Button("sbMoveSelect")->click();
        QCOMPARE(f_.dialogs->Last("message")->text,
                 QStringLiteral("News << Move selected records?"));
        QCOMPARE(f_.dmod->MainRowCount(), 3);
        QVERIFY(f_.dmod->LogIsTemporary());
        QVERIFY(!f_.window->LogInUse());
        QCOMPARE(f_.window->windowTitle(), "Brevilo - [" + f_.db->path() + "] News");
        QCOMPARE(f_.window->ActivePage(), TMainfrm::SearchPage);
        QCOMPARE(f_.window->StatusPanelText(1), QStringLiteral("Moved selected records"));
    }

    void deleteFilteredReleasesTheFilter() {
        QVERIFY(f_.Start());
        f_.FillLog(6);
        f_.View().GoToRow(1);
        f_.View().SubjectBox()->setSelection(8, 1);  // "2" of "Subject 2"
        QVERIFY(Choose("popFltrSubject"));
        QCOMPARE(f_.Counter(), QStringLiteral("1 of 6"));
        f_.dialogs->messageAnswers = {QMessageBox::Ok};
        QVERIFY(Choose("mnuDeleteFiltered"));
        QCOMPARE(f_.dialogs->Last("message")->text, QStringLiteral("Delete the filtered records?"));
        QVERIFY(!f_.dmod->Log().FilterActive());
        QCOMPARE(f_.Counter(), QStringLiteral("1 / 5"));
        QCOMPARE(f_.window->StatusPanelText(1),
                 QStringLiteral("Deleted range records successfully"));
    }

    void backupRefusesTheDatabaseFolder_data() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("message");
        QTest::newRow("same text") << ""
                                   << "Backup operation not allowed on Database Folder";
        QTest::newRow("other spelling") << "/./"
                                        << "Backup operation not allowed on Database Folder";
        QTest::newRow("subfolder") << "/saved"
                                   << "Backuped seccessfully";
    }
    void backupRefusesTheDatabaseFolder() {
        QFETCH(QString, suffix);
        QFETCH(QString, message);
        QVERIFY(f_.Start());
        QVERIFY(QDir(f_.db->path()).mkdir("saved"));
        const QString target = f_.db->path() + suffix;
        f_.dialogs->folderAnswers = {target};
        f_.dialogs->messageAnswers = {QMessageBox::Ok};
        QVERIFY(Choose("mnuBackup"));
        QCOMPARE(f_.dialogs->Last("folder")->caption, QStringLiteral("Select Folder for Backup"));
        QCOMPARE(f_.dialogs->Last("message")->text, message);
        QCOMPARE(QFile::exists(f_.db->path() + "/saved/News.db"), suffix == "/saved");
    }

    void renameOntoAnExistingNameChangesNothing_data() {
        QTest::addColumn<QString>("newName");
        QTest::addColumn<QString>("message");
        QTest::newRow("existing in other case") << "OLD"
                                                << "Invalid file name";
        QTest::newRow("slash") << "a/b"
                               << "Invalid database name";
        QTest::newRow("hyou") << QStringLiteral("\u8868") << QString();  // 表 is accepted
    }
    void renameOntoAnExistingNameChangesNothing() {
        QFETCH(QString, newName);
        QFETCH(QString, message);
        QVERIFY(f_.Start({"News", "Archive", "Old"}));
        QStringList offered;
        f_.dialogs->execAnswers.push_back([&](QDialog& dialog) {
            auto& form = dynamic_cast<TNameChangeForm&>(dialog);
            offered = form.Items();
            form.SelectIndex(0);
            form.SetNewName(newName);
            return int(QDialog::Accepted);
        });
        f_.dialogs->messageAnswers = {QMessageBox::Ok};
        QVERIFY(Choose("mnuChangeDBName"));
        QCOMPARE(offered, QStringList({"Archive", "Old"}));
        if (message.isEmpty()) {
            QVERIFY(!f_.dialogs->Last("message"));
            QVERIFY(!QFile::exists(f_.db->filePath("Archive.db")));
        } else {
            QCOMPARE(f_.dialogs->Last("message")->text, message);
            QVERIFY(QFile::exists(f_.db->filePath("Archive.db")));
            QVERIFY(QFile::exists(f_.db->filePath("Old.db")));
        }
    }

    void packReportsTheSizesBeforeAndAfter() {
        QVERIFY(f_.Start({"News", "Archive"}, [](TDMod& dmod) {
            AddRows(dmod, "Archive", 200, 4000);
            dmod.OpenMainTable("News");
        }));
        OpenLogDatabase(QStringLiteral("Archive"));
        std::vector<long long> half;
        for (long long id = 1; id <= 100; ++id)
            half.push_back(id);
        f_.dmod->MoveSelected(half);
        f_.window->RefreshView();
        f_.dialogs->messageAnswers = {QMessageBox::Ok};
        QVERIFY(Choose("mnuPackLogDB"));
        const QString report = f_.dialogs->Last("message")->text;
        const QRegularExpression pattern(QStringLiteral(
            "^Archive DB Packing Information\r\n\r\nBefore Packing:  ([0-9,]+) byte\r\n"
            "After Packing:  ([0-9,]+) byte$"));
        const auto match = pattern.match(report);
        QVERIFY2(match.hasMatch(), qPrintable(report));
        const long long before = match.captured(1).remove(',').toLongLong();
        const long long after = match.captured(2).remove(',').toLongLong();
        QVERIFY(match.captured(1).contains(','));  // thousands separators
        QVERIFY2(after < before, qPrintable(report));
        QCOMPARE(f_.Counter(), QStringLiteral("1 / 100"));
    }

    void changeFolderToTheSameFolderDoesNothing() {
        QVERIFY(f_.Start());
        f_.dialogs->folderAnswers = {f_.db->path()};
        QVERIFY(Choose("mnuChangeFolder"));
        QCOMPARE(f_.dialogs->Kinds().mid(1), QStringList({"folder"}));
        QCOMPARE(f_.window->CurrentTable(), QStringLiteral("News"));
    }

    void changeFolderToAnEmptyFolderAsksForANewDatabase() {
        QVERIFY(f_.Start());
        QTemporaryDir other;
        f_.dialogs->folderAnswers = {other.path()};
        f_.dialogs->inputAnswers = {QStringLiteral("Fresh")};
        QVERIFY(Choose("mnuChangeFolder"));
        QCOMPARE(f_.dialogs->Last("input")->caption, QStringLiteral("New Database"));
        QCOMPARE(f_.window->windowTitle(), "Brevilo - [" + other.path() + "] Fresh");
        QCOMPARE(f_.window->Settings().DBDir, other.path());
        // With the log in use the folder cannot be changed.
        f_.FillLog(1);
        QVERIFY(!Choose("mnuChangeFolder"));
    }
};

QTEST_MAIN(TestTransfers)
#include "tst_transfers.moc"
