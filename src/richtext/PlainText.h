#pragma once

#include <string>
#include <vector>

#include "richtext/RichDocument.h"

// The plain text of a document, as sending as text, search and export take
// it: one line per paragraph, a line break inside a paragraph starting a
// new line; tabs stay.
namespace plaintext {

std::vector<std::u32string> Lines(const TRichDocument& doc);
// As stored text (Windows-1252); characters the code page lacks become '?'.
std::vector<std::string> StoredLines(const TRichDocument& doc);
// UTF-8, every line followed by "\n".
std::string Utf8(const TRichDocument& doc);

}  // namespace plaintext
