#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "html/ColumnFill_p.h"
#include "html/Elements.h"

namespace HTMLParser {

// One table laid out as text for a proportional font with tab stops: cells placed on a
// grid (colspan and rowspan honoured), a width per column from the lengths of the cell
// texts, each cell's content wrapped to its column and padded with TColBlank blanks, the
// cells of a row joined line by line with a tab between columns, rows separated by blank
// lines, the whole framed by rules of "_" with the caption on top. Made, parsed, asked
// for its text, discarded; it holds positions into the sequence, never elements.
class TableParts {
  public:
    // width: what the table may use (72 on the page, the cell width inside a cell);
    // depth: indentation in tabs (a quote block's level, else 0); nesting: 0 for a table
    // on the page or in a quote block, the enclosing table's + 1 in a cell.
    TableParts(long width, int depth, int nesting)
        : width_(width), depth_(depth), nesting_(nesting) {}

    // `position` stands on the "table"; on success it is left on the table's "/table" and
    // the cell texts are ready. Throws EHTMLError ("???<TABLE>", "???<Table>",
    // "???</TABLE>", "???<TH>/<TD>", a nested part's message + " in <TABLE>") or EError
    // ("???<TABLE>" for a row span below the last row, "???Internal ... Error" for a
    // nested part's other failure and for a grid too large to lay out).
    void Parse(Position& position, Position end);
    // The table's text.
    std::string Text() const;

  private:
    // A placed cell: its column, its elements (from the "td"/"th" to the element that
    // closed it) and its spans. The cells are kept in placement order, which is by row and
    // left to right within a row, so a row's cells are one stretch of them.
    struct Cell {
        std::uint32_t col;
        std::uint32_t start;
        std::uint32_t end;
        std::uint16_t cs;
        std::uint16_t rs;
    };

    void PlaceCell();
    void EndRow();
    void CloseCell(Position at);
    void ComputeWidths();
    void ComputeRowTexts(std::size_t row);
    void AppendRow(std::size_t row);
    StrVec& RowTexts(std::size_t row);
    std::string CellText(const Cell& cell);
    std::string BlankCell(std::size_t col, long span) const;
    const Cell* RowBegin(std::size_t row) const { return cells_.data() + rowFirst_[row]; }
    const Cell* RowEnd(std::size_t row) const { return cells_.data() + rowFirst_[row + 1]; }

    long width_;
    int depth_;
    int nesting_;
    const Elements* elements_ = nullptr;

    std::vector<Cell> cells_;
    std::vector<std::uint32_t> rowFirst_;  // per row, its first cell; one more at the end
    // The texts of the rows not yet written: a cell's lines go to the rows it spans, so a
    // row is complete once the rows above it have been laid out.
    StrMtrx cellTexts_;
    std::vector<std::string_view> lines_;  // the lines of the cell being placed
    std::vector<long> coverSpan_;
    std::vector<std::string_view> rest_;  // per column, the lines of the row still to write
    std::vector<std::size_t> counts_;     // per column, the lines of its text
    StrVec blanks_;     // per column, the blank line that evens it out  // the span of the cell
                        // covering each slot of the row
    std::string body_;  // the rows written so far
    internal::ColumnFill fill_;  // the first free row of each column
    bool cellOpen_ = false;
    Position cellStart_{};
    long curRow_ = 0;
    long curCol_ = 0;
    long cellsInRow_ = 0;
    long columnCount_ = 0;
    long rowCount_ = 0;
    std::string caption_;
    std::vector<long> colWidths_;
};

}  // namespace HTMLParser
