#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "shell/TInstallPaths.h"

// Where the program finds its guide and example scripts: installed beside it, or the
// source tree's for the program of the build folder only.
class TestInstallPaths : public QObject {
    Q_OBJECT

    QTemporaryDir root_;

    static void Touch(const QString& path) {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    // An installed tree under root/usr and a source tree under root/src.
    TInstallPaths Paths(const QString& programFolder) const {
        TInstallPaths paths;
        paths.programFolder = programFolder;
        paths.guideFromProgram = QStringLiteral("../share/doc/brevilo/guide");
        paths.scriptsFromProgram = QStringLiteral("../share/brevilo/scripts");
        paths.buildProgramFolder = root_.filePath(QStringLiteral("build/bin"));
        paths.sourceGuideFolder = root_.filePath(QStringLiteral("src/doc/guide"));
        paths.sourceScriptsFolder = root_.filePath(QStringLiteral("src/data/scripts"));
        return paths;
    }

  private slots:
    void initTestCase() {
        QVERIFY(root_.isValid());
        QVERIFY(QDir().mkpath(root_.filePath(QStringLiteral("usr/bin"))));
        QVERIFY(QDir().mkpath(root_.filePath(QStringLiteral("build/bin"))));
        QVERIFY(QDir().mkpath(root_.filePath(QStringLiteral("bare/bin"))));
        Touch(root_.filePath(QStringLiteral("usr/share/doc/brevilo/guide/index.html")));
        QVERIFY(QDir().mkpath(root_.filePath(QStringLiteral("usr/share/brevilo/scripts"))));
        Touch(root_.filePath(QStringLiteral("src/doc/guide/index.html")));
        QVERIFY(QDir().mkpath(root_.filePath(QStringLiteral("src/data/scripts"))));
    }

    void findsTheGuideAndScripts_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("guide");
        QTest::addColumn<QString>("scripts");
        QTest::newRow("installed") << "usr/bin"
                                   << "usr/share/doc/brevilo/guide/index.html"
                                   << "usr/share/brevilo/scripts";
        QTest::newRow("build folder") << "build/bin"
                                      << "src/doc/guide/index.html"
                                      << "src/data/scripts";
        // Another copy of the program never reaches into the source tree.
        QTest::newRow("elsewhere") << "bare/bin"
                                   << ""
                                   << "";
        QTest::newRow("no folder") << ""
                                   << ""
                                   << "";
    }

    void findsTheGuideAndScripts() {
        QFETCH(QString, program);
        QFETCH(QString, guide);
        QFETCH(QString, scripts);
        const QString root = QDir(root_.path()).canonicalPath() + QLatin1Char('/');
        const TInstallPaths paths = Paths(program.isEmpty() ? QString() : root_.filePath(program));
        QCOMPARE(paths.GuideIndex(), guide.isEmpty() ? QString() : root + guide);
        QCOMPARE(paths.ExampleScriptsFolder(), scripts.isEmpty() ? QString() : root + scripts);
    }

    // The program of this build finds the repository's guide, as "Topics..." does.
    void thisBuildFindsTheSourceGuide() {
        const TInstallPaths paths = TInstallPaths::ForProgram(QStringLiteral(BREVILO_TEST_BIN_DIR));
        QVERIFY2(paths.GuideIndex().endsWith(QStringLiteral("/doc/guide/index.html")),
                 qPrintable(paths.GuideIndex()));
    }
};

QTEST_GUILESS_MAIN(TestInstallPaths)
#include "tst_installpaths.moc"
