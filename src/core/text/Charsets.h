#pragma once

#include <string>
#include <string_view>

// Conversion of mail text in other character sets to cp932, for the opt-in decoding of the
// message parser.
//
// Charset names are read as the IANA registry spells them and its aliases, in any letter
// case (plus a few names mailers commonly write, such as "x-sjis" or "cp1252"); a name the
// registry table lacks is tried with iconv as written. Characters that cp932 lacks and
// byte sequences that do not decode become "?", one per character or bad byte, as
// UTF8_SJIS does for UTF-8, and the text after a bad sequence is still read.
//
// - Shift_JIS, Windows-31J and CP932 text is the archive's own code page: kept as it is.
// - US-ASCII text is kept as it is (8-bit bytes in it are the sender's and stay).
// - UTF-8 goes through UTF8_SJIS.
// - ISO-2022-JP (and its -1, -2, -3 and -2004 forms) and EUC-JP are turned into Shift-JIS
//   code by code, so the NEC and IBM rows of cp932 (circled digits and the like, which
//   Windows mailers put in such mail) survive; the sets those forms add beyond JIS X 0208
//   go through iconv.
// - Everything else goes through glibc iconv. Each converter is opened once per charset
//   and reused; a converter is never used by two threads at a time.
//
// All functions are safe to call from any thread.
namespace charsets {

// Converts `bytes`, text in `charset`, to cp932 into `out` and returns true; returns false
// (out untouched) when the charset is unknown, so that the caller keeps the bytes.
// A name may carry an RFC 2231 language suffix ("iso-2022-jp*ja").
bool DecodeToCp932(std::string_view charset, std::string_view bytes, std::string& out);

// Mail text labelled `charset` as cp932, for the opt-in decoding: DecodeToCp932, except
// that a seven-bit text with ISO-2022-JP escapes is read as ISO-2022-JP whatever its
// label (old Japanese mail often has none, so it defaults to us-ascii) unless the label
// names another ISO-2022 form, and that an unknown charset gives the bytes back.
std::string DecodeMailText(std::string_view charset, std::string_view bytes);

// Whether a charset name is one that DecodeToCp932 converts.
bool IsKnownCharset(std::string_view charset);

// Whether text holds an ISO-2022-JP designation of JIS X 0208 or JIS X 0201 katakana
// (ESC $ B, ESC $ @, ESC ( I): Japanese text sent without (or under a wrong) charset label.
bool HasIso2022JpEscapes(std::string_view text);

// The charset named by the first <meta charset=...> or <meta http-equiv="Content-Type"
// content="...; charset=..."> of an HTML text, looked for before the first "<body"; empty
// when there is none.
std::string HtmlMetaCharset(std::string_view html);

// The two Japanese decoders, exposed for tests.
std::string Iso2022JpToCp932(std::string_view bytes);
std::string EucJpToCp932(std::string_view bytes);

}  // namespace charsets
