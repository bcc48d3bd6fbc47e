#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "SpellFixture.h"
#include "spell/DictionaryNode.h"
#include "spell/LetterCodes.h"
#include "spell/SectionHeader.h"
#include "spell/SpellEngine.h"

namespace {

// Reads a user dictionary file the way a second program would.
struct TUserFile {
    TSectionHeader header;
    std::vector<TDictionaryNode> nodes;  // nodes[0] is node 1

    explicit TUserFile(const std::string& bytes) {
        const auto end = bytes.find('\x1A');
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + end + 1;
        header = TSectionHeader::FromBytes(p);
        const std::size_t count = (bytes.size() - end - 1 - TSectionHeader::kSize) / 3;
        for (std::size_t i = 0; i < count; ++i) nodes.push_back(TDictionaryNode::FromBytes(p + 17 + 3 * i));
    }
    char Letter(std::size_t n) const { return static_cast<char>(TLetterCodes::Decode(nodes[n - 1].flags)); }
};

class UserDictionaryTest : public ::testing::Test {
protected:
    TTempDir dir;
    SpellEngine engine;
    std::string path = dir.File("User.Dct");
    TUserFile File() const { return TUserFile(ReadFileOrEmpty(path)); }
    static bool Has(const std::vector<std::string>& list, const std::string& w) {
        return std::find(list.begin(), list.end(), w) != list.end();
    }
};

}  // namespace

TEST_F(UserDictionaryTest, NewDictionaryHoldsOnlyAWith500Places) {
    EXPECT_EQ(engine.CreateUserDictionary(path), 2);
    const std::string bytes = ReadFileOrEmpty(path);
    EXPECT_EQ(bytes.rfind("USER DICTIONARY\r\n", 0), 0u);
    const auto f = File();
    EXPECT_EQ(f.header.nodesInUse, 1u);
    EXPECT_EQ(f.header.capacity, 500u);
    EXPECT_EQ(f.header.words, 1u);
    EXPECT_EQ(f.header.kind, 0);
    EXPECT_EQ(f.header.offset, bytes.find('\x1A') + 1);
    ASSERT_EQ(f.nodes.size(), 500u);
    EXPECT_EQ(f.nodes[0].child, 0);
    EXPECT_EQ(f.nodes[0].flags, 0xC0);
    EXPECT_EQ(f.nodes[499].child, 65000);
    EXPECT_EQ(f.nodes[499].flags, 0xC0);
    EXPECT_TRUE(engine.Lookup("a"));
    EXPECT_FALSE(engine.Lookup("ab"));
}

TEST_F(UserDictionaryTest, IdentitiesCountUpAndWrongIdentitiesAreRefused) {
    EXPECT_EQ(engine.CreateUserDictionary(path), 2);
    EXPECT_EQ(engine.CreateUserDictionary(dir.File("second.dct")), 3);
    EXPECT_EQ(engine.OpenUserDictionary(path), 4);
    EXPECT_FALSE(engine.AddWord(7, "cat"));
    EXPECT_TRUE(engine.AddWord(3, "cat"));
    EXPECT_TRUE(engine.Lookup("cat"));
}

TEST_F(UserDictionaryTest, CatGoesAheadOfAInTheRootList) {
    const int id = engine.CreateUserDictionary(path);
    ASSERT_TRUE(engine.AddWord(id, "cat"));
    const auto f = File();
    EXPECT_EQ(f.header.nodesInUse, 4u);
    EXPECT_EQ(f.header.words, 2u);
    EXPECT_EQ(f.Letter(1), 'C');
    EXPECT_FALSE(f.nodes[0].IsLast());
    EXPECT_EQ(f.nodes[0].child, 3);
    EXPECT_EQ(f.Letter(2), 'A');
    EXPECT_TRUE(f.nodes[1].IsLast());
    EXPECT_TRUE(f.nodes[1].EndsWord());
    EXPECT_EQ(f.Letter(3), 'A');
    EXPECT_EQ(f.nodes[2].child, 4);
    EXPECT_EQ(f.Letter(4), 'T');
    EXPECT_TRUE(f.nodes[3].EndsWord());
    EXPECT_TRUE(f.nodes[3].IsLast());
    EXPECT_EQ(f.nodes[3].child, 0);
    EXPECT_TRUE(engine.Lookup("cat"));
    EXPECT_FALSE(engine.Lookup("ca"));
}

