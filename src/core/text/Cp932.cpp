#include "text/Cp932.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <vector>

namespace cp932 {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';
constexpr std::uint16_t kUnmapped = 0xFFFF;  // no cp932 code is 0xFFFF

// Both directions, filled once from iconv. A cp932 code below 0x100 is one byte; any
// other code is lead << 8 | trail.
struct Tables {
    std::array<char16_t, 256> single{};
    std::vector<char16_t> dbcs = std::vector<char16_t>(0x10000, kReplacement);
    std::vector<std::uint16_t> encode = std::vector<std::uint16_t>(0x10000, kUnmapped);

    Tables() {
        iconv_t dec = iconv_open("UTF-16LE", "CP932");
        iconv_t enc = iconv_open("CP932", "UTF-16LE");
        if (dec == reinterpret_cast<iconv_t>(-1) || enc == reinterpret_cast<iconv_t>(-1)) {
            // Without glibc's converter only ASCII is known; everything else is replaced.
            for (unsigned b = 0; b < 0x80; ++b) {
                single[b] = static_cast<char16_t>(b);
                encode[b] = static_cast<std::uint16_t>(b);
            }
            for (unsigned b = 0x80; b < 0x100; ++b)
                single[b] = kReplacement;
            return;
        }
        for (unsigned b = 0; b < 0x100; ++b) {
            unsigned char in[1] = {static_cast<unsigned char>(b)};
            single[b] = isLeadByte(in[0]) ? kReplacement : decodeOne(dec, in, 1);
        }
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(static_cast<unsigned char>(lead)))
                continue;
            for (unsigned trail = 0; trail < 0x100; ++trail) {
                unsigned char in[2] = {static_cast<unsigned char>(lead),
                                       static_cast<unsigned char>(trail)};
                dbcs[lead << 8 | trail] = decodeOne(dec, in, 2);
            }
        }
        for (unsigned u = 0; u < 0x10000; ++u) {
            if (u >= 0xD800 && u <= 0xDFFF)
                continue;
            unsigned char in[2] = {static_cast<unsigned char>(u & 0xFF),
                                   static_cast<unsigned char>(u >> 8)};
            unsigned char out[4];
            char* inPtr = reinterpret_cast<char*>(in);
            char* outPtr = reinterpret_cast<char*>(out);
            std::size_t inLeft = 2, outLeft = sizeof out;
            iconv(enc, nullptr, nullptr, nullptr, nullptr);
            if (iconv(enc, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
                continue;
            std::size_t n = sizeof out - outLeft;
            if (n == 1)
                encode[u] = out[0];
            else if (n == 2 && isLeadByte(out[0]))
                encode[u] = static_cast<std::uint16_t>(out[0] << 8 | out[1]);
        }
        iconv_close(dec);
        iconv_close(enc);
    }

    static char16_t decodeOne(iconv_t cd, unsigned char* in, std::size_t len) {
        unsigned char out[8];
        char* inPtr = reinterpret_cast<char*>(in);
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t inLeft = len, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0 || sizeof out - outLeft != 2)
            return kReplacement;
        return static_cast<char16_t>(out[0] | out[1] << 8);
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

// Strict UTF-8 (RFC 3629): returns the code point at `pos` and advances `pos`; a malformed
// sequence yields kBad and advances past its first byte only, so the bytes after it are
// read afresh.
constexpr char32_t kBad = 0xFFFFFFFF;
char32_t decodeUtf8(std::string_view s, std::size_t& pos) {
    unsigned char c = static_cast<unsigned char>(s[pos]);
    if (c < 0x80) {
        ++pos;
        return c;
    }
    std::size_t len;
    char32_t cp, min;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2, cp = c & 0x1F, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3, cp = c & 0x0F, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4, cp = c & 0x07, min = 0x10000;
    } else {
        ++pos;
        return kBad;
    }
    if (pos + len > s.size()) {
        ++pos;
        return kBad;
    }
    for (std::size_t i = 1; i < len; ++i) {
        unsigned char t = static_cast<unsigned char>(s[pos + i]);
        if ((t & 0xC0) != 0x80) {
            ++pos;
            return kBad;
        }
        cp = cp << 6 | (t & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kBad;
    }
    pos += len;
    return cp;
}

void appendCode(std::string& out, std::uint16_t code) {
    if (code == kUnmapped) {
        out += '?';
    } else if (code < 0x100) {
        out += static_cast<char>(code);
    } else {
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    }
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::size_t charLength(std::string_view text, std::size_t byteOffset) {
    if (byteOffset >= text.size())
        return 0;
    if (isLeadByte(static_cast<unsigned char>(text[byteOffset])) && byteOffset + 1 < text.size())
        return 2;
    return 1;
}

std::size_t boundaryAtOrBefore(std::string_view text, std::size_t maxBytes) {
    if (maxBytes >= text.size())
        return text.size();
    std::size_t pos = 0;
    while (true) {
        std::size_t next = nextChar(text, pos);
        if (next > maxBytes)
            return pos;
        pos = next;
    }
}

bool isBoundary(std::string_view text, std::size_t byteOffset) {
    if (byteOffset >= text.size())
        return byteOffset == text.size();
    return boundaryAtOrBefore(text, byteOffset) == byteOffset;
}

std::string truncate(std::string_view text, std::size_t maxBytes) {
    return std::string(text.substr(0, boundaryAtOrBefore(text, maxBytes)));
}

bool IsDoubleByteChar(unsigned char lead, unsigned char trail) {
    return isLeadByte(lead) && tables().dbcs[lead << 8 | trail] != kReplacement;
}

std::size_t charCount(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < text.size(); pos = nextChar(text, pos))
        ++n;
    return n;
}

std::u16string toUtf16(std::string_view text) {
    const Tables& t = tables();
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[pos]);
        if (charLength(text, pos) == 2) {
            out += t.dbcs[c << 8 | static_cast<unsigned char>(text[pos + 1])];
            pos += 2;
        } else {
            out += t.single[c];
            ++pos;
        }
    }
    return out;
}

std::string toUtf8(std::string_view text) {
    const Tables& t = tables();
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (std::size_t pos = 0; pos < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++pos;
        } else if (charLength(text, pos) == 2) {
            AppendUtf8(out, t.dbcs[c << 8 | static_cast<unsigned char>(text[pos + 1])]);
            pos += 2;
        } else {
            AppendUtf8(out, t.single[c]);
            ++pos;
        }
    }
    return out;
}

std::string fromUtf16(std::u16string_view text) {
    const Tables& t = tables();
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t u = text[i];
        // cp932 has no character outside the BMP: a surrogate pair is one character and
        // becomes one "?"; an unpaired surrogate also becomes "?".
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            ++i;
        appendCode(out, t.encode[u]);
    }
    return out;
}

std::string fromUtf8(std::string_view text) {
    const Tables& t = tables();
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++pos;
            continue;
        }
        char32_t cp = decodeUtf8(text, pos);
        appendCode(out, cp < 0x10000 ? t.encode[cp] : kUnmapped);
    }
    return out;
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes)
        AppendUtf8(out, c);
    return out;
}

bool utf8ToLatin1(std::string_view utf8, std::string& bytes) {
    bytes.clear();
    bytes.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t cp = decodeUtf8(utf8, pos);
        if (cp > 0xFF)
            return false;
        bytes += static_cast<char>(cp);
    }
    return true;
}

}  // namespace cp932
