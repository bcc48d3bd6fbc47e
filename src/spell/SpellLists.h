#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The decisions that last for the whole run, across every checked text:
// the words to ignore and the words to change, each with its replacement.
// Words compare without regard to case.
class TSpellLists {
public:
    void IgnoreAll(std::string_view word);
    bool Ignored(std::string_view word) const;

    void ChangeAll(std::string_view word, std::string_view replacement);
    // The replacement of a word given with "Change All", if any.
    std::optional<std::string> ChangeOf(std::string_view word) const;

    void Clear();
    std::size_t IgnoredCount() const { return ignored_.size(); }
    std::size_t ChangeCount() const { return changes_.size(); }

private:
    std::set<std::string> ignored_;                             // upper-cased
    std::vector<std::pair<std::string, std::string>> changes_;  // upper-cased word, replacement as typed
};
