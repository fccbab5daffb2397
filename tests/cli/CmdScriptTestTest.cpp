#include <gtest/gtest.h>

#include "TestSupport.h"
#include "cli/CliRunner.h"

using testsupport::RunCliProgram;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

class ScriptTestCommand : public ::testing::Test {
  protected:
    TempDir dir;
    std::string Script(const std::string& text) {
        WriteFile(dir.file("s.hsc"), text);
        return dir.file("s.hsc");
    }
    std::string Page(const std::string& text, const std::string& name = "p.htm") {
        WriteFile(dir.file(name), text);
        return dir.file(name);
    }
};

}  // namespace

TEST_F(ScriptTestCommand, WritesTheOutputAsTheWindowShowsIt) {
    auto r = RunCliProgram({"script-test", Script("#D\r\n?{<b>}\r\nS={</b>}\r\n*\r\n.\r\n"),
                            Page("<b>Hi</b>"), "--today", "01/02/2003"});
    EXPECT_EQ(r.status, 0) << r.err;
    // Trimmed at both ends, as the output pane is.
    EXPECT_EQ(r.out,
              "1: #D\r\n01/02/2003 was set at Date field\r\n\r\n"
              "2: ?{<b>}\r\n~Hi</b>\r\n\r\n"
              "3: S={</b>}\r\nSubject:\r\nHi\r\n\r\n"
              "4: *\r\n#1 record posted\r\n\r\n"
              "5: .\r\n1 record(s) created successfully");
    EXPECT_EQ(r.err, "");
}

TEST_F(ScriptTestCommand, ScriptErrorExitsWithOneAndNamesTheLine) {
    auto r = RunCliProgram({"script-test", Script("/x\r\n\r\n!{<table>}\r\n"), Page("<p>")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "3: [Error] !{<table>}\r\n<table> not found");
    EXPECT_EQ(r.err, "Error line: 3\n");
}

TEST_F(ScriptTestCommand, NoRecordCreatedFailsWithoutAnErrorLine) {
    auto r = RunCliProgram({"script-test", Script("S=\"x\""), Page("<p>", "p.ERR")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1: S=\"x\"\r\nSubject:\r\nx\r\n\r\n1: [Error] \r\nNo record created");
    EXPECT_EQ(r.err, "");
}

TEST_F(ScriptTestCommand, EmptyPageShowsTheReadFailure) {
    auto r = RunCliProgram({"script-test", Script("*"), Page("", "p.bak")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Failed to read a file");
}

TEST_F(ScriptTestCommand, RefusesWhatTheWindowRefuses) {
    const std::string script = Script("*");
    auto empty = RunCliProgram({"script-test", Script(""), Page("x")});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.err, "Script files missing\n");

    const std::string missing = dir.file("missing.htm");
    auto noPage = RunCliProgram({"script-test", Script("*"), missing});
    EXPECT_EQ(noPage.status, 1);
    EXPECT_EQ(noPage.err, missing + "\r\nHTML file missing\n");

    auto text = RunCliProgram({"script-test", Script("*"), Page("x", "p.txt")});
    EXPECT_EQ(text.status, 1);
    EXPECT_EQ(text.err, "HTML file missing\n");
    EXPECT_EQ(text.out, "");

    auto noScript = RunCliProgram({"script-test", dir.file("none.hsc"), Page("x")});
    EXPECT_EQ(noScript.status, 1);
    EXPECT_NE(noScript.err.find("none.hsc"), std::string::npos);
}

TEST_F(ScriptTestCommand, WrongUsageExitsWithTwo) {
    const std::string s = Script("*"), p = Page("x");
    for (auto args : std::vector<std::vector<std::string>>{
             {"script-test"},
             {"script-test", s},
             {"script-test", s, p, p},
             {"script-test", s, p, "--today", "2001/06/12"},
             {"script-test", s, p, "--today", "02/30/2001"},
             {"script-test", s, p, "--today"},
         }) {
        auto r = RunCliProgram(args);
        EXPECT_EQ(r.status, 2) << args.size();
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(ScriptTestCommand, EncodingDecidesHowPageBytesAreWritten) {
    const std::string s = Script("?{<b>}\r\nS={</b>}\r\n*");
    const std::string p = Page("<b>\x82\xa0</b>");  // あ
    auto utf8 = RunCliProgram({"script-test", s, p});
    EXPECT_NE(utf8.out.find("Subject:\r\n\xe3\x81\x82\r\n"), std::string::npos);
    auto raw = RunCliProgram({"--encoding", "cp932", "script-test", s, p});
    EXPECT_NE(raw.out.find("Subject:\r\n\x82\xa0\r\n"), std::string::npos);
}
