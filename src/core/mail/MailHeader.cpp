#include "mail/MailHeader.h"

#include "mail/MailText_p.h"
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
    std::string kept = "=?";
    kept.append(word);
    kept += "?=";
    return kept;
}

}  // namespace

std::string DecodeEncodedWords(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t open = value.find("=?", pos);
        if (open == std::string_view::npos) {
            out.append(value.substr(pos));
            return out;
        }
        out.append(value.substr(pos, open - pos));
        // The closing "?=" may share the opening's "?"; a word needs at least one byte.
        std::size_t close = value.find("?=", open + 1);
        if (close == std::string_view::npos || close < open + 3) {
            out.append(value.substr(open));
            return out;
        }
        // In "=?utf-8?q?=41?=" the first "?=" is the one after "q": a Q word of the
        // charsets we decode runs on to the next "?=" when its encoded text starts with "=".
        const std::string head = lowered(value.substr(open + 2, close - open - 2));
        if (head == "us-ascii?q" || head == "iso-8859-1?q" || head == "utf-8?q") {
            close = value.find("?=", close + 1);
            if (close == std::string_view::npos) {
                out.append(value.substr(open));
                return out;
            }
        }
        out += decodeWord(value.substr(open + 2, close - open - 2));
        pos = close + 2;
    }
}

}  // namespace MailParser
