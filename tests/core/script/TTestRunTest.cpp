#include "script/TTestRun.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ScriptTestSupport.h"
#include "TestSupport.h"

using scripttest::Crlf;
using scripttest::ItemsPage;
using scripttest::Lines;
using scripttest::LoopScript;

namespace {

struct Collector : TTestReporter {
    std::vector<std::string> chunks;
    std::vector<int> percents;
    std::string rest;
    int errorLine = -1;
    bool success = false;
    int finishes = 0;
    std::function<void()> onProgress;

    void Progress(const std::string& output, int percent) override {
        chunks.push_back(output);
        percents.push_back(percent);
        if (onProgress)
            onProgress();
    }
    void Finish(const std::string& output, int line, bool ok) override {
        rest = output;
        errorLine = line;
        success = ok;
        ++finishes;
    }
    std::string All() const {
        std::string all;
        for (const std::string& c : chunks)
            all += c;
        return all + rest;
    }
};

Collector RunTest(std::string_view script, std::string_view page,
                  std::string today = "06/12/2001") {
    Collector c;
    TTestRun run(Lines(script), "page.htm", std::move(today), c);
    run.RunOnBytes(page);
    EXPECT_EQ(c.finishes, 1);
    return c;
}

}  // namespace

TEST(TestRun, ReportsEveryKindOfLine) {
    Collector c = RunTest(
        "/ a test\n"
        "#0\n"
        "#D\n"
        "#R 5\n"
        "\n"
        "?{<title>}\n"
        "S={</title>}\n"
        "<P\n"
        ">P\n"
        "<H\n"
        ">H\n"
        "$\n"
        "%\"m d, y\"\n"
        "*\n"
        "+:end\n"
        ":end\n"
        ".\n",
        "<html><title>News</title></html>");
    EXPECT_EQ(c.All(),
              "2: #0\r\nRemove NULL(0) character\r\n\r\n"
              "3: #D\r\n06/12/2001 was set at Date field\r\n\r\n"
              "4: #R 5\r\n5 was set as cycle limit\r\n\r\n"
              "6: ?{<title>}\r\n~News</title></html>\r\n\r\n"
              "7: S={</title>}\r\nSubject:\r\nNews\r\n\r\n"
              "8: <P\r\nValidate <PRE> tag\r\n\r\n"
              "9: >P\r\nInvalidate <PRE> tag\r\n\r\n"
              "10: <H\r\nPick up <A HREF> information\r\n\r\n"
              "11: >H\r\nIgnore <A HREF> information\r\n\r\n"
              "12: $\r\nResume from next operation\r\n\r\n"
              "13: %\"m d, y\"\r\nDate Format:\r\nm d, y\r\n\r\n"
              "14: *\r\n#1 record posted\r\n\r\n"
              "15: +:end\r\n:end: Jump to this label\r\n\r\n"
              "17: .\r\n1 record(s) created successfully\r\n\r\n");
    EXPECT_TRUE(c.success);
    EXPECT_EQ(c.errorLine, 0);
}

TEST(TestRun, ProgressHandsOverTheOutputAfterEachPost) {
    Collector c = RunTest("?{<b>}\n*\n?{<b>}\n*\nS=\"x\"", "<b>1234567<b>89");
    ASSERT_EQ(c.chunks.size(), 2u);
    EXPECT_EQ(c.chunks[0], "1: ?{<b>}\r\n~1234567<b>89\r\n\r\n2: *\r\n#1 record posted\r\n\r\n");
    EXPECT_EQ(c.percents[0], 20);
    EXPECT_EQ(c.chunks[1], "3: ?{<b>}\r\n~89\r\n\r\n4: *\r\n#2 record posted\r\n\r\n");
    EXPECT_EQ(c.percents[1], 86);
    EXPECT_EQ(c.rest, "5: S=\"x\"\r\nSubject:\r\nx\r\n\r\n");
    EXPECT_TRUE(c.success);
}

TEST(TestRun, LoopWithoutPostsHandsOverWholeEntriesOf64KiB) {
    // 5000 jumps of 34 bytes each: two hand-overs and the rest at the end.
    Collector c = RunTest("#R 5000\n:a\n+:a", "<p>");
    ASSERT_EQ(c.chunks.size(), 2u);
    for (const std::string& chunk : c.chunks) {
        EXPECT_GE(chunk.size(), 64u * 1024);
        EXPECT_LT(chunk.size(), 64u * 1024 + 64);
        EXPECT_EQ(chunk.substr(chunk.size() - 4), "\r\n\r\n");
    }
    EXPECT_EQ(c.All().find("3: +:a\r\n:a: Jump to this label\r\n\r\n"),
              std::string("1: #R 5000\r\n5000 was set as cycle limit\r\n\r\n").size());
    EXPECT_NE(c.rest.find("Exceeded the cycle limit"), std::string::npos);
    EXPECT_EQ(c.errorLine, 2);
}

