#pragma once

namespace MailParser {

// How one parse reads a message. Passed with every Parse, so that two callers of the
// process-wide parser (an import and a command-line run) can never disagree through it.
struct TParseOptions {
    // Off (the default): UTF-8 is the one charset converted to cp932; text in any other
    // charset keeps its bytes, as stored archives expect. On: encoded words, text/plain
    // and text/html bodies in every charset that text/Charsets.h knows are converted too,
    // an HTML part without a charset parameter takes the one its <meta> names, and
    // ISO-2022-JP text sent without a label (7-bit escapes in unlabelled or us-ascii text)
    // is read as ISO-2022-JP. An unknown charset keeps its bytes either way.
    bool DecodeCharsets = false;
};

}  // namespace MailParser
