#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Search and replace in an article, over cp932 byte strings; positions are byte offsets.
// Matches begin at character boundaries only, so a search text never matches the trail
// byte of one character and the lead byte of the next. Pure functions; any thread.

namespace texttools {

struct TFindOptions {
    // Off: ASCII letters match without regard to case (double-byte letters as they stand).
    bool matchCase = false;
    // On: a match must not have a word character (ASCII letter or digit) right before or
    // right after it.
    bool wholeWord = false;
};

// The byte offset of the first match of `what` at or after `fromByte`, ending at or
// before `endByte` (clamped to the text). Nothing for an empty search text.
std::optional<std::size_t> FindText(std::string_view text, std::string_view what,
                                    std::size_t fromByte, std::size_t endByte,
                                    const TFindOptions& options);

struct TReplaceOutcome {
    std::string text;
    std::size_t replaced = 0;
    // After the last replacement: where its replacement text starts and ends. Both equal
    // the start when nothing was replaced.
    std::size_t lastStart = 0;
    std::size_t lastEnd = 0;
};

// "Replace" (all = false) replaces the first match at or after startByte; "Replace All"
// every match from there to the end. Each repeated search starts after the text just
// inserted, so Replace All always ends, also when the replacement holds the search text.
TReplaceOutcome ReplaceText(std::string_view text, std::size_t startByte, std::string_view what,
                            std::string_view with, const TFindOptions& options, bool all);

}  // namespace texttools
