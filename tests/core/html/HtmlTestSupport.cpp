#include "HtmlTestSupport.h"

namespace htmltest {

std::string Sequence(std::string_view html, bool pickUpLinks, bool preformatted) {
    HTMLParser::HParser parser;
    parser.LayoutText(html.data(), html.data() + html.size(), pickUpLinks, preformatted);
    std::string out;
    for (const auto& e : parser.GetElements()) {
        if (!out.empty())
            out += ' ';
        if (e.Is(HTMLParser::ElementKind::Data)) {
            out += "'";
            out += e.Text();
            out += "'";
            continue;
        }
        out += e.name;
        const auto attrs = e.Attributes();
        if (attrs.empty())
            continue;
        out += '[';
        for (std::size_t i = 0; i < attrs.size(); ++i) {
            if (i > 0)
                out += ' ';
            out += attrs[i].first;
            out += '=';
            out += attrs[i].second;
        }
        out += ']';
    }
    return out;
}

std::string Visible(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += '|';
            ++i;
        } else if (text[i] == '\t') {
            out += '^';
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace htmltest