TEST(TestRun, SearchShowsTheNext72Bytes) {
    std::string page = "<p>" + std::string(100, 'a');
    Collector c = RunTest("?{<p>}", page);
    EXPECT_EQ(c.All(), "1: ?{<p>}\r\n~" + std::string(72, 'a') + "\r\n\r\n" +
                           "1: [Error] \r\nNo record created\r\n\r\n");
}

TEST(TestRun, SearchAtTheEndOfThePageShowsWhatExists) {
    EXPECT_EQ(RunTest("?{<p>}\n*", "<p>ab").All(),
              "1: ?{<p>}\r\n~ab\r\n\r\n2: *\r\n#1 record posted\r\n\r\n");
    EXPECT_EQ(RunTest("?{<p>}\n*", "<p>").All(),
              "1: ?{<p>}\r\n~\r\n\r\n2: *\r\n#1 record posted\r\n\r\n");
}

TEST(TestRun, SearchPreviewDoesNotCutADoubleByteCharacter) {
    // 71 ASCII bytes then あ: the 72nd byte would be its lead byte alone.
    std::string page = "<p>" + std::string(71, 'a') + "\x82\xa0" + "tail";
    std::string all = RunTest("?{<p>}\n*", page).All();
    EXPECT_EQ(all.substr(0, 12 + 71 + 2), "1: ?{<p>}\r\n~" + std::string(71, 'a') + "\r\n");
}

TEST(TestRun, TitleOverTwoSourceLinesIsJoinedAndKeepsItsTags) {
    Collector c =
        RunTest("?{<title>}\nS={</title>}\n*", "<title> Big\r\n<b>News</b>\x07 \r\n</title>");
    EXPECT_EQ(c.All(),
              "1: ?{<title>}\r\n~ Big\r\n<b>News</b>\x07 \r\n</title>\r\n\r\n"
              "2: S={</title>}\r\nSubject:\r\nBig<b>News</b>\r\n\r\n"
              "3: *\r\n#1 record posted\r\n\r\n");
}

TEST(TestRun, ArticleSummaries) {
    const std::string a36(36, 'a'), b36(36, 'b');
    struct Case {
        std::string source;
        std::string shown;
    } cases[] = {
        {"\r\n  one line  \r\n", "one line"},
        {"first\x07 line  \r\n\r\n middle\r\n   last line \r\n ",
         "first line\r\n...\r\n\r\nlast line"},
        {a36 + "xyz" + b36, a36 + "\r\n...\r\n\r\n" + b36},
        {std::string(72, 'c'), std::string(72, 'c')},
        // Characters, not bytes: 40 double-byte characters (あ) give 36 of them each way.
        {std::string(80, '\x82').replace(1, 1, "\xa0"), ""},
    };
    for (Case& c : cases) {
        if (c.shown.empty()) {
            std::string kana;
            for (int i = 0; i < 40; ++i)
                kana += "\x82\xa0";
            c.source = kana;
            std::string k36;
            for (int i = 0; i < 36; ++i)
                k36 += "\x82\xa0";
            c.shown = k36 + "\r\n...\r\n\r\n" + k36;
        }
        Collector r = RunTest("A={</x>}\n*", c.source + "</x>");
        EXPECT_EQ(r.All(), "1: A={</x>}\r\nArticle:\r\n" + c.shown +
                               "\r\n\r\n2: *\r\n#1 record posted\r\n\r\n")
            << testsupport::Hex(c.source);
    }
}

TEST(TestRun, LongArticleValueIsShownByItsLast180Characters) {
    std::string value(200, 'v');
    value.replace(0, 20, std::string(20, 'w'));
    Collector c = RunTest("A=\"" + value + "\"\n*", "x");
    EXPECT_EQ(c.All(), "1: A=\"" + value + "\"\r\nArticle:\r\n..." + std::string(180, 'v') +
                           "\r\n\r\n2: *\r\n#1 record posted\r\n\r\n");
}

