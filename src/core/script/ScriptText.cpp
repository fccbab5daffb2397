#include "script/ScriptText.h"

#include "text/Cp932.h"

namespace script {

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kBell = '\x07';

bool isControlOrBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isBlankOrBreak(char c) {
    return c == ' ' || c == '\t' || c == kCR || c == kLF;
}

unsigned char foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

std::string withoutBells(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != kBell)
            out += c;
    return out;
}

std::string_view trimRightBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view trimLeftBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

// First and last 36 characters of two lines, as the test output abbreviates an article.
std::string abbreviated(std::string_view first, std::string_view last) {
    std::string out(trimRightBlanks(HeadChars(first, 36)));
    out += "\r\n...\r\n\r\n";
    out += trimLeftBlanks(TailChars(last, 36));
    return out;
}

}  // namespace

std::string_view TrimRightControls(std::string_view text) {
    while (!text.empty() && isControlOrBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view TrimControls(std::string_view text) {
    text = TrimRightControls(text);
    while (!text.empty() && isControlOrBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    std::size_t i = 0;
    while (i < a.size()) {
        std::size_t len = cp932::charLength(a, i);
        if (len == 2) {
            // Both strings are equal up to here, so b has a character boundary at i too.
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
        } else if (foldAscii(static_cast<unsigned char>(a[i])) !=
                   foldAscii(static_cast<unsigned char>(b[i]))) {
            return false;
        }
        i += len;
    }
    return true;
}

std::string ExpandCarets(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t len = cp932::charLength(text, i);
        if (len == 1 && text[i] == '^')
            out += "\r\n";
        else
            out.append(text, i, len);
        i += len;
    }
    return out;
}

std::string_view FirstChar(std::string_view text) {
    return text.substr(0, cp932::charLength(text, 0));
}

std::string_view HeadChars(std::string_view text, std::size_t count) {
    std::size_t pos = 0;
    for (std::size_t n = 0; n < count && pos < text.size(); ++n)
        pos = cp932::nextChar(text, pos);
    return text.substr(0, pos);
}

std::string_view TailChars(std::string_view text, std::size_t count) {
    std::size_t total = cp932::charCount(text);
    if (total <= count)
        return text;
    std::size_t pos = 0;
    for (std::size_t n = 0; n < total - count; ++n)
        pos = cp932::nextChar(text, pos);
    return text.substr(pos);
}

std::string TestFieldValue(std::string_view source) {
    std::string out;
    out.reserve(source.size());
    for (char c : source)
        if (c != kBell && c != kCR && c != kLF)
            out += c;
    return std::string(TrimControls(out));
}

std::string ArticleSummary(std::string_view source) {
    std::size_t begin = 0;
    while (begin < source.size() && isBlankOrBreak(source[begin]))
        ++begin;
    std::size_t firstEnd = begin;
    while (firstEnd < source.size() && source[firstEnd] != kCR && source[firstEnd] != kLF)
        ++firstEnd;
    // CR and LF are never trail bytes, so scanning bytes finds the line ends exactly.
    std::string first =
        std::string(trimRightBlanks(withoutBells(source.substr(begin, firstEnd - begin))));

    std::size_t end = source.size();
    while (end > firstEnd && isBlankOrBreak(source[end - 1]))
        --end;
    std::string last;
    if (end > firstEnd) {
        std::size_t lastBegin = end;
        while (lastBegin > firstEnd && source[lastBegin - 1] != kCR && source[lastBegin - 1] != kLF)
            --lastBegin;
        last = std::string(trimLeftBlanks(withoutBells(source.substr(lastBegin, end - lastBegin))));
    }

    if (!last.empty())
        return abbreviated(first, last);
    if (first.size() <= 72)
        return first;
    return abbreviated(first, first);
}

std::string ShownArticle(std::string_view value) {
    if (value.size() <= 180)
        return std::string(value);
    return "..." + std::string(TailChars(value, 180));
}

std::string_view Preview(std::string_view rest, std::size_t maxBytes) {
    return rest.substr(0, cp932::boundaryAtOrBefore(rest, maxBytes));
}

}  // namespace script
