#include "compose/LinkDetector.h"

#include <array>

#include "common/TextUtil.h"

namespace linkdetector {

namespace {

// The kinds in their order; the first two are one kind, the web address
// with its scheme.
constexpr std::array<std::array<const char*, 2>, 3> kKinds{{{"http://", "https://"}, {"ftp", nullptr}, {"www", nullptr}}};

std::size_t LinkEnd(std::string_view line, std::size_t from) {
    const auto end = line.find(' ', from);
    return end == std::string_view::npos ? line.size() : end;
}

}  // namespace

std::optional<std::string> FindLink(std::string_view line) {
    const std::string lower = text::ToLowerAscii(line);
    for (const auto& kind : kKinds) {
        std::size_t p = std::string::npos;
        for (const char* marker : kind)
            if (marker) p = std::min(p, lower.find(marker));
        if (p == std::string::npos) continue;
        return std::string(line.substr(p, LinkEnd(line, p) - p));
    }
    return std::nullopt;
}

std::optional<std::string> LinkAt(std::string_view line, std::size_t at) {
    if (at >= line.size() || line[at] == ' ') return std::nullopt;
    const std::string lower = text::ToLowerAscii(line);
    // Only the blank-free stretch around at can hold the link.
    const auto before = lower.rfind(' ', at);
    const std::size_t start = before == std::string::npos ? 0 : before + 1;
    for (const auto& kind : kKinds) {
        std::size_t p = std::string::npos;
        for (const char* marker : kind) {
            if (!marker) continue;
            const auto found = lower.find(marker, start);
            if (found <= at) p = std::min(p, found);
        }
        if (p != std::string::npos) return std::string(line.substr(p, LinkEnd(line, p) - p));
    }
    return std::nullopt;
}

std::string StatusText(const std::string& link) { return "Shortcut to " + link; }

}  // namespace linkdetector
