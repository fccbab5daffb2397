#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "html/Element.h"

namespace HTMLParser {

// The element sequence of one page, in source order: one element per structural tag,
// one per run of text between them. Nothing is matched or repaired while it is built;
// the layouts recover the nesting as they walk it.
//
// Owns its elements. They live in blocks kept by the sequence (a page has one per tag),
// so that building and emptying a sequence costs no allocation per element; emptying
// destroys the elements and keeps a few blocks for the next page.
class Elements {
  public:
    using Storage = std::vector<Element*>;
    using const_iterator = Storage::const_iterator;

    Elements() = default;
    ~Elements() { Clear(); }
    Elements(const Elements&) = delete;
    Elements& operator=(const Elements&) = delete;

    // Constructs an element of type T at the end of the sequence.
    template <typename T, typename... Args>
    T& Emplace(Args&&... args) {
        items_.push_back(nullptr);
        try {
            T* element = new (Allocate(sizeof(T), alignof(T))) T(std::forward<Args>(args)...);
            items_.back() = element;
            return *element;
        } catch (...) {
            items_.pop_back();
            throw;
        }
    }
    void Clear();
    bool Empty() const { return items_.empty(); }
    std::size_t Size() const { return items_.size(); }
    Element& Back() const { return *items_.back(); }
    const Element& operator[](std::size_t i) const { return *items_[i]; }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }

  private:
    void* Allocate(std::size_t size, std::size_t align);

    Storage items_;
    std::vector<std::unique_ptr<std::byte[]>> blocks_;
    std::size_t block_ = 0;  // the block being filled
    std::size_t used_ = 0;   // bytes used in it
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
