#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "app/AppTestSupport.h"
#include "shell/TSettings.h"

// The seventeen values, their two columns of defaults and the corrections after reading.
class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir config_;

    QSettings Store() { return QSettings(QStringLiteral("Korvath"), QStringLiteral("Brevilo")); }

  private slots:
    void init() {
        QVERIFY(config_.isValid());
        apptest::RedirectSettings(config_.path());
        QSettings store = Store();
        store.clear();
        store.sync();
    }

    void missingKeyTakesTheLastColumn() {
        QSettings store = Store();
        TSettings settings;
        settings.Load(store, "/work/current");
        QCOMPARE(settings.BackupDir, QString());
        QCOMPARE(settings.CurDir, QStringLiteral("/work/current"));
        QCOMPARE(settings.DBDir, QString());
        QCOMPARE(settings.EditorName, TSettings::DefaultEditor());
        QCOMPARE(settings.FontName, QStringLiteral("Arial"));
        QCOMPARE(settings.FontSize, 11);
        QCOMPARE(settings.FontColor, 0x800000);  // navy
        QCOMPARE(settings.FontCharset, 0);
        QCOMPARE(settings.ScriptFontName, QStringLiteral("Arial"));
        QCOMPARE(settings.ScriptFontSize, 11);
        QCOMPARE(settings.ScriptFontColor, 0);
        QCOMPARE(settings.RecentScript, QString());
        QCOMPARE(settings.RecentTable, QString());
        QCOMPARE(settings.OEStoreRoot, QString());
        QCOMPARE(settings.Username, QString());
        QCOMPARE(settings.DecodeCharsets, false);
    }

    void missingValueInAnExistingKeyTakesTheFirstColumn() {
        QSettings store = Store();
        store.setValue("RecentTable", "News");
        TSettings settings;
        settings.Load(store, "/work/current");
        QCOMPARE(settings.BackupDir, QStringLiteral("/work/current"));
        QCOMPARE(settings.CurDir, QStringLiteral("/work/current"));
        QCOMPARE(settings.RecentTable, QStringLiteral("News"));
    }

    void scriptFontFollowsTheStoredArticleFont() {
        QSettings store = Store();
        store.setValue("FontName", "Noto Sans CJK JP");
        store.setValue("FontSize", 14);
        store.setValue("FontCharset", 128);
        TSettings settings;
        settings.Load(store, ".");
        QCOMPARE(settings.ScriptFontName, QStringLiteral("Noto Sans CJK JP"));
        QCOMPARE(settings.ScriptFontSize, 14);
        QCOMPARE(settings.ScriptFontCharset, 128);
        QCOMPARE(settings.ScriptFontColor, 0);
    }

    void missingEditorFileReadsBackAsTheDefault() {
        QTemporaryDir dir;
        const QString editor = dir.filePath("myeditor");
        QSettings store = Store();
        store.setValue("EditorName", editor);
        TSettings settings;
        settings.Load(store, ".");
        QCOMPARE(settings.EditorName, TSettings::DefaultEditor());
    }

    void existingEditorIsKept() {
        QTemporaryDir dir;
        const QString editor = dir.filePath("myeditor");
        QFile file(editor);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QSettings store = Store();
        store.setValue("EditorName", editor);
        TSettings settings;
        settings.Load(store, ".");
        QCOMPARE(settings.EditorName, editor);
    }

    void editorNameOnPathIsKept() {
        QSettings store = Store();
        store.setValue("EditorName", "sh");
        TSettings settings;
        settings.Load(store, ".");
        QCOMPARE(settings.EditorName, QStringLiteral("sh"));
    }

    void vanishedDatabaseFolderBecomesEmpty() {
        QString gone;
        {
            QTemporaryDir dir;
            gone = dir.path();
        }
        QSettings store = Store();
        store.setValue("DBDir", gone);
        TSettings settings;
        settings.Load(store, ".");
        QCOMPARE(settings.DBDir, QString());
    }

    void existingDatabaseFolderIsKept() {
        QSettings store = Store();
        store.setValue("DBDir", config_.path());
        TSettings settings;
        settings.Load(store, ".");
        QCOMPARE(settings.DBDir, config_.path());
    }

    void numberThatIsNotANumberTakesTheDefault() {
        QSettings store = Store();
        store.setValue("FontSize", "large");
        TSettings settings;
        settings.Load(store, ".");
        QCOMPARE(settings.FontSize, 11);
    }

    void savedValuesReadBack() {
        TSettings written;
        {
            QSettings store = Store();
            written.Load(store, "/cur");
        }
        written.BackupDir = "/backup";
        written.CurDir = "/data";
        written.DBDir = config_.path();
        written.EditorName = "sh";
        written.FontCharset = 128;
        written.FontColor = 0x0000ff;
        written.FontName = "Noto Sans Mono CJK JP";
        written.FontSize = 13;
        written.ScriptFontCharset = 1;
        written.ScriptFontColor = 0x00ff00;
        written.ScriptFontName = "DejaVu Sans Mono";
        written.ScriptFontSize = 9;
        written.RecentScript = "news.hsc";
        written.RecentTable = "Clips";
        written.OEStoreRoot = "/oe";
        written.Username = "Main Identity";
        written.DecodeCharsets = true;
        {
            QSettings store = Store();
            QVERIFY(written.Save(store));
            QCOMPARE(store.allKeys().size(), 17);
            // Numbers are stored as numbers, not as text.
            QCOMPARE(store.value("FontSize").typeId(), QMetaType::Int);
        }
        QSettings store = Store();
        TSettings read;
        read.Load(store, "/elsewhere");
        QCOMPARE(read.BackupDir, written.BackupDir);
        QCOMPARE(read.CurDir, written.CurDir);
        QCOMPARE(read.DBDir, written.DBDir);
        QCOMPARE(read.EditorName, written.EditorName);
        QCOMPARE(read.FontCharset, 128);
        QCOMPARE(read.FontColor, 0x0000ff);
        QCOMPARE(read.FontName, written.FontName);
        QCOMPARE(read.FontSize, 13);
        QCOMPARE(read.ScriptFontCharset, 1);
        QCOMPARE(read.ScriptFontColor, 0x00ff00);
        QCOMPARE(read.ScriptFontName, written.ScriptFontName);
        QCOMPARE(read.ScriptFontSize, 9);
        QCOMPARE(read.RecentScript, written.RecentScript);
        QCOMPARE(read.RecentTable, written.RecentTable);
        QCOMPARE(read.OEStoreRoot, written.OEStoreRoot);
        QCOMPARE(read.Username, written.Username);
        QCOMPARE(read.DecodeCharsets, true);
    }

    // A boolean as QSettings writes it, as a number, or unreadable (then off).
    void decodeCharsetsReadsBooleansAndNumbers() {
        const std::pair<const char*, bool> rows[] = {
            {"true", true}, {"1", true}, {"false", false}, {"0", false}, {"yes", false}};
        for (const auto& [text, expected] : rows) {
            QSettings store = Store();
            store.setValue("DecodeCharsets", QString::fromLatin1(text));
            TSettings settings;
            settings.Load(store, "/work/current");
            QCOMPARE(settings.DecodeCharsets, expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
