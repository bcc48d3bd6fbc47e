#include "store/TreeFile.h"

TTreeFile::Result TTreeFile::Parse(std::string_view content) {
    Result result;
    int previous = -1;  // a first line may only be at depth 0
    while (!content.empty()) {
        const auto nl = content.find('\n');
        std::string_view line = content.substr(0, nl);
        content.remove_prefix(nl == std::string_view::npos ? content.size() : nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line == "\x1A") continue;
        int depth = 0;
        while (static_cast<std::size_t>(depth) < line.size() && (line[depth] == '\t' || line[depth] == ' ')) ++depth;
        // A node needs a name; blank lines carry none.
        if (static_cast<std::size_t>(depth) == line.size()) continue;
        if (depth > previous + 1) {
            result.levelError = true;
            break;
        }
        result.nodes.push_back({std::string(line.substr(depth)), depth});
        previous = depth;
    }
    return result;
}

std::string TTreeFile::Format(const std::vector<Node>& nodes) {
    std::string out;
    for (const auto& n : nodes) {
        out.append(static_cast<std::size_t>(n.depth), '\t');
        out += n.name;
        out += "\r\n";
    }
    return out;
}