TEST_F(UserDictionaryTest, PrefixOfAWordOnlySetsTheWordEndBit) {
    const int id = engine.CreateUserDictionary(path);
    ASSERT_TRUE(engine.AddWord(id, "cats"));
    const auto before = File();
    ASSERT_TRUE(engine.AddWord(id, "cat"));
    const auto after = File();
    EXPECT_EQ(after.header.nodesInUse, before.header.nodesInUse);
    int changed = 0;
    for (std::size_t i = 0; i < before.nodes.size(); ++i)
        if (before.nodes[i].flags != after.nodes[i].flags || before.nodes[i].child != after.nodes[i].child) ++changed;
    EXPECT_EQ(changed, 1);
    EXPECT_TRUE(engine.Lookup("cat"));
    EXPECT_TRUE(engine.Lookup("cats"));
}

TEST_F(UserDictionaryTest, LimitsAndUncodedWordsAreRefusedWithoutWriting) {
    const int id = engine.CreateUserDictionary(path);
    const std::string before = ReadFileOrEmpty(path);
    EXPECT_FALSE(engine.AddWord(id, "abcdefghijklmnopqrstuvwxyz"));
    EXPECT_FALSE(engine.AddWord(id, ""));
    EXPECT_FALSE(engine.AddWord(id, "r2d2"));
    EXPECT_EQ(ReadFileOrEmpty(path), before);
    EXPECT_TRUE(engine.AddWord(id, "abcdefghijklmnopqrstuvwxy"));
    EXPECT_TRUE(engine.Lookup("ABCDEFGHIJKLMNOPQRSTUVWXY"));
}

TEST_F(UserDictionaryTest, ManyWordsGrowTheFileAndStayFindable) {
    const int id = engine.CreateUserDictionary(path);
    std::vector<std::string> words;
    // Reverse order puts most words at the head of existing lists, so nodes move a lot.
    for (int i = 299; i >= 0; --i) {
        std::string w;
        for (int k = i; k > 0 || w.empty(); k /= 7) w.push_back(static_cast<char>('a' + k % 7 * 3));
        w += "qz";
        words.push_back(w);
        ASSERT_TRUE(engine.AddWord(id, w)) << w;
    }
    for (const auto& w : words) EXPECT_TRUE(engine.Lookup(w)) << w;
    EXPECT_FALSE(engine.Lookup("aqzq"));
    const auto f = File();
    EXPECT_GT(f.header.nodesInUse, 500u);
    EXPECT_GE(f.header.capacity, f.header.nodesInUse);
    // A second engine (another program) sees the same words.
    SpellEngine other;
    ASSERT_GT(other.OpenUserDictionary(path), 0);
    for (const auto& w : words) EXPECT_TRUE(other.Lookup(w)) << w;
}

TEST_F(UserDictionaryTest, WordsAddedByAnotherProgramAreSeenAtTheNextLookup) {
    const int id = engine.CreateUserDictionary(path);
    SpellEngine other;
    const int otherId = other.OpenUserDictionary(path);
    ASSERT_GT(otherId, 0);
    ASSERT_TRUE(engine.AddWord(id, "zebra"));
    EXPECT_TRUE(other.Lookup("zebra"));
    ASSERT_TRUE(other.AddWord(otherId, "yak"));
    EXPECT_TRUE(engine.Lookup("yak"));
    EXPECT_TRUE(engine.Lookup("zebra"));
}

TEST_F(UserDictionaryTest, FullDictionaryRefusesTheWord) {
    const int id = engine.CreateUserDictionary(path);
    std::string bytes = ReadFileOrEmpty(path);
    const auto at = bytes.find('\x1A') + 1;
    auto h = TSectionHeader::FromBytes(reinterpret_cast<const unsigned char*>(bytes.data()) + at);
    h.nodesInUse = 63996;
    const auto hb = h.ToBytes();
    std::memcpy(bytes.data() + at, hb.data(), hb.size());
    WriteFileOrDie(path, bytes);
    EXPECT_FALSE(engine.AddWord(id, "dogs"));  // 63996 + 4 > 63999
    EXPECT_EQ(ReadFileOrEmpty(path), bytes);
}

