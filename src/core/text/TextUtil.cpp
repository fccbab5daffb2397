#include "text/TextUtil.h"

#include <climits>
#include <cstring>

#include "base/EError.h"
#include "text/Cp932.h"

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

// RFC 2045, table 1. -1 marks bytes outside the alphabet, -2 the pad "=".
struct Base64Table {
    signed char value[256];
    constexpr Base64Table() : value{} {
        for (int i = 0; i < 256; ++i)
            value[i] = -1;
        for (int i = 0; i < 26; ++i) {
            value['A' + i] = static_cast<signed char>(i);
            value['a' + i] = static_cast<signed char>(26 + i);
        }
        for (int i = 0; i < 10; ++i)
            value['0' + i] = static_cast<signed char>(52 + i);
        value[static_cast<unsigned char>('+')] = 62;
        value[static_cast<unsigned char>('/')] = 63;
        value[static_cast<unsigned char>('=')] = -2;
    }
};
constexpr Base64Table kBase64;

int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = asciiLower(c);
    return out;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (asciiUpper(text[i]) != prefix[i])
            return false;
    return true;
}

void trimLineBreaksBothEnds(std::string& text) {
    TrimLeadingLineBreaks(text);
    TrimTrailingLineBreaks(text);
}

bool isFieldLetter(char c) {
    return c == 'y' || c == 'm' || c == 'd' || c == 'h' || c == 'n' || c == 's' || c == 'u';
}

bool readInRange(std::string_view text, long low, long high) {
    long v;
    return ReadInteger(text, v) && v >= low && v <= high;
}

}  // namespace

std::string UTF8_SJIS(std::string_view utf8) {
    if (utf8.empty())
        return {};
    if (utf8.size() > 2 && utf8.substr(0, 3) == "\xEF\xBB\xBF")
        utf8.remove_prefix(3);

    std::u16string units;
    units.reserve(utf8.size());
    const std::size_t n = utf8.size();
    for (std::size_t i = 0; i < n;) {
        unsigned char lead = static_cast<unsigned char>(utf8[i]);
        std::size_t len = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (i + len > n) {
            units += u'?';
            break;
        }
        auto low6 = [&](std::size_t k) {
            return static_cast<char32_t>(static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        };
        switch (len) {
            case 1:
                units += static_cast<char16_t>(lead);
                break;
            case 2:
                units += static_cast<char16_t>((lead & 0x1F) << 6 | low6(1));
                break;
            case 3:
                units += static_cast<char16_t>((lead & 0x0F) << 12 | low6(1) << 6 | low6(2));
                break;
            default: {
                // Whatever its value, a four-byte sequence names no BMP character and so
                // no cp932 character: write it as one well-formed pair, which the code-page
                // conversion turns into a single "?".
                units += u'\xD800';
                units += u'\xDC00';
                break;
            }
        }
        i += len;
    }
    return cp932::fromUtf16(units);
}

std::string Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0)
        return std::string(text);
    std::string out;
    out.resize(text.size() / 4 * 3);
    const unsigned char* in = reinterpret_cast<const unsigned char*>(text.data());
    char* dst = out.data();
    for (std::size_t i = 0; i < text.size(); i += 4) {
        int a = kBase64.value[in[i]], b = kBase64.value[in[i + 1]];
        int c = kBase64.value[in[i + 2]], d = kBase64.value[in[i + 3]];
        if (a < 0 || b < 0 || c == -1 || d == -1)
            return std::string(text);
        if (c == -2) {
            if (d != -2)
                return std::string(text);
            *dst++ = static_cast<char>(a << 2 | b >> 4);
        } else if (d == -2) {
            *dst++ = static_cast<char>(a << 2 | b >> 4);
            *dst++ = static_cast<char>((b & 0x0F) << 4 | c >> 2);
        } else {
            *dst++ = static_cast<char>(a << 2 | b >> 4);
            *dst++ = static_cast<char>((b & 0x0F) << 4 | c >> 2);
            *dst++ = static_cast<char>((c & 0x03) << 6 | d);
        }
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
    return out;
}

std::string QuotedPrintableDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    const std::size_t n = text.size();
    while (pos < n) {
        const void* hit = std::memchr(text.data() + pos, '=', n - pos);
        std::size_t eq =
            hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : n;
        out.append(text.data() + pos, eq - pos);
        if (eq == n)
            break;
        if (eq + 1 == n)
            break;  // a final "=" is dropped
        if (eq + 2 == n)
            throw EError("Quoted Printable Decode Error");  // one byte left
        if (text[eq + 1] == kCR && text[eq + 2] == kLF) {
            pos = eq + 3;
            continue;
        }
        int hi = hexValue(static_cast<unsigned char>(text[eq + 1]));
        int lo = hexValue(static_cast<unsigned char>(text[eq + 2]));
        if (hi < 0 || lo < 0)
            throw EError("Quoted Printable Decode Error");
        out += static_cast<char>(hi << 4 | lo);
        pos = eq + 3;
    }
    return out;
}

std::string PopToken(std::string& text, std::string_view delimiter) {
    std::size_t at = delimiter.empty() ? std::string::npos : text.find(delimiter);
    if (at == std::string::npos) {
        std::string all = std::move(text);
        text.clear();
        return all;
    }
    std::string token = text.substr(0, at);
    std::size_t rest = at + delimiter.size();
    while (rest < text.size() && static_cast<unsigned char>(text[rest]) <= 0x20)
        ++rest;
    text.erase(0, rest);
    return token;
}

