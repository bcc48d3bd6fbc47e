#include "incoming/SourceStatus.h"

#include "common/TextUtil.h"
#include "incoming/MailHeader.h"
#include "store/HeaderItem.h"

namespace sourcestatus {

std::vector<std::string> HeaderLines(std::string_view message) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < message.size()) {
        auto lf = message.find('\n', pos);
        if (lf == std::string_view::npos) lf = message.size();
        std::string_view line = message.substr(pos, lf - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) break;
        lines.emplace_back(line);
        pos = lf + 1;
    }
    return lines;
}

namespace {

// The value of the field named exactly (name with its colon), or nothing.
std::optional<std::string> Field(const std::vector<std::string>& header, std::string_view nameColon) {
    for (const auto& line : header)
        if (text::StartsWithNoCase(line, nameColon)) return mailheader::TrimBlanks(line.substr(nameColon.size()));
    return std::nullopt;
}

}  // namespace

std::optional<std::uint8_t> FromHeader(const std::vector<std::string>& header) {
    bool known = false, read = false, replied = false, forwarded = false;
    if (const auto status = Field(header, "Status:")) {
        known = true;
        read = status->find('R') != std::string::npos;
    }
    if (const auto xstatus = Field(header, "X-Status:")) {
        known = true;
        replied = xstatus->find('A') != std::string::npos;
    }
    if (const auto mozilla = Field(header, "X-Mozilla-Status:")) {
        unsigned long bits = 0;
        try {
            bits = std::stoul(*mozilla, nullptr, 16);
        } catch (...) {
            bits = 0;
        }
        known = true;
        read = read || (bits & 0x0001);
        replied = replied || (bits & 0x0002);
        forwarded = bits & 0x1000;
    }
    if (!known) return std::nullopt;
    if (replied) return mfReply;
    if (forwarded) return mfForward;
    return read ? mfRead : mfNew;
}

std::uint8_t FromMaildirName(std::string_view fileName, bool inNew) {
    if (inNew) return mfNew;
    const auto info = fileName.rfind(":2,");
    const std::string_view flags = info == std::string_view::npos ? std::string_view() : fileName.substr(info + 3);
    if (flags.find('R') != std::string_view::npos) return mfReply;
    if (flags.find('P') != std::string_view::npos) return mfForward;
    return flags.find('S') != std::string_view::npos ? mfRead : mfNew;
}

}  // namespace sourcestatus
