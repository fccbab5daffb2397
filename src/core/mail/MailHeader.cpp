#include "mail/MailHeader.h"

#include "base/EError.h"
#include "mail/MailText_p.h"
#include "text/Charsets.h"
#include "text/TextUtil.h"

namespace MailParser {

using namespace internal;

THeaderSplit SplitHeaderBlock(std::string_view text) {
    THeaderSplit split;
    const std::size_t cut = findBytes(text, kEmptyLine);
    if (cut == std::string_view::npos) {
        split.headerBlock.assign(text);
        return split;
    }
    split.body = text.substr(cut + kEmptyLine.size());

    // RFC 822, 3.1.1 unfolding, kept byte-exact: blanks that open a continuation line are
    // dropped, not replaced by one, so "abc" CR LF TAB "def" becomes "abcdef".
    const std::string_view block = text.substr(0, cut);
    std::string& out = split.headerBlock;
    out.reserve(block.size());
    bool afterBreak = false;
    char previous = '\0';
    for (char c : block) {
        if (isLineBreak(c)) {
            afterBreak = true;
        } else if (!afterBreak) {
            out += c;
        } else if (!isBlank(c)) {
            afterBreak = false;
            if (isLineBreak(previous))
                out += kCRLF;
            out += c;
        }
        previous = c;
    }
    return split;
}

namespace {

std::string underscoresToSpaces(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '_')
            c = ' ';
    return out;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// A word that is not decoded stays exactly as written.
std::string keptWord(std::string_view word) {
    std::string kept = "=?";
    kept.append(word);
    kept += "?=";
    return kept;
}

// One encoded word without its "=?" and "?=": charset "?" B|Q "?" encoded text. RFC 2047,
// 4.1 (B) and 4.2 (Q, where "_" stands for a space).
std::string decodeWord(std::string_view word) {
    const std::string lower = lowered(word.substr(0, 14));
    for (std::string_view prefix : {"us-ascii?b?", "iso-8859-1?b?"})
        if (startsWith(lower, prefix))
            return Base64Decode(word.substr(prefix.size()));
    if (startsWith(lower, "utf-8?b?"))
        return UTF8_SJIS(Base64Decode(word.substr(8)));
    for (std::string_view prefix : {"us-ascii?q?", "iso-8859-1?q?"})
        if (startsWith(lower, prefix))
            return QuotedPrintableDecode(underscoresToSpaces(word.substr(prefix.size())));
    if (startsWith(lower, "utf-8?q?"))
        return UTF8_SJIS(QuotedPrintableDecode(underscoresToSpaces(word.substr(8))));
    return keptWord(word);
}

// The charset of a word ("iso-2022-jp" of "iso-2022-jp?B?...") when decoding every charset
// and the word is in one that text/Charsets.h knows; empty otherwise.
std::string_view knownCharsetOf(std::string_view word) {
    const std::size_t mark = word.find('?');
    if (mark == std::string_view::npos || mark == 0)
        return {};
    const std::string_view charset = word.substr(0, mark);
    return charsets::IsKnownCharset(charset) ? charset : std::string_view();
}

// One encoded word when decoding every charset: B or Q as RFC 2047 has them, then the
// charset to cp932. A word that cannot be read (unknown charset, another encoding letter,
// a bad Q escape) is kept exactly as written.
std::string decodeAnyWord(std::string_view word) {
    const std::string_view charset = knownCharsetOf(word);
    const std::string_view rest =
        charset.empty() ? std::string_view() : word.substr(charset.size() + 1);
    if (rest.size() < 2 || rest[1] != '?')
        return keptWord(word);
    std::string bytes;
    const std::string_view encoded = rest.substr(2);
    if (rest[0] == 'B' || rest[0] == 'b') {
        bytes = Base64Decode(encoded);
    } else if (rest[0] == 'Q' || rest[0] == 'q') {
        try {
            bytes = QuotedPrintableDecode(underscoresToSpaces(encoded));
        } catch (const EError&) {
            return keptWord(word);
        }
    } else {
        return keptWord(word);
    }
    return charsets::DecodeMailText(charset, bytes);
}

// Header text outside encoded words; raw ISO-2022-JP in it is read when decoding.
void appendLiteral(std::string& out, std::string_view text, const TParseOptions& options) {
    if (options.DecodeCharsets && charsets::HasIso2022JpEscapes(text))
        out += charsets::DecodeMailText("us-ascii", text);
    else
        out.append(text);
}

}  // namespace

std::string DecodeEncodedWords(std::string_view value, const TParseOptions& options) {
    std::string out;
    out.reserve(value.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t open = value.find("=?", pos);
        if (open == std::string_view::npos) {
            appendLiteral(out, value.substr(pos), options);
            return out;
        }
        appendLiteral(out, value.substr(pos, open - pos), options);
        // The closing "?=" may share the opening's "?"; a word needs at least one byte.
        std::size_t close = value.find("?=", open + 1);
        if (close == std::string_view::npos || close < open + 3) {
            appendLiteral(out, value.substr(open), options);
            return out;
        }
        // In "=?utf-8?q?=41?=" the first "?=" is the one after "q": a Q word of the
        // charsets we decode runs on to the next "?=" when its encoded text starts with "=".
        // Decoding every charset, the same holds for every charset that is read: a Q word
        // in ISO-2022-JP always starts with "=1B".
        const std::string head = lowered(value.substr(open + 2, close - open - 2));
        if (head == "us-ascii?q" || head == "iso-8859-1?q" || head == "utf-8?q" ||
            (options.DecodeCharsets && head.size() > 2 &&
             head.compare(head.size() - 2, 2, "?q") == 0 && !knownCharsetOf(head).empty())) {
            close = value.find("?=", close + 1);
            if (close == std::string_view::npos) {
                appendLiteral(out, value.substr(open), options);
                return out;
            }
        }
        const std::string_view word = value.substr(open + 2, close - open - 2);
        out += options.DecodeCharsets ? decodeAnyWord(word) : decodeWord(word);
        pos = close + 2;
    }
}

}  // namespace MailParser
