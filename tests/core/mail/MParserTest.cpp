#include "mail/MParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "base/EError.h"
#include "base/TSingleton.h"

using MailParser::MParser;
using MailParser::TMailBodyPart;
using testsupport::Hex;

namespace {

// Header lines joined with CR LF, an empty line, then the body.
std::string Message(const std::vector<std::string>& headers, const std::string& body = "") {
    std::string m;
    for (const std::string& h : headers)
        m += h + "\r\n";
    return m + "\r\n" + body;
}

struct Values {
    std::string from, newsgroup, date, subject;
};

Values Headers(const std::vector<std::string>& headers) {
    MParser p;
    p.Parse(Message(headers, "body"), false);
    return {p.From(), p.Newsgroup(), p.Date(), p.Subject()};
}

std::vector<std::string> LeafTexts(MParser& p) {
    std::vector<std::string> texts;
    for (TMailBodyPart* leaf = p.FirstLeaf(); leaf; leaf = p.NextLeaf())
        texts.push_back(leaf->Text());
    return texts;
}

}  // namespace

TEST(MParser, EmptyTextGivesEmptyValues) {
    MParser p;
    p.Parse("", false);
    EXPECT_EQ(p.From(), "");
    EXPECT_EQ(p.Newsgroup(), "");
    EXPECT_EQ(p.Date(), "");
    EXPECT_EQ(p.Subject(), "");
    EXPECT_EQ(p.BodyText(), "");
    ASSERT_NE(p.Root(), nullptr);
}

TEST(MParser, BeforeTheFirstParseThereIsNothingToWalk) {
    MParser p;
    EXPECT_EQ(p.Root(), nullptr);
    EXPECT_EQ(p.FirstLeaf(), nullptr);
    EXPECT_EQ(p.NextLeaf(), nullptr);
    EXPECT_EQ(p.BodyText(), "");
}

TEST(MParser, ReadsTheFourHeaderValues) {
    MParser p;
    p.Parse(Message({"Message-ID: <1@x>", "From: Taro <taro@example.jp>", "Newsgroups: fj.comp",
                     "Date: Tue, 12 Jun 2001 10:20:30 +0900", "Subject: Hello there"},
                    "Body line\r\n"),
            false);
    EXPECT_EQ(p.From(), "Taro <taro@example.jp>");
    EXPECT_EQ(p.Newsgroup(), "fj.comp");
    EXPECT_EQ(p.Date(), "2001/6/12 10:20:30");
    EXPECT_EQ(p.Subject(), "Hello there");
    EXPECT_EQ(p.BodyText(), "Body line");
}

TEST(MParser, LfOnlyMessageIsAllHeaderAndIsNotUnfolded) {
    MParser p;
    p.Parse("From: a@b\nSubject: first\n\tsecond\nDate: 12 Jun 2001 10:20\n\nThe body\n", false);
    EXPECT_EQ(p.From(), "a@b");
    EXPECT_EQ(p.Subject(), "first");  // the continuation line is a line of its own, ignored
    EXPECT_EQ(p.Date(), "2001/6/12 10:20");
    EXPECT_EQ(p.BodyText(), "");
}

TEST(MParser, HeaderWithoutEmptyLineHasEmptyBody) {
    MParser p;
    p.Parse("From: a@b\r\nSubject: s\r\n", false);
    EXPECT_EQ(p.From(), "a@b");
    EXPECT_EQ(p.Subject(), "s");
    EXPECT_EQ(p.BodyText(), "");
}