TEST(TestRun, CaretGivesALineBreak) {
    EXPECT_EQ(
        RunTest("A=\"two^lines\"\n*", "x").All(),
        "1: A=\"two^lines\"\r\nArticle:\r\ntwo\r\nlines\r\n\r\n2: *\r\n#1 record posted\r\n\r\n");
}

TEST(TestRun, EmptyStringAssignsNothing) {
    EXPECT_EQ(RunTest("S=\"\"\n*", "x").All(),
              "1: S=\"\"\r\nSubject:\r\n\r\n\r\n2: *\r\n#1 record posted\r\n\r\n");
}

TEST(TestRun, TodayDirectiveSetsD) {
    EXPECT_EQ(RunTest("#D\nD&\" 10:00\"\n*", "x", "01/31/2024").All(),
              "1: #D\r\n01/31/2024 was set at Date field\r\n\r\n"
              "2: D&\" 10:00\"\r\nDate:\r\n01/31/2024 10:00\r\n\r\n"
              "3: *\r\n#1 record posted\r\n\r\n");
}

TEST(TestRun, WarningsAndTheFailedState) {
    Collector c = RunTest(
        "?{<none>}\n"
        "S={x}\n"
        "*\n"
        "+:loop\n"
        "-:out\n"
        ":loop\n"
        ":out\n"
        "S={<b>}\n"
        "-:out\n"
        "*\n",
        "a<b>");
    EXPECT_EQ(c.All(),
              "1: [Warning] ?{<none>}\r\n<none> ignored\r\n\r\n"
              "2: [Warning] S={x}\r\nThis line was skipped.\r\n\r\n"
              "3: [Warning] \r\nPost operation ignored\r\n\r\n"
              "4: [Warning] +:loop\r\nThis line was skipped.\r\n\r\n"
              "5: -:out\r\n:out: Jump to this label\r\n\r\n"
              "8: S={<b>}\r\nSubject:\r\na\r\n\r\n"
              "9: [Warning] -:out\r\nThis line was skipped.\r\n\r\n"
              "10: *\r\n#1 record posted\r\n\r\n");
    EXPECT_TRUE(c.success);
}

TEST(TestRun, ExtractionNotFoundShowsThePatternWithItsLineBreaks) {
    EXPECT_EQ(RunTest("S={a^b}", "x").All(),
              "1: [Warning] S={a^b}\r\na\r\nb ignored\r\n\r\n"
              "1: [Error] \r\nNo record created\r\n\r\n");
}

TEST(TestRun, NoRecordCreatedUsesTheLastLineRead) {
    Collector c = RunTest("S=\"x\"\n/ comment\n", "x");
    EXPECT_EQ(c.All(),
              "1: S=\"x\"\r\nSubject:\r\nx\r\n\r\n2: [Error] \r\nNo record created\r\n\r\n");
    EXPECT_FALSE(c.success);
    EXPECT_EQ(c.errorLine, 0);

    Collector dot = RunTest("S=\"x\"\n.\n*", "x");
    EXPECT_EQ(dot.All(),
              "1: S=\"x\"\r\nSubject:\r\nx\r\n\r\n2: [Error] \r\nNo record created\r\n\r\n");
    EXPECT_FALSE(dot.success);
}

TEST(TestRun, StatementErrorEndsTheRunAndSelectsItsLine) {
    Collector c = RunTest("S=\"x\"\n*\n\n!{<table>}\n*", "x");
    EXPECT_EQ(c.All(),
              "1: S=\"x\"\r\nSubject:\r\nx\r\n\r\n2: *\r\n#1 record posted\r\n\r\n"
              "4: [Error] !{<table>}\r\n<table> not found\r\n\r\n");
    EXPECT_FALSE(c.success);
    EXPECT_EQ(c.errorLine, 4);
}

TEST(TestRun, BlankBeforeTheCommandIsAnInvalidCommand) {
    Collector c = RunTest(" S=\"x\"", "x");
    EXPECT_EQ(c.All(), "1: [Error]  S=\"x\"\r\n : invalid command\r\n\r\n");
    EXPECT_EQ(c.errorLine, 1);
}

TEST(TestRun, LowerCaseSwitchIsAnInvalidCommand) {
    EXPECT_EQ(RunTest("<p", "x").All(), "1: [Error] <p\r\n<: invalid command\r\n\r\n");
}

