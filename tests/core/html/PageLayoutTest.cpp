// The page walk and quote blocks. Results are written with CR LF as "|" and a tab as "^".
#include <gtest/gtest.h>

#include "HtmlTestSupport.h"
#include "TestSupport.h"

using htmltest::Layout;
using htmltest::Visible;

namespace {

std::string V(std::string_view html, bool links = true, bool pre = false) {
    return Visible(Layout(html, links, pre));
}

const std::string kRule57(57, '=');

}  // namespace

TEST(PageLayout, ParagraphsHeadingsBreaksAndRules) {
    struct Case {
        const char* name;
        const char* in;
        std::string out;
    } cases[] = {
        {"plain text", "Hello  world", "Hello world"},
        {"empty page", "", ""},
        {"starts with a paragraph", "<p>x", "||x"},
        {"starts with h1", "<h1>x", "|||>>> x"},
        {"heading then text", "<h1>Title</h1>Text", "|||>>> Title <<<|Text"},
        {"heading after text", "a<h2>T</h2>", "a|||>>> T <<<|"},
        {"h3 closes with any closing heading", "<h3>T</h1>", "|||>>> T <<<|"},
        {"h4 runs on", "a<h4>b</h4>c", "abc"},
        {"h5 and h6 too", "a<h5>b</h6>c", "abc"},
        {"paragraphs", "a<p>b</p><p>c", "a||b||c"},
        {"consecutive p give one blank line", "a<p><p><p>b", "a||b"},
        {"div like p", "a<div>b</div>c", "a||b||c"},
        {"br", "a<br>b", "a|b"},
        {"consecutive br give at most one blank line", "a<br><br><br><br>b", "a||b"},
        {"br at the start", "<br>a", "|a"},
        {"br after p", "<p>a<p><br>b", "||a||b"},
        {"hr", "a<hr>b", "a||" + kRule57 + "||b"},
        {"hr on an empty page", "<hr>", "||" + kRule57 + "||"},
        {"text trimmed at the end", "a <p>b", "a ||b"},
        {"stray closing and item tags ignored", "a</ul></ol></table></td><li><dd>b", "ab"},
        {"stray cell tags", "a<td>b<tr>c<th>d</tr>", "abcd"},
        {"caption outside a table", "<caption>c</caption>x", "cx"},
        {"wrapping at 72",
         "word word word word word word word word word word word word "
         "word word word word word",
         "word word word word word word word word word word word word word word |"
         "word word word"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(V(c.in), c.out) << c.name;
}

TEST(PageLayout, HundredLettersAreCutAt72) {
    EXPECT_EQ(Layout(std::string(100, 'x')), std::string(72, 'x') + "\r\n" + std::string(28, 'x'));
}

TEST(PageLayout, TextElementsWrapFromTheirOwnStart) {
    // "data" is appended right after what precedes it: the 60 bytes after a break count
    // from their own start, not from the line's.
    const std::string first(50, 'a'), second(60, 'b');
    EXPECT_EQ(Layout(first + "<br>" + second), first + "\r\n" + second);
    EXPECT_EQ(Layout(first + "<h5>" + second), first + second);
}

TEST(PageLayout, PreformattedTextIsKept) {
    EXPECT_EQ(V("<pre>a   b\n  c</pre>d"), "||a   b|  c||d");
    EXPECT_EQ(V("<pre>" + std::string(80, 'x') + "</pre>"), "||" + std::string(80, 'x') + "||");
    // The caller's switch lays out the whole page as preformatted text.
    EXPECT_EQ(V("a   b\nc  ", true, true), "a   b|c  ");
    // Without the switch the same text collapses.
    EXPECT_EQ(V("a   b\nc  "), "a b c ");
}

TEST(PageLayout, UnclosedExampleModeLaysOutEveryTextUntrimmed) {
    // The walk starts with the mode as the scan left it, so even the text before the
    // "xmp" is neither trimmed nor wrapped.
    const std::string longText(80, 'x');
    EXPECT_EQ(V(longText + " <xmp>b  <p>"), longText + " ||b  <p>");
    EXPECT_EQ(V(longText + " <plaintext>b"), longText + " ||b");
    // A closed "xmp" leaves no "/xmp" element: the rest of the page stays literal too.
    EXPECT_EQ(V("a<xmp>b</xmp><p>" + longText + " "), "a||b||" + longText + " ");
}

TEST(PageLayout, QuoteBlocks) {
    struct Case {
        const char* name;
        std::string in;
        std::string out;
    } cases[] = {
        {"one block", "a<blockquote>b</blockquote>c", "a||^b||c"},
        {"empty block", "a<blockquote></blockquote>c", "a||c"},
        {"paragraphs inside", "<blockquote>a<p>b</blockquote>", "||^a||^b||"},
        {"br inside", "<blockquote>a<br><br><br>b</blockquote>", "||^a||^b||"},
        {"rule inside", "<blockquote>a<hr>b</blockquote>", "||^a||" + kRule57 + "||^b||"},
        {"nested block", "<blockquote>a<blockquote>b</blockquote>c</blockquote>", "||^a|||^^b^c||"},
        {"headings and pre ignored inside", "<blockquote><h1>a</h1><pre>b  c</pre></blockquote>",
         "||^a^b  c||"},
        {"data not trimmed", "<blockquote>a <p></blockquote>", "||^a ||||"},
        {"list inside", "<blockquote>a<ul><li>x</ul>b</blockquote>", "||^a|||^^* x^b||"},
        {"table inside", "<blockquote>a<table><tr><td>x<td>y</table>b</blockquote>",
         "||^a|||^___||^x^y|^___^b||"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(V(c.in), c.out) << c.name;
}

TEST(PageLayout, QuoteBlockWidthsByDepth) {
    std::string words;
    for (int i = 0; i < 30; ++i)
        words += "abcd ";  // 150 bytes
    auto nested = [&](int depth) {
        std::string html;
        for (int i = 0; i < depth; ++i)
            html += "<blockquote>";
        html += words;
        for (int i = 0; i < depth; ++i)
            html += "</blockquote>";
        return Layout(html);
    };
    auto longestLine = [](const std::string& text) {
        std::size_t longest = 0, start = 0;
        for (;;) {
            std::size_t e = text.find("\r\n", start);
            std::string line = text.substr(start, e == std::string::npos ? e : e - start);
            std::size_t tabs = line.find_first_not_of('\t');
            if (tabs != std::string::npos)
                longest = std::max(longest, line.size() - tabs);
            if (e == std::string::npos)
                return longest;
            start = e + 2;
        }
    };
    // Depth 1 wraps at 66 with one tab; depth 2 at 60 with two tabs; from 10 on at 12.
    const std::string one = nested(1);
    EXPECT_NE(one.find("\r\n\tabcd abcd"), std::string::npos);
    EXPECT_EQ(longestLine(one), 65u);  // 13 words of 5 bytes, the blank ending the line
    EXPECT_NE(nested(2).find("\r\n\t\tabcd"), std::string::npos);
    EXPECT_EQ(longestLine(nested(2)), 60u);
    EXPECT_EQ(longestLine(nested(10)), 10u);
    EXPECT_NE(nested(10).find(std::string(10, '\t') + "abcd abcd \r\n"), std::string::npos);
    EXPECT_EQ(longestLine(nested(14)), 10u);
}

TEST(PageLayout, RulesInQuoteBlocksFollowTheirWidth) {
    // 72 * 57 / 72 on the page; in a table cell of width 36, 36 * 57 / 72 = 28.
    EXPECT_NE(Layout("<blockquote><hr></blockquote>").find("\r\n" + kRule57 + "\r\n"),
              std::string::npos);
    const std::string cell(36, 'x');
    const std::string t =
        Layout("<table><tr><td>" + cell + "<blockquote><hr></blockquote></td></tr></table>");
    EXPECT_NE(t.find("\r\n" + std::string(28, '=') + "\r\n"), std::string::npos) << Visible(t);
    EXPECT_EQ(t.find(std::string(29, '=')), std::string::npos);
}

TEST(PageLayout, ContainerErrorsBecomeLines) {
    struct Case {
        const char* name;
        const char* in;
        std::string out;
    } cases[] = {
        {"unclosed block", "x<blockquote>y<p>z", "x|||?\?\?</BLOCKQUOTE>|||"},
        {"unclosed nested block", "<blockquote><blockquote>x",
         "|||?\?\?</BLOCKQUOTE>in <BLOCKQUOTE>|||"},
        {"outer block unclosed", "<blockquote><blockquote>x</blockquote>",
         "|||?\?\?</BLOCKQUOTE>|||"},
        {"unclosed list in a block", "<blockquote><ol><li>x</blockquote>",
         "|||?\?\?</OL> in <BLOCKQUOTE>|||"},
        {"table error in a block", "<blockquote><table></table></blockquote>",
         "|||?\?\?<Table> in <BLOCKQUOTE|||"},
        {"nested list error in a block", "<blockquote><ol><li>a<ul><li>b</ol></blockquote>",
         "|||?\?\?<ul> in OL in <BLOCKQUOTE>|||"},
        {"walk goes on after an error that stopped on a closing tag", "<table></table>after",
         "|||?\?\?<Table>|||after"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(V(c.in), c.out) << c.name;
}

TEST(PageLayout, InternalErrorsBecomeLines) {
    // A grid too large to lay out fails outside the layout errors.
    const char* huge = "<table><tr><td colspan=1000 rowspan=65534>x</table>";
    EXPECT_EQ(V(std::string("a") + huge + "b"), "a|||???Internal Table Error|||b");
    // In a quote block the line stands in the block's text and the block goes on.
    EXPECT_EQ(V(std::string("<blockquote>a") + huge + "b</blockquote>"),
              "||^a||||???Internal Table Error|^b||");
    // In a table cell it fails the enclosing table.
    EXPECT_EQ(V(std::string("<table><tr><td>") + huge + "</table>"),
              "|||???Internal Table Error|||");
}
