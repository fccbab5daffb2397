#include "text/TMSManager.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "base/EError.h"

namespace {

class PageBufferTest : public ::testing::Test {
  protected:
    TMSManager buf;
    void Page(std::string_view bytes) { buf.Assign(bytes); }
};

}  // namespace

TEST_F(PageBufferTest, TitleIsFoundCaseInsensitivelyAndMarkCursorHoldTheText) {
    Page("<html><TITLE>News</TITLE></html>");
    ASSERT_TRUE(buf.SkipPast("<title>"));
    EXPECT_EQ(buf.Cursor(), 13u);
    EXPECT_EQ(buf.Text()[buf.Cursor()], 'N');
    ASSERT_TRUE(buf.SkipTo("</title>"));
    EXPECT_EQ(buf.Text().substr(buf.Cursor(), 8), "</TITLE>");
    EXPECT_EQ(buf.Passed(), "News");
}

TEST_F(PageBufferTest, FailedSearchMovesNothing) {
    Page("abc def abc");
    ASSERT_TRUE(buf.SkipPast("def"));
    std::size_t cursor = buf.Cursor(), mark = buf.Mark();
    EXPECT_FALSE(buf.SkipPast("xyz"));
    EXPECT_EQ(buf.Cursor(), cursor);
    EXPECT_EQ(buf.Mark(), mark);
}

TEST_F(PageBufferTest, TextBeforeTheCursorIsNotFound) {
    Page("alpha beta gamma");
    ASSERT_TRUE(buf.SkipPast("beta"));
    EXPECT_FALSE(buf.SkipTo("alpha"));
    EXPECT_FALSE(buf.SkipTo("beta"));
    EXPECT_TRUE(buf.SkipTo("gamma"));
}

TEST_F(PageBufferTest, SemicolonLimitsTheSearchToTheCurrentLine) {
    Page("x &amp y\r\nz &amp; w");
    // The final ";" is a mark: "&amp" is searched within the current line only.
    ASSERT_TRUE(buf.SkipPast("&amp;"));
    EXPECT_EQ(buf.Cursor(), 6u);
    EXPECT_FALSE(buf.SkipPast("&amp;"));  // the rest of line one holds no "&amp"
    EXPECT_TRUE(buf.SkipPast("&amp"));    // without the mark the next line counts
}

TEST_F(PageBufferTest, SemicolonOnAnEmptyRestOfLineFails) {
    Page("abc\r\nabc");
    ASSERT_TRUE(buf.SkipTo("\r"));
    EXPECT_FALSE(buf.SkipPast("abc;"));
}

TEST_F(PageBufferTest, BarFindsTheHeadOnlyBeforeTheTail) {
    Page("<p><b>one</b><hr><b>two</b>");
    ASSERT_TRUE(buf.SkipPast("<b>|<hr>"));
    EXPECT_EQ(buf.Passed(), "<p><b>");
    EXPECT_FALSE(buf.SkipPast("<b>|<hr>"));  // no <hr> after the cursor any more
    EXPECT_TRUE(buf.SkipPast("<b>"));
}

TEST_F(PageBufferTest, HeadMustEndBeforeTheTailStarts) {
    Page("ab<hr>");
    EXPECT_FALSE(buf.SkipPast("b<h|<hr>"));
    EXPECT_TRUE(buf.SkipPast("ab|<hr>"));
}

TEST_F(PageBufferTest, BarAndSemicolonTogether) {
    Page("a<b>c<hr>\r\n<b>d<hr>");
    ASSERT_TRUE(buf.SkipPast("c|<hr>;"));
    EXPECT_EQ(buf.Cursor(), 5u);
    // The tail is searched within the line; there is no <b> before it.
    EXPECT_FALSE(buf.SkipPast("<b>|<hr>;"));
}

TEST_F(PageBufferTest, SemicolonInTheHeadAndBarInTheTailAreLiteral) {
    Page("x;yy|z end");
    EXPECT_TRUE(buf.SkipPast("x;y|y|z"));  // head "x;y", tail "y|z"
    EXPECT_EQ(buf.Cursor(), 3u);
}

TEST_F(PageBufferTest, SkipPastAndSkipToPlaceTheCursor) {
    Page("0123456789");
    ASSERT_TRUE(buf.SkipTo("45"));
    EXPECT_EQ(buf.Cursor(), 4u);
    EXPECT_EQ(buf.Mark(), 0u);
    ASSERT_TRUE(buf.SkipPast("45"));
    EXPECT_EQ(buf.Cursor(), 6u);
    EXPECT_EQ(buf.Mark(), 4u);
}

TEST_F(PageBufferTest, MatchMayEndExactlyAtTheEnd) {
    Page("abcXYZ");
    EXPECT_TRUE(buf.SkipPast("xyz"));
    EXPECT_EQ(buf.Cursor(), buf.End());
    EXPECT_FALSE(buf.SkipPast("z"));
}

