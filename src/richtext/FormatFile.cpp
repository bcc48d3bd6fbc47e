#include "richtext/FormatFile.h"

#include <algorithm>

#include "common/FileUtil.h"
#include "common/Windows1252.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "richtext/RtfWriter.h"

TRichDocument TFormatFile::DefaultDocument(const TIniFile& config) {
    TRichDocument doc;
    TCharFormat& c = doc.defaultChar;
    c.fontName = cp1252::ToUtf8(config.Read(cfg::FontName));
    if (c.fontName.empty()) c.fontName = cfg::FontName.def;
    c.halfPoints = std::clamp(config.Read(cfg::FontSize), 1, 1638) * 2;
    c.color = static_cast<std::uint32_t>(config.Read(cfg::FontColor)) & 0xFFFFFF;
    c.bold = config.Read(cfg::FontBold);
    TParaFormat& p = doc.defaultPara;
    switch (config.Read(cfg::Align)) {
        case 2:
            p.alignment = TAlignment::Center;
            break;
        case 3:
            p.alignment = TAlignment::Right;
            break;
        default:
            p.alignment = TAlignment::Left;
            break;
    }
    p.bullet = config.Read(cfg::Bullets);
    // The bullet indent is in points; it only moves bulleted text.
    if (p.bullet) p.leftIndent = std::clamp(config.Read(cfg::BulletIndent), 0, 99) * 20;
    return doc;
}

std::vector<std::string> TFormatFile::Lines(const TIniFile& config) {
    std::vector<std::string> lines = TRtfWriter::Lines(DefaultDocument(config));
    lines.pop_back();  // the closing "}"
    return lines;
}

bool TFormatFile::Write(const TIniFile& config, const std::string& path) {
    std::string data;
    for (const auto& line : Lines(config)) data += line + "\r\n";
    return fileutil::WriteAtomically(path, data);
}

std::optional<std::vector<std::string>> TFormatFile::Read(const std::string& path) {
    const auto data = fileutil::ReadAll(path);
    if (!data) return std::nullopt;
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < data->size()) {
        std::size_t end = data->find('\n', start);
        if (end == std::string::npos) end = data->size();
        std::string line = data->substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> TFormatFile::NewBody(std::vector<std::string> formatLines) {
    formatLines.emplace_back("\\par }");
    return formatLines;
}

std::string TFormatFile::Joined(const std::vector<std::string>& formatLines) {
    std::string all;
    for (const auto& l : formatLines) all += l;
    return all;
}
