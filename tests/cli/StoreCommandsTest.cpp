#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRunner.h"
#include "store/TDMod.h"

using testsupport::RunCliProgram;
using testsupport::TempDir;

namespace {

const std::string kRecords =
    "{\"Subject\":\"Tokyo news\",\"Date\":\"2001/6/12 10:20:30\",\"From\":\"Alice\","
    "\"Newsgroup\":\"fj.news\",\"Article\":\"Tokyo and Osaka\",\"Notes\":\"kw\"}\n"
    "{\"Subject\":\"\xe6\x9d\xb1\xe4\xba\xac\",\"Date\":\"2001-06-13 08:00:00\","  // 東京
    "\"Article\":\"Mr. O'Neil\",\"Rank\":3}\n"
    "\n"
    "{\"Subject\":\"No date\",\"Rank\":null,\"Date\":null,\"MessageID\":99,\"file\":\"x.eml\"}\n";

}  // namespace

TEST(CliStore, AppendCreatesTheTableAndSearchFindsTheRecords) {
    TempDir db;
    auto append = RunCliProgram({"append", "--db", db.str(), "--table", "News"}, kRecords);
    EXPECT_EQ(append.status, 0) << append.err;
    EXPECT_EQ(append.out, "3\n");

    auto search = RunCliProgram({"search", "--db", db.str(), "--table", "news", "TOKYO"});
    EXPECT_EQ(search.status, 0) << search.err;
    EXPECT_EQ(search.out,
              "{\"MessageID\":1,\"Rank\":null,\"Date\":\"2001-06-12 10:20:30\",\"From\":\"Alice\","
              "\"Newsgroup\":\"fj.news\",\"Subject\":\"Tokyo news\",\"Notes\":\"kw\","
              "\"Article\":\"Tokyo and Osaka\"}\n");

    auto rank =
        RunCliProgram({"search", "--db", db.str(), "--table", "News", "--field", "rank", ">=3"});
    EXPECT_EQ(rank.out,
              "{\"MessageID\":2,\"Rank\":3,\"Date\":\"2001-06-13 08:00:00\",\"From\":\"\","
              "\"Newsgroup\":\"\",\"Subject\":\"\xe6\x9d\xb1\xe4\xba\xac\",\"Notes\":\"\","
              "\"Article\":\"Mr. O'Neil\"}\n");

    auto cp932 = RunCliProgram({"--encoding", "cp932", "search", "--db", db.str(), "--table",
                                "News", "--field", "subject-notes", "\x93\x8c\x8b\x9e"});  // 東京
    EXPECT_NE(cp932.out.find("\"Subject\":\"\x93\x8c\x8b\x9e\""), std::string::npos);

    auto quoted = RunCliProgram({"search", "--db", db.str(), "--table", "News", "o'neil"});
    EXPECT_NE(quoted.out.find("\"MessageID\":2"), std::string::npos);

    auto byDate = RunCliProgram({"search", "--db", db.str(), "--table", "News", "--field",
                                 "subject-notes", "--order-by-date", "o"});
    // "No date" (no Date) sorts first, then by Date.
    EXPECT_EQ(byDate.out.substr(0, 15), "{\"MessageID\":3,");

    auto tables = RunCliProgram({"tables", "--db", db.str()});
    EXPECT_EQ(tables.out, "News\n");
}

