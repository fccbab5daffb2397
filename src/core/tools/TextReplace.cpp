#include "tools/TextReplace.h"

#include "text/Cp932.h"

namespace texttools {
namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool isWordByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Compares `what` with the text at the character start `at` (which must leave room for
// it), character by character: the characters must have the same lengths too, so a match
// ends at a character boundary of the text (a lone lead byte at the end of `what` does not
// match the first half of a double-byte character). Case folding applies to single-byte
// characters only: a trail byte is compared as it stands.
bool matchesAt(std::string_view text, std::size_t at, std::string_view what, bool matchCase) {
    for (std::size_t i = 0; i < what.size();) {
        const std::size_t len = cp932::charLength(what, i);
        if (cp932::charLength(text, at + i) != len)
            return false;
        if (len == 1 && !matchCase) {
            if (lowerAscii(text[at + i]) != lowerAscii(what[i]))
                return false;
        } else if (text.compare(at + i, len, what.substr(i, len)) != 0) {
            return false;
        }
        i += len;
    }
    return true;
}

}  // namespace

std::optional<std::size_t> FindText(std::string_view text, std::string_view what,
                                    std::size_t fromByte, std::size_t endByte,
                                    const TFindOptions& options) {
    if (what.empty())
        return std::nullopt;
    if (endByte > text.size())
        endByte = text.size();
    if (fromByte >= endByte || endByte - fromByte < what.size())
        return std::nullopt;
    // Walk character starts from the beginning: a byte offset alone cannot tell a lead
    // byte from a trail byte.
    bool prevIsWord = false;
    for (std::size_t at = 0; at + what.size() <= endByte;) {
        const std::size_t next = cp932::nextChar(text, at);
        if (at >= fromByte && matchesAt(text, at, what, options.matchCase)) {
            const std::size_t end = at + what.size();
            const bool nextIsWord = end < text.size() && cp932::charLength(text, end) == 1 &&
                                    isWordByte(static_cast<unsigned char>(text[end]));
            if (!options.wholeWord || (!prevIsWord && !nextIsWord))
                return at;
        }
        prevIsWord = next - at == 1 && isWordByte(static_cast<unsigned char>(text[at]));
        at = next;
    }
    return std::nullopt;
}

TReplaceOutcome ReplaceText(std::string_view text, std::size_t startByte, std::string_view what,
                            std::string_view with, const TFindOptions& options, bool all) {
    TReplaceOutcome out;
    out.text.assign(text);
    out.lastStart = out.lastEnd = startByte > text.size() ? text.size() : startByte;
    std::size_t from = out.lastStart;
    while (auto found = FindText(out.text, what, from, out.text.size(), options)) {
        out.text.replace(*found, what.size(), with);
        ++out.replaced;
        out.lastStart = *found;
        out.lastEnd = from = *found + with.size();
        if (!all)
            break;
    }
    return out;
}

}  // namespace texttools
