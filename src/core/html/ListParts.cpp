#include "html/ListParts.h"

#include <algorithm>

#include "base/EError.h"
#include "html/EHTMLError.h"
#include "html/TextHelpers.h"
#include "text/TextUtil.h"

namespace HTMLParser {

namespace {

ElementKind closingKind(ElementKind list) {
    switch (list) {
        case ElementKind::Ol:
            return ElementKind::OlEnd;
        case ElementKind::Ul:
            return ElementKind::UlEnd;
        case ElementKind::Dl:
            return ElementKind::DlEnd;
        case ElementKind::Menu:
            return ElementKind::MenuEnd;
        case ElementKind::Dir:
            return ElementKind::DirEnd;
        default:
            return ElementKind::Other;
    }
}

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return s;
}

}  // namespace

std::string ListParts::UpperListTag() const {
    return upper(listTag_);
}

void ListParts::Parse(Position& position, Position end) {
    internal::NestingGuard guard;
    if (position == end)
        throw EHTMLError("?\?\?<>");
    const Element opening = *position;
    listTag_ = opening.name;
    listKind_ = opening.kind;
    start_ = 1;
    switch (listKind_) {
        case ElementKind::Ol:
            itemKind_ = ElementKind::Li;
            listType_ = opening.Attribute("type");
            if (long n; ReadInteger(opening.Attribute("start"), n))
                start_ = n;
            break;
        case ElementKind::Ul:
        case ElementKind::Dir:
        case ElementKind::Menu:
            itemKind_ = ElementKind::Li;
            break;
        case ElementKind::Dl:
            itemKind_ = ElementKind::Other;
            break;
        default:
            throw EHTMLError("?\?\?<" + UpperListTag() + ">");
    }

    // The first item: an item tag, or text, which forms an item of its own. The search
    // does not stop at the list's own closing tag.
    auto startsItem = [this](const Element& e) {
        if (e.Is(ElementKind::Data))
            return true;
        if (listKind_ == ElementKind::Dl)
            return e.Is(ElementKind::Dt) || e.Is(ElementKind::Dd);
        return e.Is(ElementKind::Li);
    };
    while (position != end && !startsItem(*position)) {
        internal::Checkpoint();
        ++position;
    }
    if (position == end)
        throw EHTMLError("?\?\?<" + UpperListTag() + ">");
    if (listKind_ == ElementKind::Dl && !position->Is(ElementKind::Data))
        itemKind_ = position->kind;
    Position itemStart = position;
    ++position;

    const ElementKind closing = closingKind(listKind_);
    for (; position != end; ++position) {
        internal::Checkpoint();
        const Element e = *position;
        if (e.IsListTag()) {
            try {
                SkipNestedList(position, end);
            } catch (const EHTMLError& err) {
                throw EHTMLError(std::string(err.what()) + " in " + UpperListTag());
            } catch (const EError&) {
                throw EError("???Internal List Error");
            }
        } else if (itemKind_ != ElementKind::Other && e.kind == itemKind_) {
            items_.push_back({itemStart, position});
            itemStart = position;
        } else if (e.kind == closing) {
            items_.push_back({itemStart, position});
            LayOutItems();
            return;
        }
    }
    throw EHTMLError("?\?\?</" + UpperListTag() + ">");
}

void ListParts::SkipNestedList(Position& position, Position end) const {
    // Nesting is counted per name: a "ul" inside a skipped "ol" is not counted.
    const Element nested = *position;
    const ElementKind opening = nested.kind, closing = closingKind(opening);
    long level = 1;
    for (++position; position != end; ++position) {
        internal::Checkpoint();
        const ElementKind k = position->kind;
        if (k == opening) {
            ++level;
        } else if (k == closing && --level == 0) {
            return;
        }
    }
    throw EHTMLError("?\?\?<" + std::string(nested.name) + ">");
}

std::string ListParts::ItemLabel(const std::string& type, std::size_t i) const {
    if (type == "A" || type == "a") {
        // Byte arithmetic: after "Z" the following bytes of the code page are used.
        const long long code =
            static_cast<unsigned char>(type[0]) + start_ + static_cast<long long>(i) - 1;
        std::string label(1, static_cast<char>(static_cast<unsigned long long>(code) & 0xFF));
        return label + ". ";
    }
    const long long n = static_cast<long long>(i) + start_;
    return (n < 10 ? " " : "") + std::to_string(n) + ". ";
}

std::string ListParts::FormatItem(std::string_view text, const std::string& marker) const {
    const std::string indent(static_cast<std::size_t>(depth_), '\t');
    const std::string continuation = indent + std::string(marker.size(), ' ');
    const long wrapWidth = std::max(width_ - 6L * depth_ - static_cast<long>(marker.size()), 12L);
    const std::string wrapped = WrapText(text, wrapWidth, false);
    std::string out;
    out.reserve(wrapped.size() + 16);
    std::string_view rest = wrapped;
    bool first = true;
    for (;;) {
        const std::size_t crlf = rest.find("\r\n");
        out += first ? indent + marker : continuation;
        first = false;
        out += rest.substr(0, crlf);
        out += "\r\n";
        if (crlf == std::string_view::npos)
            break;
        rest.remove_prefix(crlf + 2);
    }
    while (!out.empty() && static_cast<unsigned char>(out.back()) <= 0x20)
        out.pop_back();
    return out;
}

void ListParts::LayOutItems() {
    std::string currentType = listType_;
    std::string marker;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const ElemEnds& item = items_[i];
        const Element first = *item.start;
        Position body = item.start;
        if (first.Is(ElementKind::Li)) {
            if (listKind_ == ElementKind::Ol) {
                // A "type" on one item changes the labels of the items after it as well.
                const std::string_view type = first.Attribute("type");
                if (!type.empty())
                    currentType = type;
                marker = ItemLabel(currentType, i);
            } else {
                marker = "* ";
            }
            ++body;
        } else if (first.Is(ElementKind::Dt)) {
            ++body;
            if (body == item.end)
                continue;  // a term with nothing after it is dropped
            marker = std::string(body->Text()) + " ... ";
            ++body;
        }
        // Any other start (text, or "dd" when items are "dd") keeps the previous marker.

        std::string itemText;
        for (Position p = body; p != item.end; ++p) {
            internal::Checkpoint();
            const Element e = *p;
            if (e.IsListTag() && internal::NestingGuard::CanDescend()) {
                if (!itemText.empty())
                    itemTexts_.push_back(FormatItem(itemText, marker));
                try {
                    ListParts nested(width_, depth_ + 1);
                    nested.Parse(p, item.end);
                    itemTexts_.push_back(nested.Text());
                } catch (const EHTMLError& err) {
                    throw EHTMLError(std::string(err.what()) + " in <" + UpperListTag() + ">");
                } catch (const EError&) {
                    throw EError("???Internal List Error");
                }
                itemText.clear();
                if (p == item.end)
                    break;
            } else if (e.Is(ElementKind::Br)) {
                itemText += "\r\n";
            } else if (e.Is(ElementKind::P)) {
                itemText += "\r\n\r\n";
            } else {
                // Text adds itself; any other tag (a "li" inside a term, table and quote
                // tags) adds nothing and its text runs on.
                itemText += e.Text();
            }
        }
        if (!itemText.empty())
            itemTexts_.push_back(FormatItem(itemText, marker));
    }
}

std::string ListParts::Text() const {
    std::string out;
    for (std::size_t i = 0; i < itemTexts_.size(); ++i) {
        if (i > 0)
            out += "\r\n\r\n";
        out += itemTexts_[i];
    }
    return out;
}

}  // namespace HTMLParser
