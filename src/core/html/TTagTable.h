#pragma once

#include <array>
#include <string>
#include <string_view>
#include "html/NameTable_p.h"

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
    std::size_t StructuralCount() const { return structural_.Count(); }
    std::size_t InlineCount() const { return inline_.Count(); }

  private:
    TTagTable();

    HTMLParser::internal::NameTable<bool> structural_;
    HTMLParser::internal::NameTable<bool> inline_;
    std::array<std::string, 21> closingInline_;  // "/b", ...: the names inline_ views
};

}  // namespace Symbol
