#include "common/gui/QtText.h"

#include <QStringList>

#include "common/FieldText.h"
#include "common/Windows1252.h"

namespace qttext {

QString FromStored(std::string_view windows1252) {
    if (windows1252.find("=?") != std::string_view::npos) return QString::fromStdString(fieldtext::Decode(windows1252));
    QString out;
    out.reserve(static_cast<qsizetype>(windows1252.size()));
    for (char c : windows1252) out += QChar(static_cast<char16_t>(cp1252::ToUnicode(static_cast<unsigned char>(c))));
    return out;
}

std::string ToStored(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return fieldtext::Encode(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                             fieldtext::kNoLimit);
}

std::vector<std::string> ToStoredLines(const QString& text) {
    if (text.isEmpty()) return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > 1 && lines.back().isEmpty()) lines.removeLast();
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines) out.push_back(ToStored(line));
    return out;
}

QString FromStoredLines(const std::vector<std::string>& lines) {
    QStringList out;
    for (const auto& line : lines) out << FromStored(line);
    return out.join(QLatin1Char('\n'));
}

QString PlainTip(const QString& text) {
    if (text.isEmpty()) return text;
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

}  // namespace qttext
