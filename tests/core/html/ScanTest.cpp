// The byte-level scan: character references, tags, comments, links, images, modes.
#include <gtest/gtest.h>

#include "HtmlTestSupport.h"
#include "TestSupport.h"
#include "html/TSymbolTable.h"
#include "html/TTagTable.h"

using htmltest::Layout;
using htmltest::Plain;
using htmltest::Sequence;
using testsupport::Hex;

TEST(SymbolTable, HoldsTheHundredNamesWithTheirBytes) {
    const Symbol::TSymbolTable& t = Symbol::TSymbolTable::Instance();
    EXPECT_EQ(t.Size(), 100u);
    EXPECT_EQ(t.Code("quot"), 34);
    EXPECT_EQ(t.Code("amp"), 38);
    EXPECT_EQ(t.Code("lt"), 60);
    EXPECT_EQ(t.Code("gt"), 62);
    EXPECT_EQ(t.Code("nbsp"), 32);
    EXPECT_EQ(t.Code("iexcl"), 161);
    EXPECT_EQ(t.Code("copy"), 169);
    EXPECT_EQ(t.Code("frac12"), 189);
    EXPECT_EQ(t.Code("Agrave"), 192);
    EXPECT_EQ(t.Code("times"), 215);
    EXPECT_EQ(t.Code("szlig"), 223);
    EXPECT_EQ(t.Code("divide"), 247);
    EXPECT_EQ(t.Code("yuml"), 255);
    for (const char* absent : {"apos", "euro", "mdash", "hellip", "Copy", "AMP", ""}) {
        EXPECT_FALSE(t.Contains(absent)) << absent;
        EXPECT_EQ(t.Code(absent), 0) << absent;
    }
}

TEST(TagTable, KnowsStructuralAndInlineNames) {
    const Symbol::TTagTable& t = Symbol::TTagTable::Instance();
    EXPECT_EQ(t.StructuralCount(), 52u);
    EXPECT_EQ(t.InlineCount(), 42u);
    for (const char* name : {"a", "/a", "blockquote", "/blockquote", "br", "caption", "dt", "dd",
                             "h6", "/h6", "hr", "img", "plaintext", "xmp", "/xmp", "/tr"})
        EXPECT_TRUE(t.IsStructural(name)) << name;
    for (const char* name : {"/dt", "/dd", "/br", "/hr", "/img", "/plaintext", "P", "span", "br/"})
        EXPECT_FALSE(t.IsStructural(name)) << name;
    for (const char* name : {"address", "/address", "b", "/b", "wbr", "/wbr", "font", "/tt"})
        EXPECT_TRUE(t.IsInline(name)) << name;
    for (const char* name : {"span", "/span", "a", "B"})
        EXPECT_FALSE(t.IsInline(name)) << name;
}

