#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Text helpers that every layout of the HTML engine shares. Byte strings (cp932) in,
// byte strings out; "the trailing breaks" of a text are the CR and LF bytes at its end.
namespace HTMLParser {

// The width of the laid-out page, in bytes (a double-byte character counts 2).
inline constexpr long PageWidth = 72;

// True if the text holds a byte other than a space, CR, LF and the full-width space
// (0x81 0x40). A tab counts as content; a 0x81 that is the last byte counts as blank.
bool HasContent(std::string_view text);

// Makes the text end in n + 1 line breaks (n blank lines): with i the length without the
// trailing breaks and target = i + 2n + 2, a shorter text gets (target - length) / 2
// CR LF pairs; a longer one is cut to i + 8 when more than 8 bytes of breaks trail.
// An empty text receives n + 1 line breaks.
void EnsureBlankLines(std::string& text, int n);

// Cuts more than 8 bytes of trailing breaks down to their first 8.
void CapTrailingBreaks(std::string& text);

// The text is longer than 3 bytes and ends with LF CR LF.
bool EndsWithBlankLine(std::string_view text);

// 0 for the empty text, otherwise the number of LF bytes + 1.
std::size_t LineCount(std::string_view text);

// Removes trailing spaces, tabs, CRs and LFs. With bothEnds off, when the first removed
// byte is a space or a tab that one byte stays; with bothEnds on the same bytes are also
// removed at the start (and none stays).
std::string TrimSpace(std::string_view text, bool bothEnds);
// The same, as a part of the text.
std::string_view TrimSpaceView(std::string_view text, bool bothEnds);

// n bytes "=", at most 57 (n above 56 gives 57); none for n <= 0.
std::string RuleLine(long n);

// The text's lines, split at CR LF, CR or LF. A break at the very end ends the last line
// and adds no empty line; the empty text has no lines.
std::vector<std::string_view> SplitLines(std::string_view text);

// Wraps every line of the text at `width` bytes, lines joined by CR LF (none after the
// last). A line longer than the width breaks after the last byte that is not an ASCII
// letter or digit before the width when the byte at the width is one (the blank stays at
// the end of its line), otherwise after `width` bytes. A break never splits a cp932
// double-byte character: it moves before the lead byte (a double-byte character that
// alone exceeds a width of 1 is kept whole). With `pad` every line that is not full is
// followed by TColBlank::Blank(width - its length), and the empty text gives
// Blank(width). A width below 1 counts as 1.
std::string WrapText(std::string_view text, long width, bool pad);
// The same, appended to `out`.
void AppendWrappedText(std::string& out, std::string_view text, long width, bool pad);

namespace internal {

// Tests the abort flag every few thousand calls; layout and scan loops call it once per
// step so that a forced stop unwinds within microseconds.
void Checkpoint();

// Quote blocks, lists and tables lay out nested containers recursively, and every level
// copies the text of the levels inside it. A hostile page nesting thousands of them would
// take the stack and quadratic time, so a layout nested more than kMaxNesting containers
// deep lays a further container out as plain content of its own (its text runs on at
// that level) instead of descending. Real pages stay far below the limit.
inline constexpr int kMaxNesting = 100;

class NestingGuard {
  public:
    NestingGuard() { ++Level(); }
    ~NestingGuard() { --Level(); }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

    // Whether a layout running now may start a nested container layout.
    static bool CanDescend() { return Level() < kMaxNesting; }

  private:
    static int& Level();
};

}  // namespace internal

}  // namespace HTMLParser
