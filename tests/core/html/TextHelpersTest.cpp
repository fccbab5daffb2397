// The text helpers every layout shares, and the blank maker.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "html/TColBlank.h"
#include "html/TextHelpers.h"

using namespace HTMLParser;
using testsupport::Hex;

namespace {

// Sets the blank maker's metrics for one test and puts back one blank per column.
class MetricsScope {
  public:
    MetricsScope(int letters, int spaces) { TColBlank::SetMetrics(letters, spaces); }
    ~MetricsScope() { TColBlank::SetMetrics(1, 1); }
};

std::string Ensure(std::string text, int n) {
    EnsureBlankLines(text, n);
    return text;
}

std::string Cap(std::string text) {
    CapTrailingBreaks(text);
    return text;
}

}  // namespace

TEST(TextHelpers, HasContent) {
    struct Case {
        std::string text;
        bool content;
    } cases[] = {
        {"", false},
        {" \r\n \n\r", false},
        {"\x81\x40", false},  // the full-width space
        {" \x81\x40\r\n\x81\x40", false},
        {"\x81", false},  // a lone lead byte at the end counts as blank
        {"\t", true},     // a tab is content
        {"\x81\x41", true},
        {" \x81\x40 x", true},
        {"a", true},
        {std::string(1, '\0'), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HasContent(c.text), c.content) << Hex(c.text);
}

TEST(TextHelpers, EnsureBlankLines) {
    struct Case {
        std::string text;
        int n;
        std::string out;
    } cases[] = {
        {"", 1, "\r\n\r\n"},
        {"", 2, "\r\n\r\n\r\n"},
        {"", 0, "\r\n"},
        {"a", 1, "a\r\n\r\n"},
        {"a\r\n", 1, "a\r\n\r\n"},
        {"a\r\n\r\n", 1, "a\r\n\r\n"},
        {"a\r\n\r\n", 2, "a\r\n\r\n\r\n"},
        {"a\n", 1, "a\n\r\n"},      // (5 - 2) / 2 = one pair
        {"a\r", 2, "a\r\r\n\r\n"},  // (7 - 2) / 2 = two pairs
        // Longer than the target: cut only when more than 8 bytes of breaks trail.
        {"a\r\n\r\n\r\n", 1, "a\r\n\r\n\r\n"},
        {"a\r\n\r\n\r\n\r\n", 1, "a\r\n\r\n\r\n\r\n"},
        {"a\r\n\r\n\r\n\r\n\r\n", 1, "a\r\n\r\n\r\n\r\n"},
        {"a\r\n\r\n\r\n\r\n\r\n", 2, "a\r\n\r\n\r\n\r\n"},
        {"a\n\n\n\n\n\n\n\n\n", 1, "a\n\n\n\n\n\n\n\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(Ensure(c.text, c.n)), Hex(c.out)) << Hex(c.text) << " n=" << c.n;
}

TEST(TextHelpers, CapTrailingBreaks) {
    EXPECT_EQ(Cap(""), "");
    EXPECT_EQ(Cap("a\r\n\r\n\r\n\r\n"), "a\r\n\r\n\r\n\r\n");
    EXPECT_EQ(Cap("a\r\n\r\n\r\n\r\n\r\n"), "a\r\n\r\n\r\n\r\n");
    EXPECT_EQ(Cap("a\r\n\r\n\r\n\r\n\r"), "a\r\n\r\n\r\n\r\n");
    EXPECT_EQ(Cap("\n\n\n\n\n\n\n\n\n\n"), "\n\n\n\n\n\n\n\n");
}

TEST(TextHelpers, EndsWithBlankLineAndLineCount) {
    EXPECT_FALSE(EndsWithBlankLine("\n\r\n"));  // must be longer than 3 bytes
    EXPECT_TRUE(EndsWithBlankLine("a\n\r\n"));
    EXPECT_TRUE(EndsWithBlankLine("a\r\n\r\n"));
    EXPECT_FALSE(EndsWithBlankLine("a\r\n"));
    EXPECT_FALSE(EndsWithBlankLine("ab\r\n\r"));
    EXPECT_EQ(LineCount(""), 0u);
    EXPECT_EQ(LineCount("a"), 1u);
    EXPECT_EQ(LineCount("a\r\nb"), 2u);
    EXPECT_EQ(LineCount("a\r\n"), 2u);
    EXPECT_EQ(LineCount("\n\n"), 3u);
}

TEST(TextHelpers, TrimSpace) {
    struct Case {
        std::string text;
        bool bothEnds;
        std::string out;
    } cases[] = {
        {"abc \r\n", false, "abc "},  // the first removed byte is a blank: it stays
        {"abc\r\n ", false, "abc"},  {"abc\t\t", false, "abc\t"},  {"abc", false, "abc"},
        {"  abc", false, "  abc"},   {"   ", false, " "},          {"", false, ""},
        {"\r\n", false, ""},         {" \tabc \r\n", true, "abc"}, {"  ", true, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(TrimSpace(c.text, c.bothEnds)), Hex(c.out)) << Hex(c.text);
}

TEST(TextHelpers, RuleLine) {
    EXPECT_EQ(RuleLine(0), "");
    EXPECT_EQ(RuleLine(-3), "");
    EXPECT_EQ(RuleLine(5), "=====");
    EXPECT_EQ(RuleLine(28), std::string(28, '='));
    EXPECT_EQ(RuleLine(56), std::string(56, '='));
    EXPECT_EQ(RuleLine(57), std::string(57, '='));
    EXPECT_EQ(RuleLine(100), std::string(57, '='));
}

TEST(WrapText, BreaksAfterTheLastNonWordByte) {
    struct Case {
        const char* name;
        std::string text;
        long width;
        bool pad;
        std::string out;
    } cases[] = {
        {"empty", "", 5, false, ""},
        {"empty padded", "", 5, true, "     "},
        {"fits", "abc", 5, false, "abc"},
        {"fits padded", "abc", 5, true, "abc  "},
        {"exactly full", "abcde", 5, true, "abcde"},
        {"word on the width moves down", "ab cde fg", 6, false, "ab \r\ncde fg"},
        {"padding after a break", "ab cde fg", 6, true, "ab    \r\ncde fg"},
        {"word longer than the width", "abcdefgh", 3, false, "abc\r\ndef\r\ngh"},
        {"word longer, padded", "abcdefgh", 3, true, "abc\r\ndef\r\ngh "},
        {"punctuation before the word", "a,bcdef", 4, false, "a,\r\nbcde\r\nf"},
        {"non-word byte on the width", "abc.def", 4, false, "abc.\r\ndef"},
        {"blank on the width stays on the line", "abc def", 4, false, "abc \r\ndef"},
        {"line breaks", "a\r\nb\rc\nd\n", 5, false, "a\r\nb\r\nc\r\nd"},
        {"empty lines stay", "a\n\nb", 5, false, "a\r\n\r\nb"},
        {"empty lines padded", "a\n\nb", 2, true, "a \r\n  \r\nb "},
        {"only a break", "\n", 5, false, ""},
        {"only a break padded", "\r\n", 3, true, "   "},
        {"hundred letters at 72", std::string(100, 'x'), 72, false,
         std::string(72, 'x') + "\r\n" + std::string(28, 'x')},
        {"width below one counts as one", "ab", 0, false, "a\r\nb"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(WrapText(c.text, c.width, c.pad)), Hex(c.out)) << c.name;
}

TEST(WrapText, NeverSplitsADoubleByteCharacter) {
    struct Case {
        const char* name;
        std::string text;
        long width;
        bool pad;
        std::string out;
    } cases[] = {
        // あいう: every third byte is a lead byte; the break moves before it.
        {"hiragana at 3", "\x82\xa0\x82\xa2\x82\xa4", 3, false, "\x82\xa0\r\n\x82\xa2\r\n\x82\xa4"},
        {"hiragana at 3 padded", "\x82\xa0\x82\xa2", 3, true, "\x82\xa0 \r\n\x82\xa2 "},
        {"hiragana at 4", "\x82\xa0\x82\xa2\x82\xa4", 4, false, "\x82\xa0\x82\xa2\r\n\x82\xa4"},
        {"width 1 keeps the character whole", "\x82\xa0\x82\xa2", 1, false, "\x82\xa0\r\n\x82\xa2"},
        {"lead byte on the width", "abc\x83\x41", 4, false, "abc\r\n\x83\x41"},  // abcア
        // ア's trail byte 0x41 looks like a letter: the break search stops at its lead.
        {"trail byte like a letter", "a \x83\x41x", 4, false, "a \r\n\x83\x41x"},
        {"fits exactly", "ab\x83\x41", 4, false, "ab\x83\x41"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(WrapText(c.text, c.width, c.pad)), Hex(c.out)) << c.name;
}

TEST(SplitLines, SplitsAtEveryKindOfBreak) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(SplitLines(""), V{});
    EXPECT_EQ(SplitLines("a"), V{"a"});
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), V{"a"});
    EXPECT_EQ(SplitLines("\r\n\r\na"), (V{"", "", "a"}));
}

TEST(TColBlank, BlankIsAsWideAsTheLetters) {
    EXPECT_EQ(TColBlank::Blank(0), "");
    EXPECT_EQ(TColBlank::Blank(-4), "");
    EXPECT_EQ(TColBlank::Blank(5), "     ");
    {
        // 52 letters 364 px, 52 spaces 156 px: 2 letters are as wide as 4.67 spaces.
        MetricsScope metrics(364, 156);
        EXPECT_EQ(TColBlank::Blank(2), std::string(5, ' '));
        EXPECT_EQ(TColBlank::Blank(3), std::string(7, ' '));
        EXPECT_EQ(TColBlank::Blank(0), "");
    }
    {
        MetricsScope metrics(100, 300);
        EXPECT_EQ(TColBlank::Blank(1), " ");
        EXPECT_EQ(TColBlank::Blank(4), "  ");
    }
    {
        // Unset or non-positive metrics count as 1: no division by zero.
        MetricsScope metrics(0, 0);
        EXPECT_EQ(TColBlank::LettersWidth(), 1);
        EXPECT_EQ(TColBlank::SpacesWidth(), 1);
        EXPECT_EQ(TColBlank::Blank(3), "   ");
        TColBlank::SetMetrics(-5, 7);
        EXPECT_EQ(TColBlank::Blank(7), " ");
    }
    EXPECT_EQ(TColBlank::Blank(3), "   ");
}

TEST(TColBlank, CachedStringsStayValid) {
    const std::string& three = TColBlank::Blank(3);
    for (long n = 1; n < 2000; ++n)
        TColBlank::Blank(n);
    EXPECT_EQ(three, "   ");
    EXPECT_EQ(&three, &TColBlank::Blank(3));
}
