#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/AppTestSupport.h"
#include "app/ScriptedDialogs.h"
#include "base/Abort.h"
#include "controls/TEllipsisLabel.h"
#include "import/IImportWindow.h"
#include "import/TImportCommands.h"
#include "import/TImportForm.h"
#include "import/TImportWiring.h"
#include "log/TLogPage.h"
#include "runner/TRunner.h"
#include "shell/TCommands.h"
#include "shell/TMainfrm.h"
#include "shell/TSelectForm.h"
#include "shell/TSettings.h"
#include "store/TDMod.h"
#include "view/TRecordViewWidget.h"

namespace {

// The main window as the import commands see it.
class FakeWindow : public IImportWindow {
  public:
    QWidget owner;
    bool logInUse = false;
    int logPageShown = 0;
    int starting = 0;
    int ended = 0;
    int settingsChanged = 0;

    QWidget* Owner() override { return &owner; }
    bool LogInUse() const override { return logInUse; }
    void ShowLogPage() override { ++logPageShown; }
    void ImportStarting() override { ++starting; }
    void ImportEnded() override { ++ended; }
    void ImportSettingsChanged() override { ++settingsChanged; }
};

// An engine stuck in one file: it ignores the stop request and tests the abort flag only
// once the test lets it go, so the test can see the window close without waiting.
class StuckEngine : public IConversionEngine {
  public:
    static inline std::atomic<bool> release{false};
    static inline std::atomic<bool> inside{false};
    void SetScript(const std::string&) override {}
    void SetOnRecord(std::function<void()>) override {}
    void SetStopFlag() override {}
    const TRecordFields& Fields() const override { return fields_; }
    void Convert(const std::string&) override {
        inside = true;
        while (!release.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        inside = false;
        ThrowIfAborted();
    }

  private:
    TRecordFields fields_;
};

// Five records a file, the third with a date the log cannot read.
class BadDateEngine : public IConversionEngine {
  public:
    void SetScript(const std::string&) override {}
    void SetOnRecord(std::function<void()> onRecord) override { onRecord_ = std::move(onRecord); }
    void SetStopFlag() override {}
    const TRecordFields& Fields() const override { return fields_; }
    void Convert(const std::string&) override {
        for (int i = 1; i <= 5; ++i) {
            fields_.Subject = "r" + std::to_string(i);
            fields_.Date = i == 3 ? "not a date" : "";
            onRecord_();
        }
    }

  private:
    std::function<void()> onRecord_;
    TRecordFields fields_;
};

// One record a file; a file whose name ends in "slow.eml" takes until the test lets it go.
class SlowFileEngine : public IConversionEngine {
  public:
    static inline std::atomic<bool> release{false};
    static inline std::atomic<bool> inside{false};
    void SetScript(const std::string&) override {}
    void SetOnRecord(std::function<void()> onRecord) override { onRecord_ = std::move(onRecord); }
    void SetStopFlag() override {}
    const TRecordFields& Fields() const override { return fields_; }
    void Convert(const std::string& path) override {
        if (path.ends_with("slow.eml")) {
            inside = true;
            while (!release.load())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            inside = false;
        }
        fields_.Subject = path.substr(path.rfind('/') + 1);
        onRecord_();
    }

  private:
    std::function<void()> onRecord_;
    TRecordFields fields_;
};

QByteArray Mail(const QByteArray& subject) {
    return "From: a@example.com\r\nSubject: " + subject +
           "\r\nDate: Tue, 12 Jun 2001 10:20:30 +0900\r\nNewsgroups: fj.test\r\n\r\nbody " +
           subject + "\r\n";
}

// A text file of several messages, each one record.
QByteArray TextFile(int count, const QByteArray& prefix) {
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "From: a@b\r\nSubject: " + prefix + QByteArray::number(i) +
                "\r\nDate: 1 Jan 2001 00:00\r\n\r\nbody\r\n\r\n";
    return text;
}

}  // namespace

// The import commands over real files in a temporary folder, the real engine and a real
// log: the order and the marks of the files, the messages, the progress window's Cancel
// and forced stop, drops, scripts and the .bak/.err housekeeping.
class TestImport : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> config_, data_, db_, scripts_;
    std::unique_ptr<TDMod> dmod_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<FakeWindow> window_;
    TSettings settings_;
    std::unique_ptr<TImportCommands> imports_;

