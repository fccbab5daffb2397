#include "tools/TextFormat.h"

#include "text/Cp932.h"

namespace texttools {
namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

bool isWordByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Whether the character starting at byteOffset is a word character (a single byte).
bool isWordChar(std::string_view text, std::size_t byteOffset) {
    return cp932::charLength(text, byteOffset) == 1 &&
           isWordByte(static_cast<unsigned char>(text[byteOffset]));
}

// Whether the last character of a non-empty text is a word character.
bool endsWithWordChar(std::string_view text) {
    std::size_t last = 0;
    for (std::size_t at = 0; at < text.size(); at = cp932::nextChar(text, at))
        last = at;
    return !text.empty() && isWordChar(text, last);
}

// Number of bytes of the first line cut from a paragraph longer than kWrapBytes.
std::size_t wrapCut(std::string_view para) {
    // Character starts up to the 72nd byte; byte 72 (index 71) is a character start
    // only when no double-byte character spans indexes 70 and 71.
    std::size_t lastNonWordEnd = 0;  // end of the last non-word character before index 71
    std::size_t at = 0;
    while (at < kWrapBytes - 1) {
        const std::size_t next = cp932::nextChar(para, at);
        if (next > kWrapBytes - 1)
            break;  // a double-byte character spans bytes 71 and 72
        if (!isWordChar(para, at))
            lastNonWordEnd = next;
        at = next;
    }
    if (at == kWrapBytes - 1 && isWordChar(para, at))
        return lastNonWordEnd != 0 ? lastNonWordEnd : kWrapBytes;
    // The 72nd byte is no word character: cut after it, or before a double-byte
    // character that it begins.
    return cp932::boundaryAtOrBefore(para, kWrapBytes);
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == kCR || text[i] == kLF) {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == kCR && i + 1 < text.size() && text[i + 1] == kLF)
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string FormatLines(const std::vector<std::string>& lines) {
    std::vector<std::string> paragraphs;
    bool afterEmptyLine = false;
    bool lastEndsInWord = false;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (n == 0) {
            paragraphs.push_back(line);
        } else if (line.empty()) {
            paragraphs.emplace_back();
            afterEmptyLine = true;
        } else if (afterEmptyLine) {
            paragraphs.push_back(line);
            afterEmptyLine = false;
        } else {
            std::string& last = paragraphs.back();
            if (!last.empty() && lastEndsInWord)
                last += ' ';
            last += line;
        }
        if (!line.empty())
            lastEndsInWord = endsWithWordChar(line);
    }

    std::string out;
    for (std::size_t n = 0; n < paragraphs.size(); ++n) {
        if (n > 0)
            out += "\r\n";
        std::string_view para = paragraphs[n];
        while (para.size() > kWrapBytes) {
            const std::size_t cut = wrapCut(para);
            out.append(para.substr(0, cut));
            out += "\r\n";
            para.remove_prefix(cut);
        }
        out.append(para);
    }
    return out;
}

std::string DeleteBothBlanks(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        // Trailing blanks are found by stepping characters, so the trail byte of a
        // double-byte character is never taken for a blank.
        std::size_t first = line.size();
        std::size_t end = 0;
        for (std::size_t at = 0; at < line.size(); at = cp932::nextChar(line, at)) {
            const bool blank =
                cp932::charLength(line, at) == 1 && static_cast<unsigned char>(line[at]) <= 0x20;
            if (!blank) {
                if (first == line.size())
                    first = at;
                end = cp932::nextChar(line, at);
            }
        }
        if (first < end)
            out.append(line, first, end - first);
        out += "\r\n";
    }
    return out;
}

}  // namespace texttools
