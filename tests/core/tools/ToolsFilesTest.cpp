#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "base/EError.h"
#include "tools/ExportText.h"
#include "tools/PagePlan.h"
#include "tools/TFileExtConverter.h"

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

class FileExtConverterTest : public ::testing::Test {
  protected:
    void Make(std::initializer_list<const char*> names) {
        for (const char* name : names)
            WriteFile(dir.file(name), name);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    using Names_ = std::vector<std::string>;
    TempDir dir;
    TFileExtConverter conv{dir.str()};
};

TArticle Record(const char* subject, const char* article) {
    TArticle r;
    r.Subject = subject;
    r.From = "b";
    r.Newsgroup = "c";
    r.Date = TTimestamp{2001, 6, 5, 9, 7, 3};
    r.Article = article;
    return r;
}

}  // namespace

TEST_F(FileExtConverterTest, RenamesByMaskAndUndoes) {
    Make({"a.bak", "b.err", "Inbox.dbx"});
    EXPECT_EQ(conv.Convert("*.bak", "htm", false), "Converted successfully");
    EXPECT_EQ(Names(), (Names_{"Inbox.dbx", "a.htm", "b.err"}));
    ASSERT_TRUE(conv.CanUndo());
    conv.Undo();
    EXPECT_FALSE(conv.CanUndo());
    EXPECT_EQ(Names(), (Names_{"Inbox.dbx", "a.bak", "b.err"}));
}

TEST_F(FileExtConverterTest, NewExtensionRules) {
    Make({"a.htm", "b.bak", "c.txt"});
    EXPECT_EQ(conv.Convert(" *.htm ", " TXT ", false), "Converted successfully");
    EXPECT_EQ(conv.Convert("*.txt", "nws", true), "Converted successfully");  // Simply Add
    EXPECT_EQ(conv.Convert("*.bak", "", false), "Converted successfully");    // strips it
    EXPECT_EQ(Names(), (Names_{"a.txt.nws", "b", "c.txt.nws"}));
}

