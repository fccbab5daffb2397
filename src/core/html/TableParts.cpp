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

// The next line of a cell text, split at LF with a CR before it dropped, taken from the
// front of `rest`.
std::string_view nextLine(std::string_view& rest) {
    const std::size_t lf = rest.find('\n');
    std::string_view line = rest.substr(0, lf);
    rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// Calls f(line) for each line of the text as SplitLines gives them, and returns the count.
template <typename F>
std::size_t forEachSplitLine(std::string_view text, F&& f) {
    std::size_t pos = 0, n = 0;
    while (pos < text.size()) {
        std::size_t e = pos;
        while (e < text.size() && text[e] != '\r' && text[e] != '\n')
            ++e;
        f(n++, text.substr(pos, e - pos));
        if (e == text.size())
            break;
        pos = (text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ? e + 2 : e + 1;
    }
    return n;
}

// Whether every line break of the text is a CR LF pair.
bool OnlyCrLfBreaks(std::string_view text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\n')
            return false;
        if (text[at] == '\r') {
            if (at + 1 == text.size() || text[at + 1] != '\n')
                return false;
            ++at;
        }
    }
    return true;
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
    while (rowFirst_.size() <= static_cast<std::size_t>(curRow_))
        rowFirst_.push_back(static_cast<std::uint32_t>(cells_.size()));
    cells_.push_back(Cell{static_cast<std::uint32_t>(curCol_),
                          static_cast<std::uint32_t>(cellStart_.Index()),
                          static_cast<std::uint32_t>(at.Index()), static_cast<std::uint16_t>(cs),
                          static_cast<std::uint16_t>(rs)});
    fill_.Occupy(static_cast<std::size_t>(curCol_), static_cast<std::size_t>(cs), rs);
}

void TableParts::Parse(Position& position, Position end) {
    internal::NestingGuard guard;
    elements_ = &position.Owner();
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
        const ElementKind kind = position.Kind();
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
    const auto rows = static_cast<std::size_t>(rowCount_);
    std::size_t kept = 0;
    for (std::size_t r = 0, cell = 0; r < rowFirst_.size(); ++r) {
        const std::size_t last = r + 1 < rowFirst_.size() ? rowFirst_[r + 1] : cells_.size();
        rowFirst_[r] = static_cast<std::uint32_t>(kept);
        for (; cell < last; ++cell)
            if (cells_[cell].col < static_cast<std::uint32_t>(columnCount_))
                cells_[kept++] = cells_[cell];
    }
    cells_.resize(kept);
    rowFirst_.resize(rows + 1, static_cast<std::uint32_t>(kept));
    ComputeWidths();
    // A row is laid out once the rows above it have given it their spanning cells' lines.
    cellTexts_.resize(rows);
    coverSpan_.assign(static_cast<std::size_t>(columnCount_), 1);
    for (std::size_t r = 0; r < rows; ++r) {
        ComputeRowTexts(r);
        AppendRow(r);
        StrVec().swap(cellTexts_[r]);
    }
    trimLineBreaks(body_);
    // Only the text is asked for now: the grid goes before the caller copies it.
    std::vector<Cell>().swap(cells_);
    std::vector<std::uint32_t>().swap(rowFirst_);
    StrMtrx().swap(cellTexts_);
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
        for (const Cell* cell = RowBegin(r); cell != RowEnd(r); ++cell) {
            const std::size_t c = cell->col;
            const ElementKind startKind = elements_->KindAt(cell->start);
            if (startKind != ElementKind::Td && startKind != ElementKind::Th)
                throw EHTMLError("?\?\?<TH>/<TD>");
            long long len = 0;
            for (std::size_t p = cell->start + 1; p < cell->end; ++p)
                if (elements_->KindAt(p) == ElementKind::Data)
                    len += static_cast<long long>(elements_->BytesAt(p));
            const long cs = cell->cs;
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

StrVec& TableParts::RowTexts(std::size_t row) {
    StrVec& texts = cellTexts_[row];
    if (texts.empty())
        texts.resize(static_cast<std::size_t>(columnCount_));
    return texts;
}

void TableParts::ComputeRowTexts(std::size_t r) {
    for (const Cell* cell = RowBegin(r); cell != RowEnd(r); ++cell) {
        internal::Checkpoint();
        const std::size_t c = cell->col;
        const long rs = cell->rs, cs = cell->cs;
        if (rowCount_ < static_cast<long>(r) + rs)
            throw EError("?\?\?<TABLE>");
        std::string t = CellText(*cell);
        if (rs == 1 && OnlyCrLfBreaks(t)) {
            // One row: its lines joined again with CR LF, which is the text itself.
            if (!t.empty())
                RowTexts(r)[c] = std::move(t);
            continue;
        }
        lines_.clear();
        forEachSplitLine(t, [&](std::size_t, std::string_view line) { lines_.push_back(line); });
        const auto n = static_cast<long>(lines_.size());
        if (n >= rs) {
            for (long k = 0; k < n; ++k) {
                if (k < rs) {
                    RowTexts(r + static_cast<std::size_t>(k))[c] = lines_[k];
                } else {
                    std::string& last = RowTexts(r + static_cast<std::size_t>(rs) - 1)[c];
                    last += "\r\n";
                    last += lines_[k];
                }
            }
        } else if (n > 0) {
            for (long k = 0; k < rs; ++k) {
                std::string& slot = RowTexts(r + static_cast<std::size_t>(k))[c];
                if (k < n && !lines_[k].empty()) {
                    slot = lines_[k];
                } else {
                    slot = BlankCell(c, cs);
                }
            }
        }
    }
}

std::string TableParts::CellText(const Cell& cell) {
    const std::size_t col = cell.col;
    const long cs = cell.cs;
    long long w = colWidths_[col];
    for (std::size_t k = col + 1; k < colWidths_.size() && k < col + static_cast<std::size_t>(cs);
         ++k)
        w += colWidths_[k];
    w = std::min<long long>(w, width_);
    if (w <= 0)
        return {};
    Position p = elements_->At(cell.start + 1);
    const Position end = elements_->At(cell.end);
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

void TableParts::AppendRow(std::size_t r) {
    internal::Checkpoint();
    const auto cols = static_cast<std::size_t>(columnCount_);
    for (const Cell* cell = RowBegin(r); cell != RowEnd(r); ++cell)
        coverSpan_[cell->col] = cell->cs;
    if (r > 0)
        body_ += "\r\n\r\n";
    body_.append(static_cast<std::size_t>(depth_), '\t');
    const std::size_t rowStart = body_.size();
    const StrVec& texts = cellTexts_[r];
    if (texts.empty())
        return;  // no cell reaches this row
    // Short cells are evened out with blank lines of their column's width, so the tabs of
    // the longer cells' lines still line up; every line ends in CR LF, and the row then
    // loses its trailing blanks and breaks. An empty cell adds nothing, not even the tab.
    rest_.resize(cols);
    counts_.resize(cols);
    blanks_.resize(cols);
    std::size_t most = 0;
    for (std::size_t c = 0; c < cols; ++c) {
        counts_[c] = LineCount(texts[c]);
        most = std::max(most, counts_[c]);
    }
    for (std::size_t c = 0; c < cols; ++c) {
        rest_[c] = texts[c];
        if (!texts[c].empty() && counts_[c] < most) {
            blanks_[c] = BlankCell(c, coverSpan_[c]);
        }
    }
    for (std::size_t k = 0; k < most; ++k) {
        for (std::size_t c = 0; c < cols; ++c) {
            if (texts[c].empty())
                continue;
            if (c > 0)
                body_ += '\t';
            if (k < counts_[c]) {
                body_ += nextLine(rest_[c]);
            } else {
                body_ += blanks_[c];
            }
        }
        body_ += "\r\n";
    }
    while (body_.size() > rowStart && static_cast<unsigned char>(body_.back()) <= 0x20)
        body_.pop_back();
}

std::string TableParts::Text() const {
    std::string rule;
    for (int k = 0; k <= nesting_; ++k)
        rule += "___";
    const std::string indent(static_cast<std::size_t>(depth_), '\t');
    std::string text;
    text.reserve(body_.size() + caption_.size() + 2 * (indent.size() + rule.size()) + 16);
    if (!caption_.empty()) {
        text += indent;
        text += "*** ";
        text += caption_;
        text += " ***\r\n";
    }
    text += indent;
    text += rule;
    text += "\r\n\r\n";
    text += body_;
    text += "\r\n";
    text += indent;
    text += rule;
    return text;
}

}  // namespace HTMLParser
