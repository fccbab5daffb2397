#include "html/TableParts.h"

#include <algorithm>

#include "base/EError.h"
#include "html/BlockParts.h"
#include "html/EHTMLError.h"
#include "html/ListParts.h"
#include "html/TColBlank.h"
#include "html/TextHelpers.h"
#include "text/TextUtil.h"

namespace HTMLParser {

namespace {

// HTML limits spans (HTML Living Standard, 4.9.11: colspan at most 1000, rowspan at most
// 65534); a span below 1 would leave the cell's slot to be taken by the next cell, losing
// its text, so it counts as 1.
constexpr long kMaxColSpan = 1000;
constexpr long kMaxRowSpan = 65534;
// Every slot of the grid costs a range, a text and a width entry: a table whose rows by
// columns exceed this is not laid out ("???Internal Table Error") rather than exhaust
// memory.
constexpr long long kMaxSlots = 1LL << 21;

long readSpan(const Element& cell, std::string_view attribute, long max) {
    long n = 1;
    if (!ReadInteger(cell.Attribute(attribute), n) || n < 1)
        return 1;
    return std::min(n, max);
}

// A cell text's lines: split at LF, a CR before it dropped; LineCount lines.
std::vector<std::string_view> cellLines(std::string_view text) {
    std::vector<std::string_view> lines;
    if (text.empty())
        return lines;
    for (;;) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (lf == std::string_view::npos)
            return lines;
        text.remove_prefix(lf + 1);
    }
}

void trimLineBreaks(std::string& text) {
    TrimLeadingLineBreaks(text);
    TrimTrailingLineBreaks(text);
}

// The text of a table, list or quote block nested in a cell, parsed from `p` (left on its
// closing element), followed by a blank line. Its layout error is passed on with
// " in <TABLE>" added; any other failure of the family becomes the internal error text.
template <typename Parts, typename Position>
std::string NestedCellText(Parts&& nested, Position& p, Position end, const char* internalError) {
    try {
        nested.Parse(p, end);
        return nested.Text() + "\r\n\r\n";
    } catch (const EHTMLError& err) {
        throw EHTMLError(std::string(err.what()) + " in <TABLE>");
    } catch (const EError&) {
        throw EError(internalError);
    }
}

}  // namespace

bool TableParts::HasCell(std::size_t row, std::size_t col) const {
    return grid_[row][col].start != noCell_;
}

long TableParts::ColSpan(std::size_t row, std::size_t col) const {
    return spans_[row][col].cs;
}

long TableParts::RowSpan(std::size_t row, std::size_t col) const {
    return spans_[row][col].rs;
}

// A cell goes to the first free slot, left to right, of the lowest row with a free
// column; no column is free above the floor, so that row is the floor.
void TableParts::PlaceCell() {
    curCol_ = static_cast<long>(fill_.FirstFree());
    curRow_ = fill_.Floor();
}

void TableParts::EndRow() {
    columnCount_ = std::max(columnCount_, cellsInRow_);
    cellsInRow_ = 0;
    fill_.RaiseAll(curRow_ + 1);
}

void TableParts::CloseCell(Position at) {
    if (!cellOpen_)
        return;
    cellOpen_ = false;
    const Element cell = *cellStart_;
    if (!cell.Is(ElementKind::Td) && !cell.Is(ElementKind::Th))
        return;
    const long cs = readSpan(cell, "colspan", kMaxColSpan);
    const long rs = readSpan(cell, "rowspan", kMaxRowSpan);
    cellsInRow_ += cs;
    placed_.push_back(PlacedCell{curRow_, curCol_, ElemEnds{cellStart_, at}, Spans{cs, rs}});
    fill_.Occupy(static_cast<std::size_t>(curCol_), static_cast<std::size_t>(cs), rs);
}

