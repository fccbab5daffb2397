// Generated HTML pages for the HTML engine benchmarks, fixed by their seed so that every
// run lays out the same bytes.
#pragma once

#include <cstddef>
#include <random>
#include <string>

namespace bench {

class PageWriter {
  public:
    explicit PageWriter(unsigned seed) : rng_(seed) {}

    std::string Words(int n) {
        static const char* const kWords[] = {
            "archive",
            "news",
            "article",
            "message",
            "the",
            "of",
            "and",
            "layout",
            "table",
            "list",
            "window",
            "text",
            "record",
            "search",
            "Tokyo",
            "weekly",
            "report",
            "a",
            "to",
            "in",
            "is",
            "\x93\xfa\x96\x7b\x8c\xea",          // 日本語
            "\x83\x65\x83\x4c\x83\x58\x83\x67",  // テキスト
            "\x90\x56\x95\xb7",                  // 新聞
        };
        std::string s;
        for (int i = 0; i < n; ++i) {
            if (i)
                s += ' ';
            s += kWords[rng_() % (sizeof kWords / sizeof kWords[0])];
        }
        return s;
    }
    unsigned Pick(unsigned n) { return static_cast<unsigned>(rng_() % n); }

    std::string Paragraph() {
        std::string p = "<p>" + Words(12 + static_cast<int>(Pick(20)));
        for (unsigned k = Pick(3) + 1; k > 0; --k) {
            p += " <a href=\"http://example.org/news/" + std::to_string(Pick(100000)) + ".html\">" +
                 Words(1 + static_cast<int>(Pick(4))) + "</a> " +
                 Words(5 + static_cast<int>(Pick(15)));
            if (Pick(4) == 0)
                p += " &amp; <b>" + Words(3) + "</b> &quot;" + Words(2) + "&quot;";
        }
        if (Pick(3) == 0)
            p += "<br>\n" + Words(10);
        return p + "</p>\n";
    }
    std::string List() {
        const bool ordered = Pick(2) == 0;
        std::string l = ordered ? "<ol>\n" : "<ul>\n";
        for (unsigned k = Pick(6) + 2; k > 0; --k)
            l += "<li>" + Words(4 + static_cast<int>(Pick(14))) + "\n";
        return l + (ordered ? "</ol>\n" : "</ul>\n");
    }
    std::string Quote() {
        std::string q = "<blockquote>\n";
        for (unsigned k = Pick(3) + 1; k > 0; --k)
            q += "<p>" + Words(15 + static_cast<int>(Pick(30))) + "\n";
        return q + "</blockquote>\n";
    }
    std::string SmallTable() {
        const unsigned rows = 2 + Pick(7), cols = 2 + Pick(4);
        std::string t = Pick(2) ? "<table border=1 width=\"100%\">\n" : "<table>\n";
        if (Pick(3) == 0)
            t += "<caption>" + Words(3) + "</caption>\n";
        for (unsigned r = 0; r < rows; ++r) {
            t += "<tr>";
            for (unsigned c = 0; c < cols; ++c) {
                const char* cell = r == 0 && Pick(2) ? "th" : "td";
                t += std::string("<") + cell + ">" + Words(1 + static_cast<int>(Pick(6))) + "</" +
                     cell + ">";
            }
            t += "</tr>\n";
        }
        return t + "</table>\n";
    }
    std::string Heading() {
        const char level = static_cast<char>('1' + Pick(3));
        return std::string("<h") + level + ">" + Words(3 + static_cast<int>(Pick(5))) + "</h" +
               level + ">\n";
    }
    std::string Preformatted() {
        std::string p = "<pre>\n";
        for (unsigned k = Pick(6) + 2; k > 0; --k)
            p += "  " + Words(3 + static_cast<int>(Pick(6))) + "   " + std::to_string(Pick(999)) +
                 "\n";
        return p + "</pre>\n";
    }

  private:
    std::mt19937 rng_;
};

// A news page: by bytes about half paragraphs with links, lists and quote blocks, 15 %
// small tables (2-8 rows by 2-5 columns), and headings, rules and preformatted blocks.
inline std::string MixedPage(std::size_t size) {
    PageWriter w(19);
    std::string page = "<html><head><title>News</title></head><body>\n";
    while (page.size() < size) {
        const unsigned roll = w.Pick(100);
        if (roll < 50) {
            page += w.Paragraph();
        } else if (roll < 62) {
            page += w.List();
        } else if (roll < 70) {
            page += w.Quote();
        } else if (roll < 78) {
            page += w.SmallTable();
        } else if (roll < 90) {
            page += w.Heading();
        } else if (roll < 93) {
            page += "<hr>\n";
        } else {
            page += w.Preformatted();
        }
    }
    return page + "</body></html>\n";
}

// A page of tables only: small ones and every tenth one of 20-60 rows.
inline std::string TablePage(std::size_t size) {
    PageWriter w(23);
    std::string page = "<html><body>\n";
    int n = 0;
    while (page.size() < size) {
        if (++n % 10) {
            page += w.SmallTable();
            continue;
        }
        page += "<table border=1>\n";
        for (unsigned r = 20 + w.Pick(41); r > 0; --r) {
            page += "<tr><td>" + std::to_string(w.Pick(100000)) + "</td>";
            for (int c = 0; c < 4; ++c)
                page += "<td>" + w.Words(1 + static_cast<int>(w.Pick(4))) + "</td>";
            page += "</tr>\n";
        }
        page += "</table>\n";
    }
    return page + "</body></html>\n";
}

// One table of `rows` rows by `cols` short cells (the 60 000 x 30 case is 29 MB).
inline std::string GridPage(long rows, int cols) {
    std::string page = "<html><body><table border=1>\n";
    page.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols) * 16 + 64);
    for (long r = 0; r < rows; ++r) {
        page += "<tr>";
        for (int c = 0; c < cols; ++c) {
            page += "<td>";
            page += std::to_string(r * 31 % 100000);
            page += c % 3 ? "ab" : "xy";
            page += "</td>";
        }
        page += "</tr>\n";
    }
    return page + "</table></body></html>\n";
}

}  // namespace bench
