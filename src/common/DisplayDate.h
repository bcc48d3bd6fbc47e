#pragma once

#include <ctime>
#include <optional>
#include <string>

// The one date form the store keeps and shows: "mm/dd/yy hh:nn AM/PM",
// two-digit year, 12-hour clock (12:05 AM is five past midnight).
namespace displaydate {

// Local time of t in display form.
std::string Format(std::time_t t);
// A broken-down time in display form (fields as in struct tm).
std::string Format(const std::tm& tm);
// A display date as local time; years 70 to 99 are 1970 to 1999, 00 to 69
// are 2000 to 2069. Nothing when the text is not of that form.
std::optional<std::time_t> Parse(const std::string& text);
// A display date as a number that orders dates in time (year, month, day,
// hour, minute), without a time zone. The two-digit year is read in the
// hundred years that end twenty years after aroundYear (a four-digit year),
// so that near a century's turn 01 follows 99. Nothing when the text is not
// a date.
std::optional<long long> Chronological(const std::string& text, int aroundYear);

}  // namespace displaydate
