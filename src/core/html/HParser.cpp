#include "html/HParser.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "base/EError.h"
#include "html/BlockParts.h"
#include "html/EHTMLError.h"
#include "html/ListParts.h"
#include "html/TSymbolTable.h"
#include "html/TTagTable.h"
#include "html/TableParts.h"
#include "html/TextHelpers.h"
#include "text/Cp932.h"
#include "text/TextUtil.h"

namespace HTMLParser {

namespace {

// A tag name is read to at most this many bytes; the rest is read as the rest of the tag.
constexpr std::size_t kMaxTagNameBytes = 15;

bool isAsciiLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isAsciiDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

bool isHexDigit(unsigned char c) {
    return isAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Bytes of tag names, attribute names and unquoted attribute values.
bool isNameByte(unsigned char c) {
    return isAsciiLetter(c) || isAsciiDigit(c) || c == '/' || c == '%';
}

bool isBlankOrTab(int c) {
    return c == ' ' || c == '\t';
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Removes control bytes and blanks (0x00-0x20) at the start.
void trimLeft(std::string_view& s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20)
        s.remove_prefix(1);
}

// The leading run of name bytes of `s`, lower-cased and removed, then `s` trimmed left.
// Into `name`, whose storage is reused from tag to tag.
void takeName(std::string_view& s, std::string& name) {
    std::size_t n = 0;
    while (n < s.size() && isNameByte(static_cast<unsigned char>(s[n])))
        ++n;
    name.assign(s.data(), n);
    for (char& c : name)
        c = lowerAscii(c);
    s.remove_prefix(n);
    trimLeft(s);
}

// One attribute "name=value" from the front of `s`. False when it is not one; the caller
// then drops the rest of the word.
bool takeAttribute(std::string_view& s, std::string& name, std::string& value) {
    takeName(s, name);
    if (name.empty() || s.empty() || s.front() != '=')
        return false;
    s.remove_prefix(1);
    trimLeft(s);
    if (s.empty())
        return false;
    const char first = s.front();
    if (first == '"' || first == '\'') {
        s.remove_prefix(1);
        const std::size_t close = s.find(first);
        if (close == std::string_view::npos)
            return false;
        value.assign(s.substr(0, close));
        s.remove_prefix(close + 1);
        trimLeft(s);
        return true;
    }
    // An unquoted value is its first byte and the run of name bytes after it, so
    // "href=a.html" gives "a". A first byte that leads a double-byte character takes
    // its trail byte along rather than leave half a character.
    std::size_t n = cp932::charLength(s, 0);
    while (n < s.size() && isNameByte(static_cast<unsigned char>(s[n])))
        ++n;
    value.assign(s.substr(0, n));
    s.remove_prefix(n);
    trimLeft(s);
    return true;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

}  // namespace

void HParser::Reset(const char* begin, const char* end) {
    begin_ = begin;
    end_ = end < begin ? begin : end;
    cursor_ = begin_;
    elements_.Clear();
    result_.clear();
    tagText_.clear();
    linkPrefix_.clear();
    linkTarget_.clear();
    imagePlaceholder_ = "[Image] ";
    example_ = false;
}

const std::string* HParser::FindAttribute(std::string_view name) const {
    for (std::size_t i = 0; i < attributeCount_; ++i)
        if (attributes_[i].first == name)
            return &attributes_[i].second;
    return nullptr;
}

const std::string& HParser::Result() const {
    return result_;
}

void HParser::AppendTextRun() {
    // The byte just read and every following byte that no rule treats specially are
    // appended in one go: the common case, and the scan's hot path. A blank after such a
    // byte goes along too (every mode writes it as it stands there, the byte before it
    // being no blank); a second blank, control bytes, "<" and "&" end the run.
    const char* run = cursor_ - 1;
    const char* p = cursor_;
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHigh = 0x8080808080808080ULL;
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    // 0x80 in each byte of x that is zero, exactly.
    auto zeroBytes = [](std::uint64_t x) { return ~(((x & kLow7) + kLow7) | x | kLow7); };
    for (;;) {
        // Eight bytes at a time while none of them needs a look of its own.
        while (end_ - p >= 8) {
            std::uint64_t x;
            std::memcpy(&x, p, 8);
            const std::uint64_t control = (x - kOnes * 0x20) & ~x & kHigh;  // a byte < 0x20
            const std::uint64_t blanks = zeroBytes(x ^ (kOnes * ' '));
            const std::uint64_t stop = control | zeroBytes(x ^ (kOnes * '<')) |
                                       zeroBytes(x ^ (kOnes * '&')) | (blanks & (blanks << 8));
            if (stop != 0 || (p[-1] == ' ' && p[0] == ' '))
                break;
            p += 8;
        }
        if (p == end_)
            break;
        const auto c = static_cast<unsigned char>(*p);
        if ((c > 0x20 && c != '<' && c != '&') || (c == ' ' && p[-1] != ' ')) {
            ++p;
            continue;
        }
        break;
    }
    cursor_ = p;
    result_.append(run, cursor_);
}

// ---------------------------------------------------------------------------------------
// PlainText

void HParser::PlainText(const char* begin, const char* end) {
    Reset(begin, end);
    preformatted_ = false;
    pickUpLinks_ = false;
    for (;;) {
        internal::Checkpoint();
        const int c = Next();
        if (c <= 0)
            break;  // the end, or a NUL byte where text is expected
        switch (c) {
            case '<':
                SkipPastTagEnd();
                break;
            case ' ':
            case '\t':
                if (!result_.empty() && result_.back() != ' ')
                    result_ += ' ';
                break;
            case '\n':
                // A line break between Japanese words joins them; between ASCII words it
                // is a blank.
                if (!result_.empty()) {
                    const auto last = static_cast<unsigned char>(result_.back());
                    if (isAsciiLetter(last) || isAsciiDigit(last))
                        result_ += ' ';
                }
                break;
            case '&':
                AppendReference();
                break;
            default:
                if (c > 0x20)
                    AppendTextRun();
                break;
        }
    }
    std::string_view text = result_;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    result_ = std::string(text);
}

// ---------------------------------------------------------------------------------------
// Character references

void HParser::AppendReference() {
    int c = Next();
    if (c == '#') {
        std::string written = "&#";
        c = Next();
        const bool hex = c == 'x';
        if (hex) {
            written += 'x';
            c = Next();
        }
        std::string digits;
        unsigned long value = 0;
        while (c >= 0 && (hex ? isHexDigit(static_cast<unsigned char>(c))
                              : isAsciiDigit(static_cast<unsigned char>(c)))) {
            internal::Checkpoint();
            digits += static_cast<char>(c);
            const unsigned char d = static_cast<unsigned char>(c);
            const unsigned long digit = isAsciiDigit(d) ? d - '0' : (lowerAscii(d) - 'a' + 10);
            // Saturates: any value above 255 is kept as written.
            value = value > 0xFFFF ? value : value * (hex ? 16 : 10) + digit;
            c = Next();
        }
        const bool semicolon = c == ';';
        if (!semicolon)
            GiveBack(c);
        if (!digits.empty() && value >= 1 && value <= 255) {
            result_ += static_cast<char>(value);
            return;
        }
        result_ += written;
        result_ += digits;
        if (semicolon)
            result_ += ';';
        return;
    }
    std::string name;
    while (c >= 0 && isAsciiLetter(static_cast<unsigned char>(c))) {
        internal::Checkpoint();
        name += static_cast<char>(c);
        c = Next();
    }
    const bool semicolon = c == ';';
    if (!semicolon)
        GiveBack(c);
    const Symbol::TSymbolTable& symbols = Symbol::TSymbolTable::Instance();
    if (symbols.Contains(name)) {
        result_ += static_cast<char>(symbols.Code(name));
        return;
    }
    result_ += '&';
    result_ += name;
    if (semicolon)
        result_ += ';';
}

// ---------------------------------------------------------------------------------------
// Tags

void HParser::ReadRawTagName() {
    const char* start = cursor_;
    const char* limit = end_ - cursor_ > static_cast<std::ptrdiff_t>(kMaxTagNameBytes)
                            ? cursor_ + kMaxTagNameBytes
                            : end_;
    // A NUL byte stays unread too, so that it ends the tag as the end of input would.
    while (cursor_ < limit) {
        const char c = *cursor_;
        if (c == 0 || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>')
            break;
        ++cursor_;
    }
    rawName_.assign(start, cursor_);
}

void HParser::SkipPastTagEnd() {
    for (;;) {
        internal::Checkpoint();
        const int c = Next();
        if (c <= 0 || c == '>')
            return;
    }
}

void HParser::ScanTag() {
    ReadRawTagName();
    // The raw name holds no blank, tab or line break, and at most 15 bytes.
    char lower[kMaxTagNameBytes];
    for (std::size_t i = 0; i < rawName_.size(); ++i)
        lower[i] = lowerAscii(rawName_[i]);
    const std::string_view lookup(lower, rawName_.size());

    // Comments end at the first ">"; "-->" is not required.
    if (startsWith(lookup, "!--")) {
        SkipPastTagEnd();
        return;
    }
    const Symbol::TTagTable& tags = Symbol::TTagTable::Instance();
    if (example_) {
        if (lookup == "/xmp") {
            SkipPastTagEnd();
            example_ = false;
            return;
        }
        result_ += '<';
        result_ += rawName_;
        return;
    }
    if (tags.IsStructural(lookup)) {
        ReadElementTag(lookup);
        return;
    }
    if (preformatted_ && !tags.IsInline(lookup)) {
        // "a < b" inside preformatted text stays as it is.
        result_ += '<';
        result_ += rawName_;
        return;
    }
    SkipPastTagEnd();
}

// The tag's text up to its ">" (blanks joined, quotes kept), its lower-case name into
// `name` and its attributes.
void HParser::ReadTagText(std::string& name) {
    tagText_ = rawName_;
    bool quoted = false;
    for (;;) {
        internal::Checkpoint();
        // Bytes with no rule of their own go over in one run.
        const char* run = cursor_;
        while (cursor_ < end_) {
            const char b = *cursor_;
            if (b == 0 || b == '>' || b == '"' || b == ' ' || b == '\t' || b == '\n' || b == '\r')
                break;
            ++cursor_;
        }
        tagText_.append(run, cursor_);
        const int c = Next();
        if (c <= 0)
            break;
        if (c == '>' && !quoted)
            break;
        if (c == '"')
            quoted = !quoted;
        if (isBlankOrTab(c)) {
            if (!tagText_.empty() && tagText_.back() != ' ')
                tagText_ += ' ';
        } else if (c == '\n') {
            // Joins "<h1", LF, "align=center>" into one name "h1align", on purpose.
            if (!tagText_.empty() && isAsciiLetter(static_cast<unsigned char>(tagText_.back())))
                tagText_ += ' ';
        } else if (c != '\r') {
            tagText_ += static_cast<char>(c);
        }
    }

    std::string_view rest = tagText_;
    takeName(rest, name);
    // The attributes, the first occurrence of a name winning.
    // The pairs and their strings are kept from tag to tag: only the count is reset (by
    // ReadElementTag).
    while (!rest.empty()) {
        internal::Checkpoint();
        if (attributeCount_ == attributes_.size())
            attributes_.emplace_back();
        auto& [attrName, attrValue] = attributes_[attributeCount_];
        if (takeAttribute(rest, attrName, attrValue)) {
            bool known = false;
            for (std::size_t i = 0; i < attributeCount_ && !known; ++i)
                known = attributes_[i].first == attrName;
            if (!known)
                ++attributeCount_;
        } else {
            // ‘nowrap width=100’: an attribute without a value takes the next one with it.
            const std::size_t blank = rest.find_first_of(" \t");
            rest.remove_prefix(blank == std::string_view::npos ? rest.size() : blank + 1);
            trimLeft(rest);
        }
    }
}

void HParser::ReadElementTag(std::string_view lowerName) {
    std::string& name = tagName_;
    attributeCount_ = 0;
    if (cursor_ < end_ && *cursor_ == '>' &&
        std::all_of(lowerName.begin(), lowerName.end(),
                    [](char c) { return isNameByte(static_cast<unsigned char>(c)); })) {
        // "<td>", "</tr>": the name and the ">", nothing else to read.
        ++cursor_;
        name.assign(lowerName);
    } else {
        ReadTagText(name);
    }
    const ElementKind kind = KindOfName(name);
    if (kind == ElementKind::Pre) {
        preformatted_ = true;
    } else if (kind == ElementKind::PreEnd) {
        preformatted_ = false;
    } else if (kind == ElementKind::Xmp || kind == ElementKind::Plaintext) {
        example_ = true;
    } else if (kind == ElementKind::XmpEnd) {
        example_ = false;
    }

    static const std::string kNone;
    auto attribute = [this](std::string_view wanted) -> const std::string& {
        const std::string* value = FindAttribute(wanted);
        return value ? *value : kNone;
    };

    if (kind == ElementKind::Img) {
        const std::string& alt = attribute("alt");
        long width = 0;
        if (!ReadInteger(attribute("width"), width))
            width = 0;
        if (width > 50) {
            if (alt.empty()) {
                result_ += imagePlaceholder_;
            } else if (alt.front() == '[') {
                result_ += alt;
                result_ += ' ';
            } else {
                result_ += '[';
                result_ += alt;
                result_ += "] ";
            }
        }
    } else if (kind == ElementKind::A) {
        if (pickUpLinks_) {
            const std::string& href = attribute("href");
            if (startsWith(href, "http:") || startsWith(href, "mailto:") ||
                startsWith(href, "news:")) {
                linkTarget_ = href;
            } else {
                linkTarget_.clear();
            }
            linkPrefix_.swap(result_);
            result_.clear();
        }
    } else if (kind == ElementKind::AEnd) {
        // The text before the link, the target, the link's text: built in the prefix's
        // buffer, which then becomes the text.
        if (linkTarget_.empty()) {
            linkPrefix_ += result_;
        } else if (linkTarget_ != result_) {
            linkPrefix_ += '<';
            linkPrefix_ += linkTarget_;
            linkPrefix_ += "> ";
            linkPrefix_ += result_;
        } else {
            linkPrefix_ += '<';
            linkPrefix_ += linkTarget_;
            linkPrefix_ += '>';
        }
        result_.swap(linkPrefix_);
        linkTarget_.clear();
        linkPrefix_.clear();
    } else {
        FlushText();
        elements_.AddTag(name, kind, attributes_.data(), attributeCount_);
    }
    tagText_.clear();
}

// ---------------------------------------------------------------------------------------
// Building the element sequence

void HParser::FlushText() {
    if (HasContent(result_))
        elements_.AddText(result_);
    result_.clear();
}

void HParser::FlushTextAtEnd() {
    if (HasContent(result_)) {
        if (!elements_.Empty() && elements_.KindAt(elements_.Size() - 1) == ElementKind::Data) {
            elements_.AppendToLastText(result_);
        } else {
            elements_.AddText(result_);
        }
    }
    result_.clear();
}

void HParser::LayoutText(const char* begin, const char* end, bool pickUpLinks, bool preformatted) {
    Reset(begin, end);
    pickUpLinks_ = pickUpLinks;
    preformatted_ = preformatted;
    for (;;) {
        internal::Checkpoint();
        const int c = Next();
        if (c <= 0)
            break;  // the end, or a NUL byte where text is expected
        switch (c) {
            case ' ':
            case '\t':
                if (preformatted_ || example_) {
                    result_ += static_cast<char>(c);
                } else if (!result_.empty() && result_.back() != ' ') {
                    result_ += ' ';
                }
                break;
            case '\n':
                if (preformatted_ || example_) {
                    result_ += "\r\n";
                } else if (!result_.empty() && result_.back() != ' ') {
                    result_ += ' ';
                }
                break;
            case '&':
                AppendReference();
                break;
            case '<':
                ScanTag();
                break;
            default:
                if (c > 0x20)
                    AppendTextRun();
                break;
        }
    }
    FlushTextAtEnd();
    preformatted_ = preformatted;
    LayoutPage();
}

// ---------------------------------------------------------------------------------------
// Page layout

void HParser::LayoutPage() {
    result_.clear();
    // The laid-out text is about as long as the source: one allocation instead of a
    // series of doublings, each touching fresh memory.
    result_.reserve(static_cast<std::size_t>(end_ - begin_));
    const Position end = elements_.end();
    for (Position pos = elements_.begin(); pos != end;) {
        internal::Checkpoint();
        const Element e = *pos;
        std::string t;
        switch (e.kind) {
            case ElementKind::Table:
                EnsureBlankLines(result_, 1);
                t = LayoutTable(pos);
                break;
            case ElementKind::Ol:
            case ElementKind::Ul:
            case ElementKind::Dl:
            case ElementKind::Menu:
            case ElementKind::Dir:
                EnsureBlankLines(result_, 1);
                t = LayoutList(pos);
                break;
            case ElementKind::Blockquote:
                EnsureBlankLines(result_, 1);
                t = LayoutBlock(pos);
                break;
            case ElementKind::Pre:
                EnsureBlankLines(result_, 1);
                preformatted_ = true;
                break;
            case ElementKind::PreEnd:
                EnsureBlankLines(result_, 1);
                preformatted_ = false;
                break;
            case ElementKind::Xmp:
            case ElementKind::Plaintext:
                EnsureBlankLines(result_, 1);
                example_ = true;
                break;
            case ElementKind::XmpEnd:
                EnsureBlankLines(result_, 1);
                example_ = false;
                break;
            case ElementKind::P:
            case ElementKind::Div:
            case ElementKind::PEnd:
            case ElementKind::DivEnd:
                EnsureBlankLines(result_, 1);
                break;
            case ElementKind::H1:
            case ElementKind::H2:
            case ElementKind::H3:
                EnsureBlankLines(result_, 2);
                result_ += ">>> ";
                break;
            case ElementKind::H1End:
            case ElementKind::H2End:
            case ElementKind::H3End:
                result_ += " <<<\r\n";
                break;
            case ElementKind::Br:
                if (!EndsWithBlankLine(result_))
                    result_ += "\r\n";
                break;
            case ElementKind::Hr:
                EnsureBlankLines(result_, 1);
                result_ += RuleLine(57);
                result_ += "\r\n\r\n";
                break;
            case ElementKind::Data:
                CapTrailingBreaks(result_);
                if (preformatted_ || example_) {
                    result_ += e.Text();
                } else {
                    AppendWrappedText(result_, TrimSpaceView(e.Text(), false), PageWidth, false);
                }
                break;
            default:
                break;
        }
        if (!t.empty()) {
            result_ += t;
            result_ += "\r\n\r\n";
        }
        // After a container the walk goes on behind the element where it stopped.
        if (pos == end)
            break;
        ++pos;
    }
}

namespace {

// A container laid out from `position` (left on its closing element). Its layout error
// becomes the text in its place, framed by line breaks; another failure of the family,
// `internalError`.
template <typename Parts>
std::string LayOutPart(Parts parts, Position& position, Position end, const char* internalError) {
    try {
        parts.Parse(position, end);
        return parts.Text();
    } catch (const EHTMLError& e) {
        return std::string("\r\n") + e.what() + "\r\n";
    } catch (const EError&) {
        return std::string("\r\n") + internalError + "\r\n";
    }
}

}  // namespace

std::string HParser::LayoutBlock(Position& position) {
    return LayOutPart(BlockParts(PageWidth, 1), position, elements_.end(),
                      "???Internal Block Error");
}

std::string HParser::LayoutList(Position& position) {
    return LayOutPart(ListParts(PageWidth, 1), position, elements_.end(), "???Internal List Error");
}

std::string HParser::LayoutTable(Position& position) {
    return LayOutPart(TableParts(PageWidth, 0, 0), position, elements_.end(),
                      "???Internal Table Error");
}

}  // namespace HTMLParser
