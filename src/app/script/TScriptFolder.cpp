#include "script/TScriptFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

#include "shell/TInstallPaths.h"

namespace scriptfolder {

QString DefaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/scripts");
}

QString ExamplesFolder() {
    return TInstallPaths::ForProgram(QCoreApplication::applicationDirPath()).ExampleScriptsFolder();
}

bool Prepare(const QString& folder, const QString& examples) {
    if (QFileInfo(folder).isDir())
        return true;
    if (!QDir().mkpath(folder))
        return false;
    if (examples.isEmpty())
        return true;
    const QDir from(examples);
    for (const QString& name : from.entryList(QDir::Files | QDir::Readable)) {
        const QString target = PathOf(folder, name);
        // QFile::copy never replaces an existing file, which is the rule we want.
        if (!QFileInfo::exists(target))
            QFile::copy(from.filePath(name), target);
    }
    return true;
}

QStringList ScriptNames(const QString& folder) {
    QStringList names;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        if (name.endsWith(QStringLiteral(".hsc"), Qt::CaseInsensitive))
            names << name;
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QString PathOf(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name;
}

QString SamplePageOf(const QString& folder, const QString& scriptName) {
    if (scriptName.isEmpty())
        return {};
    const QString base = QFileInfo(scriptName).completeBaseName();
    for (const char* ext : {".htm", ".html"}) {
        const QString page = PathOf(folder, base + QLatin1String(ext));
        if (QFileInfo(page).isFile())
            return page;
    }
    return {};
}

}  // namespace scriptfolder
