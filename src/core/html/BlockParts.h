#pragma once

#include <string>
#include <string_view>

#include "html/Elements.h"

namespace HTMLParser {

// One quote block ("blockquote") laid out as text: every line indented by `depth` tabs
// and wrapped at max(width - 6 * depth, 12) bytes; nested quote blocks, lists and tables
// laid out in place. Made, parsed, asked for its text, discarded.
class BlockParts {
  public:
    // depth: 1 for a quote block on the page, the enclosing level + 1 for a nested one,
    // 0 for one in a table cell.
    BlockParts(long width, int depth) : width_(width), depth_(depth) {}

    // `position` stands on the "blockquote"; on success it is left on the block's
    // "/blockquote". Throws EHTMLError ("???<BLOCKQUOTE>", "???</BLOCKQUOTE>", or a nested
    // part's message with the block's words added).
    void Parse(Position& position, Position end);
    const std::string& Text() const { return text_; }

  private:
    std::string BlockText(std::string_view t) const;

    long width_;
    int depth_;
    std::string text_;
};

}  // namespace HTMLParser
