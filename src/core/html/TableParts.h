#pragma once

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
    // The table's text. Evens out the rows' line counts in place on the first call.
    std::string Text();

  private:
    bool HasCell(std::size_t row, std::size_t col) const;
    long ColSpan(std::size_t row, std::size_t col) const;
    long RowSpan(std::size_t row, std::size_t col) const;
    void PlaceCell();
    void EndRow();
    void CloseCell(Position at);
    void ComputeWidths();
    void ComputeCellTexts();
    std::string CellText(std::size_t row, std::size_t col);
    std::string BlankCell(std::size_t col, long span) const;

    long width_;
    int depth_;
    int nesting_;
    Position noCell_{};  // both positions of a slot without a cell

    ElemMtrx grid_;
    // The colspan and rowspan of the cell in each slot, read once when the cell closes.
    struct Spans {
        long cs = 1;
        long rs = 1;
    };
    std::vector<std::vector<Spans>> spans_;
    // The cells in the order they closed, placed on the grid once its size is known.
    struct PlacedCell {
        long row;
        long col;
        ElemEnds range;
        Spans spans;
    };
    std::vector<PlacedCell> placed_;
    StrMtrx cellTexts_;
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
