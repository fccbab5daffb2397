#include <gtest/gtest.h>

#include "CliArgs.h"
#include "CliCommand.h"
#include "CliEncoding.h"
#include "Json.h"
#include "cli/CliRunner.h"

using testsupport::RunCliProgram;

TEST(CliProgram, PrintsHelpAndVersion) {
    auto help = RunCliProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: brevilo-cli"), std::string::npos);
    auto version = RunCliProgram({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("brevilo-cli ") + BREVILO_VERSION + "\n");
}

TEST(CliProgram, WrongUsageExitsWithTwo) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
    } cases[] = {
        {"no command", {}},
        {"unknown command", {"frobnicate"}},
        {"unknown encoding", {"--encoding", "ebcdic", "--help"}},
        {"encoding without value", {"--encoding"}},
        {"help for unknown command", {"help", "frobnicate"}},
    };
    for (const Case& c : cases) {
        auto r = RunCliProgram(c.args);
        EXPECT_EQ(r.status, 2) << c.name;
        EXPECT_FALSE(r.err.empty()) << c.name;
        EXPECT_TRUE(r.out.empty()) << c.name;
    }
}

TEST(CliArgs, SplitsOptionsFlagsAndPositionals) {
    CliArgs a({"--db", "/x", "f1", "--plain", "--table=T", "--", "--f2"}, {"--db", "--table"},
              {"--plain"});
    EXPECT_EQ(a.value("--db"), "/x");
    EXPECT_EQ(a.value("--table"), "T");
    EXPECT_TRUE(a.flag("--plain"));
    EXPECT_EQ(a.positional(), (std::vector<std::string>{"f1", "--f2"}));
    EXPECT_THROW(a.required("--out"), EUsage);
}

TEST(CliArgs, RejectsBadOptions) {
    EXPECT_THROW(CliArgs({"--nope"}, {}, {}), EUsage);
    EXPECT_THROW(CliArgs({"--db"}, {"--db"}, {}), EUsage);
    EXPECT_THROW(CliArgs({"--db", "a", "--db", "b"}, {"--db"}, {}), EUsage);
    EXPECT_THROW(CliArgs({"--plain=1"}, {}, {"--plain"}), EUsage);
    EXPECT_THROW(CliArgs::integerValue("--n", "x"), EUsage);
    EXPECT_EQ(CliArgs::integerValue("--n", "12"), 12);
}

TEST(CliEncoding, WritesTextPerEncoding) {
    const std::string hiragana = "\x82\xa0";  // あ
    EXPECT_EQ(CliEncoding(CliEncoding::Kind::Utf8).Output(hiragana), "\xe3\x81\x82");
    EXPECT_EQ(CliEncoding(CliEncoding::Kind::Cp932).Output(hiragana), hiragana);
    EXPECT_EQ(CliEncoding(CliEncoding::Kind::Latin1).Output(hiragana), hiragana);
    EXPECT_EQ(CliEncoding(CliEncoding::Kind::Utf8).Input("\xe3\x81\x82"), hiragana);
    EXPECT_EQ(CliEncoding(CliEncoding::Kind::Latin1).Input("\xc2\x82\xc2\xa0"), hiragana);
    EXPECT_THROW(CliEncoding(CliEncoding::Kind::Latin1).Input("\xe3\x81\x82"), EUsage);
}

TEST(CliEncoding, JsonStringsEscapeControlBytesQuotesAndBackslashes) {
    CliEncoding cp932(CliEncoding::Kind::Cp932), latin1(CliEncoding::Kind::Latin1),
        utf8(CliEncoding::Kind::Utf8);
    EXPECT_EQ(utf8.JsonString("a\"b\\c\r\n\t\x01"), "\"a\\\"b\\\\c\\r\\n\\t\\u0001\"");
    // 表 has the trail byte 0x5C, which is escaped byte-wise in cp932 mode.
    EXPECT_EQ(cp932.JsonString("\x95\x5c"), "\"\x95\\\\\"");
    EXPECT_EQ(utf8.JsonString("\x95\x5c"), "\"\xe8\xa1\xa8\"");
    EXPECT_EQ(latin1.JsonString("\x95\x5c"), "\"\xc2\x95\\\\\"");
}

TEST(Json, RoundTripsRecordsInEveryEncoding) {
    const std::string text = std::string("\x95\x5c \x82\xa0 \"q\"\r\n", 11) + std::string(1, '\0');
    for (auto kind :
         {CliEncoding::Kind::Utf8, CliEncoding::Kind::Cp932, CliEncoding::Kind::Latin1}) {
        CliEncoding enc(kind);
        std::string line =
            JsonLine(enc).String("Subject", text).Number("Rank", -3).Null("Date").Finish();
        ASSERT_EQ(line.back(), '\n');
        std::string error;
        auto obj = ParseJsonObject(line, enc, error);
        ASSERT_TRUE(obj) << error;
        EXPECT_EQ((*obj)["Subject"].text, text);
        EXPECT_EQ((*obj)["Rank"].number, -3);
        EXPECT_EQ((*obj)["Date"].type, JsonValue::Type::Null);
    }
}

TEST(Json, RejectsMalformedLines) {
    CliEncoding enc;
    std::string error;
    for (const char* bad : {"", "[]", "{", "{\"a\":}", "{\"a\":1,}", "{\"a\":1} x",
                            "{\"a\":\"\\x\"}", "{\"a\":[1]}", "{a:1}", "{\"a\":\"unterminated}"}) {
        EXPECT_FALSE(ParseJsonObject(bad, enc, error)) << bad;
    }
    auto ok = ParseJsonObject(" { \"u\" : \"\\u3042\" , \"b\":true } ", enc, error);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ((*ok)["u"].text, "\x82\xa0");
    EXPECT_TRUE((*ok)["b"].boolean);
}