TEST(TestRun, DirectiveErrorHasNoErrorPrefix) {
    Collector c = RunTest("#0\n#X\n*", "x");
    EXPECT_EQ(c.All(),
              "1: #0\r\nRemove NULL(0) character\r\n\r\n2: #X\r\n#X is invalid directive\r\n\r\n");
    EXPECT_EQ(c.errorLine, 2);
    EXPECT_FALSE(c.success);
    EXPECT_EQ(RunTest("#R abc\n*", "x").All(),
              "1: #R abc\r\nabc is not a valid plus number\r\n\r\n");
}

TEST(TestRun, CycleLimitShowsTheJumpAndSelectsTheLabel) {
    Collector c = RunTest("#R 2\n:top\n*\n+:top", "x");
    EXPECT_EQ(c.All(),
              "1: #R 2\r\n2 was set as cycle limit\r\n\r\n"
              "3: *\r\n#1 record posted\r\n\r\n4: +:top\r\n:top: Jump to this label\r\n\r\n"
              "3: *\r\n#2 record posted\r\n\r\n4: +:top\r\n:top: Jump to this label\r\n\r\n"
              "4: [Error] +:top\r\nExceeded the cycle limit\r\n\r\n");
    EXPECT_EQ(c.errorLine, 2);
    EXPECT_FALSE(c.success);
}

TEST(TestRun, UnclosedDelimiters) {
    EXPECT_EQ(RunTest("S=\"abc", "x").All(),
              "1: [Error] S=\"abc\r\n\"  delimiter not found\r\n\r\n");
    EXPECT_EQ(RunTest("S={abc} x", "x").All(),
              "1: [Error] S={abc} x\r\n}  delimiter not found\r\n\r\n");
    // マ ends in the byte of "}": it does not close the pattern.
    EXPECT_EQ(RunTest("S={\x83}", "x").All(),
              "1: [Error] S={\x83}\r\n}  delimiter not found\r\n\r\n");
}

TEST(TestRun, EmptyPageReplacesTheOutputByTheMessage) {
    Collector c = RunTest("#D\n*", "");
    EXPECT_EQ(c.All(), "Failed to read a file");
    EXPECT_FALSE(c.success);
    EXPECT_EQ(c.errorLine, 0);
}

TEST(TestRun, MissingPageFileReportsTheOpenFailure) {
    Collector c;
    TTestRun run(Lines("*"), "/nonexistent/page.htm", "06/12/2001", c);
    run.Run();
    EXPECT_EQ(c.finishes, 1);
    EXPECT_FALSE(c.success);
    EXPECT_NE(c.All().find("/nonexistent/page.htm"), std::string::npos);
}

TEST(TestRun, RunReadsThePageFile) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.file("p.htm"), ItemsPage(3));
    Collector c;
    TTestRun run(Lines(LoopScript()), dir.file("p.htm"), "06/12/2001", c);
    run.Run();
    EXPECT_TRUE(c.success);
    EXPECT_EQ(c.chunks.size(), 3u);
    EXPECT_NE(c.rest.find("3 record(s) created successfully"), std::string::npos);
}

TEST(TestRun, StopDuringALongTestEndsAtTheNextLine) {
    Collector c;
    TTestRun run(Lines(LoopScript("#R 1000")), "page.htm", "06/12/2001", c);
    c.onProgress = [&] {
        if (c.chunks.size() == 5)
            run.Terminate();
    };
    run.RunOnBytes(ItemsPage(500));
    EXPECT_EQ(c.chunks.size(), 5u);
    // The request came with the fifth post; the jump after it never runs.
    EXPECT_EQ(c.rest, "===== Interrupted by user =====\r\n\r\n");
    EXPECT_FALSE(c.success);
    EXPECT_EQ(c.errorLine, 0);
}

TEST(TestRun, StopFromAnotherThread) {
    Collector c;
    // An endless loop over one item: only a stop request (or the cycle limit) ends it.
    TTestRun run(Lines("#R 2147483647\n:top\n?{<li>}\n+:top\n-:top"), "page.htm", "06/12/2001", c);
    std::thread worker([&] { run.RunOnBytes(std::string(1000, 'x')); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    run.Terminate();
    worker.join();
    EXPECT_EQ(c.finishes, 1);
    EXPECT_FALSE(c.success);
    const std::string all = c.All();
    EXPECT_EQ(all.substr(all.size() - 35), "===== Interrupted by user =====\r\n\r\n");
    EXPECT_EQ(all.find("No record created"), std::string::npos);
}
