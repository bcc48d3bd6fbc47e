#pragma once

#include <optional>
#include <string>
#include <vector>

#include "richtext/RichDocument.h"

class TIniFile;

// "Internet.fmt", the rich text header of new and received messages: the RTF
// of an empty document in the default message font and paragraph format
// ("Default Settings"), without its last line "}", so that text put after it
// lands inside the document. Its lines end in a blank or a brace, so they may
// be joined without a separator.
class TFormatFile {
public:
    // The empty document in the configured default format.
    static TRichDocument DefaultDocument(const TIniFile& config);
    static std::vector<std::string> Lines(const TIniFile& config);
    // Writes the lines, each followed by CR LF, replacing the file atomically.
    static bool Write(const TIniFile& config, const std::string& path);
    // The file's lines (CR LF or LF ends); nothing when it cannot be read.
    static std::optional<std::vector<std::string>> Read(const std::string& path);
    // A new message's body: the format lines and "\par }".
    static std::vector<std::string> NewBody(std::vector<std::string> formatLines);
    // The lines joined without separator, as received mail puts them in front
    // of its converted text.
    static std::string Joined(const std::vector<std::string>& formatLines);
};
