#include "spell/Similarity.h"

int TSimilarity::Score(std::string_view a, std::string_view b) {
    a = a.substr(0, kMaxLength);
    b = b.substr(0, kMaxLength);
    if (a.empty() && b.empty()) return 100;
    return Matched(a, b, 0) * 100 / static_cast<int>(a.size() + b.size());
}

int TSimilarity::Matched(std::string_view a, std::string_view b, int depth) {
    // Each level splits off a common substring of at least one character, so
    // 30-character strings never recurse deeper than 30 levels.
    if (a.empty() || b.empty() || depth > static_cast<int>(kMaxLength)) return 0;
    std::size_t bestLen = 0, bestA = 0, bestB = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (std::size_t j = 0; j < b.size(); ++j) {
            std::size_t k = 0;
            while (i + k < a.size() && j + k < b.size() && a[i + k] == b[j + k]) ++k;
            if (k > bestLen) {
                bestLen = k;
                bestA = i;
                bestB = j;
            }
        }
    }
    if (bestLen == 0) return 0;
    int count = 2 * static_cast<int>(bestLen);
    count += Matched(a.substr(bestA + bestLen), b.substr(bestB + bestLen), depth + 1);
    count += Matched(a.substr(0, bestA), b.substr(0, bestB), depth + 1);
    return count;
}
