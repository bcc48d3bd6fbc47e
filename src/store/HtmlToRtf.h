#pragma once

#include <string>
#include <vector>

// Received HTML as the rich text that follows the user's format file (see
// TRtfFragment), parsed by an HTML5 parser (gumbo) as a browser parses it:
// implied and misnested tags, comments, every character reference. Only
// what a browser shows is kept: no head, style, script or template, no
// element hidden by its hidden attribute or its inline style; an image
// shows its alt text. Blocks become paragraphs with one empty line between
// them where a browser leaves room, headings bold and larger, list items
// one bullet or number each, table rows lines with their cells separated
// by a tab, quotes indented, preformatted text with its lines. A link shows
// its text and leads to its address through a HYPERLINK field.
class THtmlToRtf {
public:
    // Nesting deeper than this (a browser stops far earlier) is flattened
    // before parsing: it would cost the parser time in the square of it.
    static constexpr int kMaxNesting = 400;

    // lines: the HTML (UTF-8, no line ends). baseHalfPoints: the size of
    // the format file's font, from which headings grow.
    static std::vector<std::string> Convert(const std::vector<std::string>& lines, int baseHalfPoints);
};
