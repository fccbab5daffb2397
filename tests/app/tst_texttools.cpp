#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "app/AppTestSupport.h"
#include "app/ScriptedDialogs.h"
#include "controls/Cp932Text.h"
#include "shell/TMainfrm.h"
#include "store/TDMod.h"
#include "tools/TArticleTextTools.h"
#include "tools/TFileExtForm.h"
#include "tools/TPagePrinter.h"
#include "tools/TReplaceDialog.h"
#include "tools/TTxtConvForm.h"
#include "view/TBoundRecords.h"
#include "view/TRecordViewWidget.h"

// The text tools' windows: the wiring to the rules (tested in core), the questions and
// messages, and printing to PDF read back with pdftotext.
class TestTextTools : public QObject {
    Q_OBJECT

    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The text of a PDF, page by page (pdftotext ends each page with a form feed).
    static QStringList PdfPages(const QString& pdf) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            return {};
        QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QChar('\f'));
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        return pages;
    }

  private slots:
    void cleanup() {
        TPagePrinter::SetPrinterCheck(nullptr);
        APPTEST_VERIFY_NO_WINDOWS();
    }

    void fileExtFormConvertsAndUndoes() {
        QTemporaryDir dir;
        QFile(dir.filePath("a.bak")).open(QIODevice::WriteOnly);
        ScriptedDialogs dialogs;
        dialogs.messageAnswers = {QMessageBox::Ok, QMessageBox::Ok};
        TFileExtForm form(dir.path());
        auto* mask = form.findChild<QComboBox*>("cbMask");
        auto* ext = form.findChild<QComboBox*>("cbPostExt");
        auto* undo = form.findChild<QPushButton*>("btnUndo");
        QCOMPARE(mask->currentText(), QStringLiteral("*.*"));
        QCOMPARE(ext->currentText(), QString());
        QVERIFY(!undo->isEnabled());

        mask->setCurrentText(QStringLiteral("*.bak"));
        ext->setCurrentText(QStringLiteral("htm"));
        form.findChild<QPushButton*>("btnConvert")->click();
        QCOMPARE(dialogs.Last("message")->text, QStringLiteral("Converted successfully"));
        QVERIFY(QFile::exists(dir.filePath("a.htm")));
        QVERIFY(undo->isEnabled());
        undo->click();
        QVERIFY(QFile::exists(dir.filePath("a.bak")));
        QVERIFY(!undo->isEnabled());

        mask->setCurrentText(QStringLiteral("*.eml"));
        form.findChild<QPushButton*>("btnConvert")->click();
        QCOMPARE(dialogs.Last("message")->text, QStringLiteral("No files in this folder"));
        QVERIFY(dialogs.unexpected.isEmpty());
    }

    void txtConvFormExportsTheShownRecordsWithItsLabels() {
        QTemporaryDir db, out;
        TDMod dmod;
        dmod.OpenFolder(db.path().toStdString());
        for (const char* subject : {"one", "two"}) {
            TRecordFields r;
            r.Subject = subject;
            r.Date = "2001/6/5 9:07:03";
            r.Article = std::string("text ") + subject;
            dmod.AppendLogRecord(r);
        }
        auto log = MakeLogRecords(dmod);
        TTxtConvForm form(dmod, ShownRecords(*log), out.path(), QStringLiteral("News.txt"));
        QCOMPARE(form.findChild<QLineEdit*>("edFileName")->text(), QStringLiteral("News.txt"));
        for (const char* name : {"ckDate", "ckFrom", "ckGroup"})
            form.findChild<QCheckBox*>(name)->click();
        QVERIFY(!form.findChild<QLineEdit*>("edDate")->isEnabled());
        form.findChild<QCheckBox*>("ckDate")->click();
        QVERIFY(form.findChild<QLineEdit*>("edDate")->isEnabled());
        form.findChild<QCheckBox*>("ckDate")->click();
        form.findChild<QLineEdit*>("edSubject")->setText(QStringLiteral("Title: "));

        auto* convert = form.findChild<QPushButton*>("btnConvert");
        convert->click();
        const QByteArray expected = "Title: one\r\n\r\ntext one\r\n\r\nTitle: two\r\n\r\ntext two";
        QCOMPARE(Read(out.filePath("News.txt")), expected);
        QCOMPARE(dmod.ExportLabels().Subject, std::string("Title: "));
        // The label stays for the next window; a second export keeps the first as ".bak".
        TTxtConvForm again(dmod, ShownRecords(*log), out.path(), QStringLiteral("News.txt"));
        QCOMPARE(again.findChild<QLineEdit*>("edSubject")->text(), QStringLiteral("Title: "));
        for (const char* name : {"ckSubject", "ckDate", "ckFrom", "ckGroup", "ckArticle"})
            again.findChild<QCheckBox*>(name)->click();
        again.findChild<QPushButton*>("btnConvert")->click();
        QCOMPARE(Read(out.filePath("News.txt")), QByteArray());
        QCOMPARE(Read(out.filePath("News.bak")), expected);

        // A file that cannot be created: the system's reason, naming the file.
        ScriptedDialogs dialogs;
        dialogs.messageAnswers = {QMessageBox::Ok};
        again.findChild<QLineEdit*>("edFileName")->setText(QStringLiteral("none/x.txt"));
        again.findChild<QPushButton*>("btnConvert")->click();
        QVERIFY(dialogs.Last("message")->text.startsWith(QStringLiteral("Cannot create file \"")));
    }

    void articleCommandsEditTheSelectionOrTheWholeText() {
        QPlainTextEdit editor;
        int edits = 0;
        TArticleTextTools tools(&editor, [&edits] { return ++edits, true; });
        editor.setPlainText(QStringLiteral("keep\nThis is a\npen.\n\tabc  "));
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(5);
        cursor.setPosition(19, QTextCursor::KeepAnchor);  // "This is a\npen."
        editor.setTextCursor(cursor);
        tools.mnuTextFormatClick();
        QCOMPARE(editor.toPlainText(), QStringLiteral("keep\nThis is a pen.\n\tabc  "));
        QCOMPARE(editor.textCursor().selectedText(), QStringLiteral("This is a pen."));
        editor.moveCursor(QTextCursor::End);
        tools.mnuDelBothBlanksClick();
        QCOMPARE(editor.toPlainText(), QStringLiteral("keep\nThis is a pen.\nabc\n"));
        QCOMPARE(edits, 2);

        // Nothing changes when the record cannot be edited.
        TArticleTextTools locked(&editor, [] { return false; });
        locked.mnuTextFormatClick();
        QCOMPARE(editor.toPlainText(), QStringLiteral("keep\nThis is a pen.\nabc\n"));
    }

    void replaceDialogReplacesFromTheSelection() {
        QPlainTextEdit editor;
        editor.show();
        TArticleTextTools tools(&editor, [] { return true; });
        editor.setPlainText(QStringLiteral("a cat\nthe cat and the Cat"));
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(2);
        cursor.setPosition(5, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
        tools.mnuTextReplaceClick(QPoint(40, 40));
        TReplaceDialog* dialog = tools.ReplaceDialog();
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
        QCOMPARE(dialog->FindText(), QStringLiteral("cat"));
        dialog->findChild<QLineEdit*>("edReplace")->setText(QStringLiteral("cats"));
        dialog->findChild<QPushButton*>("btnReplace")->click();
        QCOMPARE(editor.toPlainText(), QStringLiteral("a cats\nthe cat and the Cat"));
        // Replace All from the caret on (no selection: from the start); the replacement
        // holds the search text and the run still ends.
        dialog->findChild<QPushButton*>("btnReplaceAll")->click();
        QCOMPARE(editor.toPlainText(), QStringLiteral("a catss\nthe cats and the cats"));
        dialog->findChild<QCheckBox*>("ckMatchCase")->setChecked(true);
        dialog->SetFindText(QStringLiteral("Cat"));
        dialog->findChild<QPushButton*>("btnFindNext")->click();
        QCOMPARE(editor.textCursor().selectedText(), QString());
        dialog->close();
    }

    void printsARecordOnOnePage() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("one.pdf");
        TPagePrinter::SetPrinterCheck([] { return true; });
        ScriptedDialogs dialogs;
        dialogs.execAnswers.push_back([&pdf](QDialog& dialog) {
            auto& print = static_cast<QPrintDialog&>(dialog);
            [&] {
                QCOMPARE(print.fromPage(), 1);
                QCOMPARE(print.toPage(), 1);
                QCOMPARE(print.maxPage(), 1);
            }();
            print.printer()->setOutputFormat(QPrinter::PdfFormat);
            print.printer()->setOutputFileName(pdf);
            print.printer()->setPrintRange(QPrinter::AllPages);
            return int(QDialog::Accepted);
        });
        const QString title = RecordPrintTitle(QStringLiteral("News"), QString());
        QCOMPARE(title, QStringLiteral("Brevilo - News   MessageID: "));
        PrintRecordLines(nullptr, QFont(QStringLiteral("DejaVu Sans Mono"), 10), title,
                         RecordPrintLines(QStringLiteral("Taro"), QStringLiteral("fj.news"),
                                          QStringLiteral("Hello"), QStringLiteral("06/05/2001"),
                                          QStringLiteral("first\nsecond\nthird\n")));
        const QStringList pages = PdfPages(pdf);
        QCOMPARE(pages.size(), 1);
        for (const char* text :
             {"Brevilo - News", "MessageID:", "From: Taro", "Newsgroups: fj.news", "Subject: Hello",
              "Date: 06/05/2001", "first", "third", "1 / 1"})
            QVERIFY2(pages[0].contains(QLatin1String(text)), text);
        QVERIFY(pages[0].contains(QDateTime::currentDateTime().toString("yy/MM/dd")));
    }

    void printsAPageRange() {
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("range.pdf"));
        TPagePrinter pagePrinter(printer);
        pagePrinter.Prepare(QFont(QStringLiteral("DejaVu Sans Mono"), 10));
        const int perPage = pagePrinter.Geometry().linesPerPage;
        QStringList lines;
        for (int i = 1; i <= perPage * 2 + 20; ++i)
            lines << QStringLiteral("line %1").arg(i, 4, 10, QChar('0'));
        pagePrinter.SetContent(QStringLiteral("Title"), lines);
        QCOMPARE(pagePrinter.PageCount(), 3);
        QVERIFY(pagePrinter.PrintPages(2, 3));
        const QStringList pages = PdfPages(dir.filePath("range.pdf"));
        QCOMPARE(pages.size(), 2);
        QVERIFY(!pages[0].contains(QStringLiteral("line 0001")));
        QVERIFY(pages[0].contains(QStringLiteral("line %1").arg(perPage + 1, 4, 10, QChar('0'))));
        QVERIFY(pages[0].contains(QStringLiteral("2 / 3")));
        QVERIFY(pages[1].contains(QStringLiteral("line %1").arg(lines.size(), 4, 10, QChar('0'))));
        QVERIFY(pages[1].contains(QStringLiteral("3 / 3")));
    }

    // The commands from the main window's menus, on the log of a real database folder.
    void menuCommandsWorkInTheMainWindow() {
        QTemporaryDir config, db, data;
        apptest::RedirectSettings(config.path());
        {
            TDMod maker;
            maker.OpenFolder(db.path().toStdString());
            maker.CreateMainTable("News");
        }
        {
            QSettings store(QStringLiteral("Korvath"), QStringLiteral("Brevilo"));
            store.setValue("DBDir", db.path());
            store.setValue("RecentTable", "News");
            store.setValue("CurDir", data.path());
        }
        TDMod dmod;
        ScriptedDialogs dialogs;
        dialogs.execAnswers.push_back([](QDialog&) { return int(QDialog::Accepted); });
        TMainfrm window(dmod, TAppEnv{config.path()});
        window.show();
        QTRY_VERIFY(window.Started());
        QVERIFY(!apptest::ChooseMenuItem(window, "mnuTextFormat"));  // an empty log
        QVERIFY(!apptest::ChooseMenuItem(window, "mnuPrint"));
        TRecordFields record;
        record.Subject = "Hello";
        record.Article = "This is a\r\npen.\r\n";
        dmod.AppendLogRecord(record);
        window.RefreshView();

        QVERIFY(apptest::ChooseMenuItem(window, "mnuTextFormat"));
        QCOMPARE(window.View().ArticleEditor()->toPlainText(), QStringLiteral("This is a pen."));
        QVERIFY(window.View().Editing());

        // The export writes the shown records with the edit posted first.
        dialogs.execAnswers.push_back([](QDialog& form) {
            [&] { QCOMPARE(form.windowTitle(), QStringLiteral("Convert into text")); }();
            form.findChild<QPushButton*>("btnConvert")->click();
            return int(QDialog::Rejected);
        });
        QVERIFY(apptest::ChooseMenuItem(window, "mnuTextConv"));
        QCOMPARE(Read(data.filePath("News.txt")),
                 QByteArray("Subject: Hello\r\nDate: \r\nFrom: \r\nNewsgroups: \r\n\r\n"
                            "This is a pen."));

        dialogs.execAnswers.push_back([](QDialog& form) {
            [&] { QCOMPARE(form.windowTitle(), QStringLiteral("Convert file extension")); }();
            return int(QDialog::Rejected);
        });
        QVERIFY(apptest::ChooseMenuItem(window, "mnuFileExtConv"));

        // On the Log Records page the title ends with "MessageID: " and no number.
        const QString pdf = data.filePath("record.pdf");
        TPagePrinter::SetPrinterCheck([] { return true; });
        dialogs.execAnswers.push_back([&pdf](QDialog& dialog) {
            auto& print = static_cast<QPrintDialog&>(dialog);
            print.printer()->setOutputFormat(QPrinter::PdfFormat);
            print.printer()->setOutputFileName(pdf);
            return int(QDialog::Accepted);
        });
        QVERIFY(apptest::ChooseMenuItem(window, "mnuPrint"));
        const QStringList pages = PdfPages(pdf);
        QCOMPARE(pages.size(), 1);
        // (pdftotext joins the blanks of a proportional font.)
        QVERIFY2(
            pages[0].contains(QRegularExpression(QStringLiteral("Brevilo - News +MessageID: *\n"))),
            qPrintable(pages[0]));
        QVERIFY(pages[0].contains(QStringLiteral("Subject: Hello")));
        QVERIFY(pages[0].contains(QStringLiteral("This is a pen.")));
        QVERIFY(dialogs.unexpected.isEmpty());
        dialogs.messageAnswers = {QMessageBox::Yes};
        window.close();
    }

    void noPrinterIsReported() {
        TPagePrinter::SetPrinterCheck([] { return false; });
        ScriptedDialogs dialogs;
        dialogs.messageAnswers = {QMessageBox::Ok};
        PrintRecordLines(nullptr, QFont(), QStringLiteral("t"), {QStringLiteral("x")});
        QCOMPARE(dialogs.Kinds(), QStringList({"message"}));
        QCOMPARE(dialogs.calls[0].text, QStringLiteral("No printers are installed"));
    }
};

QTEST_MAIN(TestTextTools)
#include "tst_texttools.moc"
