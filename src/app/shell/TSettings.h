#pragma once

#include <QString>

class QSettings;

// The user's settings: the seventeen values kept under QSettings("Korvath", "Brevilo").
// They are read once when the main window is built and written once when it closes;
// nothing is written in between.
class TSettings {
  public:
    // The article editor's design font, the default of the four article-font values.
    struct DesignFont {
        QString name = QStringLiteral("Arial");
        int size = 11;
        int color = 0x800000;  // navy, as a Windows colour value 0x00BBGGRR
        int charset = 0;       // ANSI
    };

    // Without a configured editor the desktop's opener shows a file.
    static QString DefaultEditor() { return QStringLiteral("xdg-open"); }

    // Whether editor names a program that can be started: a path to an existing file,
    // or a name found on PATH.
    static bool EditorExists(const QString& editor);

    // Reads every value. A missing value takes its default; when the settings hold no
    // value at all (never written, or unreadable) "BackupDir" starts empty instead of
    // currentDir. Afterwards a "DBDir" that names no existing folder becomes empty and an
    // "EditorName" that names no program becomes DefaultEditor().
    void Load(QSettings& settings, const QString& currentDir, const DesignFont& design);
    void Load(QSettings& settings, const QString& currentDir);

    // Writes all seventeen values (texts as strings, the eight font numbers as integers,
    // DecodeCharsets as a boolean).
    // Returns false when the settings could not be stored.
    bool Save(QSettings& settings) const;

    QString BackupDir;
    QString CurDir;
    QString DBDir;
    QString EditorName;
    int FontCharset = 0;
    int FontColor = 0;
    QString FontName;
    int FontSize = 0;
    int ScriptFontCharset = 0;
    int ScriptFontColor = 0;
    QString ScriptFontName;
    int ScriptFontSize = 0;
    QString RecentScript;
    QString RecentTable;
    QString OEStoreRoot;
    QString Username;
    // Whether an import converts mail in every known charset to cp932, not only UTF-8
    // (MailParser::TParseOptions). Off unless the user turns it on.
    bool DecodeCharsets = false;
};
