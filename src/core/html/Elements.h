#pragma once

#include <memory>
#include <string>
#include <vector>

#include "html/Element.h"

namespace HTMLParser {

// The element sequence of one page, in source order: one element per structural tag,
// one per run of text between them. Nothing is matched or repaired while it is built;
// the layouts recover the nesting as they walk it. Owns its elements.
class Elements {
  public:
    using Storage = std::vector<std::unique_ptr<Element>>;
    using const_iterator = Storage::const_iterator;

    void Add(std::unique_ptr<Element> element) { items_.push_back(std::move(element)); }
    void Clear() { items_.clear(); }
    bool Empty() const { return items_.empty(); }
    std::size_t Size() const { return items_.size(); }
    Element& Back() const { return *items_.back(); }
    const Element& operator[](std::size_t i) const { return *items_[i]; }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }

  private:
    Storage items_;
};

// A forward position in a sequence: on an element or at the end. The layouts share one
// by reference and each leaves it on the last element it consumed.
using Position = Elements::const_iterator;

// One list item or table cell: from the element that opens it to the one that ends it
// (excluded). A grid slot without a cell has both positions at the end of the sequence.
struct ElemEnds {
    Position start;
    Position end;
};
using ElemVec = std::vector<ElemEnds>;
using ElemMtrx = std::vector<ElemVec>;
using StrVec = std::vector<std::string>;
using StrMtrx = std::vector<StrVec>;

}  // namespace HTMLParser
