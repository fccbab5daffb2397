#pragma once

#include <string>
#include <string_view>
#include <vector>

// A keyword prepared for searching cp932 text, as the keyword search and the log's text
// filters need it:
//  - single-byte letters match without regard to ASCII letter case (A-Z = a-z); bytes of
//    double-byte characters always compare exactly, so a trail byte 0x41-0x5A is never
//    case-folded;
//  - a match starts and ends at character boundaries of the searched text (cp932 stepping
//    rules of text/Cp932.h), so a keyword never matches the trail byte of one character
//    and the lead byte of the next;
//  - malformed input: a lead byte at the very end of the keyword is a character of its own
//    and matches only a lone lead byte at the end of the text.
// An empty keyword is found in every text. Immutable after construction; safe to share.
class TKeywordPattern {
  public:
    explicit TKeywordPattern(std::string_view keyword, bool ignoreCase = true);

    bool FoundIn(std::string_view text) const;
    // Byte offset of the first match at or after `fromOffset` (which must be a character
    // boundary), or std::string_view::npos.
    std::size_t Find(std::string_view text, std::size_t fromOffset = 0) const;

    const std::string& keyword() const { return keyword_; }

  private:
    bool MatchesAt(std::string_view text, std::size_t at) const;

    std::string keyword_;
    std::string folded_;             // the keyword with single-byte letters lower-cased
    std::vector<bool> foldByte_;     // per byte: compare case-folded
    bool endsWithLoneLead_ = false;  // last byte is a lead byte without a trail
};

// Whether the byte offset is a character boundary of text, found by looking back only as
// far as the run of lead-range bytes before it (a byte outside the lead range always ends
// a character, whether it is a single-byte character or a trail byte).
bool IsCharBoundaryAt(std::string_view text, std::size_t byteOffset);
