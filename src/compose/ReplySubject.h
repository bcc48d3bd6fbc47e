#pragma once

#include <string>

// The subjects of answers and forwards: the prefix is added unless the
// subject already starts with it (ignoring case and leading blanks), so a
// subject that merely contains the letters ("Where: Paris") still gets one.
namespace replysubject {

inline constexpr std::size_t kLimit = 255;

std::string Reply(const std::string& subject);
std::string Forward(const std::string& subject);

}  // namespace replysubject