TEST(CliStore, SearchReportsTheKeywordMessages) {
    TempDir db;
    RunCliProgram({"append", "--db", db.str(), "--table", "News"}, kRecords);
    struct Case {
        std::vector<std::string> keywords;
        const char* field;
        const char* message;
    } cases[] = {
        {{""}, "article", "Input keyword\n"},
        {{"a && b"}, "article", "Invalid keyword\n"},
        {{"=>3"}, "rank", "Invalid keyword\n"},
        {{">=x"}, "rank", "'x' is not a valid integer value\n"},
        {{"=13/45/2000"}, "date", "'13/45/2000' is not a valid date\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"search", "--db",    db.str(), "--table",
                                         "News",   "--field", c.field};
        args.insert(args.end(), c.keywords.begin(), c.keywords.end());
        auto r = RunCliProgram(args);
        EXPECT_EQ(r.status, 1) << c.message;
        EXPECT_EQ(r.err, c.message);
        EXPECT_TRUE(r.out.empty());
    }
    auto missing = RunCliProgram({"search", "--db", db.str(), "--table", "Nope", "x"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "Database files missing\n");
    auto usage =
        RunCliProgram({"search", "--db", db.str(), "--table", "News", "--field", "bogus", "x"});
    EXPECT_EQ(usage.status, 2);
    auto noKeywords = RunCliProgram({"search", "--db", db.str(), "--table", "News"});
    EXPECT_EQ(noKeywords.status, 2);
}

TEST(CliStore, AMalformedLineAppendsNothingAndNamesTheLine) {
    TempDir db;
    RunCliProgram({"append", "--db", db.str(), "--table", "News"}, "{\"Subject\":\"first\"}\n");
    struct Case {
        std::string input;
        std::string message;
    } cases[] = {
        {"{\"Subject\":\"ok\"}\nnot json\n", "line 2: expected an object at offset 0\n"},
        {"{\"Subject\":\"ok\"}\n\n{\"Subject\":5}\n", "line 3: Subject must be a string\n"},
        {"{\"Date\":\"2001/13/1\"}\n", "line 1: '2001/13/1' is not a valid date\n"},
        {"{\"Rank\":1.5}\n", "line 1: Rank must be an integer or null\n"},
        {"{\"Subjct\":\"typo\"}\n", "line 1: unknown key \"Subjct\"\n"},
    };
    for (const Case& c : cases) {
        auto r = RunCliProgram({"append", "--db", db.str(), "--table", "News"}, c.input);
        EXPECT_EQ(r.status, 1) << c.input;
        EXPECT_EQ(r.err, c.message);
        EXPECT_TRUE(r.out.empty());
    }
    auto all = RunCliProgram(
        {"search", "--db", db.str(), "--table", "News", "--field", "messageid", ">0"});
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 1);
}

TEST(CliStore, AppendCutsFieldsAndRefusesScratchTables) {
    TempDir db;
    std::string longSubject(84, 'x');
    auto r = RunCliProgram({"append", "--db", db.str(), "--table", "News"},
                           "{\"Subject\":\"" + longSubject + "\xe3\x81\x82\"}\n");  // + あ
    EXPECT_EQ(r.status, 0) << r.err;
    auto found = RunCliProgram(
        {"search", "--db", db.str(), "--table", "News", "--field", "messageid", "=1"});
    EXPECT_NE(found.out.find("\"Subject\":\"" + longSubject + "\""), std::string::npos);

    auto scratch = RunCliProgram({"append", "--db", db.str(), "--table", "TMPDB"}, "{}\n");
    EXPECT_EQ(scratch.status, 1);
    auto bad = RunCliProgram({"append", "--db", db.str(), "--table", "a:b"}, "{}\n");
    EXPECT_EQ(bad.err, "Invalid database name\n");
    auto noFolder = RunCliProgram({"append", "--db", db.file("missing"), "--table", "x"}, "{}\n");
    EXPECT_EQ(noFolder.status, 1);
}

TEST(CliStore, TablesListsUserTablesSortedWithoutLetterCase) {
    TempDir db;
    {
        TDMod dmod;
        dmod.OpenFolder(db.str());  // temporary tables exist while a GUI runs
        for (const char* name : {"beta", "Alpha", "\x93\xfa\x96\x7b", "gamma"})
            dmod.CreateMainTable(name);
        auto r = RunCliProgram({"tables", "--db", db.str()});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "Alpha\nbeta\ngamma\n\xe6\x97\xa5\xe6\x9c\xac\n");
        // Appending beside the running data module leaves its tables alone.
        auto a =
            RunCliProgram({"append", "--db", db.str(), "--table", "beta"}, "{\"Subject\":\"s\"}\n");
        EXPECT_EQ(a.status, 0) << a.err;
        EXPECT_TRUE(std::filesystem::exists(db.file("tmpdb.db")));
    }
    auto missing = RunCliProgram({"tables", "--db", db.file("missing")});
    EXPECT_EQ(missing.status, 1);
}
