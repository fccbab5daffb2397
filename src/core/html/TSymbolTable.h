#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace Symbol {

// Character-entity names and the one byte each stands for: "quot", "amp", "lt", "gt",
// "nbsp" (a plain space 0x20, not 0xA0, so that the text wraps and searches like typed
// text) and the HTML 4 ISO 8859-1 set "iexcl" (161) .. "yuml" (255), each the byte of
// its code. Names compare exactly (case matters: "Copy" is not "copy").
//
// The process-wide table is Instance(): built once on first use, never changed, safe to
// read from any thread.
class TSymbolTable {
  public:
    static const TSymbolTable& Instance();

    void Add(std::string_view name, unsigned char code);
    bool Contains(std::string_view name) const;
    // The byte for a name; 0 when the table does not hold the name.
    unsigned char Code(std::string_view name) const;
    std::size_t Size() const { return codes_.size(); }

  private:
    TSymbolTable() = default;

    // Ordered with a transparent comparison: a lookup builds no string.
    std::map<std::string, unsigned char, std::less<>> codes_;
};

}  // namespace Symbol
