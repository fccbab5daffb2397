#pragma once

// Runs the HTML engine on a private instance and returns its result.

#include <string>
#include <string_view>

#include "html/HParser.h"

namespace htmltest {

inline std::string Plain(std::string_view html) {
    HTMLParser::HParser parser;
    parser.PlainText(html.data(), html.data() + html.size());
    return parser.Result();
}

inline std::string Layout(std::string_view html, bool pickUpLinks = true,
                          bool preformatted = false) {
    HTMLParser::HParser parser;
    parser.LayoutText(html.data(), html.data() + html.size(), pickUpLinks, preformatted);
    return parser.Result();
}

// Lays the page out and lists its element sequence: "name" for a tag (with
// "[attr=value ...]" when it has attributes), "'text'" for a text element.
std::string Sequence(std::string_view html, bool pickUpLinks = true, bool preformatted = false);

// The page result as written in a test: CR LF shown as "|", a tab as "^".
std::string Visible(std::string_view text);

}  // namespace htmltest
