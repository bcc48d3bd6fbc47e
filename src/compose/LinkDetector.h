#pragma once

#include <optional>
#include <string>
#include <string_view>

// Web links in a line of message text. The kinds are tried in a fixed order,
// "http://", then "ftp", then "www", whatever their positions in the line;
// the link runs from the found place to the first blank after it.
namespace linkdetector {

std::optional<std::string> FindLink(std::string_view line);

// The text shown in a status panel while the mouse is over a link.
std::string StatusText(const std::string& link);

}  // namespace linkdetector