void TableParts::Parse(Position& position, Position end) {
    internal::NestingGuard guard;
    noCell_ = end;
    if (position == end || !position->Is(ElementKind::Table))
        throw EHTMLError("?\?\?<TABLE>");
    ++position;
    if (position == end)
        throw EHTMLError("?\?\?<TABLE>");
    if (position->Is(ElementKind::Caption)) {
        for (++position; position != end && !position->Is(ElementKind::CaptionEnd); ++position) {
            internal::Checkpoint();
            caption_ += position->Text();
        }
    } else if (position->Is(ElementKind::TableEnd)) {
        throw EHTMLError("?\?\?<Table>");
    }
    // A "th" before the first row or cell is passed over with its text.
    while (position != end && !position->Is(ElementKind::Tr) && !position->Is(ElementKind::Td)) {
        internal::Checkpoint();
        ++position;
    }
    if (position == end)
        throw EHTMLError("?\?\?<TABLE>");
    if (position->Is(ElementKind::Tr))
        ++position;

    bool rowClosed = false, stopped = false;
    long nestedTables = 0;
    for (; position != end; ++position) {
        internal::Checkpoint();
        const ElementKind kind = position->kind;
        if (nestedTables > 0) {
            // A nested table belongs to the open cell, whatever it holds.
            if (kind == ElementKind::Table) {
                ++nestedTables;
            } else if (kind == ElementKind::TableEnd) {
                --nestedTables;
            }
            continue;
        }
        switch (kind) {
            case ElementKind::Tr:
                CloseCell(position);
                if (rowClosed) {
                    rowClosed = false;
                } else {
                    EndRow();
                }
                break;
            case ElementKind::TrEnd:
                CloseCell(position);
                EndRow();
                rowClosed = true;
                break;
            case ElementKind::Th:
            case ElementKind::Td:
                rowClosed = false;
                CloseCell(position);
                PlaceCell();
                cellStart_ = position;
                cellOpen_ = true;
                break;
            case ElementKind::ThEnd:
            case ElementKind::TdEnd:
                CloseCell(position);
                break;
            case ElementKind::TableEnd:
                CloseCell(position);
                if (!rowClosed)
                    EndRow();
                stopped = true;
                break;
            case ElementKind::Table:
                nestedTables = 1;
                break;
            default:
                break;
        }
        if (stopped)
            break;
    }
    if (!stopped)
        throw EHTMLError("?\?\?</TABLE>");

    rowCount_ = fill_.Largest();
    if (rowCount_ == 0)
        throw EHTMLError("?\?\?</TABLE>");
    if (static_cast<long long>(rowCount_) * columnCount_ > kMaxSlots)
        throw EError("???Internal Table Error");
    // Exactly rowCount rows and columnCount columns: cells placed further right go.
    grid_.assign(static_cast<std::size_t>(rowCount_),
                 ElemVec(static_cast<std::size_t>(columnCount_), ElemEnds{noCell_, noCell_}));
    spans_.assign(static_cast<std::size_t>(rowCount_),
                  std::vector<Spans>(static_cast<std::size_t>(columnCount_)));
    for (const PlacedCell& cell : placed_) {
        if (cell.col >= columnCount_)
            continue;
        const auto r = static_cast<std::size_t>(cell.row), c = static_cast<std::size_t>(cell.col);
        grid_[r][c] = cell.range;
        spans_[r][c] = cell.spans;
    }
    placed_.clear();
    placed_.shrink_to_fit();
    cellTexts_.assign(static_cast<std::size_t>(rowCount_),
                      StrVec(static_cast<std::size_t>(columnCount_)));
    ComputeWidths();
    ComputeCellTexts();
}

void TableParts::ComputeWidths() {
    const auto rows = static_cast<std::size_t>(rowCount_);
    const auto cols = static_cast<std::size_t>(columnCount_);
    const long long avail = std::max(width_ - 6L * depth_, 12L);

    // values[col][row]: what each row asks of each column.
    std::vector<std::vector<long long>> values(cols, std::vector<long long>(rows, 0));
    for (std::size_t r = 0; r < rows; ++r) {
        internal::Checkpoint();
        long long rowSum = 0;
        for (std::size_t c = 0; c < cols; ++c) {
            if (!HasCell(r, c))
                continue;
            const ElemEnds& cell = grid_[r][c];
            const Element start = *cell.start;
            if (!start.Is(ElementKind::Td) && !start.Is(ElementKind::Th))
                throw EHTMLError("?\?\?<TH>/<TD>");
            long long len = 0;
            for (Position p = std::next(cell.start); p != cell.end; ++p)
                if (p->Is(ElementKind::Data))
                    len += p->Width();
            const long cs = ColSpan(r, c);
            if (cs == 1) {
                values[c][r] = len;
            } else {
                for (std::size_t k = c; k < cols && k < c + static_cast<std::size_t>(cs); ++k)
                    values[k][r] = len / cs;
            }
            rowSum += len;
        }
        if (rowSum > avail) {
            for (std::size_t c = 0; c < cols; ++c) {
                long long& m = values[c][r];
                if (m > 12)
                    m = std::max(m * avail / rowSum, 12LL);
            }
        }
    }

    colWidths_.assign(cols, 0);
    long long total = 0;
    for (std::size_t c = 0; c < cols; ++c) {
        std::vector<long long>& v = values[c];
        std::sort(v.begin(), v.end());
        const long long largest = v.empty() ? 0 : v.back();
        long long w;
        if (rows <= 2 || largest < 12) {
            w = largest;
        } else {
            // The larger half of the non-zero lengths: one very long cell does not widen
            // the column much.
            const std::size_t zeros = static_cast<std::size_t>(std::count(v.begin(), v.end(), 0LL));
            const std::size_t from = zeros + (rows - zeros) / 2;
            long long sum = 0;
            for (std::size_t i = from; i < rows; ++i)
                sum += v[i];
            w = sum / static_cast<long long>(rows - from);
        }
        colWidths_[c] = static_cast<long>(w);
        total += w;
    }
    if (total > avail) {
        for (long& w : colWidths_)
            if (w > 12)
                w = static_cast<long>(std::max(w * avail / total, 12LL));
    }
}

