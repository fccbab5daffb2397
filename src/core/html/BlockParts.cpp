#include "html/BlockParts.h"

#include <algorithm>

#include "base/EError.h"
#include "html/EHTMLError.h"
#include "html/ListParts.h"
#include "html/TableParts.h"
#include "html/TextHelpers.h"

namespace HTMLParser {

namespace {

// The lines of a wrapped text (lines joined by CR LF); a text has at least one line.
template <typename F>
void forEachLine(std::string_view wrapped, F&& f) {
    for (;;) {
        const std::size_t crlf = wrapped.find("\r\n");
        if (crlf == std::string_view::npos) {
            f(wrapped);
            return;
        }
        f(wrapped.substr(0, crlf));
        wrapped.remove_prefix(crlf + 2);
    }
}

}  // namespace

std::string BlockParts::BlockText(std::string_view t) const {
    if (t.empty())
        return {};
    const std::string wrapped = WrapText(t, std::max(width_ - 6L * depth_, 12L), false);
    const std::string indent(static_cast<std::size_t>(depth_), '\t');
    std::string out;
    out.reserve(wrapped.size() + wrapped.size() / 8 + indent.size());
    bool first = true;
    forEachLine(wrapped, [&](std::string_view line) {
        if (!first)
            out += "\r\n";
        first = false;
        out += indent;
        out += line;
    });
    return out;
}

void BlockParts::Parse(Position& position, Position end) {
    internal::NestingGuard guard;
    if (position == end || !position->Is(ElementKind::Blockquote))
        throw EHTMLError("?\?\?<BLOCKQUOTE>");
    ++position;
    // A nested part that fails with an error outside the layout errors leaves the
    // internal error line of the page's container calls in the block, which goes on.
    auto internalError = [this](const char* line) {
        text_ += "\r\n";
        text_ += line;
        text_ += "\r\n";
    };
    while (position != end && !position->Is(ElementKind::BlockquoteEnd)) {
        internal::Checkpoint();
        const Element e = *position;
        switch (e.kind) {
            case ElementKind::Blockquote:
                if (!internal::NestingGuard::CanDescend())
                    break;
                EnsureBlankLines(text_, 2);
                try {
                    BlockParts nested(width_, depth_ + 1);
                    nested.Parse(position, end);
                    text_ += nested.Text();
                } catch (const EHTMLError& err) {
                    // No blank before "in", unlike the other two.
                    throw EHTMLError(std::string(err.what()) + "in <BLOCKQUOTE>");
                } catch (const EError&) {
                    internalError("???Internal Block Error");
                }
                break;
            case ElementKind::Table:
                if (!internal::NestingGuard::CanDescend())
                    break;
                EnsureBlankLines(text_, 2);
                try {
                    TableParts nested(width_, depth_, 0);
                    nested.Parse(position, end);
                    text_ += nested.Text();
                } catch (const EHTMLError& err) {
                    // Without the closing ">", as the block has always written it.
                    throw EHTMLError(std::string(err.what()) + " in <BLOCKQUOTE");
                } catch (const EError&) {
                    internalError("???Internal Table Error");
                }
                break;
            case ElementKind::Ol:
            case ElementKind::Ul:
            case ElementKind::Dl:
            case ElementKind::Menu:
            case ElementKind::Dir:
                if (!internal::NestingGuard::CanDescend())
                    break;
                EnsureBlankLines(text_, 2);
                try {
                    ListParts nested(width_, depth_ + 1);
                    nested.Parse(position, end);
                    text_ += nested.Text();
                } catch (const EHTMLError& err) {
                    throw EHTMLError(std::string(err.what()) + " in <BLOCKQUOTE>");
                } catch (const EError&) {
                    internalError("???Internal List Error");
                }
                break;
            case ElementKind::P:
            case ElementKind::Div:
            case ElementKind::PEnd:
            case ElementKind::DivEnd:
                EnsureBlankLines(text_, 1);
                break;
            case ElementKind::Br:
                if (!EndsWithBlankLine(text_))
                    text_ += "\r\n";
                break;
            case ElementKind::Hr:
                EnsureBlankLines(text_, 1);
                text_ += RuleLine(width_ * 57 / 72);
                text_ += "\r\n\r\n";
                break;
            case ElementKind::Data:
                CapTrailingBreaks(text_);
                text_ += BlockText(e.Text());
                break;
            default:
                break;
        }
        if (position == end)
            break;
        ++position;
    }
    if (position == end)
        throw EHTMLError("?\?\?</BLOCKQUOTE>");
}

}  // namespace HTMLParser
