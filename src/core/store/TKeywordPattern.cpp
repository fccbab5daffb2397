#include "store/TKeywordPattern.h"

#include <algorithm>
#include <cstring>

#include "text/Cp932.h"

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool IsCharBoundaryAt(std::string_view text, std::size_t byteOffset) {
    if (byteOffset == 0 || byteOffset >= text.size())
        return byteOffset <= text.size();
    std::size_t run = 0;
    std::size_t i = byteOffset;
    while (i > 0 && cp932::isLeadByte(static_cast<unsigned char>(text[i - 1]))) {
        --i;
        ++run;
    }
    // From i on, the bytes pair up as (lead, trail): the offset is a boundary when an even
    // number of them lie before it.
    return run % 2 == 0;
}

TKeywordPattern::TKeywordPattern(std::string_view keyword, bool ignoreCase)
    : keyword_(keyword),
      folded_(keyword),
      foldByte_(keyword.size(), false) {
    std::size_t pos = 0;
    while (pos < keyword.size()) {
        std::size_t len = cp932::charLength(keyword, pos);
        if (len == 1) {
            if (cp932::isLeadByte(static_cast<unsigned char>(keyword[pos]))) {
                endsWithLoneLead_ = true;  // only possible as the last byte
            } else if (ignoreCase) {
                foldByte_[pos] = true;
                folded_[pos] = lowerAscii(keyword[pos]);
            }
        }
        pos += len;
    }
}

bool TKeywordPattern::MatchesAt(std::string_view text, std::size_t at) const {
    const std::size_t n = folded_.size();
    if (text.size() - at < n)
        return false;
    for (std::size_t k = 0; k < n; ++k) {
        char c = text[at + k];
        if (foldByte_[k] ? lowerAscii(c) != folded_[k] : c != folded_[k])
            return false;
    }
    // Starting at a boundary and agreeing byte for byte, text and keyword split into the
    // same characters, so the match ends on a boundary too, except after a lone lead byte.
    return !endsWithLoneLead_ || at + n == text.size();
}

std::size_t TKeywordPattern::Find(std::string_view text, std::size_t fromOffset) const {
    const std::size_t n = folded_.size();
    if (n == 0)
        return fromOffset <= text.size() ? fromOffset : std::string_view::npos;
    if (text.size() < n || fromOffset > text.size() - n)
        return std::string_view::npos;

    // Candidates come from memchr on the first byte (one stream per letter case when it
    // is folded), which keeps the scan of long articles close to memory speed. Each stream
    // only moves forward, so the whole scan is linear.
    const char* base = text.data();
    const std::size_t lastStart = text.size() - n;
    auto next = [&](char c, std::size_t from) -> std::size_t {
        if (from > lastStart)
            return std::string_view::npos;
        const void* hit = std::memchr(base + from, c, lastStart - from + 1);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base)
                   : std::string_view::npos;
    };
    const char first = folded_[0];
    const char firstUpper = upperAscii(first);
    const bool twoCases = foldByte_[0] && firstUpper != first;
    std::size_t nextLower = next(first, fromOffset);
    std::size_t nextUpper = twoCases ? next(firstUpper, fromOffset) : std::string_view::npos;

    // A known character boundary at or before every candidate: the backward look of the
    // boundary test never goes past it, so the look-backs add up to one pass at most.
    std::size_t known = fromOffset;
    while (true) {
        std::size_t at = std::min(nextLower, nextUpper);
        if (at == std::string_view::npos)
            return at;
        std::size_t i = at;
        while (i > known && cp932::isLeadByte(static_cast<unsigned char>(base[i - 1])))
            --i;
        bool boundary = (at - i) % 2 == 0;
        if (boundary && MatchesAt(text, at))
            return at;
        known = boundary ? at : at - 1;
        if (at == nextLower)
            nextLower = next(first, at + 1);
        else
            nextUpper = next(firstUpper, at + 1);
    }
}

bool TKeywordPattern::FoundIn(std::string_view text) const {
    return Find(text) != std::string_view::npos;
}
