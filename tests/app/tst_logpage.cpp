#include <QItemSelectionModel>
#include <QLineEdit>
#include <QtTest>

#include "app/MainWindowFixture.h"
#include "controls/TDBEditGrid.h"
#include "view/TArticleGridModel.h"

// The Log Records page's wiring: the filter menu, the counter texts, the orderings,
// multi-select from the grid's context menu and the tool-bar state. The rules themselves
// are tested in core (ViewRules, LogView).
class TestLogPage : public QObject {
    Q_OBJECT

    apptest::MainWindowFixture f_;

    bool Choose(const char* item) { return apptest::ChooseMenuItem(*f_.window, item); }
    void RightClickRow(int row) {
        TDBEditGrid* grid = f_.View().Grid();
        grid->scrollTo(grid->model()->index(row, TArticleGridModel::ColSubject));
        const QPoint at =
            grid->visualRect(grid->model()->index(row, TArticleGridModel::ColSubject)).center();
        QTest::mousePress(grid->viewport(), Qt::RightButton, {}, at);
        QTest::mouseRelease(grid->viewport(), Qt::RightButton, {}, at);
    }

  private slots:
    void init() { QVERIFY(f_.Start()); }
    void cleanup() {
        f_.Stop();
        APPTEST_VERIFY_NO_WINDOWS();
    }

    void subjectFilterThenReleaseComesBackToTheRow() {
        {
            TDMod::LogBatch batch(*f_.dmod);
            for (int i = 1; i <= 120; ++i)
                f_.dmod->AppendLogRecord(
                    apptest::MainWindowFixture::Record(i, i == 57   ? "Re: Weekly report"
                                                          : i == 80 ? "WEEKLY REPORT (2)"
                                                          : i == 99 ? "Fwd: weekly report"
                                                                    : ""));
            batch.Commit();
        }
        f_.dmod->SetLogInUse(true);
        f_.window->RefreshView();
        f_.View().GoToRow(56);
        QCOMPARE(f_.Counter(), QStringLiteral("57 / 120"));
        QVERIFY(f_.Button("sbPost")->isEnabled());

        QVERIFY(Choose("popFltrSubject"));
        QCOMPARE(f_.Counter(), QStringLiteral("3 of 120"));
        QCOMPARE(f_.View().RowCount(), 3);
        QVERIFY(!f_.Button("sbPost")->isEnabled());
        QVERIFY(f_.window->findChild<QAction*>("popFltrSubject")->isChecked());
        // While filtered only the filter commands of the Edit menu are offered.
        QVERIFY(!Choose("mnuCloseLogDB"));

        f_.View().GoToRow(2);
        QVERIFY(Choose("popFltrRelease"));
        QCOMPARE(f_.Counter(), QStringLiteral("57 / 120"));
        QCOMPARE(f_.CurrentSubject(), std::string("Re: Weekly report"));
        QVERIFY(f_.Button("sbPost")->isEnabled());
    }

    void groupFilterTakesTheSelectedText() {
        f_.FillLog(10);
        f_.View().GroupBox()->setSelection(3, 4);  // "news" of "fj.news"
        QVERIFY(Choose("popFltrGroup"));
        QCOMPARE(f_.dmod->Log().filterText(), std::string("news"));
        QCOMPARE(f_.Counter(), QStringLiteral("10 of 10"));
    }

    void unreadableDateSetsNoFilter() {
        f_.FillLog(3);
        f_.View().DateBox()->setText(QStringLiteral("31/31/2001"));
        f_.dialogs->messageAnswers = {QMessageBox::Ok};
        QVERIFY(Choose("popFltrDateBefore"));
        QCOMPARE(f_.dialogs->Last("message")->text,
                 QStringLiteral("'31/31/2001' is not a valid date"));
        QVERIFY(!f_.dmod->Log().FilterActive());
        QCOMPARE(f_.Counter(), QStringLiteral("1 / 3"));
    }

    void rangeBetweenRowsFortyAndTen() {
        f_.FillLog(50);
        f_.View().GoToRow(39);
        QVERIFY(f_.dmod->Log().SetBookmark());
        f_.View().GoToRow(9);
        // With a bookmark only Release and Range are offered.
        QVERIFY(!Choose("popFltrSubject"));
        QVERIFY(Choose("popFltrRange"));
        QCOMPARE(f_.Counter(), QStringLiteral("31 of 50"));
        QCOMPARE(f_.dmod->Log().Rows().Row(0).Subject, std::string("Subject 10"));
        QCOMPARE(f_.dmod->Log().BookmarkID(), -1);
    }

    void arrangeByDateAndBackKeepsTheRow() {
        f_.FillLog(10);
        f_.View().GoToRow(3);
        QVERIFY(Choose("mnuOrderByDate"));
        QCOMPARE(f_.CurrentSubject(), std::string("Subject 4"));
        QCOMPARE(f_.Counter(), QStringLiteral("7 / 10"));  // dates run backwards
        QCOMPARE(f_.View().SubjectBox()->text(), QStringLiteral("Subject 4"));
        QVERIFY(Choose("mnuOrderByImport"));
        QCOMPARE(f_.Counter(), QStringLiteral("4 / 10"));
        QVERIFY(f_.window->findChild<QAction*>("mnuOrderByImport")->isChecked());
    }

    void multiSelectStartsOnTheRightClickedRowAndFilters() {
        f_.FillLog(20);
        f_.View().GoToRow(2);
        RightClickRow(5);
        QCOMPARE(f_.Counter(), QStringLiteral("3 / 20"));  // the cursor stays
        QVERIFY(Choose("popMultiSelect"));
        QVERIFY(f_.window->MultiSelect());
        QCOMPARE(f_.View().SelectedMessageIDs(), std::vector<long long>({6}));
        QVERIFY(f_.Button("sbCopySelect")->isEnabled());
        QVERIFY(f_.Button("sbDelSelect")->isEnabled());
        QVERIFY(!f_.Button("sbPost")->isEnabled());
        QVERIFY(!f_.Button("sbSubject")->isEnabled());
        // Only Release and Multi-Selection may be chosen now.
        QVERIFY(!Choose("popFltrFrom"));

        TDBEditGrid* grid = f_.View().Grid();
        grid->selectionModel()->select(grid->model()->index(11, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QVERIFY(Choose("popFltrMultiSelect"));
        QCOMPARE(f_.Counter(), QStringLiteral("2 of 20"));
        QVERIFY(!f_.window->MultiSelect());
        QVERIFY(!f_.Button("sbCopySelect")->isEnabled());
    }

    void pageChangeEndsMultiSelect() {
        f_.FillLog(5);
        RightClickRow(1);
        QVERIFY(Choose("popMultiSelect"));
        f_.window->ShowPage(TMainfrm::SearchPage);
        QVERIFY(!f_.window->MultiSelect());
        QVERIFY(f_.View().SelectedMessageIDs().size() <= 1);
    }

    void toolBarFollowsTheLog() {
        QVERIFY(f_.Button("sbImport")->isEnabled());
        QVERIFY(!f_.Button("sbFilter")->isEnabled());
        QVERIFY(!f_.Button("sbPost")->isEnabled());
        f_.FillLog(2);
        QVERIFY(!f_.Button("sbImport")->isEnabled());  // the log is in use
        QVERIFY(f_.Button("sbFilter")->isEnabled());
        QVERIFY(f_.Button("sbSubject")->isEnabled());
        QVERIFY(f_.Button("sbPost")->isEnabled());
        QVERIFY(!f_.Button("sbDelSelect")->isEnabled());
    }
};

QTEST_MAIN(TestLogPage)
#include "tst_logpage.moc"
