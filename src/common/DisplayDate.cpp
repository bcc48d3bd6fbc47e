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

namespace {

constexpr int kYearsAhead = 20;

// The fields of a display date: two-digit year, month 1-12, day, hour 0-23,
// minute.
struct TFields {
    int year, month, day, hour, minute;
};

std::optional<TFields> Fields(const std::string& text) {
    int month = 0, day = 0, year = 0, hour = 0, minute = 0;
    char half[3] = {};
    int used = 0;
    if (std::sscanf(text.c_str(), "%2d/%2d/%2d %2d:%2d %2[AaPp]%*1[Mm]%n", &month, &day, &year, &hour, &minute, half,
                    &used) < 6 ||
        used == 0)
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 1 || hour > 12 || minute < 0 || minute > 59 ||
        year < 0)
        return std::nullopt;
    // 12 AM is the hour after midnight, 12 PM the hour after noon.
    return TFields{year, month, day, hour % 12 + ((half[0] == 'P' || half[0] == 'p') ? 12 : 0), minute};
}

}  // namespace

std::optional<long long> Chronological(const std::string& text, int aroundYear) {
    const auto f = Fields(text);
    if (!f) return std::nullopt;
    // Mail is dated in the past, rarely a little ahead: the century window
    // runs from 79 years before aroundYear to 20 years after it.
    long long year = aroundYear - ((aroundYear % 100) + 100) % 100 + f->year;
    if (year > aroundYear + kYearsAhead) year -= 100;
    if (year <= aroundYear + kYearsAhead - 100) year += 100;
    return (((year * 100 + f->month) * 100 + f->day) * 100 + f->hour) * 100 + f->minute;
}

std::optional<std::time_t> Parse(const std::string& text) {
    const auto f = Fields(text);
    if (!f) return std::nullopt;
    std::tm tm{};
    tm.tm_year = (f->year < 70 ? 100 : 0) + f->year;
    tm.tm_mon = f->month - 1;
    tm.tm_mday = f->day;
    tm.tm_hour = f->hour;
    tm.tm_min = f->minute;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) return std::nullopt;
    return t;
}

}  // namespace displaydate
