#pragma once

#include <string>

#include "html/Element.h"

namespace HTMLParser {

// A run of text between two structural tags; its name is always "data".
class ElementData : public Element {
  public:
    explicit ElementData(std::string text)
        : Element("data", ElementKind::Data), text_(std::move(text)) {}

    void SetAttribute(std::string, std::string) override {}
    const std::string& Attribute(std::string_view attrName) const override;
    void AppendText(std::string_view text) override { text_.append(text); }
    const std::string& Text() const override { return text_; }
    // The length of the text in bytes (what a table measures a cell by).
    long Width() const override { return static_cast<long>(text_.size()); }

  private:
    std::string text_;
};

}  // namespace HTMLParser
