#include <QFontMetrics>
#include <QListWidget>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QtTest>

#include "app/AppTestSupport.h"
#include "controls/Cp932Text.h"
#include "controls/TDBEditGrid.h"
#include "shell/FolderText.h"
#include "shell/TSelectForm.h"

// The small pieces of the main window: text conversion, the folder text, the grid's
// mouse rules and the table chooser.
class TestControls : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { APPTEST_VERIFY_NO_WINDOWS(); }

    void cp932ToText() {
        // "\x82\xa0" is あ, "\x93\xfa\x96\x7b" is 日本, "\xb1" is half-width ｱ.
        QCOMPARE(FromCp932("A\x82\xa0\x93\xfa\x96\x7b\xb1"),
                 QStringLiteral("A\u3042\u65e5\u672c\uff71"));
    }

    void textToCp932() {
        QCOMPARE(ToCp932(QStringLiteral("\u3042\u65e5\u672c")),
                 std::string("\x82\xa0\x93\xfa\x96\x7b"));
    }

    void characterCp932LacksBecomesQuestionMark() {
        QCOMPARE(ToCp932(QStringLiteral("a\u00e9b")), std::string("a?b"));  // é
    }

    void badBytesBecomeReplacementCharacters() {
        // A lone lead byte at the end of the text.
        QCOMPARE(FromCp932("ab\x82"), QStringLiteral("ab\ufffd"));
    }

    void roundTripKeepsTheBytes() {
        const std::string bytes = "Re: \x83\x65\x83\x58\x83\x67 [\x81\x9a]\r\nline";  // テスト ★
        QCOMPARE(ToCp932(FromCp932(bytes)), bytes);
    }

    void folderTextFitsAsItIs() {
        QFont font;
        const QFontMetrics metrics(font);
        const QString path = "/home/user/mail";
        QCOMPARE(ShortenFolderText(path, metrics, metrics.horizontalAdvance(path)), path);
    }

    void folderTextDropsLeadingFolders() {
        QFont font;
        const QFontMetrics metrics(font);
        const QString path = "/home/user/archive/2001/mail";
        const QString oneDropped = "/home/.../archive/2001/mail";
        const QString allDropped = "/home/.../mail";
        QCOMPARE(ShortenFolderText(path, metrics, metrics.horizontalAdvance(oneDropped)),
                 oneDropped);
        QCOMPARE(ShortenFolderText(path, metrics, metrics.horizontalAdvance(allDropped)),
                 allDropped);
        QCOMPARE(ShortenFolderText(path, metrics, 1), allDropped);
    }

    void folderTextWithNothingToDropStays() {
        QFont font;
        const QFontMetrics metrics(font);
        QCOMPARE(ShortenFolderText("/home/mail", metrics, 1), QStringLiteral("/home/mail"));
    }

    void rightClickDoesNotMoveTheCurrentRow() {
        QStandardItemModel model(20, 3);
        TDBEditGrid grid;
        grid.setModel(&model);
        grid.setSelectionBehavior(QAbstractItemView::SelectRows);
        grid.resize(400, 400);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setCurrentIndex(model.index(2, 0));

        const QPoint onRow5 = grid.visualRect(model.index(5, 1)).center();
        QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, onRow5);
        QCOMPARE(grid.currentIndex().row(), 2);
        QCOMPARE(grid.LastRightPress(), onRow5);

        // Replaying the press (as multi-select does) selects the row that was clicked.
        grid.ReplayLastRightPress();
        QCOMPARE(grid.currentIndex().row(), 5);
        grid.close();
    }

    void wheelOverTheRowsIsSwallowed() {
        QStandardItemModel model(500, 2);
        TDBEditGrid grid;
        grid.setModel(&model);
        grid.resize(300, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setCurrentIndex(model.index(0, 0));
        const QPoint at = grid.viewport()->rect().center();
        QWheelEvent wheel(at, grid.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -240),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid.viewport(), &wheel);
        QCOMPARE(grid.verticalScrollBar()->value(), 0);
        QCOMPARE(grid.currentIndex().row(), 0);
        grid.close();
    }

    void selectFormSortsAndSelectsWithoutRegardToCase() {
        TSelectForm form;
        form.SetItems({"news", "Archive", "clips"});
        QCOMPARE(form.Items(), QStringList({"Archive", "clips", "news"}));
        form.SelectItem("NEWS");
        QCOMPARE(form.SelectedItem(), QStringLiteral("news"));
        form.SelectItem("missing");
        QCOMPARE(form.SelectedItem(), QStringLiteral("Archive"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Select table"));
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
