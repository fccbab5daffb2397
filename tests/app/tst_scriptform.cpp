// The script test window and the script folder: the wiring of each command, the questions
// asked, and the worker's hand-over. The test run's own output is checked in core.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "app/AppTestSupport.h"
#include "app/ScriptedDialogs.h"
#include "script/TFindDialog.h"
#include "script/TScriptFolder.h"
#include "script/TScriptForm.h"

namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A script of twelve lines whose last line fails: "!" does not find its pattern.
const QByteArray kLine12Error =
    "/1\r\n/2\r\n/3\r\n/4\r\n/5\r\n/6\r\n/7\r\n/8\r\n/9\r\n/10\r\n?{<b>}\r\n!{<table>}\r\n";

}  // namespace

class TestScriptForm : public QObject {
    Q_OBJECT

    QTemporaryDir settings_;
    QTemporaryDir* dir_ = nullptr;
    ScriptedDialogs* dialogs_ = nullptr;
    QPointer<TScriptForm> form_;

    QString Scripts() const { return dir_->filePath(QStringLiteral("scripts")); }
    QString Page(const QString& name, const QByteArray& bytes) {
        const QString path = dir_->filePath(name);
        Write(path, bytes);
        return path;
    }
    TScriptFormSetup Setup() const {
        TScriptFormSetup setup;
        setup.scriptFolder = Scripts();
        setup.editor = QStringLiteral("true");
        setup.today = "06/12/2001";
        return setup;
    }
    TScriptForm* MakeForm(const QString& script = {}) {
        form_ = new TScriptForm(Setup());
        form_->SelectScript(script);
        form_->show();
        return form_;
    }
    template <typename T>
    T* Child(const char* name) {
        return form_->findChild<T*>(QLatin1String(name));
    }
    QString Output() { return Child<QPlainTextEdit>("reOutput")->toPlainText(); }
    QString Editor() { return Child<QPlainTextEdit>("memScript")->toPlainText(); }
    QString SelectedScriptText() {
        return Child<QPlainTextEdit>("memScript")->textCursor().selectedText();
    }
    QStringList Entries() {
        QStringList names;
        auto* box = Child<QComboBox>("ComboBox1");
        for (int i = 0; i < box->count(); ++i)
            names << box->itemText(i);
        return names;
    }
    QStringList Messages() const {
        QStringList texts;
        for (const auto& call : dialogs_->calls)
            if (call.kind == QLatin1String("message"))
                texts << call.text;
        return texts;
    }

  private slots:
    void initTestCase() { apptest::RedirectSettings(settings_.path()); }

    void init() {
        dir_ = new QTemporaryDir;
        dialogs_ = new ScriptedDialogs;
        QDir().mkpath(Scripts());
        Write(Scripts() + "/bold.hsc", "?{<b>}\r\nS={</b>}\r\n*\r\n.\r\n");
        Write(Scripts() + "/Alpha.hsc", "*\r\n");
        Write(Scripts() + "/line12.hsc", kLine12Error);
    }

    void cleanup() {
        if (form_ && !form_->Testing()) {
            dialogs_->messageAnswers.push_back(QMessageBox::Cancel);
            form_->close();
        }
        QTRY_VERIFY(form_.isNull());
        QVERIFY2(dialogs_->unexpected.isEmpty(), qPrintable(dialogs_->unexpected.join("; ")));
        delete dialogs_;
        delete dir_;
        APPTEST_VERIFY_NO_WINDOWS();
    }

    void scriptFolderIsSeededOnceAndListsScriptsSorted() {
        const QString examples = dir_->filePath("examples");
        QDir().mkpath(examples);
        Write(examples + "/news.hsc", "example");
        Write(examples + "/news.htm", "<p>");
        const QString folder = dir_->filePath("user/scripts");
        QVERIFY(scriptfolder::Prepare(folder, examples));
        QCOMPARE(Read(folder + "/news.hsc"), QByteArray("example"));
        QCOMPARE(scriptfolder::SamplePageOf(folder, "news.hsc"), folder + "/news.htm");

        // A user's edit, and an example the user deleted, stay as they are.
        Write(folder + "/news.hsc", "mine");
        QFile::remove(folder + "/news.htm");
        QVERIFY(scriptfolder::Prepare(folder, examples));
        QCOMPARE(Read(folder + "/news.hsc"), QByteArray("mine"));
        QVERIFY(!QFile::exists(folder + "/news.htm"));

        Write(Scripts() + "/upper.HSC", "*");
        Write(Scripts() + "/notes.txt", "*");
        QCOMPARE(scriptfolder::ScriptNames(Scripts()),
                 QStringList({"Alpha.hsc", "bold.hsc", "line12.hsc", "upper.HSC"}));
        QVERIFY(scriptfolder::Prepare(dir_->filePath("bare"), QString()));
    }

