#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>

namespace Symbol {

// The tag names the HTML engine knows, lower case, compared exactly.
//  - Structural tags become elements of the page's element sequence: the containers,
//    paragraphs, headings, breaks, rules, links and images, with their closing forms
//    where the engine uses them (there is no "/dt", "/dd", "/br", "/hr", "/img" or
//    "/plaintext").
//  - Inline tags (font and phrase markup, with their closing forms) are dropped, even in
//    preformatted text where unknown tags are printed.
//
// The process-wide table is Instance(): built once on first use, never changed, safe to
// read from any thread.
class TTagTable {
  public:
    static const TTagTable& Instance();

    bool IsStructural(std::string_view name) const;
    bool IsInline(std::string_view name) const;
    std::size_t StructuralCount() const { return structural_.size(); }
    std::size_t InlineCount() const { return inline_.size(); }

  private:
    TTagTable();

    // Ordered with a transparent comparison: a lookup builds no string.
    std::set<std::string, std::less<>> structural_;
    std::set<std::string, std::less<>> inline_;
};

}  // namespace Symbol
