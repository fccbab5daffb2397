#pragma once

#include <QString>

// Where the installed data files are. The program finds them relative to its own folder,
// as GNUInstallDirs lays them out (<prefix>/bin/brevilo beside <prefix>/share/...), so the
// installed tree can move as a whole. A program run from the build folder uses the source
// tree's copies instead.
struct TInstallPaths {
    // Folder the program runs from (QCoreApplication::applicationDirPath()).
    QString programFolder;
    // Relative paths from the program's folder to the installed guide and example scripts.
    QString guideFromProgram;
    QString scriptsFromProgram;
    // The build's program folder and the source tree's guide and example scripts.
    QString buildProgramFolder;
    QString sourceGuideFolder;
    QString sourceScriptsFolder;

    // The paths this program was built with, for the given program folder.
    static TInstallPaths ForProgram(const QString& programFolder);

    // The guide's first page: the installed one when it is there; else, when the program
    // runs from its build folder, the source tree's; else empty.
    QString GuideIndex() const;

    // The folder of the example scripts that seed the user's script folder, by the same
    // rule; empty when neither exists.
    QString ExampleScriptsFolder() const;

  private:
    QString Find(const QString& fromProgram, const QString& inSource, const QString& file) const;
};
