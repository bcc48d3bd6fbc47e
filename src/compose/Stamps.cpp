#include "compose/Stamps.h"

#include <array>

namespace stamps {

std::string Time(const std::tm& tm) {
    const int hour = tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12;
    std::string minutes = std::to_string(tm.tm_min);
    if (minutes.size() < 2) minutes.insert(0, "0");
    return std::to_string(hour) + ":" + minutes + (tm.tm_hour < 12 ? " AM" : " PM");
}

std::string Date(const std::tm& tm) {
    static constexpr std::array<const char*, 7> kDays{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                      "Thursday", "Friday", "Saturday"};
    static constexpr std::array<const char*, 12> kMonths{"January",   "February", "March",    "April",
                                                         "May",       "June",     "July",     "August",
                                                         "September", "October",  "November", "December"};
    const auto day = static_cast<std::size_t>(tm.tm_wday % 7);
    const auto month = static_cast<std::size_t>(tm.tm_mon % 12);
    return std::string(kDays[day]) + ", " + kMonths[month] + " " + std::to_string(tm.tm_mday) + ", " +
           std::to_string(tm.tm_year + 1900);
}

}  // namespace stamps
