#include "html/TTagTable.h"

namespace Symbol {

namespace {

constexpr const char* kStructural[] = {
    "a",   "/a",        "blockquote", "/blockquote", "br",    "caption", "/caption", "div", "/div",
    "dir", "/dir",      "dt",         "dd",          "dl",    "/dl",     "h1",       "h2",  "h3",
    "h4",  "h5",        "h6",         "/h1",         "/h2",   "/h3",     "/h4",      "/h5", "/h6",
    "hr",  "img",       "li",         "/li",         "menu",  "/menu",   "ol",       "/ol", "p",
    "/p",  "plaintext", "pre",        "/pre",        "table", "/table",  "td",       "/td", "th",
    "/th", "tr",        "/tr",        "ul",          "/ul",   "xmp",     "/xmp",
};
static_assert(sizeof(kStructural) / sizeof(kStructural[0]) == 52);

constexpr const char* kInline[] = {
    "address", "b",    "big",   "blink",  "center", "cite", "code", "em", "font", "i",   "kbd",
    "nobr",    "samp", "small", "strong", "sub",    "sup",  "tt",   "u",  "var",  "wbr",
};
static_assert(sizeof(kInline) / sizeof(kInline[0]) == 21);

}  // namespace

const TTagTable& TTagTable::Instance() {
    static const TTagTable table;
    return table;
}

TTagTable::TTagTable() {
    for (const char* name : kStructural)
        structural_.Add(name, true);
    std::size_t i = 0;
    for (const char* name : kInline) {
        inline_.Add(name, true);
        closingInline_[i] = std::string("/") + name;
        inline_.Add(closingInline_[i++], true);
    }
}

bool TTagTable::IsStructural(std::string_view name) const {
    return structural_.Find(name) != nullptr;
}

bool TTagTable::IsInline(std::string_view name) const {
    return inline_.Find(name) != nullptr;
}

}  // namespace Symbol
