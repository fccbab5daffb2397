#pragma once

#include <array>
#include <string>
#include <string_view>

// Byte-string routines shared by the message parser, the converters and the script
// interpreter. All take and return cp932 byte strings (UTF8_SJIS takes UTF-8), keep no
// state between calls and are safe to call from any thread.

// The twelve lower-case month abbreviations; MonthNames[0] is month 1.
inline constexpr std::array<std::string_view, 12> MonthNames = {
    "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};

// UTF-8 -> cp932, decoding leniently: the lead byte alone decides a sequence's length and
// continuation bytes give their low six bits unchecked (a stray 0x80-0xBF is the code
// unit U+0080-U+00BF); a sequence cut off by the end of the text gives one "?"; a
// leading byte-order mark is dropped when more text follows it. Characters cp932 lacks
// become "?" (one per character; a four-byte sequence is always such a character).
std::string UTF8_SJIS(std::string_view utf8);

// RFC 2045 base64 of one line. Returns the input unchanged when it is not valid base64:
// a length that is not a multiple of 4, a byte outside the alphabet (line breaks
// included), or "=" anywhere but as the pad of a group's last one or two places.
// Decoding goes on after a padded group.
std::string Base64Decode(std::string_view text);

// RFC 2045 quoted-printable: "=" CR LF is a soft line break, "=XX" a byte in hex (either
// case), a final "=" is dropped. Any other "=" throws EError("Quoted Printable Decode Error").
std::string QuotedPrintableDecode(std::string_view text);

// Returns the text before the first occurrence of delimiter; `text` keeps what follows
// it, less its leading bytes up to 0x20. Without an occurrence (or with an empty
// delimiter) returns the whole text and leaves `text` empty.
std::string PopToken(std::string& text, std::string_view delimiter);

// Remove CR and LF bytes at the start / at the end.
void TrimLeadingLineBreaks(std::string& text);
void TrimTrailingLineBreaks(std::string& text);
// Remove blanks (0x20) and tabs at the start.
void TrimLeadingBlanks(std::string& text);

// The text strictly between its first and its last double quote, when there are two;
// otherwise the text unchanged.
std::string Unquote(std::string_view text);

// An RFC 822 date ("Tue, 12 Jun 2001 10:20:30 +0900") as the record date text
// "2001/6/12 10:20:30"; an AM/PM word after the time is kept, a zone is dropped without
// arithmetic. Empty when the month is not one of MonthNames.
std::string ConvertMailDate(std::string_view value);

// A date text read by a pattern of field letters y m d h n s u with separators between
// them (see doc/dates.md); an empty pattern reads a mail date. Empty on any failure.
std::string ConvertPatternDate(std::string_view text, std::string_view pattern);

// Reads a whole text as a decimal integer: leading blanks, an optional sign, at least one
// digit and nothing after. False on anything else or on overflow of a 32-bit value.
bool ReadInteger(std::string_view text, long& value);
