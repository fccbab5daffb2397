#include "html/TSymbolTable.h"

namespace Symbol {

namespace {

// HTML 4.01, 24.2: the ISO 8859-1 character entities from 161 to 255, in code order.
constexpr const char* kLatin1Names[] = {
    "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",
    "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",
    "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",
    "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute",
    "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave",
    "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",    "ntilde",
    "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave", "uacute",
    "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};
static_assert(sizeof(kLatin1Names) / sizeof(kLatin1Names[0]) == 255 - 161 + 1);

}  // namespace

const TSymbolTable& TSymbolTable::Instance() {
    static const TSymbolTable table = [] {
        TSymbolTable t;
        t.Add("quot", 34);
        t.Add("amp", 38);
        t.Add("lt", 60);
        t.Add("gt", 62);
        t.Add("nbsp", 32);
        int code = 161;
        for (const char* name : kLatin1Names)
            t.Add(name, static_cast<unsigned char>(code++));
        return t;
    }();
    return table;
}

void TSymbolTable::Add(std::string_view name, unsigned char code) {
    codes_.emplace(std::string(name), code);
}

bool TSymbolTable::Contains(std::string_view name) const {
    return codes_.find(name) != codes_.end();
}

unsigned char TSymbolTable::Code(std::string_view name) const {
    auto it = codes_.find(name);
    return it == codes_.end() ? 0 : it->second;
}

}  // namespace Symbol
