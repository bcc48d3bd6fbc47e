#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "SpellFixture.h"
#include "spell/LetterCodes.h"
#include "spell/SpellEngine.h"

namespace {

std::vector<std::string> RandomWords(std::mt19937& rng, int count, const std::string& alphabet) {
    std::uniform_int_distribution<int> len(2, 12), pick(0, static_cast<int>(alphabet.size()) - 1);
    std::vector<std::string> words;
    for (int i = 0; i < count; ++i) {
        std::string w;
        for (int k = len(rng); k > 0; --k) w.push_back(alphabet[static_cast<std::size_t>(pick(rng))]);
        words.push_back(w);
    }
    return words;
}

std::string Build(const std::vector<std::string>& words, std::uint32_t maxNodes,
                  TDictionaryBuilder::TStats* stats = nullptr) {
    TDictionaryBuilder b;
    for (const auto& w : words) b.AddWord(w);
    std::string out = b.Build(maxNodes);
    if (stats) *stats = b.Stats();
    return out;
}

}  // namespace

TEST(BuilderTest, RoundTripOverManySectionsFindsEveryWordAndNoOther) {
    std::mt19937 rng(1234);
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyz'-\xE9\xFC";
    const auto words = RandomWords(rng, 3000, alphabet);
    const auto others = RandomWords(rng, 3000, alphabet);
    TDictionaryBuilder::TStats stats;
    TTempDir dir;
    const std::string path = dir.File("main.dct");
    WriteFileOrDie(path, Build(words, 2000, &stats));
    EXPECT_GT(stats.sections, 5u);
    SpellEngine engine;
    ASSERT_TRUE(engine.OpenMainDictionary(path));
    EXPECT_EQ(engine.Sections().size(), stats.sections);
    const std::set<std::string> upper = [&] {
        std::set<std::string> s;
        for (const auto& w : words) s.insert(TLetterCodes::Upper(w));
        return s;
    }();
    for (const auto& w : words) EXPECT_TRUE(engine.Lookup(w)) << w;
    // Expected answer: listed, one letter or less, or so after taking off "'S" endings.
    const auto expected = [&](std::string w) {
        w = TLetterCodes::Upper(w);
        while (true) {
            if (w.size() <= 1 || upper.count(w)) return true;
            if (w.size() < 2 || w.substr(w.size() - 2) != "'S") return false;
            w.resize(w.size() - 2);
        }
    };
    for (const auto& w : others) EXPECT_EQ(engine.Lookup(w), expected(w)) << w;
}

TEST(BuilderTest, SameListGivesTheSameBytesWhateverTheOrder) {
    std::mt19937 rng(99);
    auto words = RandomWords(rng, 2000, "abcdefghij");
    const std::string a = Build(words, 64999);
    std::shuffle(words.begin(), words.end(), rng);
    words.push_back(words.front());  // duplicates count once
    EXPECT_EQ(Build(words, 64999), a);
}

TEST(BuilderTest, LeavesOutWordsWithoutLetterCodesAndOneLetterWords) {
    TDictionaryBuilder b;
    b.AddUtf8List("caf\xC3\xA9\nr2d2\r\nx\n\nna\xC3\xAFve\nemoji\xF0\x9F\x98\x80\nabcdefghijklmnopqrstuvwxyz\ndog\r\n");
    TTempDir dir;
    WriteFileOrDie(dir.File("m.dct"), b.Build());
    EXPECT_EQ(b.Stats().words, 3u);  // café, naïve, dog
    EXPECT_EQ(b.Stats().skipped, 4u);
    SpellEngine engine;
    ASSERT_TRUE(engine.OpenMainDictionary(dir.File("m.dct")));
    EXPECT_TRUE(engine.Lookup("caf\xE9"));
    EXPECT_TRUE(engine.Lookup("NA\xCFVE"));
    EXPECT_TRUE(engine.Lookup("dog"));
    EXPECT_FALSE(engine.Lookup("r2d2"));
}

TEST(BuilderTest, TheBuiltMainDictionaryHoldsTheWordList) {
    const std::string path = std::string(SKFP_BUILD_DIR) + "/Internet.Dct";
    SpellEngine engine;
    ASSERT_TRUE(engine.OpenMainDictionary(path)) << path;
    for (const char* w : {"hello", "Internet", "mail", "spelling", "don't", "caf\xE9", "zebras"})
        EXPECT_TRUE(engine.Lookup(w)) << w;
    for (const char* w : {"helo", "speling", "qwzx"}) EXPECT_FALSE(engine.Lookup(w)) << w;
}
