#include "spell/Similarity.h"

#include <algorithm>

int TSimilarity::Score(std::string_view a, std::string_view b) {
    a = a.substr(0, kMaxLength);
    b = b.substr(0, kMaxLength);
    if (a.empty() && b.empty()) return 100;
    TRuns runs;
    // runs[i][j]: how many characters agree from a[i] and b[j] on. A part of
    // the strings sees the same runs cut at the part's end, so one table
    // serves every level of the search.
    for (std::size_t j = 0; j <= b.size(); ++j) runs[a.size()][j] = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        runs[i][b.size()] = 0;
        for (std::size_t j = b.size(); j-- > 0;)
            runs[i][j] = a[i] == b[j] ? static_cast<std::uint8_t>(runs[i + 1][j + 1] + 1) : 0;
    }
    return Matched(runs, 0, a.size(), 0, b.size(), 0) * 100 / static_cast<int>(a.size() + b.size());
}

int TSimilarity::Bound(std::size_t lengthA, std::size_t lengthB) {
    lengthA = std::min(lengthA, kMaxLength);
    lengthB = std::min(lengthB, kMaxLength);
    if (lengthA + lengthB == 0) return 100;
    return static_cast<int>(2 * std::min(lengthA, lengthB) * 100 / (lengthA + lengthB));
}

int TSimilarity::Matched(const TRuns& runs, std::size_t a0, std::size_t a1, std::size_t b0, std::size_t b1, int depth) {
    // Each level splits off a common substring of at least one character, so
    // 30-character strings never recurse deeper than 30 levels.
    if (a0 >= a1 || b0 >= b1 || depth > static_cast<int>(kMaxLength)) return 0;
    // Start positions are tried in the order a plain search tries them, so
    // the first longest common substring is kept.
    std::size_t bestLen = 0, bestA = 0, bestB = 0;
    for (std::size_t i = a0; i < a1; ++i) {
        for (std::size_t j = b0; j < b1; ++j) {
            const std::size_t k = std::min<std::size_t>({runs[i][j], a1 - i, b1 - j});
            if (k > bestLen) {
                bestLen = k;
                bestA = i;
                bestB = j;
            }
        }
    }
    if (bestLen == 0) return 0;
    int count = 2 * static_cast<int>(bestLen);
    count += Matched(runs, bestA + bestLen, a1, bestB + bestLen, b1, depth + 1);
    count += Matched(runs, a0, bestA, b0, bestB, depth + 1);
    return count;
}
