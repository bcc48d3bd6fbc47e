#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "richtext/RichDocument.h"

class TMailStore;

// The body of a record as the windows and the tool take it: the preview,
// the reader and composer, find, print, export and sending all start here.
// A body is rich text when it begins with an RTF opening, whatever its
// record's message type says; any other body is plain Windows-1252 text.
class TRecordBody {
public:
    explicit TRecordBody(TMailStore& store) : store_(store) {}

    // The stored bytes; nothing when the record is gone or its body cannot
    // be read.
    std::optional<std::string> Stored(int handle) const;
    // The body as a document: RTF read as such, plain text one paragraph per
    // line in the document's default format.
    std::optional<TRichDocument> Document(int handle) const;
    // The body as plain text in UTF-8, every line followed by "\n".
    std::optional<std::string> Text(int handle) const;

    // The stored bytes as a document.
    static TRichDocument DocumentOf(const std::string& stored);
    // Whether stored bytes are RTF: they open with "{\rtf" (blanks and line
    // ends before it allowed). A text that merely mentions it is no RTF.
    static bool IsRich(std::string_view stored);
    // A plain Windows-1252 text as a document; "\r\n", "\r" and "\n" end
    // paragraphs.
    static TRichDocument FromPlain(const std::string& body);

private:
    TMailStore& store_;
};
