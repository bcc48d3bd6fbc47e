#pragma once

#include <string>
#include <string_view>
#include <vector>

// Folding of header fields (RFC 5322, 2.2.3): a long field is broken into
// physical lines before a blank, and a reader unfolds it again by removing
// the line breaks, so every byte of the field survives.
namespace headerfold {

// Lines should keep to this many characters ...
inline constexpr std::size_t kSoftLimit = 78;
// ... and must not pass this many (RFC 5321, 4.5.3.1.6; RFC 5322, 2.1.1).
inline constexpr std::size_t kHardLimit = 998;

// One header field (without a line end) as physical lines. A line is broken
// only before a blank that follows a non-blank character in the field's
// value, so no line is blank and the field name stays with its value; inside
// a quoted string too, which unfolding restores byte for byte. A field
// without room to break keeps its long line: callers keep words short
// (encoded words, parameter sections).
std::vector<std::string> Fold(std::string_view field);

}  // namespace headerfold
