#pragma once

#include <QString>
#include <string>
#include <string_view>

// The edge between stored Windows-1252 text and Qt's Unicode strings.
namespace qttext {

QString FromStored(std::string_view windows1252);
std::string ToStored(const QString& text);  // characters the code page lacks become '?'

}  // namespace qttext
