#include "shell/TInstallPaths.h"

#include <QDir>
#include <QFileInfo>

TInstallPaths TInstallPaths::ForProgram(const QString& programFolder) {
    TInstallPaths paths;
    paths.programFolder = programFolder;
    paths.guideFromProgram = QStringLiteral(BREVILO_GUIDE_FROM_BIN);
    paths.scriptsFromProgram = QStringLiteral(BREVILO_SCRIPTS_FROM_BIN);
    paths.buildProgramFolder = QStringLiteral(BREVILO_BUILD_BIN_DIR);
    paths.sourceGuideFolder = QStringLiteral(BREVILO_SOURCE_GUIDE_DIR);
    paths.sourceScriptsFolder = QStringLiteral(BREVILO_SOURCE_SCRIPTS_DIR);
    return paths;
}

QString TInstallPaths::GuideIndex() const {
    return Find(guideFromProgram, sourceGuideFolder, QStringLiteral("index.html"));
}

QString TInstallPaths::ExampleScriptsFolder() const {
    return Find(scriptsFromProgram, sourceScriptsFolder, QString());
}

QString TInstallPaths::Find(const QString& fromProgram, const QString& inSource,
                            const QString& file) const {
    auto existing = [&file](const QString& folder) {
        const QString path = file.isEmpty() ? folder : folder + QLatin1Char('/') + file;
        const QFileInfo info(path);
        return (file.isEmpty() ? info.isDir() : info.isFile()) ? info.canonicalFilePath()
                                                               : QString();
    };
    if (!programFolder.isEmpty()) {
        const QString installed = existing(QDir(programFolder).filePath(fromProgram));
        if (!installed.isEmpty())
            return installed;
    }
    // The source tree only for the program of this build folder: an installed program
    // never reaches back into the tree it was built from.
    const QFileInfo running(programFolder), built(buildProgramFolder);
    if (!programFolder.isEmpty() && !buildProgramFolder.isEmpty() && running.exists() &&
        running.canonicalFilePath() == built.canonicalFilePath())
        return existing(inSource);
    return QString();
}
