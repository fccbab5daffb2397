#pragma once

#include <string>

namespace HTMLParser {

// Turns HTML source bytes (cp932) into text: either one plain line (the text an index or
// a list column shows) or a laid-out page for the reader.
//
// One instance per thread: the result buffer is reused between calls. The process-wide
// instance is TSingleton<HTMLParser::HParser>::ObjOwner().
class HParser {
  public:
    // Scans [begin, end) and leaves the one-line plain text in Result().
    void PlainText(const char* begin, const char* end);
    // Builds the element sequence of [begin, end) and lays it out as text in Result().
    void LayoutText(const char* begin, const char* end, bool pickUpLinks, bool preformatted);
    const std::string& Result() const;

  private:
    std::string result_;
};

}  // namespace HTMLParser