TEST(CharacterReference, ResolvesOrKeepsAsWritten) {
    struct Case {
        const char* in;
        std::string out;
    } cases[] = {
        {"a&nbsp;b", "a b"},  // a plain space, not 0xA0
        {"&copy;", "\xA9"},
        {"&Copy;", "&Copy;"},
        {"&#65;", "A"},
        {"&#x41;", "A"},
        {"&#x4a;", "J"},
        {"&#X41;", "&#X41;"},  // only a lower-case x starts a hexadecimal reference
        {"&#8212;", "&#8212;"},
        {"&#0;", "&#0;"},
        {"&#256;", "&#256;"},
        {"&#255;", "\xFF"},
        {"&#065;", "A"},
        {"&#99999999999999999999999;", "&#99999999999999999999999;"},
        {"&#;", "&#;"},
        {"&#x;", "&#x;"},
        {"&#xg;", "&#xg;"},
        {"&#65", "A"},
        {"&#65x", "Ax"},
        {"&#", "&#"},
        {"AT&T", "AT&T"},
        {"&amp", "&"},
        {"&ampx", "&ampx"},
        {"&amp;amp;", "&amp;"},
        {"&lt;p&gt;", "<p>"},
        {"a & b", "a & b"},
        {"&;", "&;"},
        {"&frac12;", "&frac12;"},  // names are read as letters only
        {"&quot;x&quot;", "\"x\""},
        {"a&#9;b", "a\tb"},
        {"a&#10;b", "a\nb"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(Plain(c.in)), Hex(c.out)) << c.in;
    // The layout scan resolves them the same way.
    EXPECT_EQ(Sequence("&Copy; &copy;&#X41;&#x41;&nbsp;&nbsp;x"), "'&Copy; \xA9&#X41;A  x'");
}

TEST(PlainText, DropsTagsAndJoinsOneLine) {
    struct Case {
        const char* name;
        std::string in;
        std::string out;
    } cases[] = {
        {"tags and line break", "a<b>c</b>\r\nd", "ac d"},
        {"blanks collapse", "a  \t b", "a b"},
        {"both ends trimmed", "  a b \r\n", "a b"},
        {"line break after punctuation joins", "a.\nb", "a.b"},
        {"line break after a digit is a blank", "1\n2", "1 2"},
        {"line break at the start is dropped", "\nx", "x"},
        {"Shift-JIS words joined", "\x93\xfa\x96\x7b\n\x8c\xea",
         "\x93\xfa\x96\x7b\x8c\xea"},  // 日本 語
        {"full-width space kept",
         "a\x81\x40"
         "b",
         "a\x81\x40"
         "b"},  // a　b
        {"control bytes dropped",
         "a\x01\x1f"
         "b",
         "ab"},
        {"quotes not honoured in tags", "x<a title=\">\">y", "x\">y"},
        {"comments are ordinary tags", "x<!-- a > b -->y", "x b -->y"},
        {"unclosed tag", "x<b", "x"},
        {"NUL ends the text", std::string("ab\0cd", 5), "ab"},
        {"NUL inside a tag ends the tag only", std::string("a<b\0c>d", 7), "ac>d"},
        {"references", "&lt;&amp;&gt;", "<&>"},
        {"reference giving a line break at the end is trimmed", "x&#10;", "x"},
        {"no structure", "<p>a</p><p>b</p>", "ab"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Hex(Plain(c.in)), Hex(c.out)) << c.name;
}

TEST(LayoutScan, BuildsTheElementSequence) {
    struct Case {
        const char* name;
        const char* in;
        const char* sequence;
    } cases[] = {
        {"only blanks", " \r\n\x81\x40 \x81\x40\r\n", ""},
        {"attributes", "<P ALIGN=center>x", "p[align=center] 'x'"},
        {"first occurrence wins", "<p align=left ALIGN=right>", "p[align=left]"},
        {"attribute names sorted", "<td width=1 align=2 bgcolor=3>",
         "td[align=2 bgcolor=3 width=1]"},
        {"quoted values", "<p a='x y' b=\"q>r\" c=d.e f>", "p[a=x y b=q>r c=d]"},
        {"blanks inside quotes collapse", "<p t=\"a  \t b\">", "p[t=a b]"},
        {"value keeps its case", "<p X=Yz>", "p[x=Yz]"},
        {"blanks around the equals sign", "<td width = 100>", "td[width=100]"},
        {"unquoted value stops", "<p h=a.html>", "p[h=a]"},
        {"unquoted value takes its first byte", "<p h=.x5>", "p[h=.x5]"},
        {"attribute without value takes the next", "<td nowrap width=100>", "td"},
        {"attribute without value before a blank", "<td nowrap  width=100 x=1>", "td[x=1]"},
        {"quote never closed drops the word", "<p a=\"b c=d>", "p[c=d]"},
        {"single quotes do not protect >", "<p a='x>y'>", "p 'y'>'"},
        {"closing tags with attributes", "</td width=3>", "/td[width=3]"},
        {"br splits the text", "a<br>b", "'a' br 'b'"},
        {"br with a blank", "a<br />b", "'a' br 'b'"},
        {"br/ is no known tag", "a<br/>b", "'ab'"},
        {"line break after a digit joins the name", "<h1\nalign=center>T</h1>", "h1align 'T' /h1"},
        {"line break after a letter separates", "<table\nborder=1>", "table[border=1]"},
        {"tab separates", "<p\talign=x>", "p[align=x]"},
        {"unknown tags vanish", "a<span>b</span>c<!DOCTYPE html>", "'abc'"},
        {"inline tags vanish", "a<b>b</b><font size=2>c</font>", "'abc'"},
        {"text between tags trimmed at the start", "<p>  x  <p>", "p 'x ' p"},
        {"blank-only text between tags is no element", "<p> \r\n <p>", "p p"},
        {"comment ends at the first >", "x<!-- a > b -->y", "'x b -->y'"},
        {"comment without blanks", "x<!--c-->y", "'xy'"},
        {"script contents stay", "<script>var a=1;</script>x", "'var a=1;x'"},
        {"a < b and c > d", "a < b and c > d", "'a d'"},
        {"less-than at the end", "a <", "'a '"},
        {"cut-off tag", "a<p align=", "'a' p"},
        {"link inside paragraphs", "<p>a <a href='http://x'>b</a> c<p>", "p 'a <http://x> b c' p"},
        {"image inside paragraphs", "<p>a <img alt=L width=99> c<p>", "p 'a [L] c' p"},
        {"h4 is an element", "<h4>x</h4>", "h4 'x' /h4"},
        {"names are cut at 15 bytes", "<blockquotexxxxx>t", "'t'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sequence(c.in), c.sequence) << c.name;
}

TEST(LayoutScan, NulByteInTextEndsTheScan) {
    EXPECT_EQ(Sequence(std::string("a<p>b\0c<p>d", 11)), "'a' p 'b'");
    // Inside a tag it ends the tag, and the scan goes on.
    EXPECT_EQ(Sequence(std::string("a<p\0x>b", 8)), "'a' p 'x>b'");
    EXPECT_EQ(Sequence(std::string("a&amp\0b", 8)), "'a&'");
}

TEST(LayoutScan, TabBetweenTagsInPreformattedTextIsAnElement) {
    EXPECT_EQ(Sequence("<pre>\t</pre>"), "pre '\t' /pre");
    EXPECT_EQ(Sequence("<pre>\t</pre>", true, true), "pre '\t' /pre");
    // Outside preformatted text a tab collapses like a blank and starts nothing.
    EXPECT_EQ(Sequence("<p>\t<p>"), "p p");
}

TEST(LayoutScan, PreformattedTextKeepsBlanksAndLineBreaks) {
    EXPECT_EQ(Sequence("<pre>a  b\n\tc\r\nd</pre>"), "pre 'a  b\r\n\tc\r\nd' /pre");
    EXPECT_EQ(Sequence("<pre>a < b</pre>"), "pre 'a < b' /pre");
    EXPECT_EQ(Sequence("<pre><span>x</span><b>y</b>&lt;</pre>"), "pre '<span>x</span>y<' /pre");
    // The caller's switch starts the scan in preformatted mode; "/pre" ends it.
    EXPECT_EQ(Sequence("a  <i>b</i>\n</pre>c  d", true, true), "'a  b\r\n' /pre 'c d'");
    // The 15-byte name limit: what follows is read as text (a reference is resolved).
    EXPECT_EQ(Sequence("<pre><abcdefghijklmnopq&lt;>"), "pre '<abcdefghijklmnopq<>'");
    EXPECT_EQ(Sequence("<pre><abc&lt;>"), "pre '<abc&lt;>'");
}

TEST(LayoutScan, ExampleModePrintsMarkupUntilXmpEnds) {
    EXPECT_EQ(Sequence("<xmp><p>a  b</p>\n<b>x</b></xmp>y"), "xmp '<p>a  b</p>\r\n<b>x</b>y'");
    EXPECT_EQ(Sequence("<XMP>a</XMP >b"), "xmp 'ab'");
    // Comments are skipped even here.
    EXPECT_EQ(Sequence("<xmp>a<!-- c -->b</xmp>"), "xmp 'ab'");
    // "plaintext" can only be left by "/xmp".
    EXPECT_EQ(Sequence("<plaintext>a<p>b</plaintext>c</xmp>d"), "plaintext 'a<p>b</plaintext>cd'");
    EXPECT_EQ(Sequence("<xmp><abcdefghijklmno&amp;>"), "xmp '<abcdefghijklmno&>'");
}

TEST(LayoutScan, LinksArePickedUp) {
    struct Case {
        const char* name;
        const char* in;
        const char* out;
    } cases[] = {
        {"upper-case tag and attribute", "<A HREF=\"http://x.org/\">here</A>",
         "'<http://x.org/> here'"},
        {"text equals target", "<a href=\"http://x.org/\">http://x.org/</a>", "'<http://x.org/>'"},
        {"mailto", "<a href='mailto:a@b.c'>me</a>", "'<mailto:a@b.c> me'"},
        {"news", "<a href='news:comp.lang'>g</a>", "'<news:comp.lang> g'"},
        {"relative target", "<a href=\"a.html\">here</a>", "'here'"},
        {"upper-case scheme counts as relative", "<a href=\"HTTP://X\">here</a>", "'here'"},
        {"unquoted target stops at the colon", "<a href=http://x.org>here</a>", "'here'"},
        {"no target", "<a name=x>here</a>", "'here'"},
        {"text around", "see <a href='http://x'>this</a> now", "'see <http://x> this now'"},
        {"text ending in a blank", "<a href='http://x'>this </a>", "'<http://x> this '"},
        {"structural tag inside moves the text before the link",
         "pre <a href='http://x'>link <p> more</a> end", "'link ' p 'pre <http://x> more end'"},
        {"never closed loses the text before it", "x <a href='http://y'>link", "'link'"},
        {"a second link before the first closes", "a<a href='http://1'>b<a href='http://2'>c</a>",
         "'b<http://2> c'"},
        {"closing without opening", "x</a>y", "'xy'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sequence(c.in), c.out) << c.name;
}

TEST(LayoutScan, LinksOffKeepTheTextOnly) {
    EXPECT_EQ(Sequence("see <a href='http://x'>this</a> now", false), "'see this now'");
    EXPECT_EQ(Sequence("pre <a href='http://x'>link <p> more</a>", false), "'pre link ' p 'more'");
}

TEST(LayoutScan, ImagesWiderThanFiftyLeaveTheirText) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"x<img alt=\"Logo\" width=100>y", "'x[Logo] y'"},
        {"x<img alt=\"Logo\" width=50>y", "'xy'"},
        {"x<img alt=\"Logo\" width=51>y", "'x[Logo] y'"},
        {"x<img width=60>y", "'x[Image] y'"},
        {"x<img alt=\"\" width=60>y", "'x[Image] y'"},
        {"x<img alt=\"[x]\" width=60>y", "'x[x] y'"},
        {"x<img alt=\"Logo\">y", "'xy'"},
        {"x<img alt=\"Logo\" width=\"80%\">y", "'xy'"},
        {"x<img alt=\"Logo\" width=\"100px\">y", "'xy'"},
        {"x<IMG SRC=a.gif ALT=\"A B\" WIDTH=\"200\">y", "'x[A B] y'"},
        {"<img width=60>", "'[Image] '"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sequence(c.in), c.out) << c.in;
}

TEST(LayoutScan, UnquotedValueKeepsADoubleByteCharacterWhole) {
    // alt=日本: the value is its first character and the ASCII run after it; the lead
    // byte never stands alone.
    EXPECT_EQ(Hex(Sequence("<img alt=\x93\xfa\x96\x7b width=60>")), Hex("'[\x93\xfa] '"));
}

TEST(ElementModel, TagWidthInColumns) {
    struct Case {
        const char* tag;
        long width;
    } cases[] = {
        {"<td width=\"50%\">", 36},  {"<td width=100>", 17},
        {"<td width=3>", 1},         {"<td>", 0},
        {"<td width=abc>", 0},       {"<td width=\"abc%\">", 0},
        {"<td width=\"100%\">", 72}, {"<td width=2>", 0},
        {"<td width=\"\">", 0},
    };
    for (const Case& c : cases) {
        HTMLParser::HParser parser;
        const std::string html = c.tag;
        parser.LayoutText(html.data(), html.data() + html.size(), true, false);
        ASSERT_EQ(parser.GetElements().Size(), 1u) << c.tag;
        EXPECT_EQ(parser.GetElements()[0].Width(), c.width) << c.tag;
    }
}

TEST(ElementModel, TextElementsMeasureTheirBytes) {
    HTMLParser::HParser parser;
    const std::string html =
        "<p>\x93\xfa\x96\x7b"
        "ab";  // 日本ab
    parser.LayoutText(html.data(), html.data() + html.size(), true, false);
    ASSERT_EQ(parser.GetElements().Size(), 2u);
    EXPECT_EQ(parser.GetElements()[1].Width(), 6);
    EXPECT_EQ(parser.GetElements()[1].Attribute("width"), "");
    EXPECT_EQ(parser.GetElements()[0].Text(), "");
}

TEST(ElementModel, EveryCallStartsAfresh) {
    HTMLParser::HParser parser;
    const std::string first = "<xmp>x<a href='http://y'>z";
    parser.LayoutText(first.data(), first.data() + first.size(), true, true);
    const std::string second = "a  b";
    parser.LayoutText(second.data(), second.data() + second.size(), true, false);
    EXPECT_EQ(parser.Result(), "a b");
    EXPECT_EQ(parser.GetElements().Size(), 1u);
    parser.PlainText(second.data(), second.data() + second.size());
    EXPECT_EQ(parser.Result(), "a b");
    EXPECT_TRUE(parser.GetElements().Empty());
}
