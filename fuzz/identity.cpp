// Arbitrary bytes as a header sent by TOP and as a seen file: the identities
// are single lines of their own form, and the seen list never counts a line
// for more messages than it holds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "transport/MessageIdentity.h"
#include "transport/SeenList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string current = messageidentity::FromHeader(text);
    if (!messageidentity::IsCurrent(current) || current.find_first_of("\r\n") != std::string::npos) std::abort();
    const std::string legacy = messageidentity::Legacy(text);
    if (legacy.find('\r') != std::string::npos) std::abort();

    std::vector<std::string> lines;
    std::string_view rest = text;
    while (!rest.empty()) {
        const auto lf = rest.find('\n');
        lines.emplace_back(rest.substr(0, lf));
        rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
    }
    TSeenList seen(lines);
    std::size_t taken = 0;
    for (const auto& line : lines) taken += seen.Take(line, line) ? 1 : 0;
    // Each line stands for one message: taken once by its own text, and
    // then nothing is left.
    if (taken != lines.size() || seen.Take(current, legacy)) std::abort();
    return 0;
}
