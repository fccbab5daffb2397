#include "script/ShortDate.h"

#include <cstdio>
#include <ctime>

namespace script {

std::string TodayShortDate() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[48];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", local.tm_mon + 1, local.tm_mday,
                  local.tm_year + 1900);
    return text;
}

bool IsShortDate(std::string_view text) {
    if (text.size() != 10 || text[2] != '/' || text[5] != '/')
        return false;
    int value[3] = {0, 0, 0};
    const int starts[3] = {0, 3, 6}, lengths[3] = {2, 2, 4};
    for (int f = 0; f < 3; ++f) {
        for (int i = 0; i < lengths[f]; ++i) {
            char c = text[static_cast<std::size_t>(starts[f] + i)];
            if (c < '0' || c > '9')
                return false;
            value[f] = value[f] * 10 + (c - '0');
        }
    }
    const int month = value[0], day = value[1], year = value[2];
    if (month < 1 || month > 12 || day < 1 || year < 1)
        return false;
    static const int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (day > kDays[month - 1])
        return false;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return !(month == 2 && day == 29 && !leap);
}

}  // namespace script
