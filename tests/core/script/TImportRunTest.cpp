#include "script/TImportRun.h"

#include <gtest/gtest.h>

#include <atomic>

#include "FakeScriptHost.h"
#include "ScriptTestSupport.h"
#include "TestSupport.h"
#include "base/Abort.h"
#include "base/EError.h"
#include "script/EScriptError.h"
#include "text/TMSManager.h"

using scripttest::Crlf;
using scripttest::FakeScriptHost;
using scripttest::ItemsPage;
using scripttest::Lines;
using scripttest::LoopScript;

namespace {

class ImportRunTest : public ::testing::Test {
  protected:
    FakeScriptHost host;
    TMSManager page;

    void Run(std::string_view script, std::string_view html) {
        TScript parsed(Lines(script));
        page.Assign(html);
        TImportRun(host).RunLoaded(parsed, page);
    }

    // The line of the script error the run ends with; 0 when it ends normally.
    int ErrorLine(std::string_view script, std::string_view html) {
        try {
            Run(script, html);
        } catch (const EScriptError& e) {
            return e.Line();
        }
        return 0;
    }

    std::string Detail(std::string_view script, std::string_view html) {
        try {
            Run(script, html);
        } catch (const EScriptError& e) {
            return e.Detail();
        }
        return "(no error)";
    }
};

}  // namespace

TEST_F(ImportRunTest, LoopOverThirtyItemsGivesThirtyRecords) {
    ASSERT_EQ(ErrorLine(LoopScript(), ItemsPage(30)), 0);
    ASSERT_EQ(host.records.size(), 30u);
    EXPECT_EQ(host.records[0].Subject, "Title 1");
    EXPECT_EQ(host.records[0].Article, "Body 1");
    EXPECT_EQ(host.records[29].Subject, "Title 30");
    EXPECT_EQ(host.records[29].Article, "Body 30");
}

TEST_F(ImportRunTest, HundredFiftyItemsStopAtTheDefaultCycleLimitAfterHundredRecords) {
    // The hundredth jump back reaches the limit; the error names the line after the label.
    EXPECT_EQ(ErrorLine(LoopScript(), ItemsPage(150)), 3);
    EXPECT_EQ(host.records.size(), 100u);
    EXPECT_EQ(Detail(LoopScript(), ItemsPage(150)), "Exceeded the cycle limit");
}

TEST_F(ImportRunTest, CycleLimitDirectiveRaisesTheLimit) {
    EXPECT_EQ(ErrorLine(LoopScript("#R 200"), ItemsPage(150)), 0);
    EXPECT_EQ(host.records.size(), 150u);
}

TEST_F(ImportRunTest, CycleLimitThreeStopsRightAfterTheThirdBackwardJump) {
    EXPECT_EQ(ErrorLine(LoopScript("#R3"), ItemsPage(10)), 3);
    EXPECT_EQ(host.records.size(), 3u);
}

TEST_F(ImportRunTest, CycleLimitIsCheckedBeforeTheEndOfTheScript) {
    // A jump back to a label that is the last statement line: the page is done before the
    // limit is looked at.
    EXPECT_EQ(ErrorLine("#R 1\nS=\"x\"\n*\n+:end\n:end", "page"), 0);
    EXPECT_EQ(ErrorLine("#R 1\n:top\nS=\"x\"\n*\n+:top", "page"), 3);
}

TEST_F(ImportRunTest, ScriptWithoutFinishAndWithoutPostEndsNormally) {
    EXPECT_EQ(ErrorLine("?{nothing}\nS={<}", "<p>x</p>"), 0);
    EXPECT_TRUE(host.records.empty());
}

TEST_F(ImportRunTest, FinishBeforeAnyPostIsAnErrorAtItsLine) {
    EXPECT_EQ(ErrorLine("S=\"x\"\n\n.", "page"), 3);
    EXPECT_EQ(Detail("S=\"x\"\n\n.", "page"), "No record created");
}

