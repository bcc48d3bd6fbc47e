#include "richtext/LinkTarget.h"

#include "common/TextUtil.h"

namespace linktarget {

namespace {

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

}  // namespace

bool Followable(std::string_view url) {
    url = Trimmed(url);
    for (const std::string_view scheme : {"http://", "https://", "ftp://", "mailto:"})
        if (url.size() > scheme.size() && text::StartsWithNoCase(url, scheme)) return true;
    return false;
}

std::string FromFieldInstruction(std::string_view inst) {
    inst = Trimmed(inst);
    constexpr std::string_view kHyperlink = "HYPERLINK";
    if (!text::StartsWithNoCase(inst, kHyperlink)) return {};
    inst.remove_prefix(kHyperlink.size());
    std::string url;
    while (true) {
        inst = Trimmed(inst);
        if (inst.empty()) break;
        if (inst.front() == '\\') {
            // A switch; \l names a place in the document, not an address.
            const char letter = inst.size() > 1 ? static_cast<char>(inst[1] | 0x20) : ' ';
            if (letter == 'l') return {};
            const auto end = inst.find_first_of(" \"");
            inst.remove_prefix(end == std::string_view::npos ? inst.size() : end);
            inst = Trimmed(inst);
            // \o (a tip) and \t (a target frame) take an argument, quoted or not.
            if (letter != 'o' && letter != 't') continue;
            if (!inst.empty() && inst.front() == '"') {
                const auto close = inst.find('"', 1);
                inst.remove_prefix(close == std::string_view::npos ? inst.size() : close + 1);
            } else {
                const auto blank = inst.find(' ');
                inst.remove_prefix(blank == std::string_view::npos ? inst.size() : blank);
            }
            continue;
        }
        if (inst.front() == '"') {
            const auto close = inst.find('"', 1);
            url = inst.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
        } else {
            url = inst.substr(0, inst.find(' '));
        }
        break;
    }
    url = std::string(Trimmed(url));
    return Followable(url) ? url : std::string();
}

}  // namespace linktarget
