#pragma once

#include <optional>
#include <string>
#include <string_view>

// Web links in a line of message text. The kinds are tried in a fixed order,
// "http://" (or "https://"), then "ftp", then "www", whatever their positions
// in the line; the link runs from the found place to the first blank after
// it. A secure address is taken whole, never as the "www" inside it.
namespace linkdetector {

std::optional<std::string> FindLink(std::string_view line);
// The link whose text covers the byte at (the one under the mouse), tried
// in the same order; nothing when at lies outside every link, so that
// elsewhere on a line a click opens nothing.
std::optional<std::string> LinkAt(std::string_view line, std::size_t at);

// The text shown in a status panel while the mouse is over a link.
std::string StatusText(const std::string& link);

}  // namespace linkdetector