TEST_F(ImportRunTest, FinishEndsTheScriptAfterAPost) {
    EXPECT_EQ(ErrorLine("S=\"x\"\n*\n.\n*\n*", "page"), 0);
    EXPECT_EQ(host.records.size(), 1u);
}

TEST_F(ImportRunTest, MustFindFailsAtItsLineAndKeepsEarlierRecords) {
    EXPECT_EQ(ErrorLine("S=\"one\"\n*\n!{<table>}\n*", "<p>no table</p>"), 3);
    ASSERT_EQ(host.records.size(), 1u);
    EXPECT_EQ(host.records[0].Subject, "one");
    EXPECT_EQ(Detail("!{<table>}", "x"), "<table> not found");
}

TEST_F(ImportRunTest, LongArticleGivesTwoRecordsWithSuffixesAndThenAnEmptyPost) {
    std::string body;
    while (body.size() < 60000)
        body += "0123456789012345678901234567890123456789012345678\r\n";
    body.resize(60000);
    const std::string html = "<pre>" + body + "</pre>";
    EXPECT_EQ(ErrorLine("S=\"News\"\n?{<pre>}\nA={</pre>}\n*\n*\n.", html), 0);
    ASSERT_EQ(host.records.size(), 3u);
    EXPECT_EQ(host.records[0].Subject, "News (1)");
    EXPECT_EQ(host.records[1].Subject, "News (2)");
    // The first part ends with the line that byte 49152 falls in; its CR LF is dropped.
    EXPECT_EQ(host.records[0].Article.size(), 49152u - 49152u % 51 + 49);
    EXPECT_EQ(host.records[0].Article + "\r\n" + host.records[1].Article,
              std::string(body.substr(0, body.find_last_not_of("\r\n") + 1)));
    EXPECT_EQ(host.records[2].Subject, "News (2)");
    EXPECT_EQ(host.records[2].Article, "");
}

TEST_F(ImportRunTest, ArticleUpToTheLimitIsOneRecordAndIsRepeatedByTheNextPost) {
    EXPECT_EQ(ErrorLine("S=\"s\"\nA=\"a^b\"\n*\n*", "page"), 0);
    ASSERT_EQ(host.records.size(), 2u);
    EXPECT_EQ(host.records[0].Article, "a\r\nb");
    EXPECT_EQ(host.records[1].Article, "a\r\nb");
    EXPECT_EQ(host.records[1].Subject, "s");
}

TEST_F(ImportRunTest, DatesAreReadByTheDatePattern) {
    EXPECT_EQ(ErrorLine("D=\"6/12/2001\"\n*\nD=\"June 12, 2001\"\n%\"m d, y\"\n*", "x"), 0);
    ASSERT_EQ(host.records.size(), 2u);
    EXPECT_EQ(host.records[0].Date, "2001/6/12");
    EXPECT_EQ(host.records[1].Date, "2001/6/12");
}

TEST_F(ImportRunTest, DateThatDoesNotFitGivesNoDate) {
    EXPECT_EQ(ErrorLine("#D\nD=\"yesterday\"\n*", "x"), 0);
    ASSERT_EQ(host.records.size(), 1u);
    EXPECT_EQ(host.records[0].Date, "");
}

TEST_F(ImportRunTest, TodayDirectiveDatesRecordsWhoseDateStaysEmpty) {
    EXPECT_EQ(ErrorLine("#D\n*\nD=\"1/2/1999\"\n*\nD=\"\"\n*", "x"), 0);
    ASSERT_EQ(host.records.size(), 3u);
    EXPECT_EQ(host.records[0].Date, "06/12/2001");  // the short date text, as "#D" writes it
    EXPECT_EQ(host.records[1].Date, "1999/1/2");
    EXPECT_EQ(host.records[2].Date, "1999/1/2");  // an empty D keeps the previous date
}

