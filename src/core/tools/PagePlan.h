#pragma once

#include <vector>

// Page layout of a printed record, in printer pixels: pure arithmetic, so it is tested
// without a printer. TPagePrinter draws what these functions plan.

namespace pageplan {

struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct TPageGeometry {
    int lineHeight = 1;
    int linesPerPage = 1;  // body lines on one page; at least 1
    int leftMargin = 0;
    TRect header;  // title line area: two line heights at the top
    TRect footer;  // page number and time: the last line height of the page
};

// The geometry for a font of `pointSize` points on a page of pageWidth x pageHeight
// pixels at dpiX x dpiY pixels per inch:
//   h = |pointSize x dpiY / 72| rounded; line height = h x 1.4 truncated (the double 1.4
//   lies just below 1.4, so h = 10 gives 13); lines per page = (footer top - header
//   bottom) / line height - 2; left margin = 15 mm at dpiX, truncated.
// A font so large that no body line fits still gets one line a page (and a line height of
// at least one pixel), so the page count can always be computed.
TPageGeometry ComputeGeometry(int pointSize, int dpiX, int dpiY, int pageWidth, int pageHeight);

// (lineCount + linesPerPage - 1) / linesPerPage.
int PageCount(int lineCount, int linesPerPage);

// One printed page: its number and the body lines [firstLine, endLine) it holds.
struct TPlannedPage {
    int number = 0;
    int firstLine = 0;
    int endLine = 0;
};

// The pages that printing firstPage..lastPage of lineCount lines gives, in order. Always
// at least one page: a range that holds no line (its first page after its last, or beyond
// the text) prints one page, numbered firstPage, with the title and footer only.
std::vector<TPlannedPage> PlanPages(int lineCount, int linesPerPage, int firstPage, int lastPage);

}  // namespace pageplan
