#pragma once

#include <string>
#include <string_view>
#include <vector>

// Received bodies become rich text before they are stored. The converters
// work in place on the body's lines (UTF-8 text, no line ends) and leave
// pure ASCII RTF: characters beyond ASCII become \'hh when Windows-1252 has
// them and \uN? otherwise. None writes the document's opening (the user's
// format file is put in front later); each ends it with a line "\par }".
namespace rtfconvert {

// The size of the format file's font when none is known (12 points).
constexpr int kDefaultHalfPoints = 24;

void PlainToRtf(std::vector<std::string>& lines);
// text/html through an HTML5 parser (THtmlToRtf).
void HtmlToRtf(std::vector<std::string>& lines, int baseHalfPoints = kDefaultHalfPoints);
// text/enriched (TEnrichedToRtf).
void EnrichedToRtf(std::vector<std::string>& lines, int baseHalfPoints = kDefaultHalfPoints);

// UTF-8 text with every character beyond ASCII written as an RTF escape.
std::string EscapeNonAscii(std::string_view utf8);

}  // namespace rtfconvert
