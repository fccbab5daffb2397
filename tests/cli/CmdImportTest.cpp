// brevilo-cli convert and import on files in a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/CliRunner.h"

namespace fs = std::filesystem;
using testsupport::RunCliProgram;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

std::string Mail(const std::string& subject, const std::string& body) {
    return "From: a@example.com\r\nSubject: " + subject +
           "\r\nDate: Tue, 12 Jun 2001 10:20:30 +0900\r\nNewsgroups: fj.test\r\n\r\n" + body;
}

std::string Json(const std::string& file, const std::string& subject, const std::string& article,
                 const std::string& date = "2001/6/12 10:20:30") {
    return "{\"file\":\"" + file +
           "\",\"From\":\"a@example.com\",\"Newsgroup\":\"fj.test\","
           "\"Subject\":\"" +
           subject + "\",\"Date\":\"" + date + "\",\"Notes\":\"\",\"Article\":\"" + article +
           "\"}\n";
}

}  // namespace

TEST(CliConvert, WritesOneObjectPerRecordAndRenamesNothing) {
    TempDir dir;
    WriteFile(dir.file("a.eml"), Mail("=?utf-8?B?5pel5pys?=", "Hello\r\n"));  // 日本
    WriteFile(dir.file("b.nws"), Mail("Second", "Line 1\r\nLine 2\r\n"));
    auto r = RunCliProgram({"convert", dir.file("a.eml"), dir.file("b.nws")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Json(dir.file("a.eml"), "\xe6\x97\xa5\xe6\x9c\xac", "Hello") +
                         Json(dir.file("b.nws"), "Second", "Line 1\\r\\nLine 2"));
    EXPECT_TRUE(fs::exists(dir.file("a.eml")));
    EXPECT_TRUE(fs::exists(dir.file("b.nws")));
}

TEST(CliConvert, FailureStopsKeepsWhatWasPrintedAndReportsTheFile) {
    TempDir dir;
    WriteFile(dir.file("a.eml"), Mail("First", "x"));
    WriteFile(dir.file("b.doc"), "x");
    WriteFile(dir.file("c.eml"), Mail("Third", "x"));
    auto r = RunCliProgram({"convert", dir.file("a.eml"), dir.file("b.doc"), dir.file("c.eml")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, Json(dir.file("a.eml"), "First", "x"));
    EXPECT_EQ(r.err, "File Extension Error: .doc\nb.doc\n");
    EXPECT_TRUE(fs::exists(dir.file("b.doc")));
}

TEST(CliConvert, WebPagesUseTheScriptAndTheGivenDay) {
    TempDir dir;
    WriteFile(dir.file("s.hsc"), "#D\r\n?{<title>}\r\nS={</title>}\r\nA=\"body\"\r\n*\r\n.\r\n");
    WriteFile(dir.file("p.htm"), "<html><title>News</title></html>");
    auto r = RunCliProgram(
        {"convert", "--script", dir.file("s.hsc"), "--today", "01/31/2024", dir.file("p.htm")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"file\":\"" + dir.file("p.htm") +
                         "\",\"From\":\"\",\"Newsgroup\":\"\",\"Subject\":\"News\",\"Date\":"
                         "\"01/31/2024\",\"Notes\":\"\",\"Article\":\"body\"}\n");

    auto noScript = RunCliProgram({"convert", dir.file("p.htm")});
    EXPECT_EQ(noScript.status, 1);
    EXPECT_EQ(noScript.err, "Script files missing\np.htm\n");

    WriteFile(dir.file("bad.hsc"), "?{<title>}\r\n!{<nothing>}\r\n");
    auto scriptError =
        RunCliProgram({"convert", "--script", dir.file("bad.hsc"), dir.file("p.htm")});
    EXPECT_EQ(scriptError.status, 1);
    EXPECT_EQ(scriptError.err, "[Script Error] Stopped at line: 2\np.htm\n");
}

TEST(CliConvert, WrongUsage) {
    TempDir dir;
    EXPECT_EQ(RunCliProgram({"convert"}).status, 2);
    EXPECT_EQ(RunCliProgram({"convert", "--today", "2024-01-31", dir.file("a.eml")}).status, 2);
    auto missingScript =
        RunCliProgram({"convert", "--script", dir.file("none.hsc"), dir.file("a")});
    EXPECT_EQ(missingScript.status, 1);
    EXPECT_NE(missingScript.err.find("none.hsc"), std::string::npos);
}

TEST(CliImport, PostsEachFileAndStopsAtTheFirstFailure) {
    TempDir dir, db;
    WriteFile(dir.file("a.eml"), Mail("One", "x"));
    WriteFile(dir.file("b.eml"), "Subject: no sender\r\n\r\nx");
    WriteFile(dir.file("c.eml"), Mail("Three", "x"));
    auto r = RunCliProgram({"import", "--db", db.str(), "--table", "News", "--rename",
                            dir.file("a.eml"), dir.file("b.eml"), dir.file("c.eml")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1\n");
    EXPECT_EQ(r.err, "[Error] File type mismatch\nb.err\n");
    EXPECT_TRUE(fs::exists(dir.file("a.bak")));
    EXPECT_TRUE(fs::exists(dir.file("b.err")));
    EXPECT_TRUE(fs::exists(dir.file("c.eml")));

    auto all = RunCliProgram(
        {"search", "--db", db.str(), "--table", "News", "--field", "messageid", ">0"});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_NE(all.out.find("\"Subject\":\"One\""), std::string::npos);
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 1);
}

TEST(CliImport, AFailingFilePostsNothingOfItsOwn) {
    TempDir dir, db;
    WriteFile(dir.file("m.txt"),
              "From: a@b\r\nSubject: one\r\nDate: 1 Jan 2001 00:00\r\n\r\nbody\r\n\r\n"
              "From:\r\nSubject: two\r\nDate: 1 Jan 2001 00:00\r\n\r\nbody\r\n");
    auto r = RunCliProgram({"import", "--db", db.str(), "--table", "T", dir.file("m.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "0\n");
    EXPECT_TRUE(fs::exists(dir.file("m.txt")));  // no --rename: names stay
    auto all =
        RunCliProgram({"search", "--db", db.str(), "--table", "T", "--field", "messageid", ">0"});
    EXPECT_EQ(all.out, "");
}

TEST(CliImport, ImportsEveryFileInOrder) {
    TempDir dir, db;
    for (int i = 0; i < 5; ++i)
        WriteFile(dir.file("m" + std::to_string(i) + ".eml"), Mail("S" + std::to_string(i), "x"));
    std::vector<std::string> args{"import", "--db", db.str(), "--table", "T"};
    for (int i = 4; i >= 0; --i)
        args.push_back(dir.file("m" + std::to_string(i) + ".eml"));
    auto r = RunCliProgram(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "5\n");
    auto first =
        RunCliProgram({"search", "--db", db.str(), "--table", "T", "--field", "messageid", "=1"});
    EXPECT_NE(first.out.find("\"Subject\":\"S4\""), std::string::npos);  // given order, not sorted
}
