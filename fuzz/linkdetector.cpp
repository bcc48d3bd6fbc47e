// Arbitrary lines of message text: a link found is a blank-free stretch of
// the line that begins with one of the kinds; the link under any place of
// the line covers that place, and FindLink's link is the one under its own
// first letter.
#include "compose/LinkDetector.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/TextUtil.h"

namespace {
bool StartsWithKind(const std::string& link) {
    const std::string lower = text::ToLowerAscii(link);
    for (const char* kind : {"http://", "https://", "ftp", "www"})
        if (lower.rfind(kind, 0) == 0) return true;
    return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    if (const auto link = linkdetector::FindLink(line)) {
        const auto at = line.find(*link);
        if (at == std::string_view::npos || link->find(' ') != std::string::npos || !StartsWithKind(*link))
            std::abort();
    }
    // Every place of a short line; a long one is sampled.
    const std::size_t step = size > 4096 ? size / 512 : 1;
    for (std::size_t at = 0; at <= size; at += step) {
        const auto link = linkdetector::LinkAt(line, at);
        if (!link) continue;
        if (link->empty() || link->find(' ') != std::string::npos || !StartsWithKind(*link)) std::abort();
        // The link lies in the line and covers the place.
        const auto before = line.rfind(' ', at);
        const std::size_t word = before == std::string_view::npos ? 0 : before + 1;
        const auto start = line.find(*link, word);
        if (start == std::string_view::npos || start > at || start + link->size() <= at) std::abort();
    }
    return 0;
}
