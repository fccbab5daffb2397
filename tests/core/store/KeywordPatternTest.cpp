#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "store/TKeywordPattern.h"
#include "text/Cp932.h"

TEST(KeywordPattern, IgnoresAsciiLetterCase) {
    struct Case {
        const char* keyword;
        const char* text;
        bool found;
    } cases[] = {
        {"tokyo", "News from TOKYO today", true},
        {"Tokyo", "tokyo", true},
        {"TOKYO", "Tok yo", false},
        {"o'neil", "Mr. O'Neil said", true},
        {"50%_off", "Sale: 50%_OFF now", true},
        {"50%_off", "Sale: 50% off now", false},  // no wildcards: % and _ are literal
        {"", "anything", true},
        {"a", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TKeywordPattern(c.keyword).FoundIn(c.text), c.found)
            << c.keyword << " in " << c.text;
}

TEST(KeywordPattern, MatchesOnlyAtCharacterBoundaries) {
    // ア is 83 41: its trail byte is the letter A, which must be neither found nor folded.
    const std::string a = "\x83\x41";  // ア
    EXPECT_FALSE(TKeywordPattern("A").FoundIn(a));
    EXPECT_FALSE(TKeywordPattern("a").FoundIn(a));
    EXPECT_TRUE(TKeywordPattern("A").FoundIn(a + "A"));
    // 表 is 95 5C; ＼ would be found by a byte search across 95 5C 95 5C ...
    const std::string table = "\x95\x5c\x95\x5c";  // 表表
    EXPECT_FALSE(TKeywordPattern("\x5c\x95").FoundIn(table));
    EXPECT_TRUE(TKeywordPattern("\x95\x5c").FoundIn(table));
    // A keyword made of a trail and the next lead byte never matches across two characters:
    // 83 41 83 42 (アイ) does not hold the character 41 83 (A + lead).
    EXPECT_FALSE(TKeywordPattern("\x41\x83\x42").FoundIn("\x83\x41\x83\x42"));
    // Double-byte characters compare exactly: ａ (82 81) is not Ａ (82 60).
    EXPECT_FALSE(TKeywordPattern("\x82\x81").FoundIn("\x82\x60"));
    // Runs of bytes in the lead range: 88 9F is 亜, 81 81 is ＝.
    EXPECT_TRUE(TKeywordPattern("\x81\x81").FoundIn("\x88\x9f\x81\x81"));
    EXPECT_FALSE(TKeywordPattern("\x9f\x81").FoundIn("\x88\x9f\x81\x81"));
}

TEST(KeywordPattern, LoneLeadByteMatchesOnlyAtTheEnd) {
    EXPECT_TRUE(TKeywordPattern("x\x82").FoundIn("abx\x82"));
    EXPECT_FALSE(TKeywordPattern("x\x82").FoundIn("abx\x82\xa0"));  // x + あ
}

TEST(KeywordPattern, FindReportsTheFirstMatchAfterAnOffset) {
    TKeywordPattern p("ab");
    EXPECT_EQ(p.Find("xxABxab"), 2u);
    EXPECT_EQ(p.Find("xxABxab", 3), 5u);
    EXPECT_EQ(p.Find("xxABxab", 6), std::string_view::npos);
    // Lower- and upper-case candidates interleaved, many of them.
    std::string text(10000, 'A');
    text += "ab";
    EXPECT_EQ(TKeywordPattern("aB").Find(text), 10000u);
    EXPECT_EQ(TKeywordPattern("ac").Find(text), std::string_view::npos);
}

TEST(KeywordPattern, CaseSensitiveModeComparesExactly) {
    EXPECT_FALSE(TKeywordPattern("Tokyo", false).FoundIn("tokyo"));
    EXPECT_TRUE(TKeywordPattern("Tokyo", false).FoundIn("in Tokyo"));
}

TEST(KeywordPattern, BoundaryTestAgreesWithForwardStepping) {
    // Every offset of a text full of lead-range bytes, against cp932's own stepping.
    std::mt19937 rng(5);
    const unsigned char pool[] = {0x41, 0x81, 0x82, 0x9f, 0xa0, 0xe0, 0x5c, 0x20};
    for (int round = 0; round < 200; ++round) {
        std::string text;
        for (int i = 0; i < 40; ++i)
            text += static_cast<char>(pool[rng() % sizeof pool]);
        for (std::size_t at = 0; at <= text.size(); ++at)
            ASSERT_EQ(IsCharBoundaryAt(text, at), cp932::isBoundary(text, at))
                << testsupport::Hex(text) << " at " << at;
    }
}
