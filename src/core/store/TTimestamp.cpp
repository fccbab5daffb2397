#include "store/TTimestamp.h"

#include <cstdio>

bool TTimestamp::IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int TTimestamp::DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TTimestamp::IsValid() const {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month) && hour >= 0 && hour <= 23 && minute >= 0 &&
           minute <= 59 && second >= 0 && second <= 59;
}

std::string TTimestamp::ToText() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute,
                  second);
    return buf;
}

std::optional<TTimestamp> TTimestamp::FromText(std::string_view text) {
    // YYYY-MM-DD HH:MM:SS
    if (text.size() != 19)
        return std::nullopt;
    auto digits = [&](std::size_t at, std::size_t n, int& out) {
        int v = 0;
        for (std::size_t i = at; i < at + n; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            v = v * 10 + (text[i] - '0');
        }
        out = v;
        return true;
    };
    TTimestamp t;
    if (!digits(0, 4, t.year) || text[4] != '-' || !digits(5, 2, t.month) || text[7] != '-' ||
        !digits(8, 2, t.day) || text[10] != ' ' || !digits(11, 2, t.hour) || text[13] != ':' ||
        !digits(14, 2, t.minute) || text[16] != ':' || !digits(17, 2, t.second))
        return std::nullopt;
    if (!t.IsValid())
        return std::nullopt;
    return t;
}

TTimestamp TTimestamp::NextDay() const {
    TTimestamp t{year, month, day, 0, 0, 0};
    if (++t.day > DaysInMonth(t.year, t.month)) {
        t.day = 1;
        if (++t.month > 12) {
            t.month = 1;
            ++t.year;
        }
    }
    return t;
}