    QString Data(const QString& name) const { return data_->filePath(name); }
    bool Exists(const QString& name) const { return QFile::exists(Data(name)); }
    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(Data(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QStringList LogSubjects() {
        QStringList subjects;
        TRecordView& rows = dmod_->Log().Rows();
        rows.Invalidate();
        for (long long i = 0; i < rows.Count(); ++i)
            subjects << QString::fromStdString(rows.Row(i).Subject);
        return subjects;
    }
    QStringList Messages() const {
        QStringList texts;
        for (const auto& call : dialogs_->calls)
            if (call.kind == QLatin1String("message"))
                texts << call.text;
        return texts;
    }

  private slots:
    void init() {
        config_ = std::make_unique<QTemporaryDir>();
        apptest::RedirectSettings(config_->path());
        // The desktop trash of the test profile (~/.qttest/share/Trash) must have a home.
        QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
        data_ = std::make_unique<QTemporaryDir>();
        db_ = std::make_unique<QTemporaryDir>();
        scripts_ = std::make_unique<QTemporaryDir>();
        dmod_ = std::make_unique<TDMod>();
        dmod_->OpenFolder(db_->path().toStdString());
        dialogs_ = std::make_unique<ScriptedDialogs>();
        window_ = std::make_unique<FakeWindow>();
        settings_ = TSettings{};
        settings_.CurDir = data_->path();
        settings_.EditorName = QStringLiteral("true");
        QString scripts = scripts_->path();
        imports_ = std::make_unique<TImportCommands>(*dmod_, settings_, *window_,
                                                     [scripts] { return scripts; });
    }

    void cleanup() {
        QVERIFY2(dialogs_->unexpected.isEmpty(), qPrintable(dialogs_->unexpected.join("; ")));
        imports_.reset();
        window_.reset();
        dialogs_.reset();
        dmod_.reset();
        APPTEST_VERIFY_NO_WINDOWS();
    }

    void newsFilesConvertInOrderAndAreMarked_data() {
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("subjects");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("all convert") << Mail("B") << QStringList{"a.bak", "B.bak", "c.bak"}
                                     << QStringList{"a", "B", "c"} << QStringList{};
        QTest::newRow("the second fails")
            << QByteArray("Subject: no sender\r\n\r\nbody")
            << QStringList{"a.bak", "B.err", "c.nws"} << QStringList{"a"}
            << QStringList{"[Error] File type mismatch\r\nB.err"};
    }
    void newsFilesConvertInOrderAndAreMarked() {
        QFETCH(QByteArray, second);
        QFETCH(QStringList, names);
        QFETCH(QStringList, subjects);
        QFETCH(QStringList, messages);
        Write("c.nws", Mail("c"));
        Write("B.nws", second);
        Write("a.nws", Mail("a"));
        for (int i = 0; i < messages.size(); ++i)
            dialogs_->messageAnswers.push_back(QMessageBox::Ok);
        imports_->sbImportClick(QStringLiteral(".nws"));
        for (const QString& name : names)
            QVERIFY2(Exists(name), qPrintable(name));
        QCOMPARE(LogSubjects(), subjects);
        QCOMPARE(Messages(), messages);
        QCOMPARE(window_->starting, 1);
        QCOMPARE(window_->ended, 1);
    }

    void failuresGiveTheirMessage_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("line");
        QTest::newRow("empty file")
            << "x.eml" << QByteArray() << QByteArray() << "Failed to read a file\r\nx.err" << 0;
        // Line 7 must find a table the page does not have; the record before stays.
        QTest::newRow("script stops at line 7")
            << "page.htm" << QByteArray("<p>no table</p>")
            << QByteArray("S=\"one\"\r\n*\r\n\r\n\r\n\r\n\r\n!{<table>}\r\n")
            << "[Script Error] Stopped at line: 7\r\npage.err" << 7;
    }
    void failuresGiveTheirMessage() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, script);
        QFETCH(QString, message);
        QFETCH(int, line);
        Write(file, bytes);
        if (!script.isEmpty()) {
            QFile hsc(scripts_->filePath("s.hsc"));
            QVERIFY(hsc.open(QIODevice::WriteOnly));
            hsc.write(script);
            settings_.RecentScript = QStringLiteral("s.hsc");
        }
        dialogs_->messageAnswers = {QMessageBox::Ok};
        QVERIFY(!imports_->CanViewError());
        imports_->sbImportClick(file.endsWith(".htm") ? QStringLiteral(".htm")
                                                      : QStringLiteral(".eml"));
        QCOMPARE(Messages(), QStringList{message});
        const QString err = file.left(file.indexOf('.')) + ".err";
        QVERIFY(Exists(err));
        QCOMPARE(imports_->LastErrorFile(), Data(err));
        QCOMPARE(imports_->LastErrorLine(), line);
        QCOMPARE(imports_->LastErrorExtension(), file.mid(file.indexOf('.')));