std::string TableParts::BlankCell(std::size_t col, long span) const {
    std::string blank = TColBlank::Blank(colWidths_[col]);
    for (std::size_t k = col + 1; k < colWidths_.size() && k < col + static_cast<std::size_t>(span);
         ++k) {
        blank += '\t';
        blank += TColBlank::Blank(colWidths_[k]);
    }
    return blank;
}

void TableParts::ComputeCellTexts() {
    const auto rows = static_cast<std::size_t>(rowCount_);
    const auto cols = static_cast<std::size_t>(columnCount_);
    for (std::size_t r = 0; r < rows; ++r) {
        for (std::size_t c = 0; c < cols; ++c) {
            internal::Checkpoint();
            if (!HasCell(r, c))
                continue;
            const long rs = RowSpan(r, c), cs = ColSpan(r, c);
            if (rowCount_ < static_cast<long>(r) + rs)
                throw EError("?\?\?<TABLE>");
            const std::string t = CellText(r, c);
            const std::vector<std::string_view> lines = SplitLines(t);
            const auto n = static_cast<long>(lines.size());
            if (n >= rs) {
                for (long k = 0; k < n; ++k) {
                    if (k < rs) {
                        cellTexts_[r + static_cast<std::size_t>(k)][c] = lines[k];
                    } else {
                        std::string& last = cellTexts_[r + static_cast<std::size_t>(rs) - 1][c];
                        last += "\r\n";
                        last += lines[k];
                    }
                }
            } else if (n > 0) {
                for (long k = 0; k < rs; ++k) {
                    std::string& slot = cellTexts_[r + static_cast<std::size_t>(k)][c];
                    if (k < n && !lines[k].empty()) {
                        slot = lines[k];
                    } else {
                        slot = BlankCell(c, cs);
                    }
                }
            }
        }
    }
}

