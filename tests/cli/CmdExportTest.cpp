#include <gtest/gtest.h>

#include "cli/CliRunner.h"
#include "store/TDMod.h"
#include "tools/ExportText.h"

using testsupport::ReadFile;
using testsupport::RunCliProgram;
using testsupport::TempDir;

TEST(CliExport, WritesTheTextOfTheGuiExport) {
    TempDir db;
    const std::string records =
        "{\"Subject\":\"a\",\"Date\":\"2001/6/5 9:07:03\",\"From\":\"b\",\"Newsgroup\":\"c\","
        "\"Article\":\"text one\"}\n"
        "{\"Subject\":\"\xe6\x9d\xb1\",\"Article\":\"two\\r\\n\"}\n";  // 東
    ASSERT_EQ(RunCliProgram({"append", "--db", db.str(), "--table", "News"}, records).status, 0);

    const std::string out = db.file("News.txt");
    auto all = RunCliProgram({"export", "--db", db.str(), "--table", "News", out});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out, "2\n");
    // The rows as the GUI shows them (the table opened as the log), through its builder.
    TDMod dmod;
    dmod.OpenFolder(db.str());
    dmod.OpenLogTable("News");
    std::vector<TArticle> rows;
    for (long long i = 0; i < dmod.Log().Rows().Count(); ++i)
        rows.push_back(dmod.Log().Rows().Row(i));
    ASSERT_EQ(rows.size(), 2u);
    const std::string expected = exporttext::BuildExportText(exporttext::kAllFields, {}, rows);
    EXPECT_EQ(ReadFile(out), expected);
    EXPECT_EQ(expected.substr(0, 50), "Subject: a\r\nDate: 5 Jun 2001 09:07:03\r\nFrom: b\r\nNe");

    auto articles =
        RunCliProgram({"export", "--db", db.str(), "--table", "News", "--fields", "article", out});
    EXPECT_EQ(articles.status, 0) << articles.err;
    EXPECT_EQ(ReadFile(out), "text one\r\n\r\n\r\ntwo");
    EXPECT_EQ(ReadFile(db.file("News.bak")), expected);

    auto bad = RunCliProgram({"export", "--db", db.str(), "--table", "News", "--fields", "x", out});
    EXPECT_EQ(bad.status, 2);
    auto missing = RunCliProgram({"export", "--db", db.str(), "--table", "Gone", out});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Database files missing\n");
}
