#include "mail/MailHeader.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "base/EError.h"

using MailParser::DecodeEncodedWords;
using MailParser::SplitHeaderBlock;
using testsupport::Hex;

TEST(SplitHeaderBlock, CutsAtTheFirstEmptyLine) {
    auto split = SplitHeaderBlock("A: 1\r\nB: 2\r\n\r\nbody\r\n\r\nmore");
    EXPECT_EQ(split.headerBlock, "A: 1\r\nB: 2");
    EXPECT_EQ(split.body, "body\r\n\r\nmore");
}

TEST(SplitHeaderBlock, WithoutAnEmptyLineAllIsHeaderAndNothingIsUnfolded) {
    struct Case {
        const char* name;
        std::string in;
    } cases[] = {
        {"empty", ""},
        {"LF-only message", "Subject: a\n\tb\n\nbody\n"},
        {"single CR LF at the end", "Subject: a\r\n"},
        {"CR LF CR without LF", "Subject: a\r\n\r"},
        {"lone CRs", "A: 1\r\r B\r\r"},
    };
    for (const Case& c : cases) {
        auto split = SplitHeaderBlock(c.in);
        EXPECT_EQ(split.headerBlock, c.in) << c.name;
        EXPECT_TRUE(split.body.empty()) << c.name;
    }
}

TEST(SplitHeaderBlock, UnfoldsByteForByte) {
    struct Case {
        const char* name;
        std::string in;  // header block, followed by CR LF CR LF
        std::string out;
    } cases[] = {
        {"tab continuation joins without a blank", "Subject: abc\r\n\tdef", "Subject: abcdef"},
        {"several blanks dropped", "Subject: abc\r\n  \t def", "Subject: abcdef"},
        {"new line starts a new header", "A: 1\r\nB: 2", "A: 1\r\nB: 2"},
        {"LF inside the block", "A: 1\nB: 2", "A: 1\r\nB: 2"},
        {"lone CR inside the block", "A: 1\rB: 2", "A: 1\r\nB: 2"},
        {"several line breaks collapse", "A: 1\r\n\r\rB", "A: 1\r\nB"},
        {"blank-only line between two lines", "A: 1\r\n \r\nB: 2", "A: 1\r\nB: 2"},
        {"leading break then text", "\r\nA: 1", "\r\nA: 1"},
        {"leading blanks on the first line are kept", "  A: 1", "  A: 1"},
        {"blanks after a break at the start are skipped", "\r\n  A", "A"},
        {"three folded lines", "S: a\r\n b\r\n\tc", "S: abc"},
    };
    for (const Case& c : cases) {
        const std::string text = c.in + "\r\n\r\nbody";
        auto split = SplitHeaderBlock(text);
        EXPECT_EQ(split.headerBlock, c.out) << c.name;
        EXPECT_EQ(split.body, "body") << c.name;
    }
}

TEST(SplitHeaderBlock, EmptyHeaderBlockAndEmptyBody) {
    auto a = SplitHeaderBlock("\r\n\r\nbody");
    EXPECT_EQ(a.headerBlock, "");
    EXPECT_EQ(a.body, "body");
    auto b = SplitHeaderBlock("A: 1\r\n\r\n");
    EXPECT_EQ(b.headerBlock, "A: 1");
    EXPECT_EQ(b.body, "");
}

TEST(DecodeEncodedWords, DecodesTheThreeCharsetsAndKeepsTheRest) {
    struct Case {
        const char* name;
        std::string in;
        std::string out;
    } cases[] = {
        {"no word", "plain text", "plain text"},
        {"us-ascii B", "=?us-ascii?B?QUJD?=", "ABC"},
        {"iso-8859-1 B keeps the latin-1 byte", "=?ISO-8859-1?b?6Q==?=", "\xe9"},
        {"utf-8 B becomes cp932",
         "=?utf-8?B?5pel5pys6Kqe?=", "\x93\xfa\x96\x7b\x8c\xea"},  // 日本語
        {"UTF-8 upper case", "=?UTF-8?B?44GC?=", "\x82\xa0"},      // あ
        {"us-ascii Q with underscore", "=?us-ascii?Q?a_b=3Dc?=", "a b=c"},
        {"utf-8 Q", "=?utf-8?q?=E3=81=82_x?=", "\x82\xa0 x"},  // あ x
        {"iso-2022-jp kept as written",
         "=?ISO-2022-JP?B?GyRCJCIbKEI=?=", "=?ISO-2022-JP?B?GyRCJCIbKEI=?="},
        {"shift_jis Q kept", "=?shift_jis?q?=82=A0?=", "=?shift_jis?q?=82=A0?="},
        {"bad base64 gives the bare text", "=?us-ascii?B?QUJ?=", "QUJ"},
        {"text around words kept", "Re: =?us-ascii?B?QUJD?= and more", "Re: ABC and more"},
        {"space between two words kept", "=?us-ascii?Q?a?= =?us-ascii?Q?b?=", "a b"},
        {"adjacent words", "=?us-ascii?Q?a?==?us-ascii?Q?b?=", "ab"},
        {"unknown encoding letter kept", "=?utf-8?X?abc?=", "=?utf-8?X?abc?="},
        {"empty encoded text",
         "=?utf-8?B?"
         "?=",
         ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(DecodeEncodedWords(c.in)), Hex(c.out)) << c.name;
}

TEST(DecodeEncodedWords, QWordStartingWithEqualsRunsToTheNextClose) {
    EXPECT_EQ(DecodeEncodedWords("=?iso-8859-1?q?=41_b?="), "A b");
    EXPECT_EQ(DecodeEncodedWords("=?UTF-8?Q?=41?= x"), "A x");
    EXPECT_EQ(DecodeEncodedWords("=?us-ascii?q?=3F?="), "?");
    // Only for the charsets that are decoded: another charset's word ends at "?q?=".
    EXPECT_EQ(DecodeEncodedWords("=?koi8-r?q?=41?="), "=?koi8-r?q?=41?=");
    // No later close: the rest is kept as it stands.
    EXPECT_EQ(DecodeEncodedWords("x =?utf-8?q?=41"), "x =?utf-8?q?=41");
}

TEST(DecodeEncodedWords, BrokenWordsAreKeptUnchanged) {
    struct Case {
        std::string in;
    } cases[] = {
        {"What?=no"},
        {"=?="},
        {"=?"
         "?="},
        {"a =? b"},
        {"=?utf-8?B?44GC"},
        {"==?="},
        {"?=?="},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeEncodedWords(c.in), c.in) << c.in;
    // One byte between "=?" and "?=" is a word, in no charset we decode.
    EXPECT_EQ(DecodeEncodedWords("=?a?= x"), "=?a?= x");
}

TEST(DecodeEncodedWords, BadQuotedPrintableEscapeThrows) {
    try {
        DecodeEncodedWords("=?utf-8?q?a=ZZ?=");
        FAIL() << "no error";
    } catch (const EError& e) {
        EXPECT_STREQ(e.what(), "Quoted Printable Decode Error");
    }
    EXPECT_THROW(DecodeEncodedWords("=?us-ascii?Q?a=4?="), EError);
}