TEST_F(FileExtConverterTest, Messages) {
    Make({"a.txt"});
    struct Case {
        const char* mask;
        const char* ext;
        const char* message;
    };
    const Case cases[] = {
        {" ", "htm", "There is no mask"},
        {"*.txt", "t?t", "t?tInvalid charcters in the file extension"},
        {"*.txt", "T/X", "t/xInvalid charcters in the file extension"},
        {"*.txt", "..", "..Invalid charcters in the file extension"},
        {"*.txt", ".txt", "Same file extensions"},
        {"*", "", "Same file extensions"},
        {"*.eml", "htm", "No files in this folder"},
        // A mask that names another folder renames nothing there.
        {"../*.txt", "htm", "No files in this folder"},
        {"sub/*.txt", "htm", "No files in this folder"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(conv.Convert(c.mask, c.ext, false), c.message) << c.mask << " " << c.ext;
    EXPECT_EQ(Names(), (Names_{"a.txt"}));
    // The mask keeps its case: "*.TXT" is not the extension ".txt".
    EXPECT_EQ(conv.Convert("*.TXT", "txt", false), "Converted successfully");
    // Names are UTF-8: a "/" after a byte that cp932 would take for a lead byte is
    // still a "/" ("\xc4\x9f" is g with breve).
    std::string ext;
    EXPECT_FALSE(TFileExtConverter::NormaliseExtension("\xc4\x9f/x", ext));
    EXPECT_TRUE(TFileExtConverter::NormaliseExtension("\xc3\x89T", ext));
    EXPECT_EQ(ext, ".\xc3\x89t");
}

TEST_F(FileExtConverterTest, LeavesStoresLinksProgramsAndTakenNamesAlone) {
    Make({"Inbox.dbx", "Setup.EXE", "Link.lnk", "b.bak", "b.htm", "c.bak", ".hidden.bak"});
    fs::create_directory(dir.path() / "d.bak");
    EXPECT_EQ(conv.Convert("*.*", "htm", false), "Converted successfully");
    EXPECT_EQ(Names(), (Names_{".hidden.bak", "Inbox.dbx", "Link.lnk", "Setup.EXE", "b.bak",
                               "b.htm", "c.htm", "d.bak"}));
    ASSERT_EQ(conv.UndoList().size(), 1u);
    EXPECT_EQ(conv.UndoList()[0].oldPath, dir.file("c.bak"));
    EXPECT_EQ(ReadFile(dir.file("b.htm")), "b.htm");

    TFileExtConverter empty(dir.str() + "/d.bak");
    EXPECT_EQ(empty.Convert("*.*", "htm", false), "No files in this folder");
    EXPECT_FALSE(empty.CanUndo());
}

TEST(FileMask, MatchesLikeTheImportFolder) {
    EXPECT_TRUE(TFileExtConverter::MatchesMask("a.HTML", "*.htm"));
    EXPECT_TRUE(TFileExtConverter::MatchesMask("README", "*.*"));
    EXPECT_TRUE(TFileExtConverter::MatchesMask("news12.txt", "news??.TXT"));
    EXPECT_FALSE(TFileExtConverter::MatchesMask("news123.txt", "news??.txt"));
    EXPECT_FALSE(TFileExtConverter::MatchesMask("a.ht", "*.htm"));
    EXPECT_FALSE(TFileExtConverter::MatchesMask("a.bak2", "*.ba?"));
    EXPECT_TRUE(TFileExtConverter::MatchesMask("\xe6\x97\xa5.txt", "?.txt"));  // 日
}

TEST(ExportText, WritesFieldsLabelsAndDates) {
    const std::vector<TArticle> two = {Record("a", "text one"), Record("d", "text two\r\n")};
    EXPECT_EQ(exporttext::BuildExportText(exporttext::kAllFields, {}, two),
              "Subject: a\r\nDate: 5 Jun 2001 09:07:03\r\nFrom: b\r\nNewsgroups: c\r\n\r\n"
              "text one\r\n\r\n"
              "Subject: d\r\nDate: 5 Jun 2001 09:07:03\r\nFrom: b\r\nNewsgroups: c\r\n\r\n"
              "text two");
    // Only the articles: two empty lines between them; a record without a date.
    EXPECT_EQ(exporttext::BuildExportText(exporttext::kArticle, {}, two),
              "text one\r\n\r\n\r\ntext two");
    TArticle undated = Record(" x", "");
    undated.Date.reset();
    TExportLabels labels;
    labels.Subject = "Title: ";
    EXPECT_EQ(exporttext::BuildExportText(exporttext::kSubject | exporttext::kDate, labels,
                                          {undated, undated}),
              "Title:  x\r\nDate: \r\n\r\n\r\nTitle:  x\r\nDate:");
    EXPECT_EQ(exporttext::BuildExportText(0, {}, two), "");
    EXPECT_EQ(exporttext::BuildExportText(exporttext::kAllFields, {}, {}), "");
    EXPECT_EQ(exporttext::FormatExportDate({987, 12, 31, 23, 59, 0}), "31 Dec 0987 23:59:00");
}

TEST(ExportText, KeepsTheEarlierExportAsBak) {
    TempDir dir;
    const std::string path = dir.file("News.txt");
    for (const char* text : {"first", "second", "third"}) {
        exporttext::TExportFile file(path);
        file.Write(text);
        file.Close();
    }
    EXPECT_EQ(ReadFile(path), "third");
    EXPECT_EQ(ReadFile(dir.file("News.bak")), "second");

    // A folder that is not there: the platform's reason, naming the file.
    try {
        exporttext::TExportFile file(dir.file("none/x.txt"));
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + dir.file("none/x.txt") +
                                             "\". No such file or directory");
    }
}

TEST(PagePlan, Geometry) {
    // 10 points at 72 dpi: h = 10, line height 13 (1.4 lies just below 1.4).
    const auto g = pageplan::ComputeGeometry(10, 72, 72, 500, 700);
    EXPECT_EQ(g.lineHeight, 13);
    EXPECT_EQ(g.header.bottom, 26);
    EXPECT_EQ(g.footer.top, 687);
    EXPECT_EQ(g.linesPerPage, (687 - 26) / 13 - 2);
    EXPECT_EQ(pageplan::ComputeGeometry(10, 600, 600, 4000, 6000).leftMargin, 354);
    // A font too large for any body line still prints one line a page.
    EXPECT_EQ(pageplan::ComputeGeometry(500, 600, 600, 4000, 6000).linesPerPage, 1);
    EXPECT_EQ(pageplan::PageCount(120, 50), 3);
    EXPECT_EQ(pageplan::PageCount(0, 50), 0);
}

TEST(PagePlan, PlansPageRanges) {
    using P = pageplan::TPlannedPage;
    auto same = [](const std::vector<P>& a, const std::vector<P>& b) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i].number != b[i].number || a[i].firstLine != b[i].firstLine ||
                a[i].endLine != b[i].endLine)
                return false;
        return true;
    };
    EXPECT_TRUE(same(pageplan::PlanPages(120, 50, 2, 3), {{2, 50, 100}, {3, 100, 120}}));
    EXPECT_TRUE(same(pageplan::PlanPages(8, 50, 1, 1), {{1, 0, 8}}));
    EXPECT_TRUE(same(pageplan::PlanPages(120, 50, 1, 1), {{1, 0, 50}}));
    // First page after the last: one page with title and footer only.
    EXPECT_TRUE(same(pageplan::PlanPages(120, 50, 3, 2), {{3, 100, 100}}));
}
