#include "import/TMyFiler.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "import/FileMask.h"

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

std::vector<std::string> Names(const TMyFiler& filer) {
    std::vector<std::string> names;
    for (const auto& e : filer.Entries())
        names.push_back(fs::path(e.path).filename().string());
    return names;
}

}  // namespace

TEST(FileMask, MatchesTheImportFolderRules) {
    struct Case {
        const char* name;
        const char* extension;
        bool matches;
    } cases[] = {
        {"a.eml", ".eml", true},   {"A.EML", ".eml", true},   {"a.eml", ".EML", true},
        {"a.txt", ".txt ", true},  {"a.txt", ".txt  ", true}, {"a.html", ".htm", true},
        {"a.htm", ".htm", true},   {"a.htmx", ".htm", true},  {"a.emlx", ".eml", true},
        {"a.ht", ".htm", false},   {"a.htm", ".html", false}, {"a.html", ".html", true},
        {"a.html", ".htm*", true}, {"a.htm", ".htm*", true},  {"a.eml.bak", ".eml", false},
        {"eml", ".eml", false},    {"a.nws", ".eml", false},  {"a.", ".eml", false},
        {"a.bak", ".bak", true},   {"a.err", ".err", true},   {"x.hsc", ".hsc", true},
        {"a.text", ".tex", true},  {"a.text", ".te", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesExtensionMask(c.name, c.extension), c.matches)
            << c.name << " ~ " << c.extension;
}

TEST(FileMask, ExtensionIsFromTheLastDotOfTheName) {
    EXPECT_EQ(ExtensionOf("/x.y/a.b.EML"), ".EML");
    EXPECT_EQ(ExtensionOf("/x.y/noext"), "");
    EXPECT_EQ(ExtensionOf("a."), ".");
    EXPECT_EQ(ReplaceExtension("/x.y/a.b.eml", ".bak"), "/x.y/a.b.bak");
    EXPECT_EQ(ReplaceExtension("/x.y/noext", ".bak"), "/x.y/noext.bak");
}

TEST(TMyFiler, ListsMatchingPlainFilesSortedWithoutRegardToCase) {
    TempDir dir;
    for (const char* name : {"c.nws", "a.nws", "B.nws", "d.NWS", "e.eml", ".hidden.nws"})
        WriteFile(dir.file(name), "x");
    fs::create_directory(dir.path() / "folder.nws");
    TMyFiler filer;
    filer.PageCount = 3;
    filer.ScriptPath = "/s.hsc";
    filer.ListFolder(dir.str(), ".nws");
    EXPECT_EQ(Names(filer), (std::vector<std::string>{"a.nws", "B.nws", "c.nws", "d.NWS"}));
    EXPECT_EQ(filer.FileAt(0), dir.file("a.nws"));
    EXPECT_EQ(filer.PageCount, 3);
    EXPECT_EQ(filer.ScriptPath, "/s.hsc");
    EXPECT_EQ(filer.FirstFolder(), dir.str());
}

TEST(TMyFiler, HtmlListsEveryHtmFile) {
    TempDir dir;
    for (const char* name : {"a.htm", "b.html", "c.HTML", "d.ht"})
        WriteFile(dir.file(name), "x");
    TMyFiler filer;
    filer.ListFolder(dir.str(), ".html");
    EXPECT_EQ(Names(filer), (std::vector<std::string>{"a.htm", "b.html", "c.HTML"}));
    filer.ListFolder(dir.str(), ".htm");
    EXPECT_EQ(filer.Count(), 3);
    filer.ListFolder(dir.str(), ".txt ");
    EXPECT_EQ(filer.Count(), 0);
}

TEST(TMyFiler, AddDroppedTakesSupportedTypesAndCountsPages) {
    TempDir dir;
    for (const char* name : {"p.HTM", "q.html", "m.eml", "n.nws", "t.txt", "x.doc", "noext"})
        WriteFile(dir.file(name), "x");
    fs::create_directory(dir.path() / "sub.eml");
    TMyFiler filer;
    EXPECT_TRUE(filer.AddDropped(dir.file("p.HTM")));
    EXPECT_TRUE(filer.AddDropped(dir.file("q.html")));
    EXPECT_TRUE(filer.AddDropped(dir.file("m.eml")));
    EXPECT_TRUE(filer.AddDropped(dir.file("n.nws")));
    EXPECT_TRUE(filer.AddDropped(dir.file("t.txt")));
    EXPECT_FALSE(filer.AddDropped(dir.file("x.doc")));
    EXPECT_FALSE(filer.AddDropped(dir.file("noext")));
    EXPECT_FALSE(filer.AddDropped(dir.file("sub.eml")));  // a folder is no source file
    EXPECT_EQ(filer.PageCount, 2);
    EXPECT_EQ(filer.Count(), 5);
    EXPECT_TRUE(filer.AddDropped(dir.file("M.EML")));  // present in another case: one entry
    EXPECT_EQ(filer.Count(), 5);
    filer.Clear();
    EXPECT_EQ(filer.Count(), 0);
    EXPECT_EQ(filer.PageCount, 0);
}

TEST(TMyFiler, RenameToChangesTheExtensionUnlessTheTargetExists) {
    TempDir dir;
    WriteFile(dir.file("a.nws"), "1");
    WriteFile(dir.file("b.nws"), "2");
    WriteFile(dir.file("b.bak"), "old");
    TMyFiler filer;
    filer.ListFolder(dir.str(), ".nws");
    filer.RenameTo(0, ".bak");
    EXPECT_TRUE(fs::exists(dir.file("a.bak")));
    EXPECT_FALSE(fs::exists(dir.file("a.nws")));
    EXPECT_EQ(filer.LastExtension, ".nws");
    filer.RenameTo(1, ".bak");  // b.bak exists: b.nws keeps its name, b.bak is untouched
    EXPECT_TRUE(fs::exists(dir.file("b.nws")));
    EXPECT_EQ(testsupport::ReadFile(dir.file("b.bak")), "old");
    EXPECT_TRUE(filer.ErrorFile.empty());
}

TEST(TMyFiler, RenameToErrRemembersTheErrorFile) {
    TempDir dir;
    WriteFile(dir.file("a.eml"), "1");
    WriteFile(dir.file("b.eml"), "2");
    WriteFile(dir.file("b.err"), "old");
    TMyFiler filer;
    filer.ListFolder(dir.str(), ".eml");
    filer.RenameTo(0, ".err");
    EXPECT_EQ(filer.ErrorFile, dir.file("a.err"));
    filer.RenameTo(1, ".err");
    EXPECT_EQ(filer.ErrorFile, dir.file("b.eml"));  // could not be renamed: names the file itself
}

TEST(TMyFiler, StoresKeepTheirNames) {
    TempDir dir;
    WriteFile(dir.file("Inbox.dbx"), "x");
    TMyFiler filer;
    filer.AddTagged(dir.file("Inbox.dbx"), 12);
    EXPECT_EQ(filer.TagAt(0), 12);
    filer.RenameTo(0, ".err");
    EXPECT_TRUE(fs::exists(dir.file("Inbox.dbx")));
    EXPECT_EQ(filer.LastExtension, ".dbx");
    EXPECT_TRUE(filer.ErrorFile.empty());
}

TEST(TMyFiler, AnyFileWithLooksForPlainFiles) {
    TempDir dir;
    EXPECT_FALSE(TMyFiler::AnyFileWith(dir.str(), ".bak"));
    fs::create_directory(dir.path() / "x.bak");
    EXPECT_FALSE(TMyFiler::AnyFileWith(dir.str(), ".bak"));
    WriteFile(dir.file("y.BAK"), "x");
    EXPECT_TRUE(TMyFiler::AnyFileWith(dir.str(), ".bak"));
    EXPECT_FALSE(TMyFiler::AnyFileWith(dir.file("missing"), ".bak"));
}
