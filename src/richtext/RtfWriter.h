#pragma once

#include <string>
#include <vector>

#include "richtext/RichDocument.h"

// Writes a TRichDocument as RTF in the lines a rich edit control writes: the
// header with the font table, the colour table, the line that opens the
// text with its paragraph and character format, one line per paragraph
// ending in \par, and "}" alone last. Every line ends in a blank or a brace,
// so lines joined without any separator still read the same; that is how
// the format file is put in front of converted text. Characters outside
// ASCII are \'hh when Windows-1252 has them and \uN? otherwise. The output
// depends on the document alone.
class TRtfWriter {
public:
    static std::vector<std::string> Lines(const TRichDocument& doc);
    // The lines, each followed by CR LF.
    static std::string Write(const TRichDocument& doc);
    // An address as a HYPERLINK field's instruction holds it: ASCII, the RTF
    // special characters escaped, and whatever would end or break the quoted
    // address percent-encoded as an address takes it.
    static std::string InstructionText(const std::string& url);
};