TEST_F(ImportRunTest, FieldsAreTheEnginesAndStartEmptyOnEveryPage) {
    host.fields = {"old from", "old group", "old subject", "2000/1/1", "old article", "old notes"};
    EXPECT_EQ(ErrorLine("F=\"f\"\nG=\"g\"\nN=\"n\"\n*", "x"), 0);
    ASSERT_EQ(host.records.size(), 1u);
    const TRecordFields& r = host.records[0];
    EXPECT_EQ(r.From, "f");
    EXPECT_EQ(r.Newsgroup, "g");
    EXPECT_EQ(r.Notes, "n");
    EXPECT_EQ(r.Subject, "");
    EXPECT_EQ(r.Date, "");
    EXPECT_EQ(r.Article, "");
}

TEST_F(ImportRunTest, ExtractionsGoThroughTheHtmlConversionsAndAreTrimmed) {
    EXPECT_EQ(
        ErrorLine("?{<title>}\nS={</title>}\nA={</body>}\n*",
                  "<title> \t Big <b>News</b>\r\n </title><body>\r\n\r\n  Text\r\n \r\n</body>"),
        0);
    ASSERT_EQ(host.records.size(), 1u);
    EXPECT_EQ(host.plainCalls.at(0), " \t Big <b>News</b>\r\n ");
    EXPECT_EQ(host.records[0].Subject, "Big News");
    // A keeps its leading blanks; line breaks at both ends go at posting.
    EXPECT_EQ(host.records[0].Article, "  Text");
    ASSERT_EQ(host.layoutCalls.size(), 1u);
    EXPECT_EQ(host.layoutCalls[0].source, "</title><body>\r\n\r\n  Text\r\n \r\n");
}

TEST_F(ImportRunTest, SwitchesReachTheLayoutOfArticlesOnly) {
    // SkipTo leaves the cursor on the comma; each "?" steps over it.
    EXPECT_EQ(
        ErrorLine("A={,}\n?{,}\n<P\n>H\nA={,}\n?{,}\nS={,}\n?{,}\n>P\n<H\nA={,}\n*", "a,b,c,d,"),
        0);
    ASSERT_EQ(host.layoutCalls.size(), 3u);
    EXPECT_TRUE(host.layoutCalls[0].pickUpLinks);
    EXPECT_FALSE(host.layoutCalls[0].preformatted);
    EXPECT_FALSE(host.layoutCalls[1].pickUpLinks);
    EXPECT_TRUE(host.layoutCalls[1].preformatted);
    EXPECT_TRUE(host.layoutCalls[2].pickUpLinks);
    EXPECT_FALSE(host.layoutCalls[2].preformatted);
    EXPECT_EQ(host.plainCalls.size(), 1u);
}

TEST_F(ImportRunTest, AppendAndTemporaryVariables) {
    EXPECT_EQ(ErrorLine("X=\"ab\"\nX&X\nY = \"-\"\nS=X\nS&Y\nS&  \"c\"\n?{<i>}\nS&{</i>}\n*",
                        "<i>tail</i>"),
              0);
    ASSERT_EQ(host.records.size(), 1u);
    EXPECT_EQ(host.records[0].Subject, "abab-ctail");
}

TEST_F(ImportRunTest, FailedStateSkipsLinesUntilAJumpOnFailure) {
    const char* script =
        "S=\"before\"\n"
        "?{<missing>}\n"
        "S=\"skipped\"\n"
        "*\n"
        "+:nowhere\n"     // not taken in the failed state, so no "Cannot jump"
        "qq malformed\n"  // skipped without a word
        "-:after\n"
        ":after\n"
        "A=\"after\"\n"
        "*\n";
    EXPECT_EQ(ErrorLine(script, "page"), 0);
    ASSERT_EQ(host.records.size(), 1u);
    EXPECT_EQ(host.records[0].Subject, "before");
    EXPECT_EQ(host.records[0].Article, "after");
}

TEST_F(ImportRunTest, ExtractionNotFoundLeavesTheVariableAndSetsTheFailedState) {
    EXPECT_EQ(ErrorLine("S=\"kept\"\nS={<nope>}\nS=\"lost\"\n$\n*", "page"), 0);
    ASSERT_EQ(host.records.size(), 1u);
    EXPECT_EQ(host.records[0].Subject, "kept");
}

