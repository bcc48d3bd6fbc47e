#pragma once

#include <string>
#include <string_view>

// Record texts to and from UTF-8 for the mailbox import and export: file
// names become mailbox names, record fields become header text. The one
// place that knows how record fields hold their text.
namespace fieldtext {

std::string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::string_view field);

}  // namespace fieldtext
