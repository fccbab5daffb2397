#include "script/ScriptText.h"

#include <gtest/gtest.h>

#include "script/ShortDate.h"

TEST(ScriptText, TrimsControlsAndBlanks) {
    EXPECT_EQ(script::TrimRightControls("ab \t\r\n\x01"), "ab");
    EXPECT_EQ(script::TrimRightControls(" a"), " a");
    EXPECT_EQ(script::TrimControls("\r\n a b \x07"), "a b");
    EXPECT_EQ(script::TrimControls(" \t "), "");
}

TEST(ScriptText, SameTextFoldsSingleByteLettersOnly) {
    EXPECT_TRUE(script::SameText(":Loop", ":lOOP"));
    EXPECT_FALSE(script::SameText(":loop", ":loop "));
    EXPECT_TRUE(script::SameText("\x82\x61x", "\x82\x61X"));  // ＡX
    EXPECT_FALSE(script::SameText("\x82\x61", "\x82\x41"));   // Ａ vs the character 82 41
    EXPECT_FALSE(script::SameText("[", "{"));
}

TEST(ScriptText, CaretsBecomeLineBreaksUnlessTheyAreTrailBytes) {
    EXPECT_EQ(script::ExpandCarets("^a^^"), "\r\na\r\n\r\n");
    EXPECT_EQ(script::ExpandCarets("\x83^"), "\x83^");  // タ
}

TEST(ScriptText, CharactersAreCountedInCp932) {
    const std::string kana = "\x82\xa0\x82\xa2\x82\xa4";  // あいう
    EXPECT_EQ(script::HeadChars(kana, 2), "\x82\xa0\x82\xa2");
    EXPECT_EQ(script::TailChars(kana, 2), "\x82\xa2\x82\xa4");
    EXPECT_EQ(script::TailChars("a" + kana, 3), kana);
    EXPECT_EQ(script::HeadChars("ab", 5), "ab");
    EXPECT_EQ(script::FirstChar(""), "");
    EXPECT_EQ(script::FirstChar("\x82"), "\x82");  // a lone lead byte at the end
}

TEST(ScriptText, FieldValuesLoseBellsAndLineBreaks) {
    EXPECT_EQ(script::TestFieldValue(" \r\n a\x07"
                                     "b\r\nc \t"),
              "abc");
}

TEST(ScriptText, ArticleSummaryRules) {
    EXPECT_EQ(script::ArticleSummary(""), "");
    EXPECT_EQ(script::ArticleSummary(" \r\n\t "), "");
    EXPECT_EQ(script::ArticleSummary("one\r\n\r\n  "), "one");
    EXPECT_EQ(script::ArticleSummary("one   \r\ntwo"), "one\r\n...\r\n\r\ntwo");
    EXPECT_EQ(script::ArticleSummary("one\ntwo\rthree"), "one\r\n...\r\n\r\nthree");
    // The last line loses its leading blanks and bells; the first its trailing blanks.
    EXPECT_EQ(script::ArticleSummary("\x07one \x07 \r\n \x07 last"), "one\r\n...\r\n\r\nlast");
    // Exactly 72 bytes stay one line; 73 are abbreviated.
    const std::string s72(72, 'x'), s73 = std::string(36, 'a') + "m" + std::string(36, 'z');
    EXPECT_EQ(script::ArticleSummary(s72), s72);
    EXPECT_EQ(script::ArticleSummary(s73),
              std::string(36, 'a') + "\r\n...\r\n\r\n" + std::string(36, 'z'));
    // Blanks at the cut are dropped on both sides.
    const std::string blanks =
        std::string(35, 'a') + "  " + std::string(10, 'm') + "  " + std::string(35, 'z');
    EXPECT_EQ(script::ArticleSummary(blanks),
              std::string(35, 'a') + "\r\n...\r\n\r\n" + std::string(35, 'z'));
}

TEST(ScriptText, ShownArticleKeepsTheLast180Characters) {
    EXPECT_EQ(script::ShownArticle(std::string(180, 'a')), std::string(180, 'a'));
    EXPECT_EQ(script::ShownArticle("b" + std::string(180, 'a')), "..." + std::string(180, 'a'));
    // 100 double-byte characters are 200 bytes but fewer than 180 characters.
    std::string kana;
    for (int i = 0; i < 100; ++i)
        kana += "\x82\xa0";
    EXPECT_EQ(script::ShownArticle(kana), "..." + kana);
}

TEST(ScriptText, PreviewStopsAtACharacterBoundary) {
    EXPECT_EQ(script::Preview("abc", 72), "abc");
    EXPECT_EQ(script::Preview("ab\x82\xa0", 3), "ab");
    EXPECT_EQ(script::Preview("ab\x82\xa0", 4), "ab\x82\xa0");
}

TEST(ShortDate, TodayIsAValidShortDate) {
    EXPECT_TRUE(script::IsShortDate(script::TodayShortDate()));
}

TEST(ShortDate, ValidatesTheFormatAndTheCalendar) {
    for (const char* good : {"06/12/2001", "02/29/2000", "12/31/9999", "01/01/0001"})
        EXPECT_TRUE(script::IsShortDate(good)) << good;
    for (const char* bad : {"6/12/2001", "06-12-2001", "13/01/2001", "00/10/2001", "02/29/1900",
                            "04/31/2001", "06/12/01", "06/12/2001 ", "0a/12/2001", "01/01/0000"})
        EXPECT_FALSE(script::IsShortDate(bad)) << bad;
}
