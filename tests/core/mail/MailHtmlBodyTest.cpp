// text/html parts: what the mail part is responsible for — the decoding, the range it
// hands to the HTML engine (the body element), the engine call (links picked up, not
// preformatted, the process-wide instance), the result taken as it is, and its place in
// the body text. The expected texts are fixed bytes, so a change in any of these shows.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "base/TSingleton.h"
#include "html/HParser.h"
#include "mail/MParser.h"
#include "mail/TMailBodyPart.h"

using MailParser::MParser;
using testsupport::Hex;

namespace {

std::string BodyOf(const std::string& headers, const std::string& body) {
    MParser p;
    p.Parse(headers + "\r\n\r\n" + body, false);
    return p.BodyText();
}

// A page whose text tells the switches and the range apart: a title and a paragraph
// outside the body, a link (only picked up links show their address), and white space
// that only preformatted text would keep.
const std::string kPage =
    "<html><head><title>Title</title></head>\r\n"
    "<BODY bgcolor=\"white\"><p>Hello <a href=\"http://example.com/\">link</a></p>\r\n"
    "<p>some   spaced\r\n   words</p></BODY>\r\n"
    "<p>after the body</p></html>\r\n";
const std::string kPageText = "Hello <http://example.com/> link\r\n\r\nsome spaced words";

}  // namespace

TEST(MailHtmlBody, HtmlPartIsLaidOutWithLinksAndWithoutPreformatting) {
    MParser p;
    p.Parse("Content-Type: text/html; charset=us-ascii\r\n\r\n" + kPage, false);
    ASSERT_NE(p.FirstLeaf(), nullptr);
    EXPECT_EQ(p.FirstLeaf()->Text(), kPageText);
    EXPECT_EQ(p.BodyText(), kPageText);
}

TEST(MailHtmlBody, UsesTheProcessWideEngine) {
    const std::string page = "<body><p>only in this test: 7f3a</p></body>";
    MParser p;
    p.Parse("Content-Type: text/html\r\n\r\n" + page, false);
    const std::string& shared = TSingleton<HTMLParser::HParser>::ObjOwner().Result();
    EXPECT_NE(shared.find("only in this test: 7f3a"), std::string::npos);
    EXPECT_EQ(p.BodyText(), "only in this test: 7f3a");
}

TEST(MailHtmlBody, DecodingsComeBeforeTheLayout) {
    const std::string html = "<body><p>caf=E9 &amp; <b>bold</b></p></body>";  // "=E9" is QP
    EXPECT_EQ(Hex(BodyOf("Content-Type: text/html\r\nContent-Transfer-Encoding: quoted-printable",
                         html + "=\r\n\r\n")),
              Hex("caf\xe9 & bold"));

    // base64 in 76-byte lines, decoded line by line.
    const std::string page =
        "<html><body><p>A paragraph long enough to need more than one line of base64 "
        "text.</p></body></html>";
    static const char* alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    for (std::size_t i = 0; i < page.size(); i += 3) {
        unsigned v = static_cast<unsigned char>(page[i]) << 16;
        const std::size_t n = std::min<std::size_t>(3, page.size() - i);
        if (n > 1)
            v |= static_cast<unsigned char>(page[i + 1]) << 8;
        if (n > 2)
            v |= static_cast<unsigned char>(page[i + 2]);
        encoded += alphabet[v >> 18 & 63];
        encoded += alphabet[v >> 12 & 63];
        encoded += n > 1 ? alphabet[v >> 6 & 63] : '=';
        encoded += n > 2 ? alphabet[v & 63] : '=';
    }
    std::string lines;
    for (std::size_t i = 0; i < encoded.size(); i += 76)
        lines += encoded.substr(i, 76) + "\r\n";
    ASSERT_GT(encoded.size(), 76u);
    EXPECT_EQ(BodyOf("Content-Type: text/html\r\nContent-Transfer-Encoding: base64", lines),
              "A paragraph long enough to need more than one line of base64 text.");
}

TEST(MailHtmlBody, Utf8IsConvertedBeforeTheLayout) {
    // The engine reads cp932: utf-8 HTML reaches it converted, after the transfer decoding.
    const std::string page = "<body><p>\xe3\x81\x82</p></body>";  // あ in UTF-8
    const std::string converted = "\x82\xa0";                     // あ in cp932
    EXPECT_EQ(Hex(BodyOf("Content-Type: text/html; charset=\"UTF-8\"", page)), Hex(converted));
    EXPECT_EQ(Hex(BodyOf("Content-Type: text/html; charset=utf-8\r\n"
                         "Content-Transfer-Encoding: quoted-printable",
                         "<body><p>=E3=81=82</p></body>")),
              Hex(converted));
}

TEST(MailHtmlBody, OtherCharsetsAreKeptByteForByte) {
    const std::string jis = "<body><p>\x1b$B$\"\x1b(B</p></body>";  // あ in ISO-2022-JP
    // The bytes reach the engine unchanged; the engine drops the control characters (ESC).
    EXPECT_EQ(Hex(BodyOf("Content-Type: text/html; charset=iso-2022-jp", jis)), Hex("$B$\"(B"));
    const std::string sjis = "<body><p>\x82\xa0</p></body>";  // あ in Shift_JIS
    EXPECT_EQ(Hex(BodyOf("Content-Type: text/html; charset=shift_jis", sjis)), Hex("\x82\xa0"));
}

TEST(MailHtmlBody, PlaceInTheBodyText) {
    const std::string html = "<body><p>rich <i>text</i></p></body>";
    // The alternative's HTML part alone.
    EXPECT_EQ(BodyOf("Content-Type: multipart/alternative; boundary=a",
                     "--a\r\nContent-Type: text/plain\r\n\r\nplain text\r\n"
                     "--a\r\nContent-Type: text/html\r\n\r\n" +
                         html + "\r\n--a--\r\n"),
              "rich text");
    // Followed by an attachment's marker.
    EXPECT_EQ(
        BodyOf("Content-Type: multipart/mixed; boundary=m",
               "--m\r\nContent-Type: text/html\r\n\r\n" + html +
                   "\r\n"
                   "--m\r\nContent-Type: application/pdf\r\n"
                   "Content-Disposition: attachment; filename=\"a.pdf\"\r\n\r\n%PDF\r\n--m--\r\n"),
        "rich text\r\n\r\n[application/pdf] >> a.pdf");
    // An inline HTML file is framed by its name, its laid-out text trimmed.
    EXPECT_EQ(
        BodyOf("Content-Type: text/html\r\nContent-Disposition: inline; filename=\"p.html\"", html),
        ">> p.html\r\n\r\nrich text\r\n\r\n<< p.html");
}

TEST(MailHtmlBody, EmptyAndBodylessPages) {
    EXPECT_EQ(BodyOf("Content-Type: text/html", ""), "");
    EXPECT_EQ(BodyOf("Content-Type: text/html", "just text, no tags"), "just text, no tags");
}