TEST_F(PageBufferTest, OnlyAsciiLettersFoldCase) {
    Page("\x82\xa0\x82\xc0 \xc1");           // あ, た, then a half-width katakana byte
    EXPECT_FALSE(buf.SkipPast("\x82\x80"));  // 0xA0 is not 0x80 in another case
    EXPECT_TRUE(buf.SkipPast("\x82\xc0"));
    EXPECT_FALSE(buf.SkipPast("\xe1"));  // 0xC1 and 0xE1 differ by 0x20 but are no letters
}

TEST_F(PageBufferTest, DoubleByteCharactersMatchExactly) {
    Page("\x83\x61\x83\x41");             // ャア: the trail bytes 0x61/0x41 are "a"/"A"
    ASSERT_TRUE(buf.SkipTo("\x83\x41"));  // ア does not match ャ by folding its trail byte
    EXPECT_EQ(buf.Cursor(), 2u);
}

TEST_F(PageBufferTest, TrailByteBarDoesNotSplitThePattern) {
    Page("x<b>\x83\x7c</b>");  // ポ is 83 7C: its trail byte is "|"
    ASSERT_TRUE(buf.SkipPast("\x83\x7c"));
    EXPECT_EQ(buf.Passed(), "x<b>\x83\x7c");
    buf.SetCursor(0);
    EXPECT_TRUE(buf.SkipPast("<b>|\x83\x7c"));  // the first bar of its own splits
    EXPECT_EQ(buf.Cursor(), 4u);
}

TEST_F(PageBufferTest, EmptyPatternIsNeverFound) {
    Page("abc");
    EXPECT_FALSE(buf.SkipPast(""));
    EXPECT_FALSE(buf.SkipTo(";"));
    EXPECT_FALSE(buf.SkipTo("|b"));
    EXPECT_EQ(buf.Cursor(), 0u);
}

TEST_F(PageBufferTest, LineEndStopsAtCrOrLf) {
    Page("ab\ncd\r\n");
    EXPECT_EQ(buf.LineEnd(), 2u);
    buf.SetCursor(3);
    EXPECT_EQ(buf.LineEnd(), 5u);
    Page("no break");
    EXPECT_EQ(buf.LineEnd(), buf.End());
}

TEST_F(PageBufferTest, ProgressIsAPercentage) {
    Page("0123456789");
    EXPECT_EQ(buf.Progress(), 0);
    buf.SetCursor(5);
    EXPECT_EQ(buf.Progress(), 50);
    buf.SetCursor(10);
    EXPECT_EQ(buf.Progress(), 100);
    Page("");
    EXPECT_EQ(buf.Progress(), 0);
}

TEST_F(PageBufferTest, ReplaceNullsAndTheTerminatingNul) {
    Page(std::string("a\0b\0", 4));
    buf.ReplaceNulls();
    EXPECT_EQ(buf.Text(),
              "a\x07"
              "b\x07");
    EXPECT_EQ(buf.Data()[buf.End()], '\0');
}

TEST(PageBufferLoad, ReadsAFileWhole) {
    testsupport::TempDir dir;
    std::string bytes(200000, 'x');
    bytes[150000] = '\0';
    bytes += "END";
    testsupport::WriteFile(dir.file("page.htm"), bytes);
    TMSManager buf;
    buf.Load(dir.file("page.htm"));
    EXPECT_EQ(buf.End(), bytes.size());
    EXPECT_EQ(buf.Text(), bytes);
    EXPECT_EQ(buf.Cursor(), 0u);
    EXPECT_EQ(buf.Mark(), 0u);
    EXPECT_TRUE(buf.SkipTo("end"));
}

TEST(PageBufferLoad, EmptyFileFails) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.file("empty.txt"), "");
    TMSManager buf;
    buf.Assign("old");
    try {
        buf.Load(dir.file("empty.txt"));
        FAIL() << "no error";
    } catch (const EError& e) {
        EXPECT_STREQ(e.what(), "Failed to read a file");
    }
    EXPECT_EQ(buf.End(), 0u);
}

TEST(PageBufferLoad, MissingFileFailsNamingTheFile) {
    testsupport::TempDir dir;
    TMSManager buf;
    try {
        buf.Load(dir.file("missing.eml"));
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("missing.eml"), std::string::npos) << e.what();
    }
}

TEST(FindNoCaseAscii, FindsLongNeedlesWithManyFalseStarts) {
    std::string hay(10000, 'a');
    hay += "aaab";
    EXPECT_EQ(FindNoCaseAscii(hay, 0, hay.size(), "AAAB"), 10000u);
    EXPECT_EQ(FindNoCaseAscii(hay, 0, hay.size() - 1, "aaab"), std::string_view::npos);
    EXPECT_EQ(FindNoCaseAscii(hay, 10001, hay.size(), "aaab"), std::string_view::npos);
}
