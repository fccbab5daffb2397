// Malformed and hostile pages: nothing crashes, hangs or overflows the stack, and an
// abandoned run unwinds.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>

#include "HtmlTestSupport.h"
#include "TestSupport.h"
#include "base/Abort.h"
#include "base/TSingleton.h"
#include "html/HParser.h"

using htmltest::Layout;
using htmltest::Plain;

namespace {

std::string Repeat(std::string_view s, std::size_t n) {
    std::string out;
    out.reserve(s.size() * n);
    for (std::size_t i = 0; i < n; ++i)
        out += s;
    return out;
}

std::size_t Count(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t p = text.find(what); p != std::string_view::npos; p = text.find(what, p + 1))
        ++n;
    return n;
}

}  // namespace

TEST(HtmlRobustness, TenThousandNestedTables) {
    const std::string html =
        Repeat("<table><tr><td>", 10000) + "deep" + Repeat("</td></tr></table>", 10000) + "after";
    const std::string out = Layout(html);
    EXPECT_NE(out.find("deep"), std::string::npos);
    EXPECT_NE(out.find("after"), std::string::npos);
    // The outer levels are framed; deeper ones run on as plain content of the last.
    EXPECT_NE(out.find("______"), std::string::npos);
    const std::string unclosed = Repeat("<table><tr><td>x", 10000);
    EXPECT_EQ(Layout(unclosed), "\r\n\r\n\r\n?\?\?</TABLE>\r\n\r\n\r\n");
}

TEST(HtmlRobustness, TenThousandNestedLists) {
    const std::string html = Repeat("<ul><li>x", 10000) + Repeat("</ul>", 10000) + "after";
    const std::string out = Layout(html);
    EXPECT_NE(out.find("* x"), std::string::npos);
    EXPECT_NE(out.find("after"), std::string::npos);
    EXPECT_EQ(Count(out, "x"), 10000u);  // no item's text is lost
    EXPECT_EQ(Layout(Repeat("<ol><li>x", 10000)), "\r\n\r\n\r\n?\?\?<ol> in OL\r\n\r\n\r\n");
}

TEST(HtmlRobustness, TenThousandNestedQuoteBlocks) {
    const std::string html =
        Repeat("<blockquote>q", 10000) + Repeat("</blockquote>", 10000) + "after";
    const std::string out = Layout(html);
    EXPECT_EQ(Count(out, "q"), 10000u);
    EXPECT_NE(out.find("after"), std::string::npos);
    const std::string unclosed = Layout(Repeat("<blockquote>q", 10000));
    EXPECT_EQ(unclosed.find("?\?\?</BLOCKQUOTE>in <BLOCKQUOTE>"), 6u);
    EXPECT_EQ(unclosed.find("\r\n", 6), unclosed.size() - 6);  // one line
}

TEST(HtmlRobustness, MixedDeepNesting) {
    const std::string html = Repeat("<blockquote><table><tr><td><ol><li>x", 3000) +
                             Repeat("</ol></td></tr></table></blockquote>", 3000);
    const std::string out = Layout(html);
    EXPECT_EQ(Count(out, "x"), 3000u);
}

TEST(HtmlRobustness, TableOfTenThousandRowsAndHundredColumns) {
    std::string html = "<table>";
    const std::string row = "<tr>" + Repeat("<td>c", 100) + "</tr>";
    for (int r = 0; r < 10000; ++r)
        html += row;
    html += "</table>";
    const std::string out = Layout(html);
    EXPECT_EQ(Count(out, "c"), 1000000u);
    EXPECT_EQ(Count(out, "\t"), 990000u);
}

TEST(HtmlRobustness, HugeSpansDoNotExhaustMemory) {
    EXPECT_EQ(Layout("<table><tr><td colspan=999999999 rowspan=999999999>x</table>"),
              "\r\n\r\n\r\n???Internal Table Error\r\n\r\n\r\n");
    // The largest row span that still fits: one column, 65534 rows.
    // 65534 rows; the ones below the first hold only blanks and vanish.
    EXPECT_EQ(Layout("<table><tr><td rowspan=99999>x<td>y</table>"),
              "\r\n\r\n___\r\n\r\nx\ty\r\n___\r\n\r\n");
}

TEST(HtmlRobustness, RowSpansPushingEveryRowRightStayLinear) {
    // Each row's cell is pushed one column further right by the spans above it, up to
    // 65534 columns in use; the widest row has one cell, so only the cells that come back
    // to column 0 (rows 0 and 65534) are laid out.
    const std::string html = "<table>" + Repeat("<tr><td rowspan=65534>x", 100000) + "</table>";
    const std::string out = Layout(html);
    EXPECT_EQ(out.rfind("\r\n\r\n___\r\n\r\nx\r\n\r\n", 0), 0u);
    EXPECT_EQ(Count(out, "x"), 2u);
    EXPECT_EQ(out.substr(out.size() - 12), "\r\nx\r\n___\r\n\r\n");
}

