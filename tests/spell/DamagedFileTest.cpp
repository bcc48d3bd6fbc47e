#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SpellFixture.h"
#include "spell/DictionaryNode.h"
#include "spell/LetterCodes.h"
#include "spell/SectionHeader.h"
#include "spell/SpellEngine.h"

namespace {

std::string Node(std::uint16_t child, char letter, std::uint8_t bits) {
    unsigned char b[3];
    TDictionaryNode{child, static_cast<std::uint8_t>(TLetterCodes::Encode(static_cast<unsigned char>(letter)) | bits)}
        .ToBytes(b);
    return std::string(reinterpret_cast<char*>(b), 3);
}

std::string File(std::uint8_t kind, std::uint32_t capacity, const std::vector<std::string>& nodes,
                 std::uint32_t offsetField = 0xFFFFFFFF, std::uint32_t inUse = 0) {
    std::string out = "TEST\r\n\x1A";
    TSectionHeader h;
    h.nodesInUse = inUse ? inUse : static_cast<std::uint32_t>(nodes.size());
    h.capacity = capacity;
    h.words = 1;
    h.kind = kind;
    h.offset = offsetField == 0xFFFFFFFF ? static_cast<std::uint32_t>(out.size()) : offsetField;
    const auto hb = h.ToBytes();
    out.append(reinterpret_cast<const char*>(hb.data()), hb.size());
    for (const auto& n : nodes) out += n;
    return out;
}

constexpr std::uint8_t L = TDictionaryNode::kLastSibling;
constexpr std::uint8_t W = TDictionaryNode::kWordEnd;

class DamagedFileTest : public ::testing::Test {
protected:
    TTempDir dir;
    SpellEngine engine;
    std::string Put(const std::string& bytes) {
        const std::string p = dir.File("d" + std::to_string(++count_) + ".dct");
        WriteFileOrDie(p, bytes);
        return p;
    }
    // Runs everything a checker does on a word; the answers do not matter, only that they come.
    void Exercise(const std::string& word) {
        engine.Lookup(word);
        engine.Suggest(word, stCloseMatch, 10);
        engine.Suggest(word, stPhoneme, 10);
    }

private:
    int count_ = 0;
};

}  // namespace

TEST_F(DamagedFileTest, ChildNumbersPastTheSectionAreNotFollowed) {
    // "C" leads to node 40000 in a section of two nodes.
    ASSERT_TRUE(engine.OpenMainDictionary(Put(File(1, 2, {Node(40000, 'C', 0), Node(0, 'D', L | W)}))));
    EXPECT_FALSE(engine.Lookup("cat"));
    EXPECT_FALSE(engine.Lookup("dx"));
    Exercise("cat");
    EXPECT_TRUE(engine.Suggest("cat", stCloseMatch, 10).size() <= 10u);
}

TEST_F(DamagedFileTest, CyclesEndAtTheDepthAndVisitBounds) {
    // Both root nodes lead back to the root list: every word of S and T letters "exists".
    ASSERT_TRUE(engine.OpenMainDictionary(Put(File(1, 2, {Node(1, 'S', W), Node(1, 'T', L | W)}))));
    EXPECT_TRUE(engine.Lookup("ststststststststststststs"));      // 25 letters
    EXPECT_FALSE(engine.Lookup("stststststststststststststst"));  // past the word limit
    Exercise("ssssssssssssssssssssssssssssssssssssssss");
    Exercise("tsst");
}

TEST_F(DamagedFileTest, ListsWithoutALastNodeStopAtTheLetterCount) {
    std::vector<std::string> nodes(300, Node(1, 'B', 0));
    nodes.push_back(Node(0, 'Q', L | W));
    ASSERT_TRUE(engine.OpenMainDictionary(Put(File(1, 301, nodes))));
    // "QZ" would be found only by walking past 64 siblings.
    EXPECT_FALSE(engine.Lookup("qz"));
    Exercise("bbbbbbbbbb");
}

