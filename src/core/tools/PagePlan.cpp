#include "tools/PagePlan.h"

#include <algorithm>
#include <cstdlib>

namespace pageplan {
namespace {

// a x b / c rounded to the nearest integer, halves away from zero, in 64 bits.
long long mulDiv(long long a, long long b, long long c) {
    const long long product = a * b;
    const long long half = c / 2;
    return product >= 0 ? (product + half) / c : (product - half) / c;
}

// h x 1.4 truncated, with 1.4 as the double nearest it (6305039478318694 / 2^52, just
// below 1.4) and the product exact, as an 80-bit multiply would give it: a double product
// rounds 10 x 1.4 up to 14, where the exact product 13.99... truncates to 13.
long long timesOnePointFour(long long h) {
    constexpr unsigned long long kMantissa = 6305039478318694ULL;
    return static_cast<long long>((static_cast<unsigned __int128>(h) * kMantissa) >> 52);
}

}  // namespace

TPageGeometry ComputeGeometry(int pointSize, int dpiX, int dpiY, int pageWidth, int pageHeight) {
    TPageGeometry g;
    const long long h = std::llabs(mulDiv(pointSize, dpiY, 72));
    g.lineHeight = static_cast<int>(std::max(1LL, timesOnePointFour(h)));
    g.header = {0, 0, pageWidth, 2 * g.lineHeight};
    g.footer = {0, pageHeight - g.lineHeight, pageWidth, pageHeight};
    g.linesPerPage = std::max(1, (g.footer.top - g.header.bottom) / g.lineHeight - 2);
    g.leftMargin = static_cast<int>(dpiX * 15 * 0.03937007874015748);
    return g;
}

int PageCount(int lineCount, int linesPerPage) {
    linesPerPage = std::max(1, linesPerPage);
    return (std::max(0, lineCount) + linesPerPage - 1) / linesPerPage;
}

std::vector<TPlannedPage> PlanPages(int lineCount, int linesPerPage, int firstPage, int lastPage) {
    linesPerPage = std::max(1, linesPerPage);
    const long long firstLine = static_cast<long long>(linesPerPage) * (firstPage - 1);
    const long long endLine =
        std::min<long long>(static_cast<long long>(linesPerPage) * lastPage, lineCount);
    std::vector<TPlannedPage> pages;
    TPlannedPage page{firstPage, static_cast<int>(std::max(0LL, firstLine)),
                      static_cast<int>(std::max(0LL, firstLine))};
    for (long long line = std::max(0LL, firstLine); line < endLine; ++line) {
        if (page.endLine - page.firstLine == linesPerPage) {
            pages.push_back(page);
            page = {page.number + 1, static_cast<int>(line), static_cast<int>(line)};
        }
        ++page.endLine;
    }
    pages.push_back(page);
    return pages;
}

}  // namespace pageplan
