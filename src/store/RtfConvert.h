#pragma once

#include <string>
#include <string_view>
#include <vector>

// Received bodies become rich text before they are stored. Both converters
// work in place on the body's lines (UTF-8 text, no line ends) and leave
// pure ASCII RTF: characters beyond ASCII become \'hh when Windows-1252 has
// them and \uN? otherwise. Neither writes the document's opening (the user's
// format file is put in front later); both end it with a line "\par }".
namespace rtfconvert {

void PlainToRtf(std::vector<std::string>& lines);
// text/html and text/enriched: line breaks, the style tags (bold, italic,
// underline, list items, sizes), character references; "\", "{" and "}"
// of the text are escaped. The content of <style>, <script> and <head>
// elements is dropped (a head ends at "</head>" or "<body>"; one that never
// ends is kept). Linear in the length of the text.
void HtmlToRtf(std::vector<std::string>& lines);

// UTF-8 text with every character beyond ASCII written as an RTF escape.
std::string EscapeNonAscii(std::string_view utf8);

}  // namespace rtfconvert
