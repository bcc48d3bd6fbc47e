#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <vector>

// The edge between stored text (common/FieldText.h: Windows-1252, with
// encoded words of UTF-8 for what it lacks) and Qt's Unicode strings.
namespace qttext {

QString FromStored(std::string_view windows1252);
// Whole: a field that keeps fewer bytes cuts it at whole characters itself.
std::string ToStored(const QString& text);

// The lines of a multi-line box as stored lines; a line break at the very
// end starts no further line, as a memo counts them.
std::vector<std::string> ToStoredLines(const QString& text);
QString FromStoredLines(const std::vector<std::string>& lines);

// A tool tip that shows received text as it is: Qt would take text that looks
// like markup ("<a href=...>") for rich text and render it.
QString PlainTip(const QString& text);

}  // namespace qttext
