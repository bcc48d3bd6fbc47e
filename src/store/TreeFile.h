#pragma once

#include <string>
#include <string_view>
#include <vector>

// The mailbox tree file ("Category.Stk"): one CR LF line per node in
// depth-first order, the node's depth as that many TABs, then its name.
class TTreeFile {
public:
    struct Node {
        std::string name;
        int depth = 0;
        friend bool operator==(const Node&, const Node&) = default;
    };
    struct Result {
        std::vector<Node> nodes;  // the nodes read before any error
        bool levelError = false;  // a line lay more than one level below the one before
    };

    static constexpr const char* kLevelError = "Invalid item level assignment";

    // Leading TABs and blanks both count toward the depth; a line of the
    // single byte 0x1A (an old end-of-file mark) is skipped.
    static Result Parse(std::string_view content);
    static std::string Format(const std::vector<Node>& nodes);
};
