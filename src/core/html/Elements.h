#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "html/Element.h"

namespace HTMLParser {

// The element sequence of one page, in source order: one element per structural tag,
// one per run of text between them. Nothing is matched or repaired while it is built;
// the layouts recover the nesting as they walk it.
//
// Every element's bytes (a text, or a tag's name and attributes) follow one another in
// one buffer, and an element is its kind and where its bytes start: five bytes per
// element besides its bytes, so that a page of a million table cells costs little more
// than its source, and building the sequence allocates nothing per element. Emptying it
// keeps the buffers for the next page. The buffer is limited to 4 GiB; beyond that the
// sequence reports exhausted memory (std::bad_alloc).
class Elements {
  public:
    class const_iterator {
      public:
        using iterator_category = std::input_iterator_tag;
        using value_type = Element;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Element;

        // Gives `->` on the element view an address to stand on.
        struct Arrow {
            Element element;
            const Element* operator->() const { return &element; }
        };

        const_iterator() = default;
        const_iterator(const Elements* owner, std::size_t index) : owner_(owner), index_(index) {}

        Element operator*() const { return (*owner_)[index_]; }
        Arrow operator->() const { return Arrow{(*owner_)[index_]}; }
        const_iterator& operator++() {
            ++index_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++index_;
            return before;
        }
        bool operator==(const const_iterator& other) const { return index_ == other.index_; }
        // The element's place in the sequence, its kind and its sequence, without a view.
        std::size_t Index() const { return index_; }
        ElementKind Kind() const { return owner_->KindAt(index_); }
        const Elements& Owner() const { return *owner_; }

      private:
        const Elements* owner_ = nullptr;
        std::size_t index_ = 0;
    };

    // A run of text.
    void AddText(std::string_view text);
    // Appends to the last element, which is a text.
    void AppendToLastText(std::string_view text);
    // A tag; the `count` attributes from `attributes` unique by name, in any order (they
    // are sorted in place).
    void AddTag(std::string_view name, ElementKind kind,
                std::pair<std::string, std::string>* attributes, std::size_t count);

    void Clear();
    bool Empty() const { return kinds_.empty(); }
    std::size_t Size() const { return kinds_.size(); }
    ElementKind KindAt(std::size_t i) const { return kinds_[i]; }
    // The stored length of element i: a text's length in bytes.
    std::size_t BytesAt(std::size_t i) const {
        return (i + 1 < starts_.size() ? starts_[i + 1] : bytes_.size()) - starts_[i];
    }
    // Element i as a view.
    Element operator[](std::size_t i) const {
        const std::uint32_t from = starts_[i];
        const std::uint32_t to =
            i + 1 < starts_.size() ? starts_[i + 1] : static_cast<std::uint32_t>(bytes_.size());
        return Element(kinds_[i], std::string_view(bytes_.data() + from, to - from));
    }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, kinds_.size()); }
    const_iterator At(std::size_t i) const { return const_iterator(this, i); }

  private:
    void Start(ElementKind kind, std::size_t more);

    std::string bytes_;
    std::vector<std::uint32_t> starts_;
    std::vector<ElementKind> kinds_;
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
