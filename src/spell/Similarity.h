#pragma once

#include <string_view>

// Ratcliff/Obershelp pattern matching: twice the characters the two strings
// share in common substrings, as a percentage of their total length.
class TSimilarity {
public:
    static constexpr std::size_t kMaxLength = 30;
    // 100 for equal strings, 0 for strings without a common character; longer
    // strings are cut to kMaxLength first.
    static int Score(std::string_view a, std::string_view b);

private:
    static int Matched(std::string_view a, std::string_view b, int depth);
};
