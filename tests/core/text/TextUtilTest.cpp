#include "text/TextUtil.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "base/EError.h"

using testsupport::Hex;

TEST(Utf8Sjis, ConvertsAndDropsTheByteOrderMark) {
    struct Case {
        const char* name;
        std::string in;
        std::string out;
    } cases[] = {
        {"empty", "", ""},
        {"bom alone", "\xef\xbb\xbf", ""},
        {"bom then text",
         "\xef\xbb\xbf"
         "abc",
         "abc"},
        {"two bytes of a bom are kept as text", "\xef\xbb", "?"},
        {"hiragana a", "\xe3\x81\x82", "\x82\xa0"},  // あ
        {"mixed",
         "x\xe6\x97\xa5\xe6\x9c\xac"
         "y",
         "x\x93\xfa\x96\x7b"
         "y"},  // x日本y
        {"cut-off sequence gives one ?", "a\xe3", "a?"},
        {"cut-off after one continuation", "a\xe3\x81", "a?"},
        {"two-byte form", "\xc2\xa5", "\\"},  // ¥ maps to 0x5C in cp932
        {"four-byte character",
         "\xf0\x9f\x98\x80"
         "!",
         "?!"},
        {"cut-off four-byte character", "\xf0\x9f\x98", "?"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(UTF8_SJIS(c.in)), Hex(c.out)) << c.name;
}

TEST(Utf8Sjis, ContinuationBytesAreNotChecked) {
    // E3 41 82: the lead byte takes two bytes whatever they are; 0x41 gives its low six
    // bits like a continuation byte, so the code point is U+3042 (あ).
    EXPECT_EQ(Hex(UTF8_SJIS("\xe3\x41\x82")), Hex("\x82\xa0"));
    // A stray continuation byte is the code unit U+0080..U+00BF: C1 controls and most
    // Latin-1 letters, which cp932 lacks.
    EXPECT_EQ(UTF8_SJIS("\x80\xa9"
                        "a"),
              "??a");
}

TEST(Base64Decode, DecodesValidGroupsAndReturnsInvalidInputUnchanged) {
    struct Case {
        std::string in;
        std::string out;
    } cases[] = {
        {"", ""},
        {"QUJD", "ABC"},
        {"QUI=", "AB"},
        {"QQ==", "A"},
        {"QQ==QUJD", "AABC"},        // decoding goes on after a padded group
        {"QUJ", "QUJ"},              // not a multiple of 4
        {"Q===", "Q==="},            // "=" in the second place
        {"=QUJ", "=QUJ"},            // "=" in the first place
        {"QU=D", "QU=D"},            // "=" third, not followed by "="
        {"QUJD\r\n", "QUJD\r\n"},    // line breaks are invalid
        {"QUJD QUJD", "QUJD QUJD"},  // length 9
        {"QU*D", "QU*D"},            // byte outside the alphabet
        {"+/+/", "\xfb\xff\xbf"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(Base64Decode(c.in)), Hex(c.out)) << c.in;
}

TEST(QuotedPrintableDecode, DecodesEscapesAndSoftBreaks) {
    struct Case {
        std::string in;
        std::string out;
    } cases[] = {
        {"a=3Db", "a=b"},       {"a=3db", "a=b"},           {"a=\r\nb", "ab"}, {"a=", "a"},
        {"=82=A0", "\x82\xa0"}, {"plain\r\n", "plain\r\n"}, {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(QuotedPrintableDecode(c.in)), Hex(c.out)) << c.in;
}

TEST(QuotedPrintableDecode, BadEscapesRaiseTheDecodeError) {
    for (std::string bad : {"a=3", "a=ZZ", "a=\nb", "a=\r", "=G0", "x=3 "}) {
        try {
            QuotedPrintableDecode(bad);
            ADD_FAILURE() << "no error for " << bad;
        } catch (const EError& e) {
            EXPECT_STREQ(e.what(), "Quoted Printable Decode Error") << bad;
        }
    }
}

TEST(PopToken, SplitsAtTheFirstDelimiterAndTrimsTheRest) {
    struct Case {
        std::string text, delimiter, token, rest;
    } cases[] = {
        {"a; b", ";", "a", "b"},
        {"a; b", ",", "a; b", ""},
        {"a; b", "", "a; b", ""},
        {"a;\t\r\n b;c", ";", "a", "b;c"},
        {"ab--cd--ef", "--", "ab", "cd--ef"},
        {";x", ";", "", "x"},
        {"x;", ";", "x", ""},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(PopToken(text, c.delimiter), c.token) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
}

TEST(Trimming, RemovesOnlyTheirOwnBytes) {
    std::string s = "\r\n\n a\r\n";
    TrimLeadingLineBreaks(s);
    EXPECT_EQ(s, " a\r\n");
    TrimTrailingLineBreaks(s);
    EXPECT_EQ(s, " a");
    s = " \t \r\nx ";
    TrimLeadingBlanks(s);
    EXPECT_EQ(s, "\r\nx ");
    s = "\r\n";
    TrimTrailingLineBreaks(s);
    EXPECT_EQ(s, "");
}

TEST(Unquote, TakesTheTextBetweenFirstAndLastQuote) {
    EXPECT_EQ(Unquote("\"abc\""), "abc");
    EXPECT_EQ(Unquote("\"abc"), "\"abc");
    EXPECT_EQ(Unquote("x\"a\"b\"y"), "a\"b");
    EXPECT_EQ(Unquote("\"\""), "");
    EXPECT_EQ(Unquote("abc"), "abc");
}

TEST(ConvertMailDate, ReadsRfc822Dates) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"Tue, 12 Jun 2001 10:20:30 +0900", "2001/6/12 10:20:30"},
        {"12 Jun 2001 10:20 PM", "2001/6/12 10:20 PM"},
        {"12 Jun 2001 10:20 pm", "2001/6/12 10:20 pm"},
        {"Tue,12 Jun 2001 10:20:30", "2001/6/12 10:20:30"},
        {"12 June 2001 10:20", ""},
        {"12 DEC 01 1:2:3 GMT", "01/12/12 1:2:3"},
        {"  1 Jan 2000", "2000/1/1 "},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConvertMailDate(c.in), c.out) << c.in;
}

TEST(ConvertPatternDate, ReadsFieldsByPattern) {
    struct Case {
        std::string text, pattern, out;
    } cases[] = {
        {"6/12/2001", "m/d/y", "2001/6/12"},
        {"2001/06/12 10:20", "y/m/d h:n", "2001/06/12 10:20:00"},
        {"12/13/2001", "d/m/y", ""},
        {"2001/Jun/12", "y/m/d", "2001/6/12"},
        {"2001/June/12", "y/m/d", "2001/6/12"},
        {"10:20 PM", "h:n u", "// 10:20:00PM"},
        {"10:20 p.m.", "h:n u", "// 10:20:00PM"},
        {"10:20 x", "h:n u", "// 10:20:00"},
        {"\r\n2001/6/12 7\r\n", "y/m/d h", "2001/6/12 7:00:00"},
        {"2001/6/12 7:08:09", "y/m/d h:n:s", "2001/6/12 7:08:09"},
        {"2001/6/12 7:08", "y/m/d h:n:s", ""},  // empty second fails its range
        {"2001/6/12 24:00", "y/m/d h:n", ""},
        {"2001/6/12 23:60", "y/m/d h:n", ""},
        {"20011/6/12", "y/m/d", "2001/6/12"},   // year cut to 4 bytes
        {"2001/6/12th", "y/m/d", "2001/6/12"},  // day cut to its digits
        {"2001/6/32", "y/m/d", ""},
        {"2001/6/0", "y/m/d", ""},
        {"2001/13/1", "y/m/d", ""},
        {"2001/0/1", "y/m/d", ""},
        {"2001/-3/1", "y/m/d", ""},
        {"x/6/1", "y/m/d", ""},
        {"2001/6/12", "Y/m/d", ""},  // upper-case letter is no field
        {"Tue, 12 Jun 2001 10:20:30 +0900", "", "2001/6/12 10:20:30"},
        {"12.6.2001", "d.m.y", "2001/6/12"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConvertPatternDate(c.text, c.pattern), c.out) << c.text << " | " << c.pattern;
}

TEST(ConvertPatternDate, JapaneseSeparators) {
    // 2001年6月12日 with the pattern y年m月d日
    const std::string text =
        "2001\x94\x4e"
        "6\x8c\x8e"
        "12\x93\xfa";
    const std::string pattern =
        "y\x94\x4em\x8c\x8e"
        "d\x93\xfa";
    EXPECT_EQ(ConvertPatternDate(text, pattern), "2001/6/12");
}

TEST(ReadInteger, AcceptsOnlyWholeDecimalIntegers) {
    long v = 0;
    EXPECT_TRUE(ReadInteger("42", v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(ReadInteger("  -7", v));
    EXPECT_EQ(v, -7);
    EXPECT_TRUE(ReadInteger("+7", v));
    for (const char* bad : {"", " ", "-", "4 2", "42 ", "0x10", "99999999999", "1e3"})
        EXPECT_FALSE(ReadInteger(bad, v)) << bad;
}
