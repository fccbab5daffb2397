// List layout. Results are written with CR LF as "|" and a tab as "^".
#include <gtest/gtest.h>

#include "HtmlTestSupport.h"

using htmltest::Layout;
using htmltest::Visible;

namespace {

std::string V(std::string_view html) {
    return Visible(Layout(html));
}

}  // namespace

TEST(ListLayout, MarkersAndItems) {
    struct Case {
        const char* name;
        const char* in;
        const char* out;
    } cases[] = {
        {"bullets", "<ul><li>one<li>two</ul>", "||^* one||^* two||"},
        {"menu and dir", "<menu><li>a</menu><dir><li>b</dir>", "||^* a||^* b||"},
        {"numbers", "<ol><li>a<li>b</ol>", "||^ 1. a||^ 2. b||"},
        {"start 9", "<ol start=9><li>a<li>b</ol>", "||^ 9. a||^10. b||"},
        {"start not a number", "<ol start=x><li>a</ol>", "||^ 1. a||"},
        {"start 0", "<ol start=0><li>a</ol>", "||^ 0. a||"},
        {"letters", "<ol type=A><li>x<li>y</ol>", "||^A. x||^B. y||"},
        {"small letters", "<ol type=a start=3><li>x</ol>", "||^c. x||"},
        {"past Z the code page goes on", "<ol type=A start=26><li>x<li>y</ol>", "||^Z. x||^[. y||"},
        {"roman numerals are numbers", "<ol type=i><li>x</ol>", "||^ 1. x||"},
        {"type on an item changes the later ones", "<ol><li>a<li type=a>b<li>c</ol>",
         "||^ 1. a||^b. b||^c. c||"},
        {"type on a ul item is ignored", "<ul><li type=A>a</ul>", "||^* a||"},
        {"leading text is item 0", "<ol>intro<li>a</ol>", "||^intro||^ 2. a||"},
        {"tags before the first item skipped", "<ul><p><li>a</ul>", "||^* a||"},
        {"definition", "<dl><dt>Term<dd>Meaning</dl>", "||^Term ... Meaning||"},
        {"two definitions", "<dl><dt>A<dd>1<dt>B<dd>2</dl>", "||^A ... 1||^B ... 2||"},
        {"dt with nothing after it is dropped", "<dl><dt><dt>T<dd>M</dl>", "||^T ... M||"},
        {"dt followed by a tag", "<dl><dt><p>T</dl>", "||^ ... T||"},
        {"dd items keep the empty marker", "<dl><dd>a<dd>b</dl>", "||^a||^b||"},
        {"dl starting with text is one item", "<dl>x<dt>T<dd>M</dl>", "||^xTM||"},
        {"nested list", "<ul><li>A<ul><li>B</ul>C</ul>", "||^* A||^^* B||^* C||"},
        {"marker repeats after a nested list", "<ol><li>a<ul><li>b</ul>c</ol>",
         "||^ 1. a||^^* b||^ 1. c||"},
        {"br and p inside an item", "<ul><li>a<br>b<p>c</ul>", "||^* a|^  b|^  |^  c||"},
        {"other tags inside an item vanish", "<ul><li>a<li>b<table><tr><td>c</table>d</ul>",
         "||^* a||^* bcd||"},
        {"closing li ignored", "<ul><li>a</li>b</ul>", "||^* ab||"},
        {"empty item leaves no piece", "<ul><li><li>a</ul>", "||^* a||"},
        {"blank-only item is no text", "<ul><li>&nbsp;<li>a</ul>", "||^* a||"},
        {"tab item keeps its marker", "<ul><li>&#9;<li>a</ul>", "||^*||^* a||"},
        {"text after the list", "<ul><li>a</ul>b", "||^* a||b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(V(c.in), c.out) << c.name;
}

TEST(ListLayout, LongItemsWrapUnderTheText) {
    std::string words;
    for (int i = 0; i < 20; ++i)
        words += "word ";
    // 72 - 6 - 2 = 64 bytes after "* ": twelve words, then the continuation under them.
    std::string line1, line2;
    for (int i = 0; i < 12; ++i)
        line1 += "word ";
    for (int i = 0; i < 8; ++i)
        line2 += "word ";
    line2.pop_back();
    EXPECT_EQ(Layout("<ul><li>" + words + "</ul>"),
              "\r\n\r\n\t* " + line1 + "\r\n\t  " + line2 + "\r\n\r\n");
    // A number marker of 4 bytes: 62 bytes.
    std::string numbered = std::string(61, 'x') + " " + "yy";
    EXPECT_EQ(Layout("<ol><li>" + numbered + "</ol>"),
              "\r\n\r\n\t 1. " + std::string(61, 'x') + " \r\n\t    yy\r\n\r\n");
}

TEST(ListLayout, Errors) {
    struct Case {
        const char* name;
        const char* in;
        const char* out;
    } cases[] = {
        {"unclosed", "<ul><li>x", "|||?\?\?</UL>|||"},
        {"empty list at the end", "<ol></ol>", "|||?\?\?<OL>|||"},
        {"empty list takes the following text", "<ol></ol>more<p>text", "|||?\?\?</OL>|||"},
        {"nested list never closed", "<ol><li>a<ul><li>b</ol>", "|||?\?\?<ul> in OL|||"},
        // The nested "ol" is skipped up to the first "/ol" (the "ul" is not counted); laid
        // out, it takes "x" as its first item and misses its closing tag.
        {"nested list of another name is not counted", "<ol><li><ol><ul></ol>x</ol>",
         "|||?\?\?</OL> in <OL>|||"},
        {"skipped list counts only its own name", "<ol><li>a<ul><li>b<ol><li>c</ul>d</ol>",
         "|||?\?\?<ol> in UL in <OL>|||"},
        {"nested list fails when laid out", "<ul><li>x<ol></ol></ul>", "|||?\?\?<OL> in <UL>|||"},
        {"dl without items", "<dl></dl>", "|||?\?\?<DL>|||"},
        {"menu unclosed", "<menu><li>a</dir>", "|||?\?\?</MENU>|||"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(V(c.in), c.out) << c.name;
}
