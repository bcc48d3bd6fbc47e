#pragma once

#include <string>
#include <vector>

// Received text/enriched (RFC 1896) as the rich text that follows the user's
// format file (see TRtfFragment): "<<" is a "<"; a single line end is a
// blank and n line ends in a row are n - 1 line breaks, except inside
// nofill, where each one breaks; bold, italic, underline, bigger and
// smaller style the text, excerpt and indent indent it; the content of
// param is no text; other commands are dropped with their tags.
class TEnrichedToRtf {
public:
    // lines: the text (UTF-8, no line ends). baseHalfPoints: the size of
    // the format file's font, from which bigger and smaller step.
    static std::vector<std::string> Convert(const std::vector<std::string>& lines, int baseHalfPoints);
};
