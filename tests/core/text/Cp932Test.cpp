#include "text/Cp932.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

using testsupport::Hex;

TEST(Cp932, LeadBytesAreTheTwoDocumentedRanges) {
    for (int b = 0; b < 256; ++b) {
        bool expected = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(cp932::isLeadByte(static_cast<unsigned char>(b)), expected) << b;
    }
}

TEST(Cp932, StepsOverDoubleByteCharacters) {
    const std::string text =
        "a\x82\xa0"
        "b\x95\x5c";  // a あ b 表 (trail byte is "\")
    EXPECT_EQ(cp932::charLength(text, 0), 1u);
    EXPECT_EQ(cp932::charLength(text, 1), 2u);
    EXPECT_EQ(cp932::nextChar(text, 1), 3u);
    EXPECT_EQ(cp932::charLength(text, 4), 2u);
    EXPECT_EQ(cp932::charLength(text, 6), 0u);
    EXPECT_EQ(cp932::charCount(text), 4u);
}

TEST(Cp932, LeadByteAtTheEndIsACharacterOfItsOwn) {
    const std::string text = "ab\x82";
    EXPECT_EQ(cp932::charLength(text, 2), 1u);
    EXPECT_EQ(cp932::charCount(text), 3u);
    EXPECT_EQ(cp932::truncate(text, 3), text);
}

TEST(Cp932, TruncateNeverSplitsACharacter) {
    const std::string text = "ab\x82\xa0\x82\xa2";  // ab あ い
    struct Case {
        std::size_t max;
        std::string expected;
    } cases[] = {
        {0, ""}, {2, "ab"}, {3, "ab"}, {4, "ab\x82\xa0"}, {5, "ab\x82\xa0"}, {6, text}, {99, text},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(cp932::truncate(text, c.max)), Hex(c.expected)) << c.max;
    EXPECT_TRUE(cp932::isBoundary(text, 4));
    EXPECT_FALSE(cp932::isBoundary(text, 3));
    EXPECT_TRUE(cp932::isBoundary(text, 6));
    EXPECT_FALSE(cp932::isBoundary(text, 7));
}

TEST(Cp932, ConvertsToAndFromUtf8) {
    struct Case {
        const char* name;
        std::string cp932;
        std::string utf8;
    } cases[] = {
        {"ascii", "Hello, world\r\n", "Hello, world\r\n"},
        {"hiragana", "\x82\xa0", "\xe3\x81\x82"},             // あ
        {"kanji with 5C trail", "\x95\x5c", "\xe8\xa1\xa8"},  // 表
        {"half-width katakana", "\xb1", "\xef\xbd\xb1"},      // ｱ
        {"NEC special", "\x87\x40", "\xe2\x91\xa0"},          // ①
        {"wave dash", "\x81\x60", "\xef\xbd\x9e"},            // ～ (cp932 maps to U+FF5E)
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Hex(cp932::toUtf8(c.cp932)), Hex(c.utf8)) << c.name;
        EXPECT_EQ(Hex(cp932::fromUtf8(c.utf8)), Hex(c.cp932)) << c.name;
    }
}

TEST(Cp932, UndecodableBytesBecomeReplacementCharacters) {
    EXPECT_EQ(cp932::toUtf8("\x82"), "\xef\xbf\xbd");      // lone lead byte at the end
    EXPECT_EQ(cp932::toUtf8("\x82\x20"), "\xef\xbf\xbd");  // lead byte with a bad trail
    EXPECT_EQ(cp932::toUtf16("a\xfd"), u"a\uFFFD");
}

TEST(Cp932, CharactersCp932LacksBecomeQuestionMarks) {
    EXPECT_EQ(cp932::fromUtf8("\xc3\xa9"), "?");  // é
    EXPECT_EQ(cp932::fromUtf8("\xf0\x9f\x98\x80"
                              "a"),
              "?a");  // emoji
    EXPECT_EQ(cp932::fromUtf16(u"\U0001F600"), "?");
    EXPECT_EQ(cp932::fromUtf16(std::u16string(1, u'\xD800')), "?");  // unpaired surrogate
}

TEST(Cp932, StrictUtf8MalformedSequencesBecomeQuestionMarks) {
    EXPECT_EQ(cp932::fromUtf8("\xe3\x81"), "??");       // cut off
    EXPECT_EQ(cp932::fromUtf8("\xc0\xaf"), "??");       // overlong
    EXPECT_EQ(cp932::fromUtf8("\xed\xa0\x80"), "???");  // encoded surrogate
    EXPECT_EQ(cp932::fromUtf8("a\x80z"), "a?z");
}

TEST(Cp932, NulSurvivesTheRoundTrip) {
    const std::string text("a\0b", 3);
    EXPECT_EQ(cp932::fromUtf8(cp932::toUtf8(text)), text);
}

TEST(Cp932, Latin1IsLossless) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    std::string back;
    ASSERT_TRUE(cp932::utf8ToLatin1(cp932::latin1ToUtf8(all), back));
    EXPECT_EQ(back, all);
    EXPECT_FALSE(cp932::utf8ToLatin1("\xe3\x81\x82", back));
}
