#include "html/HParser.h"

namespace HTMLParser {

void HParser::PlainText(const char* begin, const char* end) {
    result_.assign(begin, end);
}

void HParser::LayoutText(const char* begin, const char* end, bool, bool) {
    result_.assign(begin, end);
}

const std::string& HParser::Result() const {
    return result_;
}

}  // namespace HTMLParser
