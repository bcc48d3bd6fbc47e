#pragma once

#include <ctime>
#include <string>

// The time and date stamps typed into a message: "3:07 PM" and
// "Thursday, July 4, 1996", in English whatever the locale.
namespace stamps {

std::string Time(const std::tm& tm);
std::string Date(const std::tm& tm);

}  // namespace stamps
