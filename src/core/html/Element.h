#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace HTMLParser {

// What an element is, decided once from its name so that the layouts need not compare
// strings: every tag name a layout reacts to, "data" for a run of text, Other for the
// rest (h4-h6, "a"-family leftovers, names that a line break joined, ...).
enum class ElementKind : unsigned char {
    Other,
    Data,
    A,
    AEnd,
    Img,
    Table,
    TableEnd,
    Caption,
    CaptionEnd,
    Tr,
    TrEnd,
    Td,
    TdEnd,
    Th,
    ThEnd,
    Ol,
    OlEnd,
    Ul,
    UlEnd,
    Dl,
    DlEnd,
    Menu,
    MenuEnd,
    Dir,
    DirEnd,
    Li,
    Dt,
    Dd,
    Blockquote,
    BlockquoteEnd,
    Pre,
    PreEnd,
    Xmp,
    XmpEnd,
    Plaintext,
    P,
    PEnd,
    Div,
    DivEnd,
    H1,
    H2,
    H3,
    H1End,
    H2End,
    H3End,
    Br,
    Hr,
};

ElementKind KindOfName(std::string_view name);

// One element of a page's element sequence: a structural tag (ElementTag) or a run of
// text (ElementData). The layouts use only the name and the five operations.
class Element {
  public:
    Element(std::string elementName, ElementKind elementKind)
        : name(std::move(elementName)), kind(elementKind) {}
    virtual ~Element() = default;
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    // Sets an attribute unless the name is already present: the first occurrence wins.
    virtual void SetAttribute(std::string attrName, std::string value) = 0;
    // The attribute's value, or the empty text when absent.
    virtual const std::string& Attribute(std::string_view attrName) const = 0;
    virtual void AppendText(std::string_view text) = 0;
    virtual const std::string& Text() const = 0;
    // Width in text columns: see ElementTag and ElementData.
    virtual long Width() const = 0;

    // Lower-case tag name without attributes ("p", "/table", "h1"), or "data".
    const std::string name;
    const ElementKind kind;

    bool Is(ElementKind k) const { return kind == k; }
    bool IsListTag() const {
        return kind == ElementKind::Ol || kind == ElementKind::Ul || kind == ElementKind::Dl ||
               kind == ElementKind::Menu || kind == ElementKind::Dir;
    }
};

}  // namespace HTMLParser
