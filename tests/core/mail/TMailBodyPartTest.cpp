#include "mail/TMailBodyPart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "base/Abort.h"
#include "base/EError.h"
#include "mail/MParser.h"
#include "mail/MailText_p.h"

using MailParser::MParser;
using MailParser::TMailBodyPart;
using testsupport::Hex;

namespace {

// The body text of a message made of the given header lines and body.
std::string BodyOf(const std::string& headers, const std::string& body) {
    MParser p;
    p.Parse(headers + "\r\n\r\n" + body, false);
    return p.BodyText();
}

// A multipart/mixed body (boundary "b") of the given parts, each "headers\r\n\r\nbody".
std::string Mixed(const std::vector<std::string>& parts) {
    std::string body = "This is a multi-part message in MIME format.\r\n";
    for (const std::string& part : parts)
        body += "--b\r\n" + part + "\r\n";
    return body + "--b--\r\nepilogue\r\n";
}

std::string MixedMessage(const std::vector<std::string>& parts) {
    return BodyOf("Content-Type: multipart/mixed; boundary=\"b\"", Mixed(parts));
}

int ChildCount(const TMailBodyPart& part) {
    int n = 0;
    for (TMailBodyPart* c = part.FirstChild(); c; c = c->NextSibling())
        ++n;
    return n;
}

}  // namespace

TEST(TMailBodyPart, NewPartIsPlainUsAscii7bit) {
    TMailBodyPart part(nullptr);
    EXPECT_EQ(part.Type(), "text");
    EXPECT_EQ(part.Subtype(), "plain");
    EXPECT_EQ(part.Encoding(), "7bit");
    EXPECT_EQ(part.Charset(), "us-ascii");
    EXPECT_EQ(part.Disposition(), "");
    EXPECT_EQ(part.Boundary(), "");
    EXPECT_EQ(part.Filename(), "");
    EXPECT_EQ(part.Text(), "");
    EXPECT_EQ(part.Parent(), nullptr);
    EXPECT_EQ(part.FirstChild(), nullptr);
}

TEST(TMailBodyPart, ReadsTheMimeHeaders) {
    TMailBodyPart part(nullptr);
    part.Process(
        "Content-Type:  Multipart/Mixed ;\tBoundary=\"AbC\"; charset=\"ISO-2022-JP\"; "
        "name=\"x\"\r\n"
        "content-transfer-encoding: 8BIT \r\n"
        "Content-Disposition: INLINE; FileName=\"Report.txt\"\r\n"
        "Content-Description: ignored",
        "");
    EXPECT_EQ(part.Type(), "multipart");
    EXPECT_EQ(part.Subtype(), "mixed");
    EXPECT_EQ(part.Boundary(), "--AbC");  // the boundary keeps its case
    EXPECT_EQ(part.Charset(), "iso-2022-jp");
    EXPECT_EQ(part.Encoding(), "8bit");
    EXPECT_EQ(part.Disposition(), "inline");
    EXPECT_EQ(part.Filename(), "Report.txt");
}

TEST(TMailBodyPart, ContentTypeForms) {
    struct Case {
        const char* name;
        std::string value;
        std::string type, subtype, charset, boundary;
    } cases[] = {
        {"no subtype", "text", "text", "", "us-ascii", ""},
        {"empty value", "", "", "", "us-ascii", ""},
        {"unquoted boundary", "multipart/mixed; boundary=abc", "multipart", "mixed", "us-ascii",
         "--abc"},
        {"boundary in any case, quoted", "multipart/mixed; Boundary=\"abc\"", "multipart", "mixed",
         "us-ascii", "--abc"},
        {"charset unquoted", "text/plain; charset=UTF-8", "text", "plain", "utf-8", ""},
        {"name= is skipped", "application/pdf; name=charset.pdf", "application", "pdf", "us-ascii",
         ""},
        {"empty parameters", "text/plain;; ;charset=x", "text", "plain", "x", ""},
        {"blank before the semicolon", "text/plain ; charset=utf-8", "text", "plain", "utf-8", ""},
        {"blanks around the slash", "text / html", "text", "html", "us-ascii", ""},
        {"a later line overwrites", "text/html", "text", "html", "us-ascii", ""},
    };
    for (const Case& c : cases) {
        TMailBodyPart part(nullptr);
        std::string header = "Content-Type: " + c.value;
        if (std::string(c.name) == "a later line overwrites")
            header = "Content-Type: image/gif\r\n" + header;
        part.Process(header, "");
        EXPECT_EQ(part.Type(), c.type) << c.name;
        EXPECT_EQ(part.Subtype(), c.subtype) << c.name;
        EXPECT_EQ(part.Charset(), c.charset) << c.name;
        EXPECT_EQ(part.Boundary(), c.boundary) << c.name;
    }
}