std::string TableParts::CellText(std::size_t row, std::size_t col) {
    const long cs = ColSpan(row, col);
    long long w = colWidths_[col];
    for (std::size_t k = col + 1; k < colWidths_.size() && k < col + static_cast<std::size_t>(cs);
         ++k)
        w += colWidths_[k];
    w = std::min<long long>(w, width_);
    if (w <= 0)
        return {};
    const ElemEnds& cell = grid_[row][col];
    Position p = std::next(cell.start);
    const Position end = cell.end;
    if (p == end)
        return BlankCell(col, cs);

    const long cellWidth = static_cast<long>(w);
    const bool pad = static_cast<long>(col) < columnCount_ - 1;
    std::string c;
    bool preformatted = false;
    for (; p != end; ++p) {
        internal::Checkpoint();
        const Element e = *p;
        switch (e.kind) {
            case ElementKind::Table:
                if (!internal::NestingGuard::CanDescend())
                    break;
                EnsureBlankLines(c, 1);
                c += NestedCellText(TableParts(cellWidth, 0, nesting_ + 1), p, end,
                                    "???Internal Table Error");
                break;
            case ElementKind::Ol:
            case ElementKind::Ul:
            case ElementKind::Dl:
            case ElementKind::Menu:
            case ElementKind::Dir:
                if (!internal::NestingGuard::CanDescend())
                    break;
                EnsureBlankLines(c, 1);
                c += NestedCellText(ListParts(cellWidth, 0), p, end, "???Internal List Error");
                break;
            case ElementKind::Blockquote:
                if (!internal::NestingGuard::CanDescend())
                    break;
                EnsureBlankLines(c, 1);
                c += NestedCellText(BlockParts(cellWidth, 0), p, end, "???Internal Block Error");
                break;
            case ElementKind::Pre:
                EnsureBlankLines(c, 1);
                preformatted = true;
                break;
            case ElementKind::PreEnd:
                EnsureBlankLines(c, 1);
                preformatted = false;
                break;
            case ElementKind::P:
            case ElementKind::Div:
                if (!c.empty())
                    EnsureBlankLines(c, 1);
                break;
            case ElementKind::PEnd:
            case ElementKind::DivEnd:
            case ElementKind::Hr:  // a cell draws no rule
                EnsureBlankLines(c, 1);
                break;
            case ElementKind::Br:
                if (!EndsWithBlankLine(c))
                    c += "\r\n";
                break;
            case ElementKind::H1:
            case ElementKind::H2:
            case ElementKind::H3:
                EnsureBlankLines(c, 2);
                c += ">>> ";
                break;
            case ElementKind::H1End:
            case ElementKind::H2End:
            case ElementKind::H3End:
                c += " <<<\r\n";
                break;
            case ElementKind::Data:
                CapTrailingBreaks(c);
                if (!e.Text().empty()) {
                    if (preformatted) {
                        c += e.Text();
                    } else {
                        AppendWrappedText(c, e.Text(), cellWidth, pad);
                    }
                }
                break;
            default:
                break;
        }
        if (p == end)
            break;
    }
    trimLineBreaks(c);
    return c;
}

std::string TableParts::Text() {
    const auto rows = static_cast<std::size_t>(rowCount_);
    const auto cols = static_cast<std::size_t>(columnCount_);

    // The span of the cell that covers each slot of the row: the first cell looking upward.
    std::vector<long> coverSpan(cols, 1);
    const std::string indent(static_cast<std::size_t>(depth_), '\t');
    std::string body;
    std::vector<std::string> lines;
    for (std::size_t r = 0; r < rows; ++r) {
        internal::Checkpoint();
        StrVec& texts = cellTexts_[r];
        for (std::size_t c = 0; c < cols; ++c)
            if (HasCell(r, c))
                coverSpan[c] = ColSpan(r, c);
        // Even out the row: short cells get blank lines of their column's width, so the
        // tabs of the longer cells' lines still line up.
        std::size_t most = 0;
        for (const std::string& t : texts)
            most = std::max(most, LineCount(t));
        for (std::size_t c = 0; c < cols; ++c) {
            std::string& t = texts[c];
            if (t.empty())
                continue;
            const std::size_t count = LineCount(t);
            if (count >= most)
                continue;
            const std::string blank = BlankCell(c, coverSpan[c]);
            for (std::size_t k = count; k < most; ++k) {
                t += "\r\n";
                t += blank;
            }
        }
        lines.clear();
        if (cols > 0)
            for (std::string_view line : cellLines(texts[0]))
                lines.emplace_back(line);
        for (std::size_t c = 1; c < cols; ++c) {
            if (texts[c].empty())
                continue;  // an empty cell adds nothing, not even the tab
            const std::vector<std::string_view> cl = cellLines(texts[c]);
            if (lines.size() < cl.size())
                lines.resize(cl.size());
            for (std::size_t k = 0; k < cl.size(); ++k) {
                lines[k] += '\t';
                lines[k] += cl[k];
            }
        }
        std::string rowText;
        for (const std::string& line : lines) {
            rowText += line;
            rowText += "\r\n";
        }
        while (!rowText.empty() && static_cast<unsigned char>(rowText.back()) <= 0x20)
            rowText.pop_back();
        if (r > 0)
            body += "\r\n\r\n";
        body += indent;
        body += rowText;
    }
    trimLineBreaks(body);

    std::string rule;
    for (int k = 0; k <= nesting_; ++k)
        rule += "___";
    std::string text;
    if (!caption_.empty()) {
        text += indent + "*** " + caption_ + " ***\r\n";
    }
    text += indent + rule + "\r\n\r\n";
    text += body;
    text += "\r\n";
    text += indent;
    text += rule;
    return text;
}

}  // namespace HTMLParser
