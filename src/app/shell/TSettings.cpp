#include "shell/TSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString ReadString(QSettings& settings, const QString& name, const QString& fallback) {
    const QVariant value = settings.value(name);
    return value.isValid() ? value.toString() : fallback;
}

// A value that is present but not a number counts as missing.
int ReadInt(QSettings& settings, const QString& name, int fallback) {
    const QVariant value = settings.value(name);
    if (!value.isValid())
        return fallback;
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? number : fallback;
}

// "true"/"false" as QSettings writes a boolean, or 1/0; anything else counts as missing.
bool ReadBool(QSettings& settings, const QString& name, bool fallback) {
    const QString text = settings.value(name).toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return fallback;
}

}  // namespace

bool TSettings::EditorExists(const QString& editor) {
    if (editor.trimmed().isEmpty())
        return false;
    if (editor.contains(QLatin1Char('/'))) {
        const QFileInfo info(editor);
        return info.exists() && info.isFile();
    }
    return !QStandardPaths::findExecutable(editor).isEmpty();
}

void TSettings::Load(QSettings& settings, const QString& currentDir, const DesignFont& design) {
    const bool keyMissing = settings.status() != QSettings::NoError || settings.allKeys().isEmpty();

    BackupDir = ReadString(settings, "BackupDir", keyMissing ? QString() : currentDir);
    CurDir = ReadString(settings, "CurDir", currentDir);
    DBDir = ReadString(settings, "DBDir", QString());
    EditorName = ReadString(settings, "EditorName", DefaultEditor());
    FontCharset = ReadInt(settings, "FontCharset", design.charset);
    FontColor = ReadInt(settings, "FontColor", design.color);
    FontName = ReadString(settings, "FontName", design.name);
    FontSize = ReadInt(settings, "FontSize", design.size);
    ScriptFontCharset = ReadInt(settings, "ScriptFontCharset", FontCharset);
    ScriptFontColor = ReadInt(settings, "ScriptFontColor", 0);
    ScriptFontName = ReadString(settings, "ScriptFontName", FontName);
    ScriptFontSize = ReadInt(settings, "ScriptFontSize", FontSize);
    RecentScript = ReadString(settings, "RecentScript", QString());
    RecentTable = ReadString(settings, "RecentTable", QString());
    OEStoreRoot = ReadString(settings, "OEStoreRoot", QString());
    Username = ReadString(settings, "Username", QString());
    DecodeCharsets = ReadBool(settings, "DecodeCharsets", false);

    if (!DBDir.isEmpty() && !QFileInfo(DBDir).isDir())
        DBDir.clear();
    if (!EditorExists(EditorName))
        EditorName = DefaultEditor();
}

void TSettings::Load(QSettings& settings, const QString& currentDir) {
    Load(settings, currentDir, DesignFont());
}

bool TSettings::Save(QSettings& settings) const {
    settings.setValue("BackupDir", BackupDir);
    settings.setValue("CurDir", CurDir);
    settings.setValue("DBDir", DBDir);
    settings.setValue("EditorName", EditorName);
    settings.setValue("FontCharset", FontCharset);
    settings.setValue("FontColor", FontColor);
    settings.setValue("FontName", FontName);
    settings.setValue("FontSize", FontSize);
    settings.setValue("ScriptFontCharset", ScriptFontCharset);
    settings.setValue("ScriptFontColor", ScriptFontColor);
    settings.setValue("ScriptFontName", ScriptFontName);
    settings.setValue("ScriptFontSize", ScriptFontSize);
    settings.setValue("RecentScript", RecentScript);
    settings.setValue("RecentTable", RecentTable);
    settings.setValue("OEStoreRoot", OEStoreRoot);
    settings.setValue("Username", Username);
    settings.setValue("DecodeCharsets", DecodeCharsets);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