void TrimLeadingLineBreaks(std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == kCR || text[i] == kLF))
        ++i;
    text.erase(0, i);
}

void TrimTrailingLineBreaks(std::string& text) {
    std::size_t n = text.size();
    while (n > 0 && (text[n - 1] == kCR || text[n - 1] == kLF))
        --n;
    text.resize(n);
}

void TrimLeadingBlanks(std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    text.erase(0, i);
}

std::string Unquote(std::string_view text) {
    std::size_t first = text.find('"');
    std::size_t last = text.rfind('"');
    if (first == std::string_view::npos || last <= first)
        return std::string(text);
    return std::string(text.substr(first + 1, last - first - 1));
}

bool ReadInteger(std::string_view text, long& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        v = v * 10 + (text[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > INT_MAX || v < INT_MIN)
        return false;
    value = static_cast<long>(v);
    return true;
}

std::string ConvertMailDate(std::string_view value) {
    std::string text(value);
    if (std::size_t comma = text.find(','); comma != std::string::npos)
        text.erase(0, comma + 1);
    std::size_t lead = 0;
    while (lead < text.size() && static_cast<unsigned char>(text[lead]) <= 0x20)
        ++lead;
    text.erase(0, lead);

    std::string day = PopToken(text, " ");
    std::string month = PopToken(text, " ");
    std::string year = PopToken(text, " ");
    std::string time = PopToken(text, " ");
    std::string fifth = PopToken(text, " ");

    std::string monthLower = lowerAscii(month);
    std::size_t number = 0;
    for (std::size_t i = 0; i < MonthNames.size(); ++i)
        if (monthLower == MonthNames[i])
            number = i + 1;
    if (number == 0)
        return {};

    std::string upperFifth(fifth);
    for (char& c : upperFifth)
        c = asciiUpper(c);
    if (upperFifth == "AM" || upperFifth == "PM")
        time += " " + fifth;
    return year + "/" + std::to_string(number) + "/" + day + " " + time;
}

std::string ConvertPatternDate(std::string_view textIn, std::string_view pattern) {
    std::string text(textIn);
    trimLineBreaksBothEnds(text);
    if (pattern.empty())
        return ConvertMailDate(text);

    std::string year, month, day, hour, minute, second, marker;
    bool hasHour = false, hasMinute = false, hasSecond = false;
    std::size_t p = 0;
    while (p < pattern.size()) {
        char letter = pattern[p++];
        if (!isFieldLetter(letter))
            return {};
        std::size_t sepEnd = p;
        while (sepEnd < pattern.size() && !isFieldLetter(pattern[sepEnd]))
            ++sepEnd;
        std::string_view separator = pattern.substr(p, sepEnd - p);
        p = sepEnd;

        if (letter == 'u') {
            if (startsWithNoCase(text, "AM") || startsWithNoCase(text, "PM")) {
                marker = text.substr(0, 2);
                text.erase(0, 2);
            } else if (startsWithNoCase(text, "A.M.") || startsWithNoCase(text, "P.M.")) {
                marker = asciiUpper(text[0]) == 'A' ? "AM" : "PM";
                text.erase(0, 4);
            } else {
                marker.clear();
            }
            continue;
        }

        std::string field = PopToken(text, separator);
        long v = 0;
        switch (letter) {
            case 'y':
                if (field.size() > 4)
                    field.resize(4);
                if (!ReadInteger(field, v) || v < 0)
                    return {};
                year = field;
                break;
            case 'm':
                if (ReadInteger(field, v) && v != 0) {
                    // A negative month is no month: refuse it here rather than store it.
                    if (v < 1 || v > 12)
                        return {};
                    month = field;
                } else {
                    std::string lower = lowerAscii(field);
                    std::size_t number = 0;
                    for (std::size_t i = 0; i < MonthNames.size() && number == 0; ++i)
                        if (lower.find(MonthNames[i]) != std::string::npos)
                            number = i + 1;
                    if (number == 0)
                        return {};
                    month = std::to_string(number);
                }
                break;
            case 'd':
                if (field.size() > 2) {
                    std::size_t digits = 0;
                    while (digits < field.size() && field[digits] >= '0' && field[digits] <= '9')
                        ++digits;
                    field.resize(digits);
                }
                if (!readInRange(field, 1, 31))
                    return {};
                day = field;
                break;
            case 'h':
                if (!readInRange(field, 0, 23))
                    return {};
                hour = field, hasHour = true;
                break;
            case 'n':
                if (!readInRange(field, 0, 59))
                    return {};
                minute = field, hasMinute = true;
                break;
            case 's':
                if (!readInRange(field, 0, 59))
                    return {};
                second = field, hasSecond = true;
                break;
        }
    }

    std::string result = year + "/" + month + "/" + day;
    if (!hasHour) {
        // date only
    } else if (!hasMinute) {
        result += " " + hour + ":00:00";
    } else if (!hasSecond) {
        result += " " + hour + ":" + minute + ":00";
    } else {
        result += " " + hour + ":" + minute + ":" + second;
    }
    return result + marker;
}
