#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "html/Elements.h"

namespace HTMLParser {

// Turns a stretch of HTML source (cp932 bytes, read in place) into text: one plain line
// for a short field, or the page laid out with paragraphs, headings, rules, links, quote
// blocks, lists and tables for an article (doc/html-layout.md).
//
// Neither call fails on its input: malformed markup is resolved by fixed rules and layout
// errors come back as lines of the result. Only failures outside the framework's error
// family pass through (exhausted memory, and EAborted when the run is abandoned).
//
// Each call resets all per-call state, so nothing carries over but the instance. One
// thread at a time: the process-wide instance is TSingleton<HTMLParser::HParser>::
// ObjOwner(), and a thread that may overlap with another makes a private instance.
class HParser {
  public:
    // Scans [begin, end) and leaves the one-line plain text in Result().
    void PlainText(const char* begin, const char* end);
    // Builds the element sequence of [begin, end) and lays it out as text in Result().
    void LayoutText(const char* begin, const char* end, bool pickUpLinks, bool preformatted);
    const std::string& Result() const;

    // The element sequence of the last LayoutText (emptied by every call).
    const Elements& GetElements() const { return elements_; }

  private:
    // Reading: the next byte, or -1 at the end (the cursor stays). GiveBack undoes a read
    // that returned a byte.
    int Next() { return cursor_ < end_ ? static_cast<unsigned char>(*cursor_++) : -1; }
    void GiveBack(int c) {
        if (c >= 0)
            --cursor_;
    }

    void Reset(const char* begin, const char* end);
    void AppendTextRun();
    void AppendReference();
    void ReadRawTagName();
    void SkipPastTagEnd();
    void ScanTag();
    void ReadElementTag(std::string_view lowerName);
    void ReadTagText(std::string& name);
    const std::string* FindAttribute(std::string_view name) const;
    void FlushText();
    void FlushTextAtEnd();

    void LayoutPage();
    std::string LayoutBlock(Position& position);
    std::string LayoutList(Position& position);
    std::string LayoutTable(Position& position);

    const char* begin_ = nullptr;
    const char* end_ = nullptr;
    const char* cursor_ = nullptr;
    Elements elements_;
    std::string result_;
    std::string rawName_;
    std::string tagText_;
    std::string tagName_;  // the lower-case name of the tag being read
    // Of the tag being read: the first attributeCount_ pairs.
    std::vector<std::pair<std::string, std::string>> attributes_;
    std::size_t attributeCount_ = 0;
    std::string linkPrefix_;
    std::string linkTarget_;
    std::string imagePlaceholder_;
    bool preformatted_ = false;
    bool example_ = false;
    bool pickUpLinks_ = false;
};

}  // namespace HTMLParser