TEST(TMailBodyPart, FieldNamesMatchExactlyApartFromCase) {
    TMailBodyPart part(nullptr);
    part.Process("Content-Type : image/gif\r\nX-Content-Type: image/gif", "body");
    EXPECT_EQ(part.Type(), "text");
    EXPECT_EQ(part.Text(), "body");
}

TEST(TMailBodyPart, DispositionFilename) {
    struct Case {
        const char* name;
        std::string value;
        std::string disposition, filename;
    } cases[] = {
        {"quoted", "attachment; filename=\"a b.pdf\"", "attachment", "a b.pdf"},
        {"unquoted", "attachment; filename=a.pdf", "attachment", "a.pdf"},
        {"unquoted, more parameters follow", "attachment; filename=a.pdf; size=10", "attachment",
         "a.pdf"},
        {"quoted, more parameters follow", "attachment; filename=\"a;b.pdf\"; size=10",
         "attachment", "a;b.pdf"},
        {"unclosed quote runs to the end", "attachment; filename=\"a.pdf", "attachment", "a.pdf"},
        {"name in any case", "Attachment; FILENAME=x.doc", "attachment", "x.doc"},
        {"no filename", "inline", "inline", ""},
        {"blank before the semicolon", "inline ; filename=x", "inline", "x"},
        {"RFC 2231 form is not read", "attachment; filename*=utf-8''a.pdf", "attachment", ""},
    };
    for (const Case& c : cases) {
        TMailBodyPart part(nullptr);
        part.Process("Content-Type: image/gif\r\nContent-Disposition: " + c.value, "");
        EXPECT_EQ(part.Disposition(), c.disposition) << c.name;
        EXPECT_EQ(part.Filename(), c.filename) << c.name;
    }
}

TEST(TMailBodyPart, MessageWithoutContentTypeKeepsItsBody) {
    EXPECT_EQ(BodyOf("From: a", "\r\n\r\n  Line one\r\n\r\nLine two  \r\n\r\n"),
              "  Line one\r\n\r\nLine two  ");
}

