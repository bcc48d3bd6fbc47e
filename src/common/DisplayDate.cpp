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

}  // namespace displaydate
