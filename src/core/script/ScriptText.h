#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Byte-string helpers of the script language (doc/script-language.md): trims, the
// comparisons of label and end-marker lines, and the texts the test run shows for
// extracted source. All work on cp932 byte strings and step over double-byte characters
// with the rules of text/Cp932.h (a lead byte takes the next byte as its trail; a lead
// byte at the very end is a character of its own), so no cut splits a character.
namespace script {

// Without the bytes up to 0x20 (blanks and control characters) at the end / at both ends.
std::string_view TrimRightControls(std::string_view text);
std::string_view TrimControls(std::string_view text);

// Equal when the texts differ at most in the case of single-byte letters A-Z/a-z; the
// bytes of double-byte characters must be equal exactly.
bool SameText(std::string_view a, std::string_view b);

// Every single-byte "^" replaced by CR LF (a "^" that is the trail byte of a double-byte
// character stays).
std::string ExpandCarets(std::string_view text);

// The first character (one or two bytes; empty for an empty text).
std::string_view FirstChar(std::string_view text);

// The first / last `count` characters of the text (the whole text when it is shorter).
std::string_view HeadChars(std::string_view text, std::size_t count);
std::string_view TailChars(std::string_view text, std::size_t count);

// Test run: what a variable other than A receives from a source range: the bytes without
// 0x07, CR and LF, trimmed at both ends. Tags stay.
std::string TestFieldValue(std::string_view source);

// Test run: what A receives from a source range: its first line, or its first and last
// 36 characters of the first and last lines with "..." between them.
std::string ArticleSummary(std::string_view source);

// Test run: how the value of A is shown: a value longer than 180 bytes as "..." followed by
// its last 180 characters.
std::string ShownArticle(std::string_view value);

// Test run: the page bytes shown after a successful search: at most `maxBytes` bytes from
// `rest`, fewer at the end of the page, and never half of a double-byte character.
std::string_view Preview(std::string_view rest, std::size_t maxBytes);

}  // namespace script
