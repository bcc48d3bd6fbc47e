#pragma once

#include <ctime>
#include <string>

// The one date form the store keeps and shows: "mm/dd/yy hh:nn AM/PM",
// two-digit year, 12-hour clock (12:05 AM is five past midnight).
namespace displaydate {

// Local time of t in display form.
std::string Format(std::time_t t);
// A broken-down time in display form (fields as in struct tm).
std::string Format(const std::tm& tm);

}  // namespace displaydate
