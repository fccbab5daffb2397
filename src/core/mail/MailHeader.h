#pragma once

#include <string>
#include <string_view>

#include "mail/TParseOptions.h"

// Header-block routines shared by the message parser and the MIME body parts. Byte strings
// in, byte strings out; no state, safe on any thread.
namespace MailParser {

// A message or body part cut at its first CR LF CR LF. `body` views the bytes after the
// four-byte separator inside the text given to SplitHeaderBlock, so it lives as long as
// that text does.
struct THeaderSplit {
    std::string headerBlock;
    std::string_view body;
};

// Cuts a message (or a MIME part) into its header block and its body (RFC 822, 3.1).
// With a CR LF CR LF, the header block is the text before it, unfolded: a line break
// followed by text starts a new line (written CR LF); a line break followed by blanks
// joins the next line to this one with its leading blanks dropped and nothing put in their
// place. Without one, the whole text, not unfolded, is the header block and the body is
// empty (so an LF-only message is all header).
THeaderSplit SplitHeaderBlock(std::string_view text);

// Decodes the RFC 2047 encoded words of a header value: B and Q words in us-ascii,
// iso-8859-1 and utf-8 (utf-8 then becomes cp932; the other two are only
// transfer-decoded). Words in any other charset are kept exactly as written. Text between
// words, blanks included, is kept. Throws EError("Quoted Printable Decode Error") for a
// bad escape in a Q word.
//
// With options.DecodeCharsets, words in every charset that text/Charsets.h knows become
// cp932 as well (a Q word of such a charset whose escape is bad is kept as written rather
// than failing the message), and text outside the words that carries ISO-2022-JP escapes
// (raw JIS in an old header) is read as ISO-2022-JP.
std::string DecodeEncodedWords(std::string_view value, const TParseOptions& options = {});

}  // namespace MailParser
