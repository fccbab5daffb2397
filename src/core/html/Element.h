#pragma once

#include <string_view>
#include <utility>
#include <vector>

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

// One element of a page's element sequence, as a view into the sequence that holds it
// (valid until the sequence changes): a structural tag with its attributes, or a run of
// text. A tag's stored form is its name, a NUL, and "name NUL value NUL" per attribute
// (names lower case and unique, ordered by name); a text is its bytes.
class Element {
  public:
    Element(ElementKind elementKind, std::string_view stored);

    // Lower-case tag name without attributes ("p", "/table", "h1"), or "data".
    std::string_view name;
    ElementKind kind;

    bool Is(ElementKind k) const { return kind == k; }
    bool IsListTag() const {
        return kind == ElementKind::Ol || kind == ElementKind::Ul || kind == ElementKind::Dl ||
               kind == ElementKind::Menu || kind == ElementKind::Dir;
    }

    // The attribute's value, or the empty text when absent (always for a text).
    std::string_view Attribute(std::string_view attrName) const;
    // A tag's attributes in name order.
    std::vector<std::pair<std::string_view, std::string_view>> Attributes() const;
    // A text's bytes; empty for a tag.
    std::string_view Text() const {
        return kind == ElementKind::Data ? stored_ : std::string_view();
    }
    // Width in text columns. A text: its length in bytes (what a table measures a cell
    // by). A tag: the "width" attribute, "N%" giving N * 72 / 100 (a share of the
    // 72-column page), a plain number counting six pixels to a column, rounded to
    // nearest, (N + 3) / 6; absent, empty or not a number gives 0.
    long Width() const;

  private:
    std::string_view stored_;
};

}  // namespace HTMLParser
