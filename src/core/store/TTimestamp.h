#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

// A record's Date: a calendar date and a time of day to the second, without a zone. Stored
// as the text "YYYY-MM-DD HH:MM:SS", whose byte order is the time order.
struct TTimestamp {
    int year = 1;  // 1-9999
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    auto operator<=>(const TTimestamp&) const = default;

    // "YYYY-MM-DD HH:MM:SS".
    std::string ToText() const;
    // Reads exactly the stored form; nullopt for anything else or an impossible date.
    static std::optional<TTimestamp> FromText(std::string_view text);

    // Midnight of the next calendar day.
    TTimestamp NextDay() const;
    // Whether the fields name a real moment (the day exists in that month and year).
    bool IsValid() const;

    static bool IsLeapYear(int year);
    static int DaysInMonth(int year, int month);
};
