#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Code page 932 (Shift-JIS, Microsoft variant): the one text encoding inside the engines.
//
// Character stepping. A lead byte (0x81-0x9F, 0xE0-0xFC) always takes the byte after it as
// its trail, whatever that byte is, as the Windows code-page routines do; a lead byte that
// is the last byte of the text is a character of its own. Every other byte is a character
// of one byte. With these rules every byte string splits into characters in exactly one
// way, so no cut made at a character boundary can leave half a character behind.
//
// Conversions use tables built once, on first use, from glibc iconv's "CP932".
namespace cp932 {

inline constexpr bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Byte length (1 or 2) of the character that starts at byteOffset; 0 at or past the end.
std::size_t charLength(std::string_view text, std::size_t byteOffset);

// Byte offset of the character after the one at byteOffset (text.size() at most).
inline std::size_t nextChar(std::string_view text, std::size_t byteOffset) {
    return byteOffset + charLength(text, byteOffset);
}

// The largest character boundary that is <= maxBytes (text.size() if the text is shorter).
std::size_t boundaryAtOrBefore(std::string_view text, std::size_t maxBytes);

// Whether byteOffset is a character boundary of text (0 and text.size() always are).
bool isBoundary(std::string_view text, std::size_t byteOffset);

// The text cut to at most maxBytes bytes without splitting a double-byte character.
std::string truncate(std::string_view text, std::size_t maxBytes);

// Whether lead and trail form a double-byte character that cp932 defines.
bool IsDoubleByteChar(unsigned char lead, unsigned char trail);

// Number of characters (a double-byte character counts one).
std::size_t charCount(std::string_view text);

// cp932 -> UTF-8. Bytes that form no cp932 character become U+FFFD.
std::string toUtf8(std::string_view text);

// cp932 -> UTF-16. Bytes that form no cp932 character become U+FFFD.
std::u16string toUtf16(std::string_view text);

// UTF-16 -> cp932. Characters cp932 lacks (and unpaired surrogates) become "?".
std::string fromUtf16(std::u16string_view text);

// UTF-8 -> cp932, strict decoding: each malformed sequence and each character cp932
// lacks becomes "?". (The mail parser's lenient decoder is UTF8_SJIS, not this.)
std::string fromUtf8(std::string_view text);

// Appends the UTF-8 form of a code point (at most U+10FFFF) to out.
void AppendUtf8(std::string& out, char32_t codePoint);

// ISO-8859-1 -> UTF-8 and back: byte b is the character U+00bb. utf8ToLatin1 returns
// false when the text holds a character above U+00FF or malformed UTF-8.
std::string latin1ToUtf8(std::string_view bytes);
bool utf8ToLatin1(std::string_view utf8, std::string& bytes);

}  // namespace cp932
