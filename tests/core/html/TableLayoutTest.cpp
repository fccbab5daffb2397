// Table layout. Results are written with CR LF as "|" and a tab as "^"; the blank maker
// counts one blank per column (metrics 1 and 1).
#include <gtest/gtest.h>

#include "HtmlTestSupport.h"
#include "html/TColBlank.h"

using htmltest::Layout;
using htmltest::Visible;

namespace {

// The table's own text: the page's framing blank lines removed.
std::string T(std::string_view html) {
    std::string v = Visible(Layout(html));
    if (v.rfind("||", 0) == 0)
        v.erase(0, 2);
    if (v.size() >= 2 && v.compare(v.size() - 2, 2, "||") == 0)
        v.erase(v.size() - 2);
    return v;
}

std::string Xs(std::size_t n) {
    return std::string(n, 'x');
}

}  // namespace

TEST(TableLayout, CellsRowsAndFrame) {
    struct Case {
        const char* name;
        std::string in;
        std::string out;
    } cases[] = {
        {"two rows", "<table><tr><td>a<td>bb<tr><td>ccc<td>d</table>", "___||a  ^bb||ccc^d|___"},
        {"closing tags written",
         "<table><tr><td>a</td><td>bb</td></tr><tr><td>ccc</td><td>d</td>"
         "</tr></table>",
         "___||a  ^bb||ccc^d|___"},
        {"rows closed by /tr only", "<table><tr><td>a<td>bb</tr><tr><td>ccc<td>d</tr></table>",
         "___||a  ^bb||ccc^d|___"},
        {"stray /td changes nothing", "<table><tr><td>a</td></td><td>bb</table>", "___||a^bb|___"},
        {"cell without tr", "<table><td>a<td>b</table>", "___||a^b|___"},
        {"caption", "<table><caption>The <b>Cap</b></caption><tr><td>x</table>",
         "*** The Cap ***|___||x|___"},
        {"th before the first row is lost", "<table><th>H<tr><td>x</table>", "___||x|___"},
        {"th elsewhere is a cell", "<table><tr><th>H<td>x</table>", "___||H^x|___"},
        {"text outside cells is dropped", "<table><tr>x<td>a</table>", "___||a|___"},
        {"row without cells", "<table><tr></tr></table>", "___|||___"},
        {"empty first row", "<table><tr><tr><td>a</table>", "___||a|___"},
        {"empty cell in a measured column", "<table><tr><td>a<td><td>b<tr><td>c<td>xx<td>d</table>",
         "___||a^  ^b||c^xx^d|___"},
        {"empty column adds no tab", "<table><tr><td>a<td><td>b</table>", "___||a^b|___"},
        {"cell holding only br has one tab fewer",
         "<table><tr><td>a<td>xx<td>b<tr><td>c<td><br><td>d</table>", "___||a^xx^b||c^d|___"},
        {"blanks ending a row go", "<table><tr><td>a </table>", "___||a|___"},
        {"paragraphs and breaks in a cell", "<table><tr><td><p>a<p>b<br>c</table>",
         "___||a||b|c|___"},
        {"headings in a cell", "<table><tr><td>a<h1>T</h1>b</table>", "___||a|||>>> T <<<|b|___"},
        {"hr in a cell draws no rule", "<table><tr><td>a<hr>b</table>", "___||a||b|___"},
        {"pre in a cell", "<table><tr><td><pre>a  b</pre>c</table>", "___||a  b||c|___"},
        {"xmp and h4 do nothing in a cell", "<table><tr><td>a<xmp>b</xmp><h4>c</table>",
         "___||abc|___"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(T(c.in), c.out) << c.name;
}

TEST(TableLayout, ColumnWidths) {
    struct Case {
        const char* name;
        std::string in;
        std::string out;
    } cases[] = {
        // One or two rows: the longest cell.
        {"two rows take the longest", "<table><tr><td>a<tr><td>" + Xs(30) + "</table>",
         "___||a||" + Xs(30) + "|___"},
        // Three rows: the average of the larger half of the non-zero lengths, (2 + 30) / 2.
        {"three rows take the larger half's average",
         "<table><tr><td>a<td>z<tr><td>bb<td>z<tr><td>" + Xs(30) + "<td>z</table>",
         "___||a" + std::string(15, ' ') + "^z||bb" + std::string(14, ' ') + "^z||" + Xs(16) +
             "^z|" + Xs(14) + "|___"},
        // Below 12 the longest counts even with three rows.
        {"narrow columns take the longest",
         "<table><tr><td>a<td>z<tr><td>bb<td>z<tr><td>" + Xs(11) + "<td>z</table>",
         "___||a" + std::string(10, ' ') + "^z||bb" + std::string(9, ' ') + "^z||" + Xs(11) +
             "^z|___"},
        // A row longer than 72 shrinks its entries above 12 in proportion: 60 * 72 / 120.
        {"row shrinks in proportion", "<table><tr><td>" + Xs(60) + "<td>" + Xs(60) + "</table>",
         "___||" + Xs(36) + "^" + Xs(36) + "|" + Xs(24) + Xs(0) + std::string(12, ' ') + "^" +
             Xs(24) + "|___"},
        // Widths adding up to more than 72 shrink too, none below 12.
        {"widths shrink in proportion",
         "<table><tr><td>" + Xs(60) + "<td>b<tr><td>a<td>" + Xs(60) + "</table>",
         "___||" + Xs(36) + "^b|" + Xs(24) + "||a" + std::string(35, ' ') + "^" + Xs(36) + "|" +
             std::string(36, ' ') + "^" + Xs(24) + "|___"},
        {"no column below 12", "<table><tr><td>" + Xs(14) + "<td>" + Xs(100) + "</table>",
         "___||" + Xs(12) + "^" + Xs(60) + "|" + "xx" + std::string(10, ' ') + "^" + Xs(40) +
             "|___"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(T(c.in), c.out) << c.name;
}

TEST(TableLayout, Spans) {
    struct Case {
        const char* name;
        std::string in;
        std::string out;
    } cases[] = {
        {"colspan", "<table><tr><td colspan=2>wide text<tr><td>a<td>b</table>",
         "___||wide    |text||a   ^b|___"},
        {"rowspan with three lines",
         "<table><tr><td rowspan=2>l1<br>l2<br>l3<td>a<tr><td>b</table>",
         "___||l1    ^a||l2    ^b|l3|___"},
        {"rowspan with one line gives blank cells",
         "<table><tr><td rowspan=2>a<td>b<tr><td>c</table>", "___||a^b|| ^c|___"},
        {"cells pushed right beyond the widest row are dropped",
         "<table><tr><td rowspan=2>a<td>b<tr><td>c<td>d</table>", "___||a^b|| ^c|___"},
        {"short cells get blank lines of their width", "<table><tr><td>a<td>x<br>y<td>c</table>",
         "___||a^x ^c| ^y|___"},
        {"span 0 counts as 1", "<table><tr><td colspan=0 rowspan=0>a<td>b</table>", "___||a^b|___"},
        {"negative span counts as 1", "<table><tr><td colspan=-3>a<td>b</table>", "___||a^b|___"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(T(c.in), c.out) << c.name;
}

TEST(TableLayout, MoreThanTwentyColumnsStayInTheirRow) {
    std::string html = "<table><tr>";
    std::string row;
    for (int i = 0; i < 25; ++i) {
        html += "<td>" + std::string(1, static_cast<char>('a' + i));
        row += (i ? "^" : "") + std::string(1, static_cast<char>('a' + i));
    }
    html += "<tr><td>1</table>";
    EXPECT_EQ(T(html), "___||" + row + "||1|___");
}

TEST(TableLayout, NestedContainers) {
    struct Case {
        const char* name;
        const char* in;
        const char* out;
    } cases[] = {
        {"nested table framed by six", "<table><tr><td><table><tr><td>x</table></table>",
         "___||______||x|______|___"},
        {"two levels", "<table><tr><td><table><tr><td><table><tr><td>x</table></table></table>",
         "___||______||_________||x|_________|______|___"},
        {"list in a cell has no indentation", "<table><tr><td><ul><li>a<li>b</ul></table>",
         "___||* a||* b|___"},
        {"quote block in a cell", "<table><tr><td>q<blockquote>x</blockquote></table>",
         "___||q||x|___"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(T(c.in), c.out) << c.name;
}

TEST(TableLayout, ListInACellWrapsAtTheCellWidthLessTheMarker) {
    // The cell measures its text: 30 bytes, so the list wraps at 30 - 2 = 28.
    const std::string words = "abcd abcd abcd abcd abcd abcd";  // 29 bytes
    EXPECT_EQ(T("<table><tr><td>x<ul><li>" + words + "</ul></table>"),
              "___||x||* abcd abcd abcd abcd abcd |  abcd|___");
}

TEST(TableLayout, NestedPartsOfAnEmptyColumnAreNeverLaidOut) {
    // A cell without text measures 0, so its column has width 0 and its text is empty:
    // the broken nested table in it never fails the table.
    EXPECT_EQ(T("<table><tr><td><table></table></td></table>"), "___|||___");
}

TEST(TableLayout, Errors) {
    struct Case {
        const char* name;
        const char* in;
        const char* out;
    } cases[] = {
        {"empty table", "<table></table>", "|?\?\?<Table>|"},
        {"table at the end", "<table>", "|?\?\?<TABLE>|"},
        {"no row or cell", "<table><p>x</table>", "|?\?\?<TABLE>|"},
        {"caption never closed", "<table><caption>c</table>", "|?\?\?<TABLE>|"},
        {"unclosed table takes the rest", "<table><tr><td>x</td></tr><p>after", "|?\?\?</TABLE>|"},
        {"nested table error", "<table><tr><td>x<table></table></td></table>",
         "|?\?\?<Table> in <TABLE>|"},
        {"nested list error", "<table><tr><td><ul><li>x</td></table>", "|?\?\?</UL> in <TABLE>|"},
        {"nested block error", "<table><tr><td><blockquote>x</td></table>",
         "|?\?\?</BLOCKQUOTE> in <TABLE>|"},
        {"two levels of errors", "<table><tr><td><table><tr><td>x<ol></ol></table></table>",
         "|?\?\?<OL> in <TABLE> in <TABLE>|"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(T(c.in), c.out) << c.name;
}

TEST(TableLayout, PaddingFollowsTheMetrics) {
    // 52 letters 364 px, 52 spaces 156 px: one column of 3 letters is 7 spaces wide.
    HTMLParser::TColBlank::SetMetrics(364, 156);
    const std::string t = T("<table><tr><td>a<td>b<tr><td>ccc<td>d</table>");
    HTMLParser::TColBlank::SetMetrics(1, 1);
    EXPECT_EQ(t, "___||a     ^b||ccc^d|___");
}
