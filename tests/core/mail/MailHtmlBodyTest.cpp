// text/html parts: what the mail part is responsible for — the decoding, the range it
// hands to the HTML engine, the engine call (links picked up, not preformatted, the
// process-wide instance), the result taken as it is, and its place in the body text. How
// the engine lays a page out is the engine's business and is not restated here: the
// expected texts come from the engine itself.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "base/TSingleton.h"
#include "html/HParser.h"
#include "mail/MParser.h"
#include "mail/TMailBodyPart.h"

using MailParser::MParser;
using MailParser::TMailBodyPart;
using testsupport::Hex;

namespace {

std::string TrimLineBreaks(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    std::size_t lead = 0;
    while (lead < text.size() && (text[lead] == '\r' || text[lead] == '\n'))
        ++lead;
    return text.substr(lead);
}

// What a private engine makes of exactly this range with these switches.
std::string Engine(std::string_view range, bool pickUpLinks, bool preformatted) {
    HTMLParser::HParser engine;
    engine.LayoutText(range.data(), range.data() + range.size(), pickUpLinks, preformatted);
    return engine.Result();
}

// The text a text/html part must get for this (decoded) HTML.
std::string Expected(std::string_view html) {
    return TrimLineBreaks(Engine(TMailBodyPart::FindHtmlBody(html), true, false));
}

std::string BodyOf(const std::string& headers, const std::string& body) {
    MParser p;
    p.Parse(headers + "\r\n\r\n" + body, false);
    return p.BodyText();
}

// A page whose text depends on both switches and on the range: a title outside the body,
// a link, and white space that only preformatted text keeps.
const std::string kPage =
    "<html><head><title>Title</title></head>\r\n"
    "<BODY bgcolor=\"white\"><p>Hello <a href=\"http://example.com/\">link</a></p>\r\n"
    "<p>some   spaced\r\n   words</p></BODY>\r\n"
    "<p>after the body</p></html>\r\n";

}  // namespace

TEST(MailHtmlBody, SamplePageTellsTheSwitchesAndTheRangeApart) {
    const std::string_view range = TMailBodyPart::FindHtmlBody(kPage);
    const std::string chosen = Engine(range, true, false);
    if (chosen == range)
        GTEST_SKIP() << "the HTML engine does not lay pages out yet";
    EXPECT_NE(chosen, Engine(range, false, false)) << "links";
    EXPECT_NE(chosen, Engine(range, true, true)) << "preformatted";
    EXPECT_NE(chosen, Engine(kPage, true, false)) << "range";
}

TEST(MailHtmlBody, HtmlPartIsLaidOutWithLinksAndWithoutPreformatting) {
    MParser p;
    p.Parse("Content-Type: text/html; charset=us-ascii\r\n\r\n" + kPage, false);
    ASSERT_NE(p.FirstLeaf(), nullptr);
    EXPECT_EQ(p.FirstLeaf()->Text(), Expected(kPage));
    EXPECT_EQ(p.BodyText(), Expected(kPage));
}

TEST(MailHtmlBody, UsesTheProcessWideEngine) {
    const std::string page = "<body><p>only in this test: 7f3a</p></body>";
    MParser p;
    p.Parse("Content-Type: text/html\r\n\r\n" + page, false);
    const std::string& shared = TSingleton<HTMLParser::HParser>::ObjOwner().Result();
    EXPECT_EQ(shared, Engine(TMailBodyPart::FindHtmlBody(page), true, false));
    EXPECT_EQ(p.BodyText(), TrimLineBreaks(shared));
}

TEST(MailHtmlBody, DecodingsComeBeforeTheLayout) {
    const std::string html = "<body><p>caf=E9 &amp; <b>bold</b></p></body>";  // "=E9" is QP
    EXPECT_EQ(Hex(BodyOf("Content-Type: text/html\r\nContent-Transfer-Encoding: quoted-printable",
                         html + "=\r\n\r\n")),
              Hex(Expected("<body><p>caf\xe9 &amp; <b>bold</b></p></body>")));

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
              Expected(page));
}

TEST(MailHtmlBody, Utf8IsConvertedBeforeTheLayout) {
    // The engine reads cp932: utf-8 HTML reaches it converted, after the transfer decoding.
    const std::string page = "<body><p>\xe3\x81\x82</p></body>";   // あ in UTF-8
    const std::string converted = "<body><p>\x82\xa0</p></body>";  // あ in cp932
    EXPECT_EQ(Hex(BodyOf("Content-Type: text/html; charset=\"UTF-8\"", page)),
              Hex(Expected(converted)));
    EXPECT_EQ(Hex(BodyOf("Content-Type: text/html; charset=utf-8\r\n"
                         "Content-Transfer-Encoding: quoted-printable",
                         "<body><p>=E3=81=82</p></body>")),
              Hex(Expected(converted)));
    EXPECT_NE(BodyOf("Content-Type: text/html; charset=utf-8", page).find("\x82\xa0"),
              std::string::npos);
}

TEST(MailHtmlBody, OtherCharsetsAreKeptByteForByte) {
    const std::string jis = "<body><p>\x1b$B$\"\x1b(B</p></body>";  // あ in ISO-2022-JP
    EXPECT_EQ(Hex(BodyOf("Content-Type: text/html; charset=iso-2022-jp", jis)), Hex(Expected(jis)));
    const std::string sjis = "<body><p>\x82\xa0</p></body>";  // あ in Shift_JIS
    EXPECT_EQ(Hex(BodyOf("Content-Type: text/html; charset=shift_jis", sjis)), Hex(Expected(sjis)));
}

TEST(MailHtmlBody, PlaceInTheBodyText) {
    const std::string html = "<body><p>rich <i>text</i></p></body>";
    // The alternative's HTML part alone.
    EXPECT_EQ(BodyOf("Content-Type: multipart/alternative; boundary=a",
                     "--a\r\nContent-Type: text/plain\r\n\r\nplain text\r\n"
                     "--a\r\nContent-Type: text/html\r\n\r\n" +
                         html + "\r\n--a--\r\n"),
              Expected(html));
    // Followed by an attachment's marker.
    EXPECT_EQ(
        BodyOf("Content-Type: multipart/mixed; boundary=m",
               "--m\r\nContent-Type: text/html\r\n\r\n" + html +
                   "\r\n"
                   "--m\r\nContent-Type: application/pdf\r\n"
                   "Content-Disposition: attachment; filename=\"a.pdf\"\r\n\r\n%PDF\r\n--m--\r\n"),
        Expected(html) + "\r\n\r\n[application/pdf] >> a.pdf");
    // An inline HTML file is framed by its name, its laid-out text trimmed.
    const std::string laidOut = Expected(html);
    std::size_t b = 0, e = laidOut.size();
    while (b < e && static_cast<unsigned char>(laidOut[b]) <= 0x20)
        ++b;
    while (e > b && static_cast<unsigned char>(laidOut[e - 1]) <= 0x20)
        --e;
    EXPECT_EQ(
        BodyOf("Content-Type: text/html\r\nContent-Disposition: inline; filename=\"p.html\"", html),
        ">> p.html\r\n\r\n" + laidOut.substr(b, e - b) + "\r\n\r\n<< p.html");
}

TEST(MailHtmlBody, EmptyAndBodylessPages) {
    EXPECT_EQ(BodyOf("Content-Type: text/html", ""), Expected(""));
    EXPECT_EQ(BodyOf("Content-Type: text/html", "just text, no tags"),
              Expected("just text, no tags"));
}
