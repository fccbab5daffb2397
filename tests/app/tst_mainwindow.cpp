#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "app/AppTestSupport.h"
#include "app/ScriptedDialogs.h"
#include "html/TColBlank.h"
#include "script/TScriptCommands.h"
#include "script/TScriptForm.h"
#include "shell/TAboutBox.h"
#include "shell/TCommands.h"
#include "shell/TEdForm.h"
#include "shell/TMainfrm.h"
#include "store/TDMod.h"

// The frame of the main window: title, size, status bar, fonts, the small dialogs and the
// settings written at close.
class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> config_;
    std::unique_ptr<QTemporaryDir> program_;
    std::unique_ptr<TDMod> dmod_;
    // Answers the start-up questions as cancelled: the program folder becomes the
    // database folder and no table is made.
    std::unique_ptr<ScriptedDialogs> startDialogs_;

    QList<QUrl> opened_;

    TAppEnv Env() const { return TAppEnv{program_->path()}; }

    static QSettings Store() {
        return QSettings(QStringLiteral("Korvath"), QStringLiteral("Brevilo"));
    }

  public slots:
    void OpenUrl(const QUrl& url) { opened_.push_back(url); }

  private slots:
    void init() {
        config_ = std::make_unique<QTemporaryDir>();
        program_ = std::make_unique<QTemporaryDir>();
        apptest::RedirectSettings(config_->path());
        dmod_ = std::make_unique<TDMod>();
        startDialogs_ = std::make_unique<ScriptedDialogs>();
    }

    void cleanup() {
        APPTEST_VERIFY_NO_WINDOWS();
        startDialogs_.reset();
        dmod_.reset();
    }

    void titleIsTheApplicationNameWithoutAFolder() {
        TMainfrm window(*dmod_, Env());
        QCOMPARE(window.windowTitle(), QStringLiteral("Brevilo"));
    }

    void keepsItsMinimumSize() {
        TMainfrm window(*dmod_, Env());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.resize(100, 100);
        QCOMPARE(window.minimumSize(), QSize(555, 555));
        QVERIFY(window.width() >= 555);
        QVERIFY(window.height() >= 555);
        window.close();
    }

    void designedPartsCarryTheirNames() {
        TMainfrm window(*dmod_, Env());
        for (const char* name : {"mnuOpenDB", "mnuNewDB", "mnuFont", "mnuEditor", "mnuAbout",
                                 "mnuExit", "mnuOrderByImport", "mnuSetScript", "mnuViewError"})
            QVERIFY2(window.findChild<QAction*>(name), name);
        for (const char* name :
             {"sbImport", "sbFilter", "sbSubject", "sbDelSelect", "sbCopySelect", "sbMoveSelect",
              "sbPost", "sbSearch", "sbMemory", "sbSrchDelSelect", "sbSave"})
            QVERIFY2(window.findChild<QToolButton*>(name), name);
        for (const char* name : {"edKeyword", "edDate", "edGroup", "edFrom", "edSubject"})
            QVERIFY2(window.findChild<QLineEdit*>(name), name);
        QVERIFY(window.findChild<QPlainTextEdit*>("dreArticle"));
        QVERIFY(window.findChild<QComboBox*>("cbExtension"));
        QCOMPARE(window.findChild<QLineEdit*>("edGroup")->maxLength(), 60);
    }

    void pagesAndTheirToolBars() {
        TMainfrm window(*dmod_, Env());
        auto* pages = window.findChild<QTabWidget*>("PageControl1");
        QVERIFY(pages);
        QCOMPARE(pages->tabText(0), QStringLiteral("Log Records"));
        QCOMPARE(pages->tabText(1), QStringLiteral("Search Records"));
        QCOMPARE(pages->currentIndex(), 0);
        // Without a table the Search Records page is hidden.
        QVERIFY(!pages->isTabVisible(1));
        auto* post = window.findChild<QToolButton*>("sbPost");
        QCOMPARE(post->toolTip(), QStringLiteral("Write into database"));
        QCOMPARE(post->statusTip(), QStringLiteral("Write into database permanently"));
    }

    void extensionBoxStartsWithMail() {
        TMainfrm window(*dmod_, Env());
        QCOMPARE(window.ImportExtension(), QStringLiteral(".eml"));
        auto* box = window.findChild<QComboBox*>("cbExtension");
        QCOMPARE(box->count(), 5);
        box->setCurrentIndex(4);
        QCOMPARE(window.ImportExtension(), QStringLiteral(".mbox"));
        box->setCurrentIndex(3);
        QCOMPARE(window.ImportExtension(), QStringLiteral(".txt "));  // the blank is kept
        box->setCurrentIndex(2);
        QCOMPARE(window.ImportExtension(), QStringLiteral(".htm"));
    }

    void statusPanelsFollowTheWindowWidth() {
        {
            QSettings store = Store();
            store.setValue("CurDir", "/home/user/archive/2001/mail");
        }
        TMainfrm window(*dmod_, Env());
        window.resize(600, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* panel0 = window.findChild<QLabel*>("StatusPanel0");
        auto* panel1 = window.findChild<QLabel*>("StatusPanel1");
        QTRY_COMPARE(panel1->width(), window.width() - 235);
        QCOMPARE(panel0->width(), 120);
        QCOMPARE(window.StatusPanelText(1), window.FolderStatusText());
        QVERIFY(window.FolderStatusText().endsWith(QStringLiteral("/mail")));
        QVERIFY(window.FolderStatusText().startsWith(QStringLiteral("/home/")));
        window.close();
    }

    void hintsGoToPanelOne() {
        TMainfrm window(*dmod_, Env());
        QStatusTipEvent tip(QStringLiteral("Write into database permanently"));
        QApplication::sendEvent(&window, &tip);
        QCOMPARE(window.StatusPanelText(1), QStringLiteral("Write into database permanently"));
        QStatusTipEvent none{QString()};
        QApplication::sendEvent(&window, &none);
        QCOMPARE(window.StatusPanelText(1), window.FolderStatusText());
    }

    void confirmationStaysThreeSecondsThenTheFolderComesBack() {
        TMainfrm window(*dmod_, Env());
        auto* timer = window.findChild<QTimer*>("Timer1");
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 3000);
        window.ShowStatusText(QStringLiteral("Deleted selected records"), true);
        QVERIFY(timer->isActive());
        QCOMPARE(window.StatusPanelText(1), QStringLiteral("Deleted selected records"));
        timer->setInterval(1);
        timer->start();
        QTRY_COMPARE(window.StatusPanelText(1), window.FolderStatusText());
        QVERIFY(!timer->isActive());
    }

    void articleFontGetsTabStopsAndMetrics() {
        TMainfrm window(*dmod_, Env());
        auto* article = window.findChild<QPlainTextEdit*>("dreArticle");
        QCOMPARE(article->font().family(), window.ArticleFont().family());
        QCOMPARE(article->lineWrapMode(), QPlainTextEdit::NoWrap);
        QVERIFY(!article->tabChangesFocus());
        const QTextOption option = article->document()->defaultTextOption();
        const QList<QTextOption::Tab> tabs = option.tabs();
        QCOMPARE(tabs.size(), 32);
        const qreal step = tabs[0].position;
        QVERIFY(step > 0);
        for (int i = 0; i < 32; ++i)
            QVERIFY(qAbs(tabs[i].position - step * (i + 1)) < 0.001);

        const QFontMetrics metrics(window.ArticleFont(), article);
        QCOMPARE(window.SpacesWidth(), metrics.horizontalAdvance(QString(52, ' ')));
        QCOMPARE(window.LettersWidth(),
                 metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        QCOMPARE(HTMLParser::TColBlank::SpacesWidth(), window.SpacesWidth());
        QCOMPARE(HTMLParser::TColBlank::LettersWidth(), window.LettersWidth());
        // A tab stop lies at four mean letter widths, within the rounding to twips.
        QVERIFY(qAbs(step - 4.0 * window.LettersWidth() / 52.0) < 1.0);
    }

    void designFontIsNavy() {
        TMainfrm window(*dmod_, Env());
        QCOMPARE(window.ArticleColor(), QColor(0, 0, 128));
        QCOMPARE(window.ArticleFont().pointSize(), 11);
    }

    void fontCommandChangesTheArticleFontAndItIsSaved() {
        ScriptedDialogs dialogs;
        QFont chosen(QStringLiteral("DejaVu Sans Mono"));
        chosen.setPointSize(15);
        dialogs.fontAnswers = {IDialogs::FontChoice{chosen, QColor(255, 0, 0)}};
        {
            TMainfrm window(*dmod_, Env());
            const int oldLetters = window.LettersWidth();
            window.findChild<QAction*>("mnuFont")->trigger();
            QCOMPARE(window.ArticleFont().pointSize(), 15);
            QCOMPARE(window.ArticleColor(), QColor(255, 0, 0));
            QVERIFY(window.LettersWidth() != oldLetters);
            QCOMPARE(window.findChild<QPlainTextEdit*>("dreArticle")->font().pointSize(), 15);
            QCOMPARE(window.findChild<QLineEdit*>("edSubject")->font().family(),
                     window.ArticleFont().family());
            window.close();
        }
        QSettings store = Store();
        QCOMPARE(store.value("FontSize").toInt(), 15);
        QCOMPARE(store.value("FontColor").toInt(), 0x0000ff);
        QVERIFY(dialogs.unexpected.isEmpty());
    }

    void editorCommandTakesTheTextWithoutACheck() {
        ScriptedDialogs dialogs;
        dialogs.execAnswers.push_back([](QDialog& dialog) {
            auto& form = dynamic_cast<TEdForm&>(dialog);
            [&] {
                QCOMPARE(form.windowTitle(), QStringLiteral("Set external editor"));
                QCOMPARE(form.EditorName(), TSettings::DefaultEditor());
            }();
            form.SetEditorName(QStringLiteral("/no/such/editor"));
            return int(QDialog::Accepted);
        });
        dialogs.execAnswers.push_back([](QDialog& dialog) {
            dynamic_cast<TEdForm&>(dialog).SetEditorName(QStringLiteral("ignored"));
            return int(QDialog::Rejected);
        });
        TMainfrm window(*dmod_, Env());
        window.findChild<QAction*>("mnuEditor")->trigger();
        QCOMPARE(window.Settings().EditorName, QStringLiteral("/no/such/editor"));
        window.findChild<QAction*>("mnuEditor")->trigger();
        QCOMPARE(window.Settings().EditorName, QStringLiteral("/no/such/editor"));
        QVERIFY(dialogs.unexpected.isEmpty());
    }

    void editorSelectButtonUsesTheFileDialog() {
        ScriptedDialogs dialogs;
        dialogs.fileAnswers = {QStringLiteral("/usr/bin/vi")};
        TEdForm form;
        form.findChild<QPushButton*>("btnSelect")->click();
        QCOMPARE(form.EditorName(), QStringLiteral("/usr/bin/vi"));
        QCOMPARE(dialogs.calls[0].caption, QStringLiteral("Select text editor application"));
    }

    void aboutBoxIsShownModally() {
        ScriptedDialogs dialogs;
        QString shown;
        dialogs.execAnswers.push_back([&](QDialog& dialog) {
            shown = QString::fromLatin1(dialog.metaObject()->className());
            return int(QDialog::Accepted);
        });
        TMainfrm window(*dmod_, Env());
        window.findChild<QAction*>("mnuAbout")->trigger();
        QCOMPARE(shown, QStringLiteral("TAboutBox"));
    }

    // The check item shows the setting and changes it; it is saved with the others.
    void decodeCharsetsItemFollowsTheSetting() {
        {
            TMainfrm window(*dmod_, Env());
            auto* item = window.findChild<QAction*>("mnuDecodeCharsets");
            QVERIFY(item);
            QCOMPARE(item->text(), QStringLiteral("&Decode Other Character Sets"));
            QVERIFY(item->isCheckable() && item->isEnabled() && !item->isChecked());
            item->trigger();
            QVERIFY(window.Settings().DecodeCharsets);
            QVERIFY(window.close());
        }
        QCOMPARE(Store().value("DecodeCharsets").toBool(), true);
        TMainfrm next(*dmod_, Env());
        auto* item = next.findChild<QAction*>("mnuDecodeCharsets");
        QVERIFY(item->isChecked());
        item->trigger();
        QVERIFY(!next.Settings().DecodeCharsets);
    }

    // The build's program finds the repository's guide and hands it to the desktop.
    void topicsOpensTheGuideInTheBrowser() {
        ScriptedDialogs dialogs;
        opened_.clear();
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "OpenUrl");
        TMainfrm window(*dmod_, Env());
        window.findChild<QAction*>("mnuTopics")->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(opened_.size(), 1);
        QVERIFY2(opened_[0].toLocalFile().endsWith(QStringLiteral("/doc/guide/index.html")),
                 qPrintable(opened_[0].toString()));
        QVERIFY(QFileInfo::exists(opened_[0].toLocalFile()));
        QVERIFY(dialogs.calls.empty());
    }

    void settingsAreWrittenOnceOnCloseAndReadBack() {
        ScriptedDialogs dialogs;
        dialogs.execAnswers.push_back([](QDialog& dialog) {
            dynamic_cast<TEdForm&>(dialog).SetEditorName(QStringLiteral("sh"));
            return int(QDialog::Accepted);
        });
        {
            TMainfrm window(*dmod_, Env());
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.findChild<QAction*>("mnuEditor")->trigger();
            // Nothing is written before the window closes.
            QVERIFY(Store().allKeys().isEmpty());
            QVERIFY(window.close());
            QCOMPARE(Store().allKeys().size(), 17);
            QCOMPARE(Store().value("EditorName").toString(), QStringLiteral("sh"));
            // A second close writes nothing more.
            {
                QSettings store = Store();
                store.setValue("EditorName", "changed elsewhere");
            }
            window.close();
            QCOMPARE(Store().value("EditorName").toString(), QStringLiteral("changed elsewhere"));
            QSettings store = Store();
            store.setValue("EditorName", "sh");
        }
        TMainfrm next(*dmod_, Env());
        QCOMPARE(next.Settings().EditorName, QStringLiteral("sh"));
        QCOMPARE(next.Settings().CurDir, QDir::currentPath());
        // It was empty for lack of settings, and empty is what was written.
        QCOMPARE(next.Settings().BackupDir, QString());
    }

    void wheelOnTheWindowScrollsTheArticleThreeLinesPerNotch() {
        TMainfrm window(*dmod_, Env());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.Started());
        auto* article = window.findChild<QPlainTextEdit*>("dreArticle");
        QStringList lines;
        for (int i = 0; i < 300; ++i)
            lines << QString::number(i);
        article->setPlainText(lines.join('\n'));
        QScrollBar* bar = article->verticalScrollBar();
        bar->setValue(50);
        // A record box leaves the wheel to its window (Qt propagates a real wheel event
        // from the box to the window; a synthesized one is not propagated, so the test
        // hands it to the window itself).
        auto* box = window.findChild<QLineEdit*>("edSubject");
        const QPoint at = box->mapTo(&window, box->rect().center());
        // Towards the user: down three lines per notch.
        QWheelEvent down(at, window.mapToGlobal(at), QPoint(), QPoint(0, -240), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&window, &down);
        QCOMPARE(bar->value(), 56);
        QWheelEvent up(at, window.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&window, &up);
        QCOMPARE(bar->value(), 53);
        window.close();
    }

    void testScriptOpensOneWindowOnTheSeededScriptFolder() {
        TMainfrm window(*dmod_, Env());
        QCOMPARE(window.ScriptFolder(), program_->path() + "/scripts");
        window.Commands().Trigger(TCmd::TestScript);
        QPointer<TScriptForm> form = window.ScriptCommands().Form();
        QVERIFY(form && form->isVisible());
        QCOMPARE(form->ScriptFolder(), window.ScriptFolder());
        QVERIFY(QFile::exists(window.ScriptFolder() + "/news-article.hsc"));
        QVERIFY(QFile::exists(window.ScriptFolder() + "/news-article.htm"));
        window.Commands().Trigger(TCmd::TestScript);
        QCOMPARE(window.ScriptCommands().Form(), form.data());

        // "&Font..." of the script editor changes the main window's script font.
        startDialogs_->fontAnswers.push_back(
            IDialogs::FontChoice{QFont(QStringLiteral("Monospace"), 13), Qt::blue});
        form->mnuScriptFontClick();
        QCOMPARE(window.ScriptFont().pointSize(), 13);
        QCOMPARE(window.ScriptColor(), QColor(Qt::blue));

        // The script test window goes with the main window.
        window.show();
        window.close();
        QTRY_VERIFY(form.isNull());
    }

    void commandsOfLaterPartsStayDisabled() {
        TMainfrm window(*dmod_, Env());
        for (const char* name : {"mnuBackup", "mnuPrint"})
            QVERIFY2(!window.findChild<QAction*>(name)->isEnabled(), name);
        for (const char* name : {"sbPost", "sbSearch"})
            QVERIFY2(!window.findChild<QToolButton*>(name)->isEnabled(), name);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