TEST(TMailBodyPart, PlainTextDecodings) {
    struct Case {
        const char* name;
        std::string headers;
        std::string body;
        std::string text;
    } cases[] = {
        {"7bit kept", "Content-Type: text/plain", "a=41\r\n", "a=41"},
        {"quoted-printable", "Content-Transfer-Encoding: quoted-printable",
         "soft=\r\nbreak =3D done\r\n", "softbreak = done"},
        {"utf-8 quoted-printable becomes cp932",
         "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable",
         "=E3=81=82=E3=81=84\r\n", "\x82\xa0\x82\xa2"},  // あい
        {"iso-2022-jp quoted-printable is decoded and kept",
         "Content-Type: text/plain; charset=iso-2022-jp\r\n"
         "Content-Transfer-Encoding: quoted-printable",
         "=1B$B$\"=1B(B\r\n", "\x1b$B$\"\x1b(B"},  // あ in ISO-2022-JP
        {"utf-8 8bit",
         "Content-Type: text/plain; charset=\"UTF-8\"\r\nContent-Transfer-Encoding: 8bit",
         "\xe6\x97\xa5\xe6\x9c\xac\r\n", "\x93\xfa\x96\x7b"},  // 日本
        {"iso-2022-jp 7bit kept byte for byte", "Content-Type: text/plain; charset=ISO-2022-JP",
         "\x1b$BF|K\\\x1b(B\r\n", "\x1b$BF|K\\\x1b(B"},  // 日本
        {"shift_jis kept", "Content-Type: text/plain; charset=shift_jis", "\x93\xfa\x96\x7b",
         "\x93\xfa\x96\x7b"},
        {"other encodings are not decoded", "Content-Transfer-Encoding: x-uuencode", "QUJD",
         "QUJD"},
        {"encoding compared exactly", "Content-Transfer-Encoding: base64;", "QUJD", "QUJD"},
        {"NUL bytes kept", "Content-Type: text/plain", std::string("a\0b", 3),
         std::string("a\0b", 3)},
        {"lone CR and LF kept inside", "Content-Type: text/plain", "\na\rb\nc\r", "a\rb\nc"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(BodyOf(c.headers, c.body)), Hex(c.text)) << c.name;
}

TEST(TMailBodyPart, Base64IsDecodedLineByLine) {
    // 57 bytes per 76-character line, as RFC 2045, 6.8 writes them.
    std::string plain;
    for (int i = 0; i < 200; ++i)
        plain += static_cast<char>('A' + i % 26);
    static const char* alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    for (std::size_t i = 0; i < plain.size(); i += 3) {
        unsigned v = static_cast<unsigned char>(plain[i]) << 16;
        std::size_t n = std::min<std::size_t>(3, plain.size() - i);
        if (n > 1)
            v |= static_cast<unsigned char>(plain[i + 1]) << 8;
        if (n > 2)
            v |= static_cast<unsigned char>(plain[i + 2]);
        encoded += alphabet[v >> 18 & 63];
        encoded += alphabet[v >> 12 & 63];
        encoded += n > 1 ? alphabet[v >> 6 & 63] : '=';
        encoded += n > 2 ? alphabet[v & 63] : '=';
    }
    std::string lines;
    for (std::size_t i = 0; i < encoded.size(); i += 76)
        lines += encoded.substr(i, 76) + "\r\n";
    ASSERT_GT(encoded.size(), 76u * 2);
    EXPECT_EQ(BodyOf("Content-Transfer-Encoding: base64", lines), plain);
}

TEST(TMailBodyPart, Base64LinesEdgeCases) {
    struct Case {
        const char* name;
        std::string body;
        std::string text;
    } cases[] = {
        {"padded line then more", "QQ==\r\nQUJD\r\n", "AABC"},
        {"empty lines and leading blanks skipped", "QUJD\r\n\r\n   QUJD\r\n", "ABCABC"},
        {"invalid line kept as written", "QUJD\r\nnot base64!\r\nQUJD", "ABCnot base64!ABC"},
        {"trailing blank makes the line invalid", "QUJD \r\n", "QUJD "},
        {"LF-only lines are one invalid line", "QUJD\nQUJD\n", "QUJD\nQUJD"},
        {"no final line break", "QUJD", "ABC"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BodyOf("Content-Type: text/plain\r\nContent-Transfer-Encoding: BASE64", c.body),
                  c.text)
            << c.name;
    // utf-8 is converted after the decoding.
    EXPECT_EQ(Hex(BodyOf("Content-Type: text/plain; charset=utf-8\r\n"
                         "Content-Transfer-Encoding: base64",
                         "44GC\r\n44GE\r\n")),
              Hex("\x82\xa0\x82\xa2"));  // あい
}

TEST(TMailBodyPart, OtherTextSubtypesAreNotDecoded) {
    EXPECT_EQ(BodyOf("Content-Type: text/enriched\r\nContent-Transfer-Encoding: quoted-printable",
                     "<bold>a=3D</bold>\r\n"),
              "<bold>a=3D</bold>");
    EXPECT_EQ(BodyOf("Content-Type: text/x-vcard; charset=utf-8", "\xe3\x81\x82"), "\xe3\x81\x82");
    EXPECT_EQ(BodyOf("Content-Type: text", "body"), "body");
}

TEST(TMailBodyPart, MarkersForOtherTypes) {
    struct Case {
        const char* name;
        std::string headers;
        std::string marker;
    } cases[] = {
        {"image without file name", "Content-Type: image/gif", "[image/gif]"},
        {"pdf with file name",
         "Content-Type: application/pdf; name=\"a.pdf\"\r\n"
         "Content-Disposition: attachment; filename=\"a.pdf\"",
         "[application/pdf] >> a.pdf"},
        {"unquoted file name",
         "Content-Type: application/pdf\r\n"
         "Content-Disposition: attachment; filename=a.pdf",
         "[application/pdf] >> a.pdf"},
        {"inline image", "Content-Type: IMAGE/JPEG\r\nContent-Disposition: inline; filename=p.jpg",
         "[image/jpeg] >> p.jpg"},
        {"message other than rfc822", "Content-Type: message/partial; id=x", "[message/partial]"},
        {"type without subtype", "Content-Type: audio", "[audio/]"},
        {"name= alone is no file name", "Content-Type: application/zip; name=z.zip",
         "[application/zip]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BodyOf(c.headers, "binary data\r\n"), c.marker) << c.name;
        EXPECT_EQ(MixedMessage({c.headers + "\r\n\r\nbinary data"}), c.marker) << c.name;
    }
}

TEST(TMailBodyPart, MixedWithTextAndPdf) {
    EXPECT_EQ(MixedMessage({"Content-Type: text/plain\r\n\r\nSee the attached file.\r\n",
                            "Content-Type: application/pdf; name=\"a.pdf\"\r\n"
                            "Content-Transfer-Encoding: base64\r\n"
                            "Content-Disposition: attachment; filename=\"a.pdf\"\r\n\r\n"
                            "JVBERi0xLjQK"}),
              "See the attached file.\r\n\r\n[application/pdf] >> a.pdf");
}

TEST(TMailBodyPart, InlineTextPartsAreFramedByTheirName) {
    EXPECT_EQ(MixedMessage({"Content-Type: text/plain\r\n\r\nIntro",
                            "Content-Type: text/plain\r\n"
                            "Content-Disposition: inline; filename=\"x.txt\"\r\n\r\n"
                            " \t\r\n  file text \r\n\r\n"}),
              "Intro\r\n\r\n>> x.txt\r\n\r\nfile text\r\n\r\n<< x.txt");
    // Without a file name, or not inline, the text stands alone.
    EXPECT_EQ(BodyOf("Content-Disposition: inline", "  t  "), "  t  ");
    EXPECT_EQ(BodyOf("Content-Disposition: attachment; filename=x.txt", "  t  "), "  t  ");
    // Any text subtype is framed; an empty text too.
    EXPECT_EQ(BodyOf("Content-Type: text/x-log\r\nContent-Disposition: inline; filename=l", "\r\n"),
              ">> l\r\n\r\n\r\n\r\n<< l");
}

TEST(TMailBodyPart, AlternativeChoosesHtmlOrElseTheFirst) {
    struct Case {
        const char* name;
        std::vector<std::string> parts;
        std::string subtype;
        std::string textStart;
    } cases[] = {
        {"plain then html",
         {"Content-Type: text/plain\r\n\r\nplain", "Content-Type: text/html\r\n\r\nhtml"},
         "html",
         "html"},
        {"html first",
         {"Content-Type: TEXT/HTML\r\n\r\nhtml", "Content-Type: text/plain\r\n\r\nplain"},
         "html",
         "html"},
        {"two plain parts",
         {"Content-Type: text/plain\r\n\r\none", "Content-Type: text/plain\r\n\r\ntwo"},
         "plain",
         "one"},
        {"first of two html parts",
         {"Content-Type: text/plain\r\n\r\np", "Content-Type: text/html\r\n\r\nh1",
          "Content-Type: text/html\r\n\r\nh2"},
         "html",
         "h1"},
        {"text/html mentioned anywhere in the headers",
         {"Content-Type: text/plain\r\n\r\np", "X-Note: not text/html\r\n\r\nq"},
         "plain",
         "q"},
    };
    for (const Case& c : cases) {
        MParser p;
        std::string body;
        for (const std::string& part : c.parts)
            body += "--alt\r\n" + part + "\r\n";
        body += "--alt--\r\n";
        p.Parse("Content-Type: multipart/alternative; boundary=alt\r\n\r\n" + body, false);
        ASSERT_EQ(ChildCount(*p.Root()), 1) << c.name;
        const TMailBodyPart* chosen = p.Root()->FirstChild();
        EXPECT_EQ(chosen->Subtype(), c.subtype) << c.name;
        EXPECT_EQ(chosen->Text().substr(0, c.textStart.size()), c.textStart) << c.name;
        EXPECT_EQ(p.BodyText(), chosen->Text()) << c.name;
    }
}

TEST(TMailBodyPart, AlternativeKeepsAnUnterminatedFirstPart) {
    MParser p;
    p.Parse(
        "Content-Type: multipart/alternative; boundary=alt\r\n\r\n"
        "--alt\r\nContent-Type: text/plain\r\n\r\nonly part\r\n",
        false);
    EXPECT_EQ(p.BodyText(), "only part");
}

TEST(TMailBodyPart, AlternativeWithoutItsBoundaryKeepsItsText) {
    MParser p;
    p.Parse("Content-Type: multipart/alternative\r\n\r\ntext\r\n", false);
    EXPECT_EQ(ChildCount(*p.Root()), 0);
    EXPECT_EQ(p.BodyText(), "text");
    p.Parse("Content-Type: multipart/alternative; boundary=x\r\n\r\ntext\r\n", false);
    EXPECT_EQ(ChildCount(*p.Root()), 0);
    EXPECT_EQ(p.BodyText(), "text");
}

TEST(TMailBodyPart, MultipartStructureEdgeCases) {
    struct Case {
        const char* name;
        std::string contentType;
        std::string body;
        std::string text;
    } cases[] = {
        {"preamble and epilogue dropped", "multipart/mixed; boundary=b",
         "preamble\r\n--b\r\nContent-Type: text/plain\r\n\r\none\r\n--b--\r\nepilogue\r\n", "one"},
        {"boundary declared but never used: the text is kept", "multipart/mixed; boundary=zz",
         "\r\njust text\r\n", "just text"},
        {"no boundary parameter: the text is kept", "multipart/mixed",
         "--b\r\n\r\ntext\r\n--b--\r\n", "--b\r\n\r\ntext\r\n--b--"},
        {"boundary on a line of its own (not unfolded): the text is kept",
         "multipart/alternative;\r\nboundary=\"b\"",
         "--b\r\nContent-Type: text/plain\r\n\r\none\r\n--b--",
         "--b\r\nContent-Type: text/plain\r\n\r\none\r\n--b--"},
        {"only a closing delimiter: no parts, empty", "multipart/mixed; boundary=b",
         "preamble\r\n--b--\r\n", ""},
        {"boundary mentioned in the epilogue", "multipart/mixed; boundary=b",
         "--b\r\nContent-Type: text/plain\r\n\r\none\r\n--b--\r\n\r\nsee --b above\r\n", "one"},
        {"repeated boundary gives an empty part", "multipart/mixed; boundary=b",
         "--b\r\nContent-Type: text/plain\r\n\r\na\r\n--b\r\n--b\r\nContent-Type: "
         "text/plain\r\n\r\n"
         "b\r\n--b--",
         "a\r\n\r\n\r\n\r\nb"},
        {"last part without a closing delimiter is kept", "multipart/mixed; boundary=b",
         "--b\r\nContent-Type: text/plain\r\n\r\none\r\n--b\r\nContent-Type: text/plain\r\n\r\n"
         "cut off",
         "one\r\n\r\ncut off"},
        {"transport padding after the boundary", "multipart/mixed; boundary=b",
         "--b  \r\nContent-Type: text/plain\r\n\r\none\r\n--b--  \r\n", "one"},
        {"related is split like mixed", "multipart/related; boundary=b",
         "--b\r\nContent-Type: text/plain\r\n\r\none\r\n--b\r\nContent-Type: "
         "image/png\r\n\r\nx\r\n--b--",
         "one\r\n\r\n[image/png]"},
        {"signed", "multipart/signed; boundary=b; protocol=\"application/pgp-signature\"",
         "--b\r\nContent-Type: text/plain\r\n\r\nsigned text\r\n--b\r\n"
         "Content-Type: application/pgp-signature\r\n\r\nsig\r\n--b--",
         "signed text\r\n\r\n[application/pgp-signature]"},
        {"header block that is only --", "multipart/mixed; boundary=b",
         "--b\r\nContent-Type: text/plain\r\n\r\none\r\n--b--\r\n\r\n--b\r\n\r\nafter\r\n", "one"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BodyOf("Content-Type: " + c.contentType, c.body), c.text) << c.name;
}

TEST(TMailBodyPart, PartWithoutHeaderLinesKeepsItsBody) {
    // RFC 2046, 5.1.1: a part that starts with an empty line has no header fields and the
    // default type; its whole text, empty lines inside included, is its body.
    EXPECT_EQ(MixedMessage({"\r\nFirst paragraph\r\n\r\nSecond paragraph"}),
              "First paragraph\r\n\r\nSecond paragraph");
    EXPECT_EQ(MixedMessage({"\r\nSubject: looks like a header\r\n\r\nbody"}),
              "Subject: looks like a header\r\n\r\nbody");
    // A stray empty line before real MIME headers does not hide them.
    EXPECT_EQ(MixedMessage({"\r\nContent-Type: image/gif\r\n\r\nGIF89a"}), "[image/gif]");
}

TEST(TMailBodyPart, NestedBoundariesThatArePrefixesOfEachOther) {
    // The outer boundary "--a" also matches inside every "--ab" line: the parts come out
    // cut wrongly, but nothing crashes and every part is accounted for.
    const std::string body =
        "--a\r\nContent-Type: multipart/mixed; boundary=ab\r\n\r\n"
        "--ab\r\nContent-Type: text/plain\r\n\r\ninner\r\n--ab--\r\n"
        "--a\r\nContent-Type: text/plain\r\n\r\nouter\r\n--a--\r\n";
    MParser p;
    ASSERT_NO_THROW(p.Parse("Content-Type: multipart/mixed; boundary=a\r\n\r\n" + body, false));
    EXPECT_NE(p.BodyText().find("outer"), std::string::npos);
}

TEST(TMailBodyPart, AttachedMessageIsSummarised) {
    const std::string attached =
        "From: Hanako <hanako@example.jp>\r\n"
        "Subject: =?utf-8?B?44GC?=\r\n"
        "Date: Tue, 12 Jun 2001 10:20:30 +0900\r\n"
        "Content-Type: multipart/mixed; boundary=in\r\n\r\n"
        "--in\r\nContent-Type: text/plain\r\n\r\nInner text\r\n"
        "--in\r\nContent-Type: image/gif\r\n\r\nGIF\r\n--in--\r\n";
    EXPECT_EQ(MixedMessage({"Content-Type: text/plain\r\n\r\nOuter",
                            "Content-Type: message/rfc822\r\n\r\n" + attached}),
              "Outer\r\n\r\n"
              "_____\r\n\r\n"
              "Subject: \x82\xa0\r\n"  // あ
              "From: Hanako <hanako@example.jp>\r\n"
              "Date: 2001/6/12 10:20:30\r\n\r\n"
              "Inner text\r\n\r\n[image/gif]\r\n"
              "_____");
}

TEST(TMailBodyPart, AttachedMessagePartTextIsItsSummary) {
    MParser p;
    p.Parse(
        "Content-Type: multipart/mixed; boundary=b\r\n\r\n"
        "--b\r\nContent-Type: message/rfc822\r\n\r\nSubject: s\r\n\r\nbody\r\n--b--\r\n",
        false);
    const TMailBodyPart* leaf = p.FirstLeaf();
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->Type(), "message");
    EXPECT_EQ(leaf->FirstChild(), nullptr);  // the attached message's parts are not walked
    EXPECT_EQ(leaf->Text(), "_____\r\n\r\nSubject: s\r\nFrom: \r\nDate: \r\n\r\nbody\r\n_____");
    EXPECT_EQ(p.BodyText(), leaf->Text());
    EXPECT_EQ(p.NextLeaf(), nullptr);
}

TEST(TMailBodyPart, AttachedNewsArticleNamesItsGroup) {
    EXPECT_EQ(
        BodyOf("Content-Type: Message/RFC822",
               "Newsgroups: fj.test,fj.misc\r\nFrom: x\r\nSubject: s\r\n\r\nbody\r\n"),
        "_____\r\n\r\nSubject: s\r\nFrom: x\r\nNewsgroups: fj.test\r\nDate: \r\n\r\nbody\r\n_____");
    // An empty attached message still gives the frame.
    EXPECT_EQ(BodyOf("Content-Type: message/rfc822", ""),
              "_____\r\n\r\nSubject: \r\nFrom: \r\nDate: \r\n\r\n\r\n_____");
}

TEST(TMailBodyPart, AttachedMessagesNestWithoutDisturbingTheOuterParser) {
    MParser p;
    p.Parse(
        "From: outer\r\nSubject: o\r\nContent-Type: message/rfc822\r\n\r\n"
        "From: middle\r\nSubject: m\r\nContent-Type: message/rfc822\r\n\r\n"
        "From: inner\r\nSubject: i\r\n\r\ndeep",
        false);
    EXPECT_EQ(p.From(), "outer");
    EXPECT_EQ(p.Subject(), "o");
    EXPECT_EQ(p.BodyText(),
              "_____\r\n\r\nSubject: m\r\nFrom: middle\r\nDate: \r\n\r\n"
              "_____\r\n\r\nSubject: i\r\nFrom: inner\r\nDate: \r\n\r\ndeep\r\n_____"
              "\r\n_____");
}

TEST(TMailBodyPart, QuotedPrintableErrorInAnAttachedSubjectPasses) {
    MParser p;
    EXPECT_THROW(
        p.Parse("Content-Type: message/rfc822\r\n\r\nSubject: =?utf-8?q?=ZZ?=\r\n\r\nx", false),
        EError);
}

TEST(TMailBodyPart, FindHtmlBody) {
    struct Case {
        const char* name;
        std::string html;
        std::string range;
    } cases[] = {
        {"no body tag: all of it", "<p>hi</p>", "<p>hi</p>"},
        {"body tag kept, end tag dropped", "<html><BODY bgcolor=white>hi</Body></html>",
         "<BODY bgcolor=white>hi"},
        {"empty body", "<body></body>", "<body>"},
        {"end tag must start six bytes after the start", "<body</body>", "<body</body>"},
        {"end tag before the body tag ignored", "</body><body>x</body>", "<body>x"},
        {"end tag at the very start without a body tag", "</body>xx", "</body>xx"},
        {"no end tag", "head <body>text", "<body>text"},
        {"short text", "<bod", "<bod"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        std::string_view range = TMailBodyPart::FindHtmlBody(c.html);
        EXPECT_EQ(range, c.range) << c.name;
        if (!c.html.empty()) {
            EXPECT_GE(range.data(), c.html.data()) << c.name;
            EXPECT_LE(range.data() + range.size(), c.html.data() + c.html.size()) << c.name;
        }
    }
}

TEST(TMailBodyPart, TenThousandNestedMultipartsDoNotExhaustTheStack) {
    constexpr int kDepth = 10000;
    // Boundaries of equal length, so that none is a prefix of another.
    auto boundary = [](int level) {
        std::string digits = std::to_string(level);
        return "b" + std::string(6 - digits.size(), '0') + digits;
    };
    std::string body;
    for (int i = 0; i < kDepth; ++i)
        body += "--" + boundary(i) +
                "\r\nContent-Type: multipart/mixed; boundary=" + boundary(i + 1) + "\r\n\r\n";
    body += "--" + boundary(kDepth) + "\r\nContent-Type: text/plain\r\n\r\ndeepest\r\n";
    for (int i = kDepth; i >= 0; --i)
        body += "--" + boundary(i) + "--\r\n";
    {
        MParser p;
        p.Parse("Content-Type: multipart/mixed; boundary=" + boundary(0) + "\r\n\r\n" + body,
                false);
        EXPECT_EQ(p.BodyText(), "deepest");
        int depth = 0;
        for (const TMailBodyPart* part = p.FirstLeaf(); part->Parent(); part = part->Parent())
            ++depth;
        EXPECT_EQ(depth, kDepth + 1);
    }  // destroying the tree must not recurse either
}

TEST(TMailBodyPart, DeeplyNestedAttachedMessagesDoNotExhaustTheStack) {
    constexpr int kDepth = 10000;
    std::string message;
    for (int i = 0; i < kDepth; ++i)
        message += "Content-Type: message/rfc822\r\n\r\n";
    message += "Subject: last\r\n\r\ncore";
    MParser p;
    p.Parse(message, false);
    const std::string text = p.BodyText();
    EXPECT_EQ(text.substr(0, 9), "_____\r\n\r\n");
    EXPECT_NE(text.find("Subject: last"), std::string::npos);
    EXPECT_NE(text.find("core"), std::string::npos);
}

TEST(TMailBodyPart, DeepAttachedMessagesAroundALargeBodyStayLinear) {
    // Every level's summary holds the whole text below it; writing each level from the one
    // below would copy the large body once per level.
    constexpr int kDepth = 10000;
    std::string message;
    for (int i = 0; i < kDepth; ++i)
        message += "Content-Type: message/rfc822\r\n\r\n";
    message += "Subject: last\r\n\r\n" + std::string(8u << 20, 'x');
    MParser p;
    p.Parse(message, false);
    const std::string text = p.BodyText();
    EXPECT_EQ(text.size(),
              kDepth * (std::string("_____\r\n\r\nSubject: \r\nFrom: \r\nDate: \r\n\r\n").size() +
                        std::string("\r\n_____").size()) +
                  std::string("last").size() + (8u << 20));
}

TEST(TMailBodyPart, NestingBeyondTheScanBudgetKeepsTheRawText) {
    // Each level of nesting scans the text below it again; past the budget a multipart
    // part is no longer split but keeps its raw body, so nothing is lost.
    struct BudgetGuard {
        std::uint64_t saved = MailParser::internal::minimumScanBudget;
        BudgetGuard() { MailParser::internal::minimumScanBudget = 1u << 20; }
        ~BudgetGuard() { MailParser::internal::minimumScanBudget = saved; }
    } guard;
    constexpr int kDepth = 200;
    std::string body;
    for (int i = 0; i < kDepth; ++i)
        body += "--b" + std::to_string(1000 + i) + "\r\nContent-Type: multipart/mixed; boundary=b" +
                std::to_string(1001 + i) + "\r\n\r\n";
    body += "--b" + std::to_string(1000 + kDepth) + "\r\n\r\n" + std::string(100000, 'y') + "\r\n";
    MParser p;
    p.Parse("Content-Type: multipart/mixed; boundary=b1000\r\n\r\n" + body, false);
    const TMailBodyPart* leaf = p.FirstLeaf();
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->Type(), "multipart");  // split no further
    EXPECT_EQ(p.NextLeaf(), nullptr);
    int depth = 0;
    for (const TMailBodyPart* part = leaf; part->Parent(); part = part->Parent())
        ++depth;
    EXPECT_GT(depth, 5);
    EXPECT_LT(depth, kDepth);
    EXPECT_NE(p.BodyText().find("--b" + std::to_string(1000 + depth + 1) + "\r\n"),
              std::string::npos);
    EXPECT_NE(p.BodyText().find(std::string(100000, 'y')), std::string::npos);
}

TEST(TMailBodyPart, WideMultipartIsLinear) {
    constexpr int kParts = 200000;
    std::string body;
    for (int i = 0; i < kParts; ++i)
        body += "--b\r\nContent-Type: text/plain\r\n\r\nx\r\n";
    body += "--b--\r\n";
    MParser p;
    p.Parse("Content-Type: multipart/mixed; boundary=b\r\n\r\n" + body, false);
    EXPECT_EQ(ChildCount(*p.Root()), kParts);
    EXPECT_EQ(p.BodyText().size(), kParts * 1u + (kParts - 1) * 4u);
}

TEST(TMailBodyPart, HugePlainBody) {
    std::string body;
    body.reserve(100u << 20);
    const std::string line(98, 'x');
    while (body.size() < (100u << 20))
        body += line + "\r\n";
    MParser p;
    p.Parse("From: a\r\n\r\n" + body, false);
    const std::string text = p.BodyText();
    EXPECT_EQ(text.size(), body.size() - 2);
    EXPECT_EQ(text.compare(0, 100, body, 0, 100), 0);
}

TEST(TMailBodyPart, AbandonedRunUnwinds) {
    std::string body;
    for (int i = 0; i < 1000; ++i)
        body += "--b\r\nContent-Type: text/plain\r\n\r\nx\r\n";
    std::atomic<bool> stop{true};
    AbortScope scope(&stop);
    MParser p;
    EXPECT_THROW(p.Parse("Content-Type: multipart/mixed; boundary=b\r\n\r\n" + body, false),
                 EAborted);
}

TEST(TMailBodyPart, LongHeaderValuesAreReadInLinearTime) {
    // Taking parameters off a copy of the value one by one would move the rest each time.
    std::string parameters;
    while (parameters.size() < (4u << 20))
        parameters += "; a=b";
    TMailBodyPart part(nullptr);
    part.Process("Content-Type: text/plain" + parameters +
                     "; charset=utf-8\r\n"
                     "Content-Disposition: inline" +
                     parameters + "; filename=\"x\"",
                 "");
    EXPECT_EQ(part.Charset(), "utf-8");
    EXPECT_EQ(part.Filename(), "x");
}
