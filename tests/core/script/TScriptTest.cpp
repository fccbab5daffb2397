#include "script/TScript.h"

#include <gtest/gtest.h>

#include "ScriptTestSupport.h"
#include "TestSupport.h"
#include "base/EError.h"

using scripttest::Lines;

TEST(ScriptLines, AreCutAtCrLfOnly) {
    using V = std::vector<std::string>;
    EXPECT_EQ(TScript::SplitLines(""), V{});
    EXPECT_EQ(TScript::SplitLines("a"), V{"a"});
    EXPECT_EQ(TScript::SplitLines("a\r\n"), V{"a"});
    EXPECT_EQ(TScript::SplitLines("a\r\n\r\n"), (V{"a", ""}));
    EXPECT_EQ(TScript::SplitLines("a\rb\nc\r\nd"), (V{"a\rb\nc", "d"}));
    EXPECT_EQ(TScript::SplitLines("\r\nx \t\r\n"), (V{"", "x \t"}));
}

TEST(ScriptLines, AreReadFromAFile) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.file("s.hsc"), "#D\r\n*\r\n");
    EXPECT_EQ(TScript::ReadLines(dir.file("s.hsc")), (std::vector<std::string>{"#D", "*"}));
    EXPECT_THROW(TScript::ReadLines(dir.file("missing.hsc")), EFileError);
}

TEST(Script, DirectiveSectionEndsAtTheFirstOtherLine) {
    TScript s(Lines("\n/ comment\n#D\n   \n#R 3\n:label\n#0\n*"));
    EXPECT_EQ(s.FirstStatement(), 5u);
    EXPECT_EQ(s.End(), 8u);
    EXPECT_EQ(s.Text(3), "");  // blanks only
    EXPECT_EQ(s.Kind(5), TScript::LineKind::Skip);
    EXPECT_EQ(s.Kind(6), TScript::LineKind::Statement);
    EXPECT_EQ(s.StatementAt(6).error, "#: invalid command");

    EXPECT_EQ(TScript(Lines("#D\n/x\n")).FirstStatement(), 2u);
    EXPECT_EQ(TScript(Lines(" #D")).FirstStatement(), 0u);
}

TEST(Script, EndMarkerIsTheFirstLineEqualToIt) {
    EXPECT_EQ(TScript(Lines("*\n<< \n<<\n<<\nx")).End(), 2u);
    EXPECT_EQ(TScript(Lines("*\n<<x")).End(), 2u);
}

TEST(Script, ControlLinesMustBeTheWholeLineInTheirCase) {
    TScript s(Lines("$\n.\n*\n<P\n>P\n<H\n>H\n<p\n* \t\n$ X\n. x\n>h"));
    using K = TScript::LineKind;
    const K expected[] = {K::Resume, K::Finish,    K::Post,      K::PreOn,
                          K::PreOff, K::HrefOn,    K::HrefOff,   K::Statement,
                          K::Post,   K::Statement, K::Statement, K::Statement};
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(s.Kind(i), expected[i]) << s.RawLine(i);
}

TEST(Script, LabelTargetsAreFoundWithoutRegardToCaseAmongStoredLines) {
    TScript s(Lines("*\n:Loop \n:LOOP\n+:loop\n-:none\n:\x82\x61\n+:\x82\x81"));
    EXPECT_EQ(s.StatementAt(3).target, 2u);  // the line with a trailing blank does not count
    EXPECT_EQ(s.StatementAt(4).target, TScript::kNoLine);
    // Ａ (82 61) and ａ (82 81) are different characters, not letters of two cases.
    EXPECT_EQ(s.StatementAt(6).target, TScript::kNoLine);
    EXPECT_EQ(s.FindLine(":\x82\x61"), 5u);
}