TEST_F(DamagedFileTest, CapacityBeyondTheFileReadsOnlyWhatIsThere) {
    ASSERT_TRUE(
        engine.OpenMainDictionary(Put(File(1, 4000000000u, {Node(2, 'O', L), Node(0, 'X', L | W), Node(9, 'Y', 0)}))));
    EXPECT_TRUE(engine.Lookup("ox"));
    EXPECT_FALSE(engine.Lookup("oy"));
    Exercise("ox");
}

TEST_F(DamagedFileTest, MissingOrShortHeadersFailToOpen) {
    EXPECT_FALSE(engine.OpenMainDictionary(Put("no end of the text header")));
    EXPECT_FALSE(engine.OpenMainDictionary(Put("TEXT\x1A\x01\x02")));
    EXPECT_FALSE(engine.OpenMainDictionary(Put("")));
    EXPECT_EQ(engine.OpenUserDictionary(Put("TEXT\x1A\x01\x02")), 0);
    EXPECT_TRUE(engine.Sections().empty());
}

TEST_F(DamagedFileTest, AHeaderOffsetFieldInsideTheTextHeaderIsNotTrusted) {
    const std::string user = Put(File(0, 2, {Node(0, 'A', L | W), Node(0, 'A', 0)}, 2));
    const int id = engine.OpenUserDictionary(user);
    ASSERT_GT(id, 0);
    ASSERT_TRUE(engine.AddWord(id, "kiwi"));
    const std::string bytes = ReadFileOrEmpty(user);
    // The text header is untouched and the header was written where it lies.
    EXPECT_EQ(bytes.substr(0, 7), "TEST\r\n\x1A");
    SpellEngine other;
    ASSERT_GT(other.OpenUserDictionary(user), 0);
    EXPECT_TRUE(other.Lookup("kiwi"));
    EXPECT_TRUE(other.Lookup("a"));

    const std::string main = Put(File(1, 2, {Node(2, 'O', L), Node(0, 'X', L | W)}, 1));
    ASSERT_TRUE(engine.OpenMainDictionary(main));
    EXPECT_TRUE(engine.Lookup("ox"));
}

TEST_F(DamagedFileTest, DamagedUserTreesRefuseOrTakeWordsWithoutCrashing) {
    // A child pointing far away, a loop back to the root and a count far beyond the file.
    const std::string user =
        Put(File(0, 3, {Node(60000, 'C', 0), Node(1, 'D', 0), Node(0, 'E', L | W)}, 0xFFFFFFFF, 50000));
    const int id = engine.OpenUserDictionary(user);
    ASSERT_GT(id, 0);
    for (const char* w : {"cat", "dog", "ddddddddd", "egg", "e", "zz"}) {
        engine.AddWord(id, w);
        Exercise(w);
    }
    // A count at the limit refuses everything.
    const std::string full = Put(File(0, 2, {Node(0, 'A', L | W)}, 0xFFFFFFFF, 63999));
    const int fullId = engine.OpenUserDictionary(full);
    ASSERT_GT(fullId, 0);
    EXPECT_FALSE(engine.AddWord(fullId, "b"));
}

TEST_F(DamagedFileTest, LaterSectionsWithNonsenseCapacitiesEndTheSectionList) {
    std::string bytes = File(1, 2, {Node(2, 'O', L), Node(0, 'X', L | W)});
    TSectionHeader h;
    h.capacity = 0;
    h.kind = 1;
    for (int i = 0; i < 5; ++i) {
        const auto hb = h.ToBytes();
        bytes.append(reinterpret_cast<const char*>(hb.data()), hb.size());
    }
    bytes += Node(0, 'Q', L | W) + Node(0, 'Q', L | W);
    ASSERT_TRUE(engine.OpenMainDictionary(Put(bytes)));
    EXPECT_LE(engine.Sections().size(), 7u);
    EXPECT_TRUE(engine.Lookup("ox"));
    Exercise("ox");
}
