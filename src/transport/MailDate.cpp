#include "transport/MailDate.h"

#include <cstdio>
#include <cstdlib>

namespace maildate {

std::string Rfc5322(std::time_t when) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm t{};
    localtime_r(&when, &t);
    const long offsetMinutes = t.tm_gmtoff / 60;
    const long absOffset = std::labs(offsetMinutes);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", kDays[t.tm_wday % 7],
                  t.tm_mday, kMonths[t.tm_mon % 12], t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec,
                  offsetMinutes < 0 ? '-' : '+', absOffset / 60, absOffset % 60);
    return buffer;
}

std::string MessageId(std::time_t when, const std::string& unique, const std::string& senderAddress) {
    const auto at = senderAddress.rfind('@');
    std::string domain = at == std::string::npos ? "" : senderAddress.substr(at + 1);
    if (domain.empty()) domain = "localhost";
    return "<" + std::to_string(static_cast<long long>(when)) + "." + unique + "@" + domain + ">";
}

}  // namespace maildate
