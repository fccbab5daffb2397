#pragma once

#include <string>
#include <string_view>

// "Information Source": what a From text points at.
struct TInformationSource {
    enum Kind { Invalid, Mail, Web };
    Kind kind = Invalid;
    // "mailto:" + address for Mail; the web address for Web.
    std::string target;
};

// A From text holding "@" names a mail address: the text between the first "<" and the
// first ">" when it has a "<" (exactly as written); else the text before the first "(" when it
// has one; else the whole text (those two trimmed of blanks). Otherwise a From text holding
// "http://" names the web address from there to its end. Anything else is Invalid.
TInformationSource InformationSourceOf(std::string_view from);
