#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// Ratcliff/Obershelp pattern matching: twice the characters the two strings
// share in common substrings, as a percentage of their total length.
class TSimilarity {
public:
    static constexpr std::size_t kMaxLength = 30;
    // 100 for equal strings, 0 for strings without a common character; longer
    // strings are cut to kMaxLength first.
    static int Score(std::string_view a, std::string_view b);
    // The highest score two strings of these lengths can reach.
    static int Bound(std::size_t lengthA, std::size_t lengthB);

private:
    using TRuns = std::array<std::array<std::uint8_t, kMaxLength + 1>, kMaxLength + 1>;
    static int Matched(const TRuns& runs, std::size_t a0, std::size_t a1, std::size_t b0, std::size_t b1, int depth);
};
