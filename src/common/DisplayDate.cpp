#include "common/DisplayDate.h"

#include <cstdio>

namespace displaydate {

std::string Format(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return Format(tm);
}

std::string Format(const std::tm& tm) {
    int hour12 = tm.tm_hour % 12;
    if (hour12 == 0) hour12 = 12;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d %02d:%02d %s", (tm.tm_mon + 1) % 100, tm.tm_mday % 100,
                  ((tm.tm_year % 100) + 100) % 100, hour12, tm.tm_min % 100, tm.tm_hour < 12 ? "AM" : "PM");
    return buf;
}

std::optional<std::time_t> Parse(const std::string& text) {
    int month = 0, day = 0, year = 0, hour = 0, minute = 0;
    char half[3] = {};
    int used = 0;
    if (std::sscanf(text.c_str(), "%2d/%2d/%2d %2d:%2d %2[AaPp]%*1[Mm]%n", &month, &day, &year, &hour, &minute, half,
                    &used) < 6 ||
        used == 0)
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 1 || hour > 12 || minute < 0 || minute > 59)
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = (year < 70 ? 100 : 0) + year;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour % 12 + ((half[0] == 'P' || half[0] == 'p') ? 12 : 0);
    tm.tm_min = minute;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) return std::nullopt;
    return t;
}

}  // namespace displaydate
