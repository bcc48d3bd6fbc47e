#include "compose/LinkDetector.h"

#include "common/TextUtil.h"

namespace linkdetector {

std::optional<std::string> FindLink(std::string_view line) {
    const std::string lower = text::ToLowerAscii(line);
    for (const char* marker : {"http://", "ftp", "www"}) {
        const auto p = lower.find(marker);
        if (p == std::string::npos) continue;
        const auto end = line.find(' ', p);
        return std::string(line.substr(p, end == std::string_view::npos ? std::string_view::npos : end - p));
    }
    return std::nullopt;
}

std::string StatusText(const std::string& link) { return "Shortcut to " + link; }

}  // namespace linkdetector
