#pragma once

#include <string>
#include <vector>

#include "html/Elements.h"

namespace HTMLParser {

// One list ("ol", "ul", "dl", "menu" or "dir") laid out as text: each item on its own
// lines after its bullet, number, letter or definition term, indented by one tab per
// nesting level, wrapped to the remaining width; items separated by a blank line. Made,
// parsed, asked for its text, discarded; it holds positions into the sequence, never
// elements.
class ListParts {
  public:
    // depth: 1 for a list on the page, the enclosing quote block's or list's level + 1
    // inside those, 0 for a list in a table cell.
    ListParts(long width, int depth) : width_(width), depth_(depth) {}

    // `position` stands on the list's opening element; on success it is left on the
    // list's closing tag. Throws EHTMLError ("???<OL>", "???</UL>", "???<ul> in OL",
    // "???<OL> in <UL>", ...), or EError("???Internal List Error") when a nested list
    // fails otherwise.
    void Parse(Position& position, Position end);
    // The formatted pieces joined by a blank line.
    std::string Text() const;

  private:
    void SkipNestedList(Position& position, Position end) const;
    void LayOutItems();
    std::string ItemLabel(const std::string& type, std::size_t i) const;
    std::string FormatItem(std::string_view text, const std::string& marker) const;
    std::string UpperListTag() const;

    long width_;
    int depth_;
    std::string listTag_;
    ElementKind listKind_ = ElementKind::Other;
    std::string listType_;
    long start_ = 1;
    ElementKind itemKind_ = ElementKind::Other;  // Other: no item tag
    std::vector<ElemEnds> items_;
    std::vector<std::string> itemTexts_;
};

}  // namespace HTMLParser
