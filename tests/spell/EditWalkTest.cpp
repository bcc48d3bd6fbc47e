#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "SpellFixture.h"
#include "spell/EditWalk.h"
#include "spell/Similarity.h"
#include "spell/SpellEngine.h"

namespace {

// The edit distance with swaps of neighbours, from the whole table.
int ReferenceDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// Ratcliff/Obershelp as it reads: search the longest common substring by
// trying every pair of start positions, then recurse right and left.
int ReferenceMatched(const std::string& a, const std::string& b) {
    std::size_t best = 0, ba = 0, bb = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j) {
            std::size_t k = 0;
            while (i + k < a.size() && j + k < b.size() && a[i + k] == b[j + k]) ++k;
            if (k > best) best = k, ba = i, bb = j;
        }
    if (best == 0) return 0;
    return 2 * static_cast<int>(best) + ReferenceMatched(a.substr(ba + best), b.substr(bb + best)) +
           ReferenceMatched(a.substr(0, ba), b.substr(0, bb));
}

std::string RandomWord(std::mt19937& rng, std::size_t minLength, std::size_t maxLength, const char* letters) {
    const std::size_t alphabet = std::char_traits<char>::length(letters);
    std::string w(minLength + rng() % (maxLength - minLength + 1), 'A');
    for (auto& c : w) c = letters[rng() % alphabet];
    return w;
}

}  // namespace

TEST(EditWalkTest, DistanceAgreesWithTheWholeTable) {
    std::mt19937 rng(11);
    for (int n = 0; n < 3000; ++n) {
        const std::string a = RandomWord(rng, 0, 9, "ABC"), b = RandomWord(rng, 0, 9, "ABC");
        const int ref = ReferenceDistance(a, b);
        for (int limit : {0, 1, 2})
            EXPECT_EQ(TEditWalk::Distance(a, b, limit), std::min(ref, limit + 1)) << a << " " << b;
    }
    EXPECT_EQ(TEditWalk::Distance("RECIEVE", "RECEIVE", 2), 1);
    EXPECT_EQ(TEditWalk::Distance("CA", "ABC", 2), 3);  // a swap and an insertion do not share a letter
}

TEST(EditWalkTest, WalkFindsExactlyTheWordsWithinTheAllowance) {
    std::mt19937 rng(5);
    std::vector<std::string> words;
    for (int n = 0; n < 400; ++n) words.push_back(RandomWord(rng, 2, 9, "ABCDE"));
    TTempDir dir;
    TDictionaryBuilder builder;
    for (const auto& w : words) builder.AddWord(w);
    const std::string path = dir.File("main.dct");
    // Small sections, so that a walk crosses several trees.
    WriteFileOrDie(path, builder.Build(300));
    SpellEngine engine;
    ASSERT_TRUE(engine.OpenMainDictionary(path));
    ASSERT_GT(engine.Sections().size(), 2u);
    for (int n = 0; n < 200; ++n) {
        const std::string target = RandomWord(rng, 1, 10, "ABCDEF");
        for (int edits : {1, 2}) {
            std::map<std::string, int> expected, found;
            for (const auto& w : words)
                if (const int d = ReferenceDistance(w, target); d <= edits) expected[w] = d;
            TEditWalk walk(target, edits);
            for (const auto& section : engine.Sections())
                EXPECT_GT(walk.Run(*section, 1000000,
                                   [&](std::string_view w, int d) {
                                       EXPECT_TRUE(found.emplace(std::string(w), d).second) << w;
                                   }),
                          0u);
            EXPECT_EQ(found, expected) << target << " within " << edits;
        }
    }
}

TEST(EditWalkTest, TheVisitBudgetCutsAWalkShort) {
    TTempDir dir;
    SpellEngine engine;
    ASSERT_TRUE(engine.OpenMainDictionary(WriteMainDictionary(dir, {"ABCDEFGH", "ABCDEFGI", "ABCDEFGJ", "BBBBBBBB"})));
    int calls = 0;
    TEditWalk walk("ABCDEFGX", 2);
    EXPECT_EQ(walk.Run(*engine.Sections()[0], 5, [&](std::string_view, int) { ++calls; }), 0u);
    EXPECT_EQ(calls, 0);
    EXPECT_GT(walk.Run(*engine.Sections()[0], 1000, [&](std::string_view, int) { ++calls; }), 0u);
    EXPECT_EQ(calls, 3);
}

TEST(SimilarityTest, OneRunTableScoresAsTheSearchByStartPositions) {
    std::mt19937 rng(3);
    for (int n = 0; n < 5000; ++n) {
        const std::string a = RandomWord(rng, 0, 12, "ABCD"), b = RandomWord(rng, 0, 12, "ABCD");
        const int expected =
            a.empty() && b.empty() ? 100 : ReferenceMatched(a, b) * 100 / static_cast<int>(a.size() + b.size());
        ASSERT_EQ(TSimilarity::Score(a, b), expected) << a << " " << b;
        EXPECT_LE(expected, TSimilarity::Bound(a.size(), b.size()));
    }
}