TEST_F(ImportRunTest, PostInTheFailedStatePostsNothing) {
    EXPECT_EQ(ErrorLine("?{<nope>}\n*\n$\n*", "page"), 0);
    EXPECT_EQ(host.records.size(), 1u);
}

TEST_F(ImportRunTest, JumpsFindLabelsWithoutRegardToCase) {
    EXPECT_EQ(ErrorLine("+:Skip\nS=\"no\"\n:SKIP\n*", "x"), 0);
    ASSERT_EQ(host.records.size(), 1u);
    EXPECT_EQ(host.records[0].Subject, "");
}

TEST_F(ImportRunTest, LabelLineWithATrailingBlankIsNeverReached) {
    EXPECT_EQ(ErrorLine("+:skip\n*\n:skip \n*", "x"), 1);
    EXPECT_EQ(Detail("+:skip\n*\n:skip \n*", "x"), "Cannot jump");
}

TEST_F(ImportRunTest, JumpToALabelBeforeTheFirstStatementFails) {
    // ":early" is the first statement line, so it may be jumped to.
    EXPECT_EQ(ErrorLine("#D\n:early\n?{x}\n-:end\n+:early\n:end\n*", "xx"), 0);
    EXPECT_EQ(host.records.size(), 1u);
    EXPECT_EQ(ErrorLine("/ :early\n:early\n*\n+:/ :early", "x"), 4);
    EXPECT_EQ(Detail("/ :early\n:early\n*\n+:/ :early", "x"), "Cannot jump");
}

TEST_F(ImportRunTest, JumpWithATemporaryOperandFailsOnlyWhenTaken) {
    EXPECT_EQ(ErrorLine("-X\n*", "x"), 0);
    EXPECT_EQ(ErrorLine("+X\n*", "x"), 1);
    EXPECT_EQ(Detail("+X\n*", "x"), "Label not defined");
}

TEST_F(ImportRunTest, EndMarkerEndsTheStatementsAndBlanksSpoilIt) {
    EXPECT_EQ(ErrorLine("*\n<<\nnot a statement", "x"), 0);
    EXPECT_EQ(ErrorLine("*\n<< \nnot a statement", "x"), 2);
    EXPECT_EQ(Detail("*\n<< \nnot a statement", "x"), "<: invalid command");
}

TEST_F(ImportRunTest, DirectiveAfterTheFirstStatementIsAnInvalidCommand) {
    EXPECT_EQ(ErrorLine("*\n#R 5", "x"), 2);
    EXPECT_EQ(Detail("*\n#R 5", "x"), "#: invalid command");
}

TEST_F(ImportRunTest, DirectiveErrors) {
    struct Case {
        const char* script;
        int line;
        const char* detail;
    } cases[] = {
        {"#R 0\n*", 1, "0 is not a valid plus number"},
        {"#R -4\n*", 1, "-4 is not a valid plus number"},
        {"/c\n\n#R 12x\n*", 3, "12x is not a valid plus number"},
        {"#R\n*", 1, " is not a valid plus number"},
        {"#R 99999999999\n*", 1, "99999999999 is not a valid plus number"},
        {"#0\n#d\n*", 2, "#d is invalid directive"},
        {"#\n*", 1, "# is invalid directive"},
        {"#\x82\xa0\n*", 1, "#\x82\xa0 is invalid directive"},  // #あ: not cut in half
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ErrorLine(c.script, "x"), c.line) << c.script;
        EXPECT_EQ(Detail(c.script, "x"), c.detail) << c.script;
    }
}

TEST_F(ImportRunTest, NulDirectiveLetsSearchesSeeTheBytesAfterNuls) {
    const std::string html("<b>a\0b</b>", 10);
    EXPECT_EQ(ErrorLine("#0\n?{<b>}\nS={</b>}\n*", html), 0);
    ASSERT_EQ(host.records.size(), 1u);
    EXPECT_EQ(host.plainCalls.at(0),
              "a\x07"
              "b");
}

