#include "text/Charsets.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"

using testsupport::Hex;

namespace {

struct Row {
    const char* charset;
    std::string bytes;
    std::string cp932;
};

TEST(Charsets, ConvertsEachFamilyToCp932) {
    const Row rows[] = {
        // 日本語: JIS X 0208 in ISO-2022-JP, then back to ASCII
        {"ISO-2022-JP", "\x1B$BF|K\\8l\x1B(B!", "\x93\xFA\x96\x7B\x8C\xEA!"},
        // NEC row 13 (①) and JIS X 0201 katakana (ｱｲ) as Windows mailers write them
        {"iso-2022-jp", "\x1B$B-!\x1B(I12\x1B(B", "\x87\x40\xB1\xB2"},
        {"csISO2022JP",
         "\x0E"
         "12\x0F"
         "a",
         "\xB1\xB2"
         "a"},
        {"EUC-JP", "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xC7\xA4\xB9\x8E\xB1",
         "\x93\xFA\x96\x7B\x8C\xEA\x82\xC5\x82\xB7\xB1"},
        {"x-euc-jp", "\xC6\xFC", "\x93\xFA"},
        // café ±5° §2: é is not in cp932
        {"ISO-8859-1",
         "caf\xE9 \xB1"
         "5\xB0 \xA7"
         "2",
         "caf? \x81\x7D"
         "5\x81\x8B \x81\x98"
         "2"},
        {"latin1", "caf\xE9", "caf?"},
        {"KOI8-R", "\xF0\xD2\xC9\xD7\xC5\xD4", "\x84\x50\x84\x82\x84\x79\x84\x72\x84\x75\x84\x84"},
        {"windows-1251", "\xCC\xE8\xF0", "\x84\x4D\x84\x79\x84\x82"},
        {"GB2312", "\xD6\xD0\xCE\xC4", "\x92\x86\x95\xB6"},
        {"Big5", "\xA4\xA4\xA4\xE5", "\x92\x86\x95\xB6"},
        {"EUC-KR", "\xC7\xD1\xB1\xB9", "??"},  // hangul: not in cp932
        {"utf-8", "\xE6\x97\xA5", "\x93\xFA"},
        // cp932 is the archive's own code page; us-ascii keeps whatever the sender put in
        {"Shift_JIS", "\x93\xFA\x80\xFF", "\x93\xFA\x80\xFF"},
        {"Windows-31J", "\x93\xFA", "\x93\xFA"},
        {"CP932", "\x93\xFA", "\x93\xFA"},
        {"us-ascii", "a\xE9", "a\xE9"},
        {"iso-2022-jp*ja", "\x1B$BF|\x1B(B", "\x93\xFA"},  // RFC 2231 language suffix
    };
    for (const Row& row : rows) {
        std::string out;
        ASSERT_TRUE(charsets::DecodeToCp932(row.charset, row.bytes, out)) << row.charset;
        EXPECT_EQ(Hex(out), Hex(row.cp932)) << row.charset;
    }
}

TEST(Charsets, UnknownNamesKeepTheBytes) {
    for (const char* name : {"x-unknown", "", "unknown-8bit", "utf-8//TRANSLIT", "iso 8859 1"}) {
        std::string out = "untouched";
        EXPECT_FALSE(charsets::DecodeToCp932(name, "a\xE9", out)) << name;
        EXPECT_EQ(out, "untouched");
        EXPECT_FALSE(charsets::IsKnownCharset(name));
        EXPECT_EQ(Hex(charsets::DecodeMailText(name, "a\xE9")), Hex("a\xE9"));
    }
    EXPECT_TRUE(charsets::IsKnownCharset("IBM866"));  // not in our table, but iconv knows it
}

// Bad input: every bad byte becomes one "?" and the text after it is still read.
TEST(Charsets, MalformedInputLosesNothingAfterIt) {
    const Row rows[] = {
        {"iso-2022-jp",
         "\x1B$Z"
         "abc",
         "?$Zabc"},                                               // unknown escape
        {"iso-2022-jp", "\x1B$BF", "?"},                          // half a character at the end
        {"iso-2022-jp", "\x1B$BF|F\r\nabc", "\x93\xFA?\r\nabc"},  // no ESC ( B before the line end
        {"iso-2022-jp",
         "\x1B$B\x93\xFA"
         "F|\x1B(Bz",
         "??\x93\xFAz"},                         // 8-bit bytes
        {"iso-2022-jp", "\x1B$Bu!\x1B(B", "?"},  // row 85: cp932 has nothing there
        {"iso-2022-jp", "\x1B", "?"},
        {"iso-2022-jp", "a\x0F" "b\x0E", "ab"},  // shifts without katakana
        {"EUC-JP",
         "\xC6"
         "a\xFF\x8E",
         "?a??"},
        {"utf-16", std::string(1, '\0'), "?"},  // a code unit cut off by the end
        {"windows-1252",
         "a\x81"
         "b",
         "a?b"},
    };
    for (const Row& row : rows) {
        std::string out;
        ASSERT_TRUE(charsets::DecodeToCp932(row.charset, row.bytes, out)) << row.charset;
        EXPECT_EQ(Hex(out), Hex(row.cp932)) << row.charset << " " << Hex(row.bytes);
    }
}

TEST(Charsets, UnlabelledJisIsReadOnlyWhenItIsSevenBit) {
    EXPECT_EQ(Hex(charsets::DecodeMailText("us-ascii", "\x1B$BF|\x1B(B")), Hex("\x93\xFA"));
    EXPECT_EQ(Hex(charsets::DecodeMailText("iso-8859-1", "\x1B$BF|\x1B(B")), Hex("\x93\xFA"));
    // 8-bit bytes beside the escapes: not ISO-2022-JP, so the label decides
    EXPECT_EQ(Hex(charsets::DecodeMailText("us-ascii", "\x1B$B\x93\xFA")), Hex("\x1B$B\x93\xFA"));
}

TEST(Charsets, HtmlMetaCharset) {
    const std::pair<const char*, const char*> rows[] = {
        {"<html><head><META CHARSET=\"EUC-JP\"></head>", "euc-jp"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-2022-jp\">",
         "iso-2022-jp"},
        {"<meta name=x><meta charset='koi8-r'/>", "koi8-r"},
        {"<body><meta charset=utf-8>", ""},  // only the head counts
        {"<meta content=\"text/html\">", ""},
        {"<meta charset", ""},
    };
    for (const auto& [html, charset] : rows)
        EXPECT_EQ(charsets::HtmlMetaCharset(html), charset) << html;
}

// The converters are shared: several threads at once each get their own state.
TEST(Charsets, ConcurrentUseGivesEachThreadItsOwnResult) {
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < 500; ++i) {
                std::string out;
                charsets::DecodeToCp932("KOI8-R", "\xF0\xD2", out);
                if (out != "\x84\x50\x84\x82")
                    ++failures[static_cast<std::size_t>(t)];
                charsets::DecodeToCp932("iso-2022-kr",
                                        "\x1B$)C\x0E\x47\x51\x0F"
                                        "a",
                                        out);
                if (out != "?a")
                    ++failures[static_cast<std::size_t>(t)];
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
