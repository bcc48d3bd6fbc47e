#include "compose/AttachmentValue.h"

namespace attachmentvalue {

std::vector<std::string> Paths(const std::string& value) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end = value.find('\x02'); end != std::string::npos; end = value.find('\x02', start)) {
        if (end > start) out.push_back(value.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string Value(const std::vector<std::string>& paths) {
    std::string out;
    for (const auto& path : paths) {
        out += path;
        out += '\x02';
    }
    return out;
}

}  // namespace attachmentvalue