    void unsavedChangeIsTestedWithTheChange() {
        MakeForm("bold.hsc");
        QCOMPARE(form_->windowTitle(), QStringLiteral("Test Script - bold.hsc"));
        QVERIFY(!Child<QToolButton>("sbSave")->isEnabled());
        Child<QPlainTextEdit>("memScript")->setPlainText("?{<b>}\nF={</b>}\n*\n.");
        QVERIFY(Child<QToolButton>("sbSave")->isEnabled());
        form_->SetPage(Page("p.htm", "<b>Hi</b>"));
        form_->sbTestClick();
        QCOMPARE(Output(), QStringLiteral("1: ?{<b>}\n~Hi</b>\n\n2: F={</b>}\nFrom:\nHi\n\n"
                                          "3: *\n#1 record posted\n\n"
                                          "4: .\n1 record(s) created successfully"));
        QCOMPARE(Child<QProgressBar>("ProgressBar1")->value(), 100);
        QVERIFY(Child<QToolButton>("sbSave")->isEnabled());
        QCOMPARE(Read(Scripts() + "/bold.hsc"), QByteArray("?{<b>}\r\nS={</b>}\r\n*\r\n.\r\n"));
    }

    void testRefusals_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("message");  // empty: the test runs
        QTest::addColumn<bool>("pageKept");
        QTest::newRow("err page") << "bold.hsc"
                                  << "p.err"
                                  << "" << true;
        QTest::newRow("bak page") << "bold.hsc"
                                  << "p.BAK"
                                  << "" << true;
        QTest::newRow("txt page") << "bold.hsc"
                                  << "p.txt"
                                  << "HTML file missing" << true;
        QTest::newRow("missing page") << "bold.hsc"
                                      << "gone.htm"
                                      << "\r\nHTML file missing" << false;
        QTest::newRow("empty editor") << ""
                                      << "p.htm"
                                      << "Script files missing" << true;
    }
    void testRefusals() {
        QFETCH(QString, script);
        QFETCH(QString, page);
        QFETCH(QString, message);
        QFETCH(bool, pageKept);
        MakeForm(script);
        const QString path = page == "gone.htm" ? dir_->filePath(page) : Page(page, "<b>x</b>");
        form_->SetPage(path);
        if (!message.isEmpty())
            dialogs_->messageAnswers.push_back(QMessageBox::Ok);
        form_->sbTestClick();
        if (message.isEmpty()) {
            QVERIFY(Output().startsWith("1: ?{<b>}\n~x</b>"));
            QVERIFY(Messages().isEmpty());
        } else {
            QCOMPARE(Messages(), QStringList(message.startsWith("\r") ? path + message : message));
            QCOMPARE(dialogs_->Last("message")->caption, QStringLiteral("Error"));
            QCOMPARE(Output(), QString());
        }
        QCOMPARE(form_->PagePath(), pageKept ? path : QString());
        QCOMPARE(Child<QLabel>("Label1")->text().isEmpty(), !pageKept);
    }

    void saveAsPlacesTheScript() {
        MakeForm();
        form_->sbNewScriptClick();
        QCOMPARE(form_->windowTitle(), QStringLiteral("Test Script - Script1.hsc"));
        Child<QPlainTextEdit>("memScript")->setPlainText("*\n.");
        const QStringList before = Entries();

        // Into another folder: the caption drops the name, the list stays.
        dialogs_->fileAnswers.push_back(dir_->filePath("elsewhere.hsc"));
        form_->sbSaveAsClick();
        QCOMPARE(dialogs_->Last("save")->text, Scripts() + "/Script1.hsc");
        QCOMPARE(Read(dir_->filePath("elsewhere.hsc")), QByteArray("*\r\n.\r\n"));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Test Script"));
        QCOMPARE(Entries(), before);
        QCOMPARE(Child<QComboBox>("ComboBox1")->currentIndex(), -1);

        // Into the script folder: listed in order and selected.
        dialogs_->fileAnswers.push_back(Scripts() + "/beta.hsc");
        form_->sbSaveAsClick();
        QCOMPARE(Entries(), QStringList({"Alpha.hsc", "beta.hsc", "bold.hsc", "line12.hsc"}));
        QCOMPARE(Child<QComboBox>("ComboBox1")->currentText(), QStringLiteral("beta.hsc"));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Test Script - beta.hsc"));
    }

    void cancelAtTheModifiedPromptClosesWithoutSaving() {
        MakeForm("bold.hsc");
        Child<QPlainTextEdit>("memScript")->appendPlainText("/changed");
        dialogs_->messageAnswers.push_back(QMessageBox::Cancel);
        form_->close();
        QCOMPARE(Messages(), QStringList("Script file modified\r\nSave it?"));
        QCOMPARE(dialogs_->calls.first().caption, QStringLiteral("Information"));
        QCOMPARE(dialogs_->calls.first().buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QTRY_VERIFY(form_.isNull());
        QCOMPARE(Read(Scripts() + "/bold.hsc"), QByteArray("?{<b>}\r\nS={</b>}\r\n*\r\n.\r\n"));
    }

    void scriptErrorSelectsItsLine() {
        MakeForm("line12.hsc");
        form_->SetPage(Page("p.htm", "<b>x</b>"));
        form_->sbTestClick();
        QCOMPARE(form_->ErrorLine(), 12);
        QCOMPARE(SelectedScriptText(), QStringLiteral("!{<table>}"));
        QVERIFY(Output().endsWith("12: [Error] !{<table>}\n<table> not found"));
    }

    void deletedScriptIsRemovedFromTheList() {
        MakeForm("bold.hsc");
        QFile::remove(Scripts() + "/Alpha.hsc");
        dialogs_->messageAnswers.push_back(QMessageBox::Ok);
        form_->ComboBox1Change(Entries().indexOf("Alpha.hsc"));
        QCOMPARE(Messages(), QStringList("Cannot find this script file"));
        QCOMPARE(Entries(), QStringList({"bold.hsc", "line12.hsc"}));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Test Script"));
        QCOMPARE(Child<QComboBox>("ComboBox1")->currentIndex(), -1);
        QCOMPARE(Editor(), QString());
        QCOMPARE(form_->ScriptName(), QString());
    }

    void stopEndsALongTestWithTheInterruptedEntry() {
        MakeForm("bold.hsc");
        Child<QPlainTextEdit>("memScript")->setPlainText("#R 2000000000\n:a\n*\n+:a");
        form_->SetPage(Page("p.htm", "<p>"));
        bool checked = false;
        QTimer::singleShot(300, form_, [&] {
            QVERIFY(form_->Testing());
            QVERIFY(!Child<QToolButton>("sbTest")->isVisibleTo(form_));
            QVERIFY(Child<QToolButton>("sbStop")->isEnabled());
            QVERIFY(!Child<QToolButton>("sbExit")->isEnabled());
            QVERIFY(!Child<QPlainTextEdit>("memScript")->isEnabled());
            form_->close();  // refused while testing
            QVERIFY(form_->isVisible());
            form_->sbStopClick();
            checked = true;
        });
        form_->sbTestClick();
        QVERIFY(checked);
        QVERIFY(Output().endsWith("===== Interrupted by user ====="));
        QVERIFY(!Output().contains("No record created"));
        QVERIFY(!form_->Testing());
        QVERIFY(Child<QToolButton>("sbTest")->isEnabled());
        QVERIFY(!Child<QToolButton>("sbStop")->isVisibleTo(form_));
    }

    // A 5 MB page with one post per item: the window keeps handling events while the
    // worker hands the output over in pieces, and shows only the allowed tail.
    void bigPageKeepsTheWindowResponsive() {
        QByteArray page;
        page.reserve(5 * 1024 * 1024 + 64);
        while (page.size() < 5 * 1024 * 1024)
            page += "<li><b>A title of some length for the test</b> and a body text</li>\r\n";
        MakeForm("bold.hsc");
        Child<QPlainTextEdit>("memScript")
            ->setPlainText("#R 1000000\n:loop\n?{<b>}\n-:done\nS={</b>}\n*\n+:loop\n:done\n.");
        form_->SetPage(Page("big.htm", page));
        int ticksWhileTesting = 0;
        QSet<int> progressSeen;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] {
            if (form_->Testing()) {
                ++ticksWhileTesting;
                progressSeen.insert(Child<QProgressBar>("ProgressBar1")->value());
            }
        });
        ticker.start(5);
        form_->sbTestClick();
        QVERIFY(ticksWhileTesting > 0);
        QVERIFY(progressSeen.size() > 1);
        QCOMPARE(Child<QProgressBar>("ProgressBar1")->value(), 100);
        QVERIFY(Output().size() <= TScriptForm::kMaxOutputChars);
        QVERIFY(Output().endsWith(" record(s) created successfully"));
    }

    void opensOnTheFailedImportPage() {
        const QString failed = Page("page.err", "<b>x</b>");
        QString lastError = failed;
        TScriptForm::Open(form_, Setup(), "line12.hsc", dir_->path(), lastError, ".HTM", 12);
        QVERIFY(form_);
        QCOMPARE(form_->PagePath(), dir_->filePath("page.err"));
        QCOMPARE(form_->PageFolder(), dir_->path());
        QCOMPARE(SelectedScriptText(), QStringLiteral("!{<table>}"));
        QCOMPARE(lastError, failed);

        // A second open brings the same window forward.
        TScriptForm* first = form_;
        QCOMPARE(TScriptForm::Open(form_, Setup(), "bold.hsc", {}, lastError, {}, 0), first);
    }

    void forgetsAFailedImportThatWasNoWebPage() {
        Write(Scripts() + "/bold.htm", "<b>sample</b>");
        QString lastError = Page("mail.err", "x");
        TScriptForm::Open(form_, Setup(), "bold.hsc", dir_->path(), lastError, ".eml", 3);
        QCOMPARE(lastError, QString());
        QCOMPARE(form_->ErrorLine(), 0);
        // The example's sample page is ready to test.
        QCOMPARE(form_->PagePath(), Scripts() + "/bold.htm");
        QCOMPARE(form_->minimumSize(), QSize(516, 387));
    }

    void findSearchesTheOutputForward_data() {
        QTest::addColumn<bool>("wholeWord");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QString>("found");  // the line of each match, in order
        QTest::newRow("plain") << false << false << "1,2,3";
        QTest::newRow("whole word") << true << false << "1,3";
        QTest::newRow("match case") << false << true << "2,3";
    }
    void findSearchesTheOutputForward() {
        QFETCH(bool, wholeWord);
        QFETCH(bool, matchCase);
        QFETCH(QString, found);
        MakeForm();
        auto* output = Child<QPlainTextEdit>("reOutput");
        output->setPlainText("Post x\npostal\nx post");
        form_->sbLocateClick();
        TFindDialog* find = form_->FindDialog();
        QVERIFY(find->isVisible());
        find->FindEdit()->setText("post");
        find->WholeWordBox()->setChecked(wholeWord);
        find->MatchCaseBox()->setChecked(matchCase);
        QStringList lines;
        for (int i = 0; i < 4; ++i) {
            find->FindNextButton()->click();
            lines << QString::number(output->textCursor().blockNumber() + 1);
        }
        QStringList expected = found.split(',');
        while (expected.size() < lines.size())
            expected << expected.last();  // no further match leaves the last one selected
        QCOMPARE(lines, expected);
        find->close();
    }

    // While the output pane has the focus, the wheel scrolls it by 3 lines a notch, wherever
    // the mouse is; otherwise the wheel is left alone.
    void wheelScrollsTheFocusedOutput() {
        MakeForm();
        auto* output = Child<QPlainTextEdit>("reOutput");
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines << QString::number(i);
        output->setPlainText(lines.join('\n'));
        QScrollBar* bar = output->verticalScrollBar();
        bar->setValue(50);
        QWidget* elsewhere = Child<QPlainTextEdit>("memScript")->viewport();
        auto wheel = [&](int delta) {
            QWheelEvent event(QPointF(5, 5), elsewhere->mapToGlobal(QPointF(5, 5)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(elsewhere, &event);
        };
        output->setFocus();
        wheel(-240);
        QCOMPARE(bar->value(), 56);
        Child<QPlainTextEdit>("memScript")->setFocus();
        wheel(120);
        QCOMPARE(bar->value(), 56);
    }
};

QTEST_MAIN(TestScriptForm)
#include "tst_scriptform.moc"
