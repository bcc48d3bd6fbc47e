#pragma once

#include <string>
#include <unordered_map>
#include <vector>

// The seen file as the check consults it. Every line stands for one message
// on the server: a message found in it uses its line up, so that a second
// message with the same identity is not taken for seen. Lines an older
// version wrote are matched against the identity that version gave.
class TSeenList {
public:
    explicit TSeenList(const std::vector<std::string>& lines);

    // Whether the message was recorded at the last check, by its current
    // identity or, in a file an older version wrote, by its legacy one.
    bool Take(const std::string& identity, const std::string& legacy);
    // Whether a line not yet taken can only be matched through the message's
    // header (a header-based or older line): without one, a message the
    // server names by UIDL needs no TOP.
    bool NeedsHeaders() const;

private:
    static bool TakeFrom(std::unordered_map<std::string, int>& lines, const std::string& key);

    std::unordered_map<std::string, int> current_;
    int headerLinesLeft_ = 0;  // lines not yet taken that are not UIDL lines
    std::unordered_map<std::string, int> legacy_;
};
