#include "store/DateText.h"

#include <ctime>
#include <string>

#include "store/EConvertError.h"

namespace {

constexpr int kCenturyWindow = 50;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// A tiny cursor over the text.
struct Cursor {
    std::string_view text;
    std::size_t pos = 0;

    bool atEnd() const { return pos >= text.size(); }
    char peek() const { return atEnd() ? '\0' : text[pos]; }
    std::size_t blanks() {
        std::size_t start = pos;
        while (!atEnd() && isBlank(text[pos]))
            ++pos;
        return pos - start;
    }
    bool eat(char c) {
        if (peek() != c)
            return false;
        ++pos;
        return true;
    }
    // 1 to maxDigits digits; `count` gets how many were written.
    bool number(std::size_t maxDigits, int& value, std::size_t& count) {
        std::size_t start = pos;
        int v = 0;
        while (!atEnd() && isDigit(text[pos]) && pos - start < maxDigits)
            v = v * 10 + (text[pos++] - '0');
        count = pos - start;
        if (count == 0 || (!atEnd() && isDigit(text[pos])))
            return false;
        value = v;
        return true;
    }
    bool word(std::string_view w) {
        if (text.size() - pos < w.size())
            return false;
        for (std::size_t i = 0; i < w.size(); ++i)
            if (upper(text[pos + i]) != w[i])
                return false;
        pos += w.size();
        return true;
    }
};

int placeYear(int year, std::size_t digits, int currentYear) {
    return digits <= 2 ? WindowTwoDigitYear(year, currentYear) : year;
}

// h:n[:s] with an optional marker; false on anything else.
bool readTime(Cursor& c, TTimestamp& t) {
    std::size_t n = 0;
    if (!c.number(2, t.hour, n) || !c.eat(':') || !c.number(2, t.minute, n))
        return false;
    if (c.eat(':') && !c.number(2, t.second, n))
        return false;
    c.blanks();
    int marker = 0;  // 1 AM, 2 PM
    if (c.word("A.M.") || c.word("AM"))
        marker = 1;
    else if (c.word("P.M.") || c.word("PM"))
        marker = 2;
    if (marker != 0) {
        if (t.hour > 12)
            return false;
        if (marker == 1 && t.hour == 12)
            t.hour = 0;
        if (marker == 2 && t.hour < 12)
            t.hour += 12;
    }
    return true;
}

}  // namespace

int WindowTwoDigitYear(int year, int currentYear) {
    int base = currentYear - kCenturyWindow;
    year += base / 100 * 100;
    if (year < base)
        year += 100;
    return year;
}

int CurrentYear() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

std::optional<TTimestamp> ReadDateText(std::string_view text, int currentYear) {
    Cursor c{text};
    c.blanks();
    int f1 = 0, f2 = 0, f3 = 0;
    std::size_t n1 = 0, n2 = 0, n3 = 0;
    if (!c.number(4, f1, n1))
        return std::nullopt;
    char sep = c.peek();
    if (sep != '/' && sep != '-')
        return std::nullopt;
    c.eat(sep);
    if (!c.number(2, f2, n2) || !c.eat(sep) || !c.number(4, f3, n3))
        return std::nullopt;

    TTimestamp t;
    if (sep == '-') {
        if (n1 != 4 || n3 > 2)
            return std::nullopt;
        t.year = f1, t.month = f2, t.day = f3;
    } else if (n3 >= 3 && n1 <= 2) {
        t.month = f1, t.day = f2, t.year = f3;
    } else {
        if (n3 > 2)
            return std::nullopt;
        t.year = placeYear(f1, n1, currentYear), t.month = f2, t.day = f3;
    }
    if (c.blanks() > 0 && !c.atEnd()) {
        if (!readTime(c, t))
            return std::nullopt;
        c.blanks();
    }
    if (!c.atEnd() || !t.IsValid())
        return std::nullopt;
    return t;
}

std::optional<TTimestamp> ReadShortDate(std::string_view text, int currentYear) {
    Cursor c{text};
    c.blanks();
    TTimestamp t;
    std::size_t n = 0, yearDigits = 0;
    if (!c.number(2, t.month, n) || !c.eat('/') || !c.number(2, t.day, n) || !c.eat('/') ||
        !c.number(4, t.year, yearDigits))
        return std::nullopt;
    c.blanks();
    if (!c.atEnd())
        return std::nullopt;
    t.year = placeYear(t.year, yearDigits, currentYear);
    if (!t.IsValid())
        return std::nullopt;
    return t;
}

TTimestamp DateTextToTimestamp(std::string_view text, int currentYear) {
    if (auto t = ReadDateText(text, currentYear))
        return *t;
    throw EConvertError("'" + std::string(text) + "' is not a valid date");
}

TTimestamp ShortDateToTimestamp(std::string_view text, int currentYear) {
    if (auto t = ReadShortDate(text, currentYear))
        return *t;
    throw EConvertError("'" + std::string(text) + "' is not a valid date");
}