        // "&View Error": the editor starts on the ".err" file; one that cannot be started
        // is named.
        QVERIFY(imports_->CanViewError());
        imports_->mnuViewErrorClick();
        QCOMPARE(Messages().size(), 1);
        settings_.EditorName = QStringLiteral("/nonexistent/editor");
        dialogs_->messageAnswers = {QMessageBox::Ok};
        imports_->mnuViewErrorClick();
        QCOMPARE(Messages().last(), QStringLiteral("[Error] Can't execute  /nonexistent/editor"));
        // A last error file that has gone is forgotten.
        QFile::remove(Data(err));
        QVERIFY(!imports_->CanViewError());
        QVERIFY(imports_->LastErrorFile().isEmpty());
    }

    void importButtonRefusals_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("message");
        QTest::newRow("no mail files") << ".eml"
                                       << "*.eml files missing";
        QTest::newRow("no script chosen") << ".htm"
                                          << "Script files missing";
    }
    void importButtonRefusals() {
        QFETCH(QString, extension);
        QFETCH(QString, message);
        Write("page.htm", "<p>x</p>");
        settings_.RecentScript = QStringLiteral("gone.hsc");
        dialogs_->messageAnswers = {QMessageBox::Ok};
        imports_->sbImportClick(extension);
        QCOMPARE(Messages(), QStringList{message});
        QCOMPARE(window_->starting, 0);
        QCOMPARE(settings_.RecentScript.isEmpty(), extension == ".htm");
    }

    void takenBakNameLeavesTheFileUnderItsName() {
        Write("a.eml", Mail("a"));
        Write("a.bak", "older");
        imports_->sbImportClick(QStringLiteral(".eml"));
        QVERIFY(Exists("a.eml"));
        QFile bak(Data("a.bak"));
        QVERIFY(bak.open(QIODevice::ReadOnly));
        QCOMPARE(bak.readAll(), QByteArray("older"));
        QCOMPARE(LogSubjects(), QStringList{"a"});
    }

    void drops() {
        Write("a.eml", Mail("a"));
        Write("b.nws", Mail("b"));
        Write("c.txt", TextFile(1, "c"));
        Write("x.doc", "doc");
        QVERIFY(QDir(data_->path()).mkdir("sub"));

        // A folder among the files, or a file of another type: nothing is imported.
        dialogs_->messageAnswers = {QMessageBox::Ok, QMessageBox::Ok};
        QVERIFY(!imports_->FilesDropped({Data("a.eml"), Data("sub"), Data("b.nws")}));
        QVERIFY(!imports_->FilesDropped({Data("x.doc")}));
        QCOMPARE(Messages(), (QStringList{Data("sub") + "\r\nFolder is unsupported",
                                          Data("x.doc") + "\r\nUnsupported file type"}));
        QCOMPARE(dialogs_->Last("message")->caption, QStringLiteral("Warning"));
        QCOMPARE(dialogs_->Last("message")->icon, QMessageBox::Critical);

        // While the log is in use, drops are ignored.
        window_->logInUse = true;
        QVERIFY(!imports_->FilesDropped({Data("a.eml")}));
        window_->logInUse = false;

        // Mixed types, each by its own extension; the import folder follows the drop.
        settings_.CurDir = QStringLiteral("/elsewhere");
        QVERIFY(imports_->FilesDropped({Data("c.txt"), Data("a.eml"), Data("b.nws")}));
        QCOMPARE(window_->starting, 0);  // not before the drop is released
        QTRY_COMPARE(window_->ended, 1);
        QCOMPARE(LogSubjects(), (QStringList{"a", "b", "c1"}));
        QCOMPARE(settings_.CurDir, data_->path());
        QCOMPARE(window_->logPageShown, 1);
        QVERIFY(Exists("a.bak") && Exists("b.bak") && Exists("c.bak"));
        QCOMPARE(Messages().size(), 2);
    }

    void taggedModeMovesTheBarByRecords() {
        Write("Inbox.txt", TextFile(10, "m"));
        QList<int> positions;
        connect(imports_.get(), &TImportCommands::importFormCreated, this, [&](TImportForm* form) {
            connect(form, &TImportForm::positionSet, this, [&](int p) { positions << p; });
        });
        imports_->Filer().Clear();
        imports_->Filer().AddTagged(Data("Inbox.txt").toStdString(), 10);
        imports_->StartImport();
        QCOMPARE(positions, (QList<int>{0, 10, 30, 50, 70, 90, 100}));
        QCOMPARE(LogSubjects().size(), 10);
        QVERIFY(Exists("Inbox.txt"));
    }

    void cancelLeavesTheCurrentFileWhole() {
        Write("a.txt", TextFile(1, "a"));
        // Long enough that its records reach the window before its conversion ends: the
        // run may be that far ahead of what the window shows.
        Write("b.txt", TextFile(100, "b"));
        Write("c.txt", TextFile(1, "c"));
        connect(imports_.get(), &TImportCommands::importFormCreated, this, [&](TImportForm* form) {
            QCOMPARE(form->windowTitle(), QStringLiteral("Importing..."));
            QVERIFY(form->CancelButton()->isDefault());
            connect(form, &TImportForm::recordHandedOver, form, [form](int count) {
                if (count == 2)
                    form->CancelButton()->click();
            });
        });
        dialogs_->messageAnswers = {QMessageBox::Ok};
        imports_->sbImportClick(QStringLiteral(".txt "));
        QCOMPARE(Messages(), QStringList{"Canceled by User"});
        QVERIFY(Exists("a.bak"));
        QVERIFY(Exists("b.txt"));
        QVERIFY(Exists("c.txt"));
        QCOMPARE(LogSubjects(), QStringList{"a1"});
    }

    void recordTheLogRefusesFailsItsFile() {
        // The records reach the log after the run has gone on: the failure still stops the
        // file at that record, and what came before it stays.
        Write("x.eml", Mail("x"));
        Write("y.eml", Mail("y"));
        TImportOptions options;
        options.makeEngine = [] { return std::make_unique<BadDateEngine>(); };
        imports_->SetImportOptions(options);
        dialogs_->messageAnswers = {QMessageBox::Ok};
        imports_->sbImportClick(QStringLiteral(".eml"));
        QCOMPARE(Messages(), QStringList{"'not a date' is not a valid date\r\nx.err"});
        QCOMPARE(LogSubjects(), (QStringList{"r1", "r2"}));
        QVERIFY(Exists("y.eml"));
    }

    void longImportIndexesTheLogBehindTheWaitWindow() {
        Write("a.txt", TextFile(3, "a"));
        TImportOptions options;
        options.indexOnRunnerFrom = 3;
        imports_->SetImportOptions(options);
        int shown = 0;
        TRunner::SetShownHook([&](QDialog&) { ++shown; });
        imports_->sbImportClick(QStringLiteral(".txt"));
        TRunner::SetShownHook(nullptr);
        QCOMPARE(shown, 1);
        QCOMPARE(LogSubjects(), (QStringList{"a1", "a2", "a3"}));
    }

    void slowFileShowsItsNameWhileItConverts() {
        Write("a.eml", Mail("a"));
        Write("b-slow.eml", Mail("b"));
        SlowFileEngine::release = false;
        TImportOptions options;
        options.makeEngine = [] { return std::make_unique<SlowFileEngine>(); };
        imports_->SetImportOptions(options);
        QString shown;
        connect(imports_.get(), &TImportCommands::importFormCreated, this, [&](TImportForm* form) {
            auto* poll = new QTimer(form);
            connect(poll, &QTimer::timeout, form, [&, form, poll] {
                if (!SlowFileEngine::inside.load())
                    return;
                auto* label = form->findChild<TEllipsisLabel*>(QStringLiteral("FileLabel"));
                if (!label->Path().endsWith(QStringLiteral("b-slow.eml")))
                    return;
                shown = label->Path();
                poll->stop();
                SlowFileEngine::release = true;
            });
            poll->start(10);
            // A window that never shows the file fails the test rather than hanging it.
            QTimer::singleShot(5000, form, [] { SlowFileEngine::release = true; });
        });
        imports_->sbImportClick(QStringLiteral(".eml"));
        QCOMPARE(shown, Data("b-slow.eml"));
        QCOMPARE(LogSubjects(), (QStringList{"a.eml", "b-slow.eml"}));
    }

    void stuckEngineIsStoppedByForce() {
        Write("a.eml", Mail("a"));
        StuckEngine::release = false;
        TImportOptions options;
        options.makeEngine = [] { return std::make_unique<StuckEngine>(); };
        options.stuckAfterMs = 0;
        imports_->SetImportOptions(options);
        connect(imports_.get(), &TImportCommands::importFormCreated, this, [&](TImportForm* form) {
            connect(form, &TImportForm::positionSet, form,
                    [form] { QTimer::singleShot(20, form->CancelButton(), &QPushButton::click); });
        });
        dialogs_->messageAnswers = {QMessageBox::Ok};
        imports_->sbImportClick(QStringLiteral(".eml"));
        // The window went while the worker was still stuck.
        QVERIFY(StuckEngine::inside.load());
        QCOMPARE(Messages(), QStringList{"Interrupted by force"});
        QVERIFY(Exists("a.eml"));
        QVERIFY(LogSubjects().isEmpty());
        StuckEngine::release = true;
        QTRY_VERIFY(!StuckEngine::inside.load());
        QVERIFY(Exists("a.eml"));
    }

    void selectScript() {
        dialogs_->messageAnswers = {QMessageBox::Ok};
        imports_->mnuSetScriptClick();
        QCOMPARE(Messages(), QStringList{"*.hsc files missing"});

        for (const char* name : {"b.hsc", "A.hsc", "notes.txt"}) {
            QFile file(scripts_->filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        settings_.RecentScript = QStringLiteral("B.HSC");
        dialogs_->execAnswers.push_back([](QDialog& dialog) {
            auto& form = static_cast<TSelectForm&>(dialog);
            if (form.Items() != QStringList{"A.hsc", "b.hsc"} ||
                form.SelectedItem() != QLatin1String("b.hsc"))
                return int(QDialog::Rejected);
            form.SelectItem(QStringLiteral("a.hsc"));
            return int(QDialog::Accepted);
        });
        imports_->mnuSetScriptClick();
        QCOMPARE(dialogs_->Last("exec")->caption, QStringLiteral("Select Script"));
        QCOMPARE(settings_.RecentScript, QStringLiteral("A.hsc"));
    }

    void bakAndErrFilesGoToTheTrash() {
        Write("z.eml", "");
        QVERIFY(!imports_->CanDeleteBak());
        QVERIFY(!imports_->CanDeleteErr());
        Write("x.bak", "1");
        Write("y.err", "2");
        QVERIFY(imports_->CanDeleteBak());
        QVERIFY(imports_->CanDeleteErr());
        imports_->mnuDelBakClick();
        QVERIFY(!Exists("x.bak"));
        QVERIFY(Exists("y.err"));
        QVERIFY(!imports_->CanDeleteBak());
        imports_->mnuDelErrClick();
        QVERIFY(!Exists("y.err"));
        QVERIFY(Exists("z.eml"));
    }

    // The window's wiring: the Import button, the log in use afterwards (button and box
    // disabled, drops ignored) and the File menu's enabling.
    void mainWindowWiring() {
        imports_.reset();
        {
            TDMod maker;
            maker.OpenFolder(db_->path().toStdString());
            maker.CreateMainTable("News");
        }
        dmod_ = std::make_unique<TDMod>();
        QSettings store(QStringLiteral("Korvath"), QStringLiteral("Brevilo"));
        store.setValue("DBDir", db_->path());
        store.setValue("RecentTable", "News");
        store.setValue("CurDir", data_->path());
        store.sync();
        Write("a.eml", Mail("a"));
        Write("old.bak", "x");
        dialogs_->execAnswers.push_back([](QDialog&) { return int(QDialog::Accepted); });
        TMainfrm window(*dmod_, TAppEnv{scripts_->path()});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.Started());
        QVERIFY(window.acceptDrops());

        TCommands& commands = window.Commands();
        commands.RefreshEnabled(TMenuId::File);
        QVERIFY(commands.Action(TCmd::DelBak)->isEnabled());
        QVERIFY(!commands.Action(TCmd::DelErr)->isEnabled());
        QVERIFY(commands.Action(TCmd::SetScript)->isEnabled());

        QToolButton* import = window.LogRecordsPage().ImportButton();
        QVERIFY(import->isEnabled());
        import->click();
        QVERIFY(Exists("a.bak"));
        QVERIFY(window.LogInUse());
        QVERIFY(!import->isEnabled());
        QVERIFY(!window.LogRecordsPage().ExtensionBox()->isEnabled());
        QCOMPARE(window.View().RowCount(), 1);

        Write("b.eml", Mail("b"));
        window.Import().FilesDropped({Data("b.eml")});
        QTest::qWait(50);
        QVERIFY(Exists("b.eml"));
        commands.RefreshEnabled(TMenuId::File);
        QVERIFY(!commands.Action(TCmd::DbxImport)->isEnabled());  // records in the log
        dialogs_->messageAnswers = {QMessageBox::Yes};            // "Discard remaining records?"
        window.close();
    }
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"
