#pragma once

// Scripts and pages for the script tests, written with LF in the source and given to the
// code with CR LF, as script files and pages are stored.

#include <string>
#include <string_view>
#include <vector>

#include "script/TScript.h"

namespace scripttest {

inline std::string Crlf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

inline std::vector<std::string> Lines(std::string_view script) {
    return TScript::SplitLines(Crlf(script));
}

// A page with `count` list items "<li><b>Title i</b><p>Body i</p></li>", one per line.
inline std::string ItemsPage(int count) {
    std::string page = "<html><head><title>Items</title></head><body><ul>\r\n";
    for (int i = 1; i <= count; ++i) {
        std::string n = std::to_string(i);
        page += "<li><b>Title " + n + "</b><p>Body " + n + "</p></li>\r\n";
    }
    page += "</ul></body></html>\r\n";
    return page;
}

// The loop over ItemsPage: one record per item; the label ":loop" is line 2 (after the
// directive line, which is a comment unless the caller puts a directive there).
inline std::string LoopScript(std::string_view directive = "/ no directive") {
    return std::string(directive) +
           "\n:loop\n?{<li>}\n-:done\nS={</b>}\nA={</li>}\n*\n+:loop\n:done\n.\n";
}

}  // namespace scripttest
