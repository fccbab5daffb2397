#pragma once

#include <QString>
#include <QStringList>

// The user's script folder: where ".hsc" scripts are listed, loaded and saved, and where
// "RecentScript" names a file. It replaces a folder beside the program, which an installed
// program's user cannot write. GUI thread only; nothing here is kept between calls.
namespace scriptfolder {

// QStandardPaths::AppDataLocation + "/scripts".
QString DefaultPath();

// The example scripts shipped with the program: `<bin>/../share/brevilo/scripts` of an
// installed program, else the source tree's data/scripts when run from the build folder;
// empty when neither exists.
QString ExamplesFolder();

// Makes sure `folder` exists. When it has to be created, it is seeded with every file of
// `examples` (scripts and their sample pages); a file already there is never overwritten.
// Returns false when the folder cannot be created.
bool Prepare(const QString& folder, const QString& examples);

// The ".hsc" file names of the folder (letter case of the extension ignored), sorted.
QStringList ScriptNames(const QString& folder);

// `folder` + "/" + name.
QString PathOf(const QString& folder, const QString& name);

// The sample page of a script: the ".htm" or ".html" file of the same base name in the
// folder; empty when there is none.
QString SamplePageOf(const QString& folder, const QString& scriptName);

}  // namespace scriptfolder