TEST_F(ImportRunTest, StatementErrorsNameTheirLine) {
    struct Case {
        const char* line;
        const char* detail;
    } cases[] = {
        {" S=\"x\"", " : invalid command"},
        {".x", ".: invalid command"},
        {"<p", "<: invalid command"},
        {"S \"x\"", "Invalid operator"},
        {"?={x}", "Incomplete expression"},
        {"?\"x\"", "Incomplete expression"},
        {"+{x}", "Incomplete expression"},
        {"S=\"x", "\"  delimiter not found"},
        {"S={x} ;", "}  delimiter not found"},
        {"S={x}y", "}  delimiter not found"},
        {"S={}", "Empty string in {}"},
        {"S=", "Incomplete expression"},
        {"S=12", "Incomplete expression"},
        {"S=W", "W: invalid temporary variable"},
        {"S=XY", "XY: invalid temporary variable"},
        {"?X", "X: cannot search for a temporary variable"},
        {"%\"\"", "Date format not found"},
        {"%:label", "Date format not found"},
        {"%X", "Date format not found"},
        {"%{m}", "Incomplete expression"},
        {"$\"x\"", "Incomplete expression"},
        {"*{x}", "Incomplete expression"},
    };
    for (const Case& c : cases) {
        std::string script = std::string("S=\"ok\"\n") + c.line + "\n*";
        EXPECT_EQ(ErrorLine(script, "x"), 2) << c.line;
        EXPECT_EQ(Detail(script, "x"), c.detail) << c.line;
    }
}

TEST_F(ImportRunTest, CommandsThatIgnoreLabelAndTemporaryOperands) {
    EXPECT_EQ(ErrorLine("$:x\n* X\nS=\"s\"\n*", "x"), 0);
    EXPECT_EQ(host.records.size(), 1u);
}

TEST_F(ImportRunTest, SearchWithALabelOperandSearchesForTheLabelText) {
    EXPECT_EQ(ErrorLine("?:here\nS={:there}\n*", "ab:HEREtext:there"), 0);
    ASSERT_EQ(host.records.size(), 1u);
    EXPECT_EQ(host.records[0].Subject, "text");
}

TEST_F(ImportRunTest, StopFlagEndsThePageAsDone) {
    host.stopAfterRecords = 2;
    EXPECT_EQ(ErrorLine(LoopScript(), ItemsPage(30)), 0);
    EXPECT_EQ(host.records.size(), 2u);
}

TEST_F(ImportRunTest, AbandonedRunUnwindsBeforeTheNextLine) {
    std::atomic<bool> abort{true};
    AbortScope scope(&abort);
    EXPECT_THROW(Run(LoopScript(), ItemsPage(3)), EAborted);
    EXPECT_TRUE(host.records.empty());
}

TEST_F(ImportRunTest, EmptyPageFailsToRead) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.file("empty.htm"), "");
    TScript script(Lines("*"));
    try {
        TImportRun(host).Run(script, page, dir.file("empty.htm"));
        FAIL() << "no error";
    } catch (const EError& e) {
        EXPECT_STREQ(e.what(), "Failed to read a file");
    }
}

TEST_F(ImportRunTest, RunLoadsThePageFromItsFile) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.file("p.html"), ItemsPage(4));
    TScript script(Lines(LoopScript()));
    TImportRun(host).Run(script, page, dir.file("p.html"));
    EXPECT_EQ(host.records.size(), 4u);
}

TEST_F(ImportRunTest, OneRunServesManyPages) {
    // Two items need three jumps back; a count that went on from the first page would
    // reach the limit.
    TScript script(Lines(LoopScript("#R 3")));
    TImportRun run(host);
    page.Assign(ItemsPage(1));
    run.RunLoaded(script, page);
    page.Assign(ItemsPage(2));
    run.RunLoaded(script, page);  // the cycle count starts again
    EXPECT_EQ(host.records.size(), 3u);
}