TEST(HtmlRobustness, FiftyMegabytePage) {
    const std::string para =
        "<p>Some words of a paragraph, long enough to wrap at the page width of the "
        "layout, &amp; a reference and <a href=\"http://example.org/\">a link</a>.</p>\n";
    std::string html;
    html.reserve(50u << 20);
    while (html.size() < (50u << 20))
        html += para;
    ASSERT_EQ(html.size() % para.size(), 0u);
    // Every paragraph lays out as the single one does.
    const std::string single = Layout(para);
    ASSERT_EQ(single.substr(0, 4), "\r\n\r\n");
    const std::string body = single.substr(4);
    EXPECT_EQ(Layout(html), "\r\n\r\n" + Repeat(body, html.size() / para.size()));
}

TEST(HtmlRobustness, LongRunsOfTextAndSpaces) {
    // One 8 MB word and 8 MB of blanks: linear, no quadratic cutting.
    const std::string word(8u << 20, 'w');
    const std::string out = Layout(word);
    EXPECT_EQ(out.size(), word.size() + 2 * (word.size() / 72 - (word.size() % 72 == 0)));
    EXPECT_EQ(Layout(std::string(8u << 20, ' ') + "x"), "x");
    EXPECT_EQ(Plain(std::string(8u << 20, '\n') + "x"), "x");
}

TEST(HtmlRobustness, TruncatedTagsAndReferences) {
    const char* inputs[] = {"<",
                            "<p",
                            "<p a",
                            "<p a=",
                            "<p a=\"",
                            "<p a='x",
                            "&",
                            "&#",
                            "&#x",
                            "&am",
                            "<!--",
                            "<table><tr",
                            "<ul><li",
                            "<blockquote",
                            "<a href='http://x'",
                            "<img alt=x width=99",
                            "</",
                            "<xmp><",
                            "<pre><x"};
    for (const char* in : inputs) {
        Layout(in);
        Layout(in, false, true);
        Plain(in);
    }
    SUCCEED();
}

TEST(HtmlRobustness, RandomBytesAndTagSoup) {
    std::mt19937 rng(2024);
    const char* pieces[] = {"<table>",
                            "</table>",
                            "<tr>",
                            "</tr>",
                            "<td colspan=3>",
                            "<td rowspan=2>",
                            "</td>",
                            "<th>",
                            "<ul>",
                            "<ol type=A>",
                            "</ol>",
                            "</ul>",
                            "<li>",
                            "<dl>",
                            "<dt>",
                            "<dd>",
                            "</dl>",
                            "<blockquote>",
                            "</blockquote>",
                            "<pre>",
                            "</pre>",
                            "<xmp>",
                            "</xmp>",
                            "<p>",
                            "<br>",
                            "<hr>",
                            "<h1>",
                            "</h1>",
                            "<caption>",
                            "</caption>",
                            "<a href='http://x'>",
                            "</a>",
                            "text ",
                            "\x82\xa0",
                            "&amp;",
                            "&#",
                            "\n",
                            " ",
                            "\0",
                            "<plaintext>"};
    for (int round = 0; round < 300; ++round) {
        std::string html;
        const int n = 1 + static_cast<int>(rng() % 200);
        for (int i = 0; i < n; ++i) {
            const std::size_t k = rng() % (sizeof pieces / sizeof pieces[0]);
            html += k == 38 ? std::string(1, '\0') : std::string(pieces[k]);
        }
        Layout(html);
        Layout(html, false, true);
        Plain(html);
    }
    SUCCEED();
}

TEST(HtmlRobustness, AbandonedRunUnwinds) {
    const std::string html = Repeat("<p>word word word <table><tr><td>a<td>b</table>", 20000);
    std::atomic<bool> stop{true};
    AbortScope scope(&stop);
    HTMLParser::HParser parser;
    EXPECT_THROW(parser.LayoutText(html.data(), html.data() + html.size(), true, false), EAborted);
    EXPECT_THROW(parser.PlainText(html.data(), html.data() + html.size()), EAborted);
    stop = false;
    parser.LayoutText(html.data(), html.data() + html.size(), true, false);
    EXPECT_FALSE(parser.Result().empty());
}

TEST(HtmlRobustness, ProcessWideInstance) {
    HTMLParser::HParser& a = TSingleton<HTMLParser::HParser>::ObjOwner();
    HTMLParser::HParser& b = TSingleton<HTMLParser::HParser>::ObjOwner();
    EXPECT_EQ(&a, &b);
    const std::string html = "<p>x";
    a.LayoutText(html.data(), html.data() + html.size(), true, false);
    EXPECT_EQ(b.Result(), "\r\n\r\nx");
}

TEST(HtmlRobustness, CorpusPagesLayOut) {
    BREVILO_REQUIRE_CORPUS(corpus);
    const std::filesystem::path dir = corpus / "html";
    if (!std::filesystem::is_directory(dir))
        GTEST_SKIP() << "no html corpus";
    int pages = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".html" && ext != ".htm"))
            continue;
        const std::string html = testsupport::ReadFile(entry.path().string());
        const std::string plain = Plain(html);
        const std::string laid = Layout(html);
        Layout(html, false, true);
        // Text that the scan keeps is laid out, not lost: every page with words yields text.
        if (!plain.empty()) {
            EXPECT_FALSE(laid.empty()) << entry.path();
        }
        ++pages;
    }
    EXPECT_GT(pages, 50);
}