TEST(MParser, FieldNamesAndValues) {
    struct Case {
        const char* name;
        std::vector<std::string> headers;
        std::string subject;
    } cases[] = {
        {"name in any case", {"SUBJECT: x"}, "x"},
        {"blanks before the colon", {"Subject \t: x"}, "x"},
        {"leading blanks of the value dropped, trailing kept", {"Subject: \t x  "}, "x  "},
        {"colon inside the value", {"Subject: a: b"}, "a: b"},
        {"second line wins", {"Subject: one", "Subject: two"}, "two"},
        {"later empty line overwrites", {"Subject: one", "Subject:"}, ""},
        {"folded with a tab joins without a blank", {"Subject: abc", "\tdef"}, "abcdef"},
        {"folded words join", {"Subject: =?us-ascii?Q?a?=", " =?us-ascii?Q?b?="}, "ab"},
        {"words on one line keep their space",
         {"Subject: =?us-ascii?Q?a?= =?us-ascii?Q?b?="},
         "a b"},
        {"utf-8 B word", {"Subject: =?utf-8?B?44GC44GE?="}, "\x82\xa0\x82\xa2"},  // あい
        {"iso-2022-jp kept as written",
         {"Subject: =?ISO-2022-JP?B?GyRCJCIbKEI=?="},
         "=?ISO-2022-JP?B?GyRCJCIbKEI=?="},
        {"Q word with leading escape", {"Subject: =?iso-8859-1?q?=41_b?="}, "A b"},
        {"close without open", {"Subject: What?=no"}, "What?=no"},
        {"prefix of the name does not match", {"Subjects: x"}, ""},
        {"line without a colon", {"Subject x"}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(Headers(c.headers).subject), Hex(c.subject)) << c.name;
}

TEST(MParser, OnlySubjectAndFromAreDecoded) {
    auto v = Headers({"From: =?us-ascii?Q?A_B?= <a@b>",
                      "Newsgroups: =?us-ascii?Q?x?=", "Subject: =?us-ascii?Q?s?="});
    EXPECT_EQ(v.from, "A B <a@b>");
    EXPECT_EQ(v.subject, "s");
    EXPECT_EQ(v.newsgroup, "=?us-ascii?Q?x?=");
}

TEST(MParser, FromLosesBackslashesOnlyWhenTheyQuote) {
    struct Case {
        const char* name;
        std::string from;
        std::string out;
    } cases[] = {
        {"quoted parentheses", "Name \\(x\\) <a@b>", "Name (x) <a@b>"},
        {"quoted angle bracket", "a\\<b", "a<b"},
        {"quoted bracket removes every backslash", "a\\[b\\c", "a[bc"},
        {"lone backslash kept", "Name \\x <a@b>", "Name \\x <a@b>"},
        {"backslash at the end kept", "Name\\", "Name\\"},
        // 0x5C as the trail byte of a double-byte character is no backslash: ソ(x)
        {"trail byte before a parenthesis", "\x83\x5c(x)", "\x83\x5c(x)"},
        // ...and stays when real backslashes go: ソ \(x\)
        {"trail byte kept while backslashes go", "\x83\x5c \\(x\\)", "\x83\x5c (x)"},
        {"表 after a quoted pair", "\\(\x95\x5c\\)", "(\x95\x5c)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(Headers({"From: " + c.from}).from), Hex(c.out)) << c.name;
}

TEST(MParser, NewsgroupIsTheFirstGroup) {
    EXPECT_EQ(Headers({"Newsgroups: comp.lang.c,comp.std.c"}).newsgroup, "comp.lang.c");
    EXPECT_EQ(Headers({"Newsgroup: fj.test"}).newsgroup, "fj.test");
    EXPECT_EQ(Headers({"Newsgroups: a, b"}).newsgroup, "a");
    EXPECT_EQ(Headers({"Newsgroups: a", "Newsgroups: b,c"}).newsgroup, "b");
}

TEST(MParser, MailingListFallbacks) {
    struct Case {
        const char* name;
        std::vector<std::string> headers;
        std::string newsgroup;
    } cases[] = {
        {"mailing-list address, trimmed",
         {"From: a@b", "Mailing-List: list  ml@example.com ; contact ml-help@example.com"},
         "ml@example.com"},
        {"mailing-list found in any case", {"Mailing-List: LIST ml@x;"}, "ml@x"},
        {"mailing-list without a semicolon after list", {"Mailing-List: list ml@x"}, ""},
        {"mailing-list without the word list", {"Mailing-List: ml@x"}, "ml@x"},
        {"list-post", {"From: a@b", "List-Post: <mailto:ml@x>"}, "<mailto:ml@x>"},
        {"reply-to in angle brackets", {"From: a@b", "Reply-To: ML <ml@x>"}, "ml@x"},
        {"reply-to bare", {"From: a@b", "Reply-To: ml@x"}, "ml@x"},
        {"reply-to without a closing bracket", {"From: a@b", "Reply-To: ML <ml@x"}, ""},
        {"reply-to that is the sender's own", {"From: Me <me@x>", "Reply-To: me@x"}, ""},
        {"newsgroups first", {"Newsgroups: g", "Mailing-List: list m@x;", "Reply-To: r@x"}, "g"},
        {"list address before list-post",
         {"List-Post: <mailto:p@x>", "Mailing-List: list m@x;", "Reply-To: r@x"},
         "m@x"},
        {"list-post before reply-to", {"Reply-To: r@x", "List-Post: p"}, "p"},
        {"empty list address falls through", {"Mailing-List: list m@x", "Reply-To: r@x"}, "r@x"},
        {"no fallback at all", {"From: a@b"}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Headers(c.headers).newsgroup, c.newsgroup) << c.name;
}

TEST(MParser, DateTextOrEmpty) {
    EXPECT_EQ(Headers({"Date: Tue, 12 Jun 2001 10:20:30 +0900"}).date, "2001/6/12 10:20:30");
    EXPECT_EQ(Headers({"Date: 12 Jun 2001 10:20 PM"}).date, "2001/6/12 10:20 PM");
    EXPECT_EQ(Headers({"Date: 12 June 2001 10:20"}).date, "");
    EXPECT_EQ(Headers({"Date: yesterday"}).date, "");
}

TEST(MParser, EveryParseStartsAfresh) {
    MParser p;
    p.Parse(Message({"From: a", "Newsgroups: g", "Subject: s", "Date: 1 Jan 2000 00:00:00"}, "x"),
            false);
    p.Parse(Message({"From: b"}, "y"), false);
    EXPECT_EQ(p.From(), "b");
    EXPECT_EQ(p.Newsgroup(), "");
    EXPECT_EQ(p.Subject(), "");
    EXPECT_EQ(p.Date(), "");
    EXPECT_EQ(p.BodyText(), "y");
}

TEST(MParser, RawBodyIsTakenAsItStands) {
    const std::string body =
        "\r\n\r\n--b\r\nContent-Type: text/html\r\n\r\n<b>QUJD</b>=41\r\n--b--\r\n\r\n";
    MParser p;
    p.Parse(Message({"From: a",
                     "Subject: =?us-ascii?Q?s?=", "Content-Type: multipart/mixed; boundary=b",
                     "Content-Transfer-Encoding: quoted-printable"},
                    body),
            true);
    EXPECT_EQ(p.Subject(), "s");
    EXPECT_EQ(p.BodyText(), "--b\r\nContent-Type: text/html\r\n\r\n<b>QUJD</b>=41\r\n--b--");
    ASSERT_NE(p.FirstLeaf(), nullptr);
    EXPECT_EQ(p.FirstLeaf(), p.Root());
}

TEST(MParser, BodyTextJoinsLeavesWithEmptyLines) {
    struct Case {
        const char* name;
        std::vector<std::string> texts;  // one text/plain part each
        std::string body;
    } cases[] = {
        {"a, empty, b", {"a", "", "b"}, "a\r\n\r\n\r\n\r\nb"},
        {"empty first leaf adds no separator", {"", "a"}, "a"},
        {"two empty first leaves", {"", "", "a"}, "a"},
        {"empty last leaf still adds one", {"a", ""}, "a\r\n\r\n"},
        {"single", {"only"}, "only"},
    };
    for (const Case& c : cases) {
        std::string body;
        for (const std::string& t : c.texts)
            body += "--b\r\nContent-Type: text/plain\r\n\r\n" + t + "\r\n";
        body += "--b--\r\n";
        MParser p;
        p.Parse(Message({"Content-Type: multipart/mixed; boundary=b"}, body), false);
        EXPECT_EQ(p.BodyText(), c.body) << c.name;
        EXPECT_EQ(LeafTexts(p), c.texts) << c.name;
    }
}

TEST(MParser, LeafWalkFollowsDocumentOrder) {
    const std::string body =
        "--outer\r\n"
        "Content-Type: multipart/mixed; boundary=inner\r\n\r\n"
        "--inner\r\nContent-Type: text/plain\r\n\r\none\r\n"
        "--inner\r\nContent-Type: multipart/mixed; boundary=deep\r\n\r\n"
        "--deep\r\n\r\n--deep--\r\n"  // a multipart without parts inside
        "--inner\r\nContent-Type: text/plain\r\n\r\ntwo\r\n"
        "--inner--\r\n"
        "--outer\r\nContent-Type: image/png\r\n\r\nPNG\r\n"
        "--outer\r\nContent-Type: multipart/mixed; boundary=none\r\n\r\n--none--\r\n"
        "--outer--\r\n";
    MParser p;
    p.Parse(Message({"Content-Type: multipart/mixed; boundary=outer"}, body), false);
    // "--deep" followed by an empty line: a part of its own, without header lines, empty.
    EXPECT_EQ(LeafTexts(p), (std::vector<std::string>{"one", "", "two", "[image/png]", ""}));
    EXPECT_EQ(p.NextLeaf(), nullptr);
    EXPECT_EQ(p.NextLeaf(), nullptr);
    TMailBodyPart* first = p.FirstLeaf();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Text(), "one");
    EXPECT_EQ(first->Parent()->Parent(), p.Root());
    EXPECT_EQ(p.BodyText(), "one\r\n\r\n\r\n\r\ntwo\r\n\r\n[image/png]\r\n\r\n");
}

TEST(MParser, RootPartReadsTheMessageHeaders) {
    MParser p;
    p.Parse(
        Message({"Content-Type: text/plain; charset=UTF-8", "Content-Transfer-Encoding: base64"},
                "44GC\r\n"),
        false);
    EXPECT_EQ(Hex(p.BodyText()), Hex("\x82\xa0"));  // あ
    EXPECT_EQ(p.Root()->Charset(), "utf-8");
    EXPECT_EQ(p.Root()->Encoding(), "base64");
}

TEST(MParser, QuotedPrintableErrorInSubjectLeavesEarlierValues) {
    MParser p;
    try {
        p.Parse(Message({"From: a@b", "Subject: =?utf-8?Q?bad=G1?=", "Newsgroups: g"}, "x"), false);
        FAIL() << "no error";
    } catch (const EError& e) {
        EXPECT_STREQ(e.what(), "Quoted Printable Decode Error");
    }
    EXPECT_EQ(p.From(), "a@b");
    EXPECT_EQ(p.Newsgroup(), "");
}

TEST(MParser, QuotedPrintableErrorInABodyPartLeavesEarlierParts) {
    const std::string body =
        "--b\r\nContent-Type: text/plain\r\n\r\nfirst\r\n"
        "--b\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\nbad =\nescape\r\n"
        "--b\r\nContent-Type: text/plain\r\n\r\nthird\r\n--b--\r\n";
    MParser p;
    try {
        p.Parse(
            Message({"From: a@b", "Subject: s", "Content-Type: multipart/mixed; boundary=b"}, body),
            false);
        FAIL() << "no error";
    } catch (const EError& e) {
        EXPECT_STREQ(e.what(), "Quoted Printable Decode Error");
    }
    EXPECT_EQ(p.From(), "a@b");
    EXPECT_EQ(p.Subject(), "s");
    ASSERT_NE(p.FirstLeaf(), nullptr);
    EXPECT_EQ(p.FirstLeaf()->Text(), "first");
    // The next parse recovers fully.
    p.Parse(Message({"From: c"}, "ok"), false);
    EXPECT_EQ(p.BodyText(), "ok");
}

TEST(MParser, ProcessWideInstanceIsOne) {
    MParser& a = TSingleton<MParser>::ObjOwner();
    MParser& b = TSingleton<MParser>::ObjOwner();
    EXPECT_EQ(&a, &b);
    a.Parse(Message({"From: x"}, "y"), false);
    EXPECT_EQ(b.BodyText(), "y");
}

TEST(MParser, LongFromAndReplyToCompareInLinearTime) {
    // A naive search for the reply address inside From takes |From| x |Reply-To| steps.
    const std::string from(4u << 20, 'a');
    const std::string reply = std::string(2u << 20, 'a') + "b";
    MParser p;
    p.Parse("From: " + from + "\r\nReply-To: " + reply + "\r\n\r\nx", false);
    EXPECT_EQ(p.Newsgroup(), reply);
    p.Parse("From: " + from + "b\r\nReply-To: " + reply + "\r\n\r\nx", false);
    EXPECT_EQ(p.Newsgroup(), "");
}
