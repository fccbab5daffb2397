#include <gtest/gtest.h>

#include "TestSupport.h"
#include "tools/TextFormat.h"
#include "tools/TextReplace.h"

using namespace texttools;
using testsupport::Hex;

namespace {

std::string Format(std::string_view text) {
    return FormatLines(SplitLines(text));
}

}  // namespace

TEST(TextFormat, SplitsLinesAsAListDoes) {
    EXPECT_EQ(SplitLines(""), std::vector<std::string>{});
    EXPECT_EQ(SplitLines("a\r\n"), std::vector<std::string>{"a"});
    EXPECT_EQ(SplitLines("a\rb\nc\r\n\r\nd"), (std::vector<std::string>{"a", "b", "c", "", "d"}));
}

TEST(TextFormat, JoinsLinesIntoParagraphs) {
    struct Case {
        const char* name;
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"word end gets a blank", "This is a\r\npen.", "This is a pen."},
        {"punctuation end gets none", "a pen.\r\nIt is", "a pen.It is"},
        // 日本語 / です: joined without a blank, though the trail byte 0x5A of 語 ("Z")
        // lies in the letter range.
        {"japanese", "\x93\xfa\x96\x7b\x8c\xea\r\n\x82\xc5\x82\xb7",
         "\x93\xfa\x96\x7b\x8c\xea\x82\xc5\x82\xb7"},
        {"empty line kept", "a\r\nb\r\n\r\nc\r\nd", "a b\r\n\r\nc d"},
        {"two empty lines kept", "a\r\n\r\n\r\nb", "a\r\n\r\n\r\nb"},
        {"empty first line absorbed", "\r\nabc\r\ndef", "abc def"},
        {"no line end after the last", "abc\r\n", "abc"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(Format(c.in)), Hex(c.out)) << c.name;
}

TEST(TextFormat, WrapsAt72Bytes) {
    const std::string letters(100, 'x');
    EXPECT_EQ(Format(letters), letters.substr(0, 72) + "\r\n" + letters.substr(72));

    // Words whose 72nd byte falls inside a word: broken after the last blank, which ends
    // the first line.
    const std::string words = std::string(65, 'a') + " bbbbbbbbbbbb cc";
    EXPECT_EQ(Format(words), std::string(65, 'a') + " \r\nbbbbbbbbbbbb cc");

    // Exactly 72 bytes stay one line; punctuation at byte 72 cuts after it.
    EXPECT_EQ(Format(std::string(72, 'y')), std::string(72, 'y'));
    const std::string comma = std::string(71, 'y') + ",zz";
    EXPECT_EQ(Format(comma), std::string(71, 'y') + ",\r\nzz");
}

TEST(TextFormat, WrapNeverSplitsADoubleByteCharacter) {
    const std::string a = "\x82\xa0";  // あ
    // 71 letters then あ: its lead byte is byte 72, so it moves to the next line whole.
    const std::string lead72 = std::string(71, 'x') + a + "yy";
    EXPECT_EQ(Hex(Format(lead72)), Hex(std::string(71, 'x') + "\r\n" + a + "yy"));
    // 36 あ: the 72nd byte is a trail byte and ends the line.
    std::string kana;
    for (int i = 0; i < 37; ++i)
        kana += a;
    EXPECT_EQ(Hex(Format(kana)), Hex(kana.substr(0, 72) + "\r\n" + a));
    // A trail byte in the letter range (語 = 8C 5A) is no word byte: a letter at byte 72
    // breaks after that character, not inside it.
    const std::string mixed = std::string(68, 'x') + "\x8c\x5a" + "abcd";
    EXPECT_EQ(Hex(Format(mixed)), Hex(std::string(68, 'x') + "\x8c\x5a\r\nabcd"));
}

TEST(TextFormat, DeletesBlanksAtBothEnds) {
    EXPECT_EQ(DeleteBothBlanks(SplitLines("\tabc  ")), "abc\r\n");
    // The double-byte blank stays; a lone 0x20 after a lead byte is its trail, not a blank.
    EXPECT_EQ(Hex(DeleteBothBlanks({"\x81\x40x\x81\x40 ", " \x81\x20", ""})),
              Hex("\x81\x40x\x81\x40\r\n\x81\x20\r\n\r\n"));
}

TEST(TextReplace, ReplacesFirstOrEveryMatch) {
    const TFindOptions plain;
    EXPECT_EQ(ReplaceText("a cat, a Cat", 0, "cat", "dog", plain, false).text, "a dog, a Cat");
    EXPECT_EQ(ReplaceText("a cat, a Cat", 0, "cat", "dog", plain, true).text, "a dog, a dog");
    EXPECT_EQ(ReplaceText("a cat, a Cat", 0, "cat", "dog", {true, false}, true).text,
              "a dog, a Cat");
    EXPECT_EQ(ReplaceText("cat cats", 0, "cat", "dog", {false, true}, true).text, "dog cats");
    // From the selection start on; a text that does not occur changes nothing.
    EXPECT_EQ(ReplaceText("cat cat", 1, "cat", "dog", plain, true).text, "cat dog");
    const auto none = ReplaceText("abc", 0, "x", "y", plain, true);
    EXPECT_EQ(none.text, "abc");
    EXPECT_EQ(none.replaced, 0u);
    EXPECT_EQ(ReplaceText("abc", 0, "", "y", plain, true).replaced, 0u);
}

TEST(TextReplace, ReplaceAllEndsWhenTheReplacementHoldsTheSearchText) {
    const auto r = ReplaceText("a-a-a", 0, "a", "aa", TFindOptions{}, true);
    EXPECT_EQ(r.text, "aa-aa-aa");
    EXPECT_EQ(r.replaced, 3u);
    EXPECT_EQ(r.lastStart, 6u);
    EXPECT_EQ(r.lastEnd, 8u);
}

TEST(TextReplace, MatchesOnlyAtCharacterBoundaries) {
    // ソ = 83 5C, so "\" must not match its trail byte; "Z" not the trail of 語 (8C 5A).
    EXPECT_FALSE(FindText("\x83\x5c", "\\", 0, 2, {}));
    EXPECT_FALSE(FindText("\x8c\x5a", "z", 0, 2, {}));
    EXPECT_EQ(FindText("\x8c\x5az", "Z", 0, 3, {}), 2u);
    // A match's bytes must form the same characters: "\x82" alone is not the lead of あ.
    EXPECT_FALSE(FindText("\x82\xa0", "\x82", 0, 2, {}));
    // Whole word: a double-byte neighbour is no word character.
    EXPECT_EQ(FindText("\x82\xa0"
                       "cat",
                       "cat", 0, 5, {false, true}),
              2u);
}
