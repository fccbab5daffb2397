#pragma once

#include <string>
#include <string_view>
#include <vector>

// The article tidying commands of the Edit menu, over cp932 byte strings with CR LF line
// ends. Pure functions; any thread.
//
// Word characters are the single-byte ASCII letters and digits. Every other character is
// not: blanks, punctuation, control bytes and every double-byte character - also one whose
// trail byte happens to lie in the ASCII letter range. Lines are stepped character by
// character (cp932.h), so no cut falls inside a double-byte character.

namespace texttools {

// Width of a wrapped line in bytes.
inline constexpr std::size_t kWrapBytes = 72;

// The lines of a text as a list of lines holds them: CR, LF or CR LF ends a line, and a
// line end at the very end of the text makes no empty last line ("a\r\n" is one line,
// "" none).
std::vector<std::string> SplitLines(std::string_view text);

// "Text Formatting": the lines are joined into paragraphs and each paragraph is wrapped
// again at kWrapBytes.
//
// Joining: an empty line becomes an empty paragraph of its own; the next non-empty line
// starts a new paragraph; every other line is appended to the last paragraph, with one
// blank between them when that paragraph ends in a word character (an English line gets
// a blank, a Japanese one or one ending in punctuation none). The first line is taken as
// it is, so an empty first line is absorbed by the line after it.
//
// Wrapping: paragraphs are separated by CR LF and the text ends without one. A paragraph
// longer than kWrapBytes is cut after its last non-word character among the first 71
// bytes when the 72nd byte starts a word character (the blank or punctuation stays at the
// end of the line), else after byte 72; a double-byte character that the cut would split
// goes to the next line whole.
std::string FormatLines(const std::vector<std::string>& lines);

// "Del Blanks at both ends": every line without its leading and trailing bytes up to
// 0x20 (blanks, tabs, control bytes; the double-byte blank stays), each followed by CR LF.
std::string DeleteBothBlanks(const std::vector<std::string>& lines);

}  // namespace texttools
