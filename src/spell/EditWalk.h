#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class DictionarySection;

// Finds the words of one section that are at most a few edits away from a
// word (a letter inserted, deleted or replaced, or two neighbouring letters
// swapped), by walking the tree with one row of edit distances per depth and
// leaving every branch whose prefix is already too far off. Each walk has a
// visit budget, so a large edit allowance or a damaged tree costs a bounded
// time.
class TEditWalk {
public:
    static constexpr std::size_t kMaxWord = 25;
    static constexpr int kMaxEdits = 2;
    // A word (upper-cased) and the edit distance of the word reached.
    using TFound = std::function<void(std::string_view word, int edits)>;

    // The word is upper-cased Windows-1252; only its first kMaxWord characters count.
    TEditWalk(std::string_view upper, int maxEdits);

    // Walks the section from its root; returns the visits left of the budget
    // (0 when the walk was cut short).
    std::size_t Run(DictionarySection& section, std::size_t budget, const TFound& found);

    // The edits between two upper-cased words, or limit + 1 when there are more.
    static int Distance(std::string_view a, std::string_view b, int limit);

private:
    static constexpr std::size_t kMaxDepth = kMaxWord + kMaxEdits;
    using TRow = std::array<std::uint8_t, kMaxWord + 1>;

    void Walk(std::uint32_t list, std::size_t depth);

    // The word's letter codes; a character without a code gets one no node has.
    std::array<std::uint8_t, kMaxWord> word_{};
    std::size_t length_ = 0;
    int maxEdits_;
    // rows_[d][j]: the edits between the first d letters of the path and the first j of the word.
    std::array<TRow, kMaxDepth + 1> rows_{};
    std::array<std::uint8_t, kMaxDepth> path_{};
    std::string prefix_;
    DictionarySection* section_ = nullptr;
    const TFound* found_ = nullptr;
    std::size_t budget_ = 0;
};
