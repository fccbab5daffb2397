#pragma once

#include <string>
#include <utility>
#include <vector>

#include "html/Element.h"

namespace HTMLParser {

// A structural tag with its attributes (names lower case and unique, ordered by name).
class ElementTag : public Element {
  public:
    explicit ElementTag(std::string tagName) : Element(tagName, KindOfName(tagName)) {}
    // With the kind already known (KindOfName(tagName)).
    ElementTag(std::string tagName, ElementKind tagKind) : Element(std::move(tagName), tagKind) {}

    void SetAttribute(std::string attrName, std::string value) override;
    const std::string& Attribute(std::string_view attrName) const override;
    void AppendText(std::string_view) override {}
    const std::string& Text() const override;
    // The "width" attribute in text columns: "N%" gives N * 72 / 100 (a share of the
    // 72-column page); a plain number counts six pixels to a column, rounded to nearest,
    // (N + 3) / 6; absent, empty or not a number gives 0.
    long Width() const override;

    const std::vector<std::pair<std::string, std::string>>& Attributes() const {
        return attributes_;
    }

  private:
    std::vector<std::pair<std::string, std::string>> attributes_;
};

}  // namespace HTMLParser