TEST_F(UserDictionaryTest, ChangesByAnotherProgramReachTheCachedNodesAtTheNextLookup) {
    const std::string main = WriteMainDictionary(dir, {"zebra", "yak"});
    ASSERT_TRUE(engine.OpenMainDictionary(main));
    const int id = engine.CreateUserDictionary(path);
    for (const char* w : {"mango", "melon", "kiwi"}) ASSERT_TRUE(engine.AddWord(id, w));
    SpellEngine other;
    const int otherId = other.OpenUserDictionary(path);
    ASSERT_GT(otherId, 0);
    // Our lookups fill the cache with the nodes as they stand.
    for (int round = 0; round < 3; ++round)
        for (const char* w : {"mango", "melon", "kiwi", "apple", "maple", "zebra"}) engine.Lookup(w);
    EXPECT_FALSE(engine.Lookup("apple"));
    // Words going in at the head of lists move every node behind them.
    ASSERT_TRUE(other.AddWord(otherId, "apple"));
    EXPECT_TRUE(engine.Lookup("apple"));
    ASSERT_TRUE(other.AddWord(otherId, "maple"));
    EXPECT_TRUE(engine.Lookup("maple"));
    for (const char* w : {"mango", "melon", "kiwi", "zebra", "a"}) EXPECT_TRUE(engine.Lookup(w)) << w;
    EXPECT_FALSE(engine.Lookup("mangos"));
    // And the other way round, with a word added here after the other's change.
    ASSERT_TRUE(engine.AddWord(id, "lemon"));
    EXPECT_TRUE(other.Lookup("lemon"));
    EXPECT_TRUE(other.Lookup("apple"));
    EXPECT_TRUE(Has(engine.Suggest("mapel", stCloseMatch, 10), "maple"));
}

TEST_F(UserDictionaryTest, ADictionaryReplacedUnderItsNameIsReadAgain) {
    const int id = engine.CreateUserDictionary(path);
    ASSERT_TRUE(engine.AddWord(id, "mango"));
    EXPECT_TRUE(engine.Lookup("mango"));
    // Another program makes a new dictionary in its place (a new file under the name).
    SpellEngine other;
    const int otherId = other.CreateUserDictionary(path);
    ASSERT_GT(otherId, 0);
    ASSERT_TRUE(other.AddWord(otherId, "papaya"));
    // A suggestion search looks at the file itself; lookups follow within moments.
    EXPECT_TRUE(Has(engine.Suggest("papaja", stCloseMatch, 10), "papaya"));
    EXPECT_TRUE(engine.Lookup("papaya"));
    EXPECT_FALSE(engine.Lookup("mango"));
    // Words added here now go into the new file.
    ASSERT_TRUE(engine.AddWord(id, "guava"));
    SpellEngine third;
    ASSERT_GT(third.OpenUserDictionary(path), 0);
    EXPECT_TRUE(third.Lookup("guava"));
    EXPECT_TRUE(third.Lookup("papaya"));
}

TEST_F(UserDictionaryTest, ADictionaryDamagedByAnotherProgramIsRefusedUntilMended) {
    const std::string main = WriteMainDictionary(dir, {"zebra"});
    ASSERT_TRUE(engine.OpenMainDictionary(main));
    const int id = engine.CreateUserDictionary(path);
    ASSERT_TRUE(engine.AddWord(id, "mango"));
    const std::string good = ReadFileOrEmpty(path);
    const auto at = good.find('\x1A') + 1;

    // The kind byte turned into a main dictionary's: no user dictionary any more.
    std::string kind = good;
    kind[at + 12] = 1;
    WriteFileOrDie(path, kind);
    EXPECT_FALSE(engine.Lookup("mango"));
    EXPECT_TRUE(engine.Lookup("zebra"));
    EXPECT_FALSE(engine.AddWord(id, "kiwi"));
    EXPECT_LE(engine.Suggest("mangoe", stCloseMatch, 10).size(), 10u);
    EXPECT_EQ(ReadFileOrEmpty(path), kind);

    // Nodes overwritten with children pointing anywhere: answers come, nothing breaks.
    std::string nodes = good;
    for (std::size_t i = at + TSectionHeader::kSize; i < nodes.size(); ++i) nodes[i] = static_cast<char>(i * 37);
    WriteFileOrDie(path, nodes);
    for (const char* w : {"mango", "zebra", "mangoes", "qqqqqqqqqq"}) {
        engine.Lookup(w);
        engine.Suggest(w, stCloseMatch, 10);
        engine.Suggest(w, stPhoneme, 10);
    }
    EXPECT_TRUE(engine.Lookup("zebra"));

    // No text header end at all.
    WriteFileOrDie(path, std::string(good.size(), 'x'));
    EXPECT_FALSE(engine.Lookup("mango"));
    EXPECT_FALSE(engine.AddWord(id, "kiwi"));

    // Mended: the words are back and can be added to again.
    WriteFileOrDie(path, good);
    EXPECT_TRUE(engine.Lookup("mango"));
    EXPECT_TRUE(engine.AddWord(id, "kiwi"));
    EXPECT_TRUE(engine.Lookup("kiwi"));
}
