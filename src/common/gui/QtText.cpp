#include "common/gui/QtText.h"

#include "common/Windows1252.h"

namespace qttext {

QString FromStored(std::string_view windows1252) {
    QString out;
    out.reserve(static_cast<qsizetype>(windows1252.size()));
    for (char c : windows1252) out += QChar(static_cast<char16_t>(cp1252::ToUnicode(static_cast<unsigned char>(c))));
    return out;
}

std::string ToStored(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return cp1252::FromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace qttext
