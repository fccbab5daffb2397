#pragma once

// Small byte helpers private to the message parser.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace MailParser::internal {

// The least number of bytes one parse may scan for multipart boundaries (see TPartWalk);
// a variable only so that tests can make the limit reachable.
inline std::uint64_t minimumScanBudget = std::uint64_t(8) << 30;

inline constexpr char kCR = '\r';
inline constexpr char kLF = '\n';
inline constexpr std::string_view kCRLF = "\r\n";
inline constexpr std::string_view kEmptyLine = "\r\n\r\n";

inline bool isLineBreak(char c) {
    return c == kCR || c == kLF;
}
inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
// Blanks and control bytes: what PopToken skips and MIME values are trimmed of.
inline bool isSpaceOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

inline char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

inline std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

// The first occurrence of needle in text at or after `from`, or npos. glibc's memmem
// (two-way search) keeps long scans for boundaries fast and linear.
inline std::size_t findBytes(std::string_view text, std::string_view needle, std::size_t from = 0) {
    if (from > text.size())
        return std::string_view::npos;
    if (needle.empty())
        return from;
    if (text.size() - from < needle.size())
        return std::string_view::npos;  // also: no null data
    const void* hit =
        ::memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data())
               : std::string_view::npos;
}

// Whether text equals / starts with / contains a lower-case ASCII word, letters compared
// in either case and every other byte exactly.
inline bool equalsNoCase(std::string_view text, std::string_view lowerWord) {
    if (text.size() != lowerWord.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (lowerAscii(text[i]) != lowerWord[i])
            return false;
    return true;
}

inline bool startsWithNoCase(std::string_view text, std::string_view lowerWord) {
    return text.size() >= lowerWord.size() &&
           equalsNoCase(text.substr(0, lowerWord.size()), lowerWord);
}

inline bool containsNoCase(std::string_view text, std::string_view lowerWord) {
    if (lowerWord.empty())
        return true;
    for (std::size_t i = 0; i + lowerWord.size() <= text.size(); ++i)
        if (lowerAscii(text[i]) == lowerWord[0] &&
            equalsNoCase(text.substr(i, lowerWord.size()), lowerWord))
            return true;
    return false;
}

template <typename Pred>
std::string_view trimFront(std::string_view text, Pred pred) {
    std::size_t i = 0;
    while (i < text.size() && pred(text[i]))
        ++i;
    return text.substr(i);
}

template <typename Pred>
std::string_view trimBack(std::string_view text, Pred pred) {
    std::size_t n = text.size();
    while (n > 0 && pred(text[n - 1]))
        --n;
    return text.substr(0, n);
}

template <typename Pred>
std::string_view trimBoth(std::string_view text, Pred pred) {
    return trimBack(trimFront(text, pred), pred);
}

inline std::string_view trimLineBreaks(std::string_view text) {
    return trimBoth(text, isLineBreak);
}

// PopToken (TextUtil.h) on a view, so that taking many tokens off a long text stays
// linear: returns the text before the first delimiter and leaves `text` viewing what
// follows it, less its leading bytes up to 0x20; without one, returns all and leaves it empty.
inline std::string_view popToken(std::string_view& text, std::string_view delimiter) {
    const std::size_t at = delimiter.empty() ? std::string_view::npos : text.find(delimiter);
    if (at == std::string_view::npos) {
        const std::string_view all = text;
        text = {};
        return all;
    }
    const std::string_view token = text.substr(0, at);
    text = trimFront(text.substr(at + delimiter.size()), isSpaceOrControl);
    return token;
}

// Calls f(line) for every line of text; CR, LF or CR LF ends a line. A final line without a
// line break counts; an empty text has no lines.
template <typename F>
void forEachLine(std::string_view text, F f) {
    std::size_t pos = 0;
    const std::size_t n = text.size();
    while (pos < n) {
        std::size_t end = pos;
        while (end < n && !isLineBreak(text[end]))
            ++end;
        f(text.substr(pos, end - pos));
        if (end < n && text[end] == kCR && end + 1 < n && text[end + 1] == kLF)
            ++end;
        pos = end + 1;
    }
}

}  // namespace MailParser::internal
