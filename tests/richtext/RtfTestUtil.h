#pragma once

#include <string>

#include "common/Windows1252.h"
#include "richtext/PlainText.h"
#include "richtext/RichDocument.h"
#include "richtext/RtfReader.h"

// Shorthands for the rich text tests.
inline std::u32string U32(std::string_view utf8) {
    std::u32string out;
    std::size_t pos = 0;
    while (pos < utf8.size())
        if (const auto cp = cp1252::DecodeUtf8(utf8, pos)) out.push_back(*cp);
    return out;
}

inline std::string Utf8(const std::u32string& s) {
    std::string out;
    for (const char32_t c : s) cp1252::AppendUtf8(out, c);
    return out;
}

// The plain text of RTF, paragraphs as "\n"-ended lines, in UTF-8.
inline std::string TextOf(std::string_view rtf) { return plaintext::Utf8(TRtfReader::Read(rtf)); }
