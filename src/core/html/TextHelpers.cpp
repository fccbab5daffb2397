#include "html/TextHelpers.h"

#include "base/Abort.h"
#include "html/TColBlank.h"
#include "text/Cp932.h"

namespace HTMLParser {

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

bool isLineBreak(char c) {
    return c == kCR || c == kLF;
}

bool isAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::size_t trailingBreaks(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && isLineBreak(text[text.size() - 1 - n]))
        ++n;
    return n;
}

// Whether cutting the line after `cut` bytes (0 < cut < size) leaves a lead byte without
// its trail. The run of lead-range bytes ending at the cut pairs up from its start (the
// byte before the run ends a character, or the run starts the line), so the last byte
// of the run is a lead byte exactly when the run is odd.
bool splitsCharacter(std::string_view line, std::size_t cut) {
    std::size_t run = 0;
    while (run < cut && cp932::isLeadByte(static_cast<unsigned char>(line[cut - 1 - run])))
        ++run;
    return run % 2 == 1;
}

// One line (no breaks inside) wrapped at `width`.
void wrapLine(std::string& out, std::string_view line, std::size_t width, bool pad) {
    while (line.size() > width) {
        internal::Checkpoint();
        std::size_t cut = width;
        if (isAsciiAlnum(static_cast<unsigned char>(line[width - 1]))) {
            for (std::size_t i = width - 1; i-- > 0;) {
                if (!isAsciiAlnum(static_cast<unsigned char>(line[i]))) {
                    cut = i + 1;
                    break;
                }
            }
        }
        if (splitsCharacter(line, cut)) {
            // The cut falls after a lead byte: the whole character goes to the next line,
            // unless it is the line's first character.
            cut = cut > 1 ? cut - 1 : 2;
            if (cut >= line.size())
                break;
        }
        out.append(line.substr(0, cut));
        if (pad && cut < width)
            out += TColBlank::Blank(static_cast<long>(width - cut));
        out += "\r\n";
        line.remove_prefix(cut);
    }
    out.append(line);
    if (pad && line.size() < width)
        out += TColBlank::Blank(static_cast<long>(width - line.size()));
}

}  // namespace

bool HasContent(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == ' ' || c == kCR || c == kLF)
            continue;
        if (c == 0x81) {
            if (i + 1 == text.size())
                return false;  // a lone lead byte at the end is blank
            if (static_cast<unsigned char>(text[i + 1]) == 0x40) {
                ++i;  // the full-width space
                continue;
            }
        }
        return true;
    }
    return false;
}

void EnsureBlankLines(std::string& text, int n) {
    const std::size_t breaks = trailingBreaks(text);
    const std::size_t body = text.size() - breaks;
    const std::size_t target = body + 2 * static_cast<std::size_t>(n) + 2;
    if (text.size() < target) {
        for (std::size_t k = (target - text.size()) / 2; k > 0; --k)
            text += "\r\n";
    } else if (text.size() > target && breaks > 8) {
        text.resize(body + 8);
    }
}

void CapTrailingBreaks(std::string& text) {
    const std::size_t breaks = trailingBreaks(text);
    if (breaks > 8)
        text.resize(text.size() - breaks + 8);
}

bool EndsWithBlankLine(std::string_view text) {
    return text.size() > 3 && text.substr(text.size() - 3) == "\n\r\n";
}

std::size_t LineCount(std::string_view text) {
    if (text.empty())
        return 0;
    std::size_t n = 1;
    for (char c : text)
        if (c == kLF)
            ++n;
    return n;
}

std::string TrimSpace(std::string_view text, bool bothEnds) {
    return std::string(TrimSpaceView(text, bothEnds));
}

std::string_view TrimSpaceView(std::string_view text, bool bothEnds) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == kCR || c == kLF; };
    std::size_t end = text.size();
    while (end > 0 && blank(text[end - 1]))
        --end;
    std::size_t begin = 0;
    if (bothEnds) {
        while (begin < end && blank(text[begin]))
            ++begin;
    } else if (end < text.size() && (text[end] == ' ' || text[end] == '\t')) {
        ++end;
    }
    return text.substr(begin, end - begin);
}

std::string RuleLine(long n) {
    if (n <= 0)
        return {};
    return std::string(n > 56 ? 57 : static_cast<std::size_t>(n), '=');
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t e = pos;
        while (e < text.size() && !isLineBreak(text[e]))
            ++e;
        lines.push_back(text.substr(pos, e - pos));
        if (e == text.size())
            break;
        pos = (text[e] == kCR && e + 1 < text.size() && text[e + 1] == kLF) ? e + 2 : e + 1;
    }
    return lines;
}

void AppendWrappedText(std::string& out, std::string_view text, long width, bool pad) {
    const std::size_t w = width < 1 ? 1 : static_cast<std::size_t>(width);
    if (text.empty()) {
        if (pad)
            out += TColBlank::Blank(static_cast<long>(w));
        return;
    }
    std::size_t pos = 0;
    bool first = true;
    while (pos < text.size()) {
        std::size_t e = pos;
        while (e < text.size() && !isLineBreak(text[e]))
            ++e;
        if (!first)
            out += "\r\n";
        first = false;
        wrapLine(out, text.substr(pos, e - pos), w, pad);
        if (e == text.size())
            break;
        pos = (text[e] == kCR && e + 1 < text.size() && text[e + 1] == kLF) ? e + 2 : e + 1;
    }
}

std::string WrapText(std::string_view text, long width, bool pad) {
    std::string out;
    AppendWrappedText(out, text, width, pad);
    return out;
}

namespace internal {

void Checkpoint() {
    thread_local unsigned counter = 0;
    if ((++counter & 4095) == 0)
        ThrowIfAborted();
}

int& NestingGuard::Level() {
    thread_local int level = 0;
    return level;
}

}  // namespace internal

}  // namespace HTMLParser
