#pragma once

#include <string>
#include <vector>

// A record's attachment value: every path followed by the byte 0x02. The
// windows take only finished pieces: empty pieces and a last piece without
// its 0x02 (a value cut short) are left out.
namespace attachmentvalue {

std::vector<std::string> Paths(const std::string& value);
std::string Value(const std::vector<std::string>& paths);

}  // namespace attachmentvalue
