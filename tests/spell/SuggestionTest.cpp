#include <gtest/gtest.h>

#include <algorithm>

#include "SpellFixture.h"
#include "spell/Capitalisation.h"
#include "spell/FirstLetterTable.h"
#include "spell/LetterToSoundRules.h"
#include "spell/PhonemeTranslator.h"
#include "spell/RankedList.h"
#include "spell/Similarity.h"
#include "spell/SoundKey.h"
#include "spell/SpellEngine.h"

using namespace std::string_literals;

TEST(SoundKeyTest, ConsonantCodesAfterTheFirstLetter) {
    EXPECT_EQ(SoundKey("SMITH", "", true), "S\x05\x03\x00"s);
    EXPECT_EQ(SoundKey("SMYTHE", "", true), SoundKey("SMITH", "", true));
    EXPECT_EQ(SoundKey("AEIOU", "", true), "A\0\0\0"s);
    EXPECT_EQ(SoundKey("EYE", "", true), "E\0\0\0"s);
    // Repeats are dropped wherever they are, and the key stops at four.
    EXPECT_EQ(SoundKey("BCKSCR", "", true), "B\x02\x06\x00"s);
    EXPECT_EQ(SoundKey("PFBVDTLMR", "", true), "P\x01\x03\x04"s);
    // Without padding the key is filled from the fill key.
    EXPECT_EQ(SoundKey("SM", "X\x05\x03\x04"s, false), "S\x05\x03\x04"s);
    EXPECT_EQ(SoundKey("", "", true), "\0\0\0\0"s);
}

TEST(SimilarityTest, EqualDisjointAndPartlyCommonStrings) {
    EXPECT_EQ(TSimilarity::Score("SPELLING", "SPELLING"), 100);
    EXPECT_EQ(TSimilarity::Score("ABC", "XYZ"), 0);
    EXPECT_EQ(TSimilarity::Score("WIKIMEDIA", "WIKIMANIA"), 77);  // 2 x 7 / 18
    EXPECT_EQ(TSimilarity::Score("ABCD", "DCBA"), 25);
    EXPECT_EQ(TSimilarity::Score("", "A"), 0);
    // Strings are compared on their first 30 characters.
    EXPECT_EQ(TSimilarity::Score(std::string(40, 'A'), std::string(35, 'A')), 100);
}

TEST(RankedListTest, EqualScoresKeepTheOrderOfFinding) {
    TRankedList list(3);
    list.Insert("B", 50);
    list.Insert("A", 70);
    list.Insert("C", 50);
    list.Insert("D", 60);
    ASSERT_EQ(list.Entries().size(), 3u);
    EXPECT_EQ(list.Entries()[0].text, "A");
    EXPECT_EQ(list.Entries()[1].text, "D");
    EXPECT_EQ(list.Entries()[2].text, "B");
    list.Insert("E", 50);  // full and passes every entry: dropped
    EXPECT_EQ(list.Entries()[2].text, "B");

    TRankedList one(1);
    one.Insert("first", 80);
    one.Insert("second", 80);
    one.Insert("worse", 10);
    ASSERT_EQ(one.Entries().size(), 1u);
    EXPECT_EQ(one.Entries()[0].text, "first");
    one.Insert("better", 81);
    EXPECT_EQ(one.Entries()[0].text, "better");
}

TEST(CapitalisationTest, FollowsTheTypedWord) {
    EXPECT_EQ(TCapitalisation::Apply("SPELLING", "Speling"), "Spelling");
    EXPECT_EQ(TCapitalisation::Apply("SPELLING", "SPELING"), "SPELLING");
    EXPECT_EQ(TCapitalisation::Apply("SPELLING", "speling"), "spelling");
    EXPECT_EQ(TCapitalisation::Apply("MCDONALD", "McDonald"), "McDonald");
    EXPECT_EQ(TCapitalisation::Apply("MCDONALD", "McDnald"), "McDonald");
    EXPECT_EQ(TCapitalisation::Apply("IN THE", "InThe"), "In The");
    EXPECT_EQ(TCapitalisation::Apply("O'NEIL", "O'neal"), "O'neil");
    EXPECT_EQ(TCapitalisation::Apply("CAF\xC9", "Cafe"), "Caf\xE9");
    EXPECT_EQ(TCapitalisation::Apply("DOG", "D0g"), "Dog");
}

TEST(FirstLetterTableTest, EachListHoldsTheLetterItself) {
    EXPECT_EQ(TFirstLetterTable::LettersFor('K'), "CLJK");
    EXPECT_EQ(TFirstLetterTable::LettersFor('S'), "ACDS\x8A\x8C");
    EXPECT_EQ(TFirstLetterTable::LettersFor('7'), "7");
    for (int c = 'A'; c <= 'Z'; ++c)
        EXPECT_NE(TFirstLetterTable::LettersFor(static_cast<unsigned char>(c)).find(static_cast<char>(c)),
                  std::string::npos);
}

TEST(LetterToSoundRulesTest, GroupsHaveThePublishedSizesAndRows) {
    const TLetterToSoundRules rules;
    ASSERT_EQ(rules.Rules().size(), 381u);
    const int sizes[27] = {10, 35, 5, 11, 9, 52, 2, 10, 6, 28, 1, 2, 5, 2, 8, 48, 5, 3, 2, 23, 25, 35, 2, 12, 1, 11, 1};
    for (int g = 0; g < 27; ++g) {
        const std::size_t start = rules.GroupStartOf(g);
        const std::size_t end = g + 1 < 27 ? rules.GroupStartOf(g + 1) : rules.Rules().size();
        EXPECT_EQ(end - start, static_cast<std::size_t>(sizes[g] + 1)) << "group " << g;
        EXPECT_TRUE(rules.Rules()[end - 1].pattern.empty()) << "group " << g;
        for (std::size_t r = start; r + 1 < end; ++r) {
            const auto& rule = rules.Rules()[r];
            if (g > 0) {
                EXPECT_EQ(rule.pattern[0], 'A' + g - 1) << rule.pattern;
            }
            for (const auto* f : {&rule.left, &rule.pattern, &rule.right, &rule.phonemes})
                EXPECT_LE(f->size(), TSoundRule::kMaxField) << rule.pattern;
        }
    }
    const auto row = [&](std::size_t place) { return rules.Rules()[place - 1]; };
    const auto same = [](const TSoundRule& r, const char* l, const char* p, const char* rt, const char* ph) {
        return r.left == l && r.pattern == p && r.right == rt && r.phonemes == ph;
    };
    const char* other[10][4] = {{"", " ", "", " "},   {"", "-", "", ""}, {".", "'S", "", "z"}, {"#:.E", "'S", "", "z"},
                                {"#", "'S", "", "z"}, {"", "'", "", ""}, {"", ",", "", " "},   {"", ".", "", " "},
                                {"", "?", "", " "},   {"", "!", "", " "}};
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(same(row(static_cast<std::size_t>(i + 1)), other[i][0], other[i][1], other[i][2], other[i][3]))
            << i;
    const std::size_t a = rules.GroupStartOf(1);
    EXPECT_TRUE(same(rules.Rules()[a], "", "A", " ", "AX"));
    EXPECT_TRUE(same(rules.Rules()[a + 1], "", "AE", " ", "AE"));
    EXPECT_TRUE(same(rules.Rules()[a + 2], "", "A", "E", ""));
    EXPECT_TRUE(same(rules.Rules()[a + 3], " ", "ARE", " ", "AAr"));
    EXPECT_TRUE(same(rules.Rules()[a + 4], " ", "AR", "O", "AXr"));
    EXPECT_TRUE(same(rules.Rules()[a + 34], "", "A", "", "AE"));
    const std::size_t s = rules.GroupStartOf(19), t = rules.GroupStartOf(20), e = rules.GroupStartOf(5);
    EXPECT_TRUE(std::any_of(rules.Rules().begin() + s, rules.Rules().begin() + t,
                            [&](const TSoundRule& r) { return same(r, "#", "SION", "", "ZHAXn"); }));
    EXPECT_TRUE(same(rules.Rules()[t - 2], "", "S", "", "s"));
    EXPECT_TRUE(same(rules.Rules()[t], " ", "THE", " ", "DHAX"));
    const auto eEnd = rules.Rules().begin() + rules.GroupStartOf(6);
    EXPECT_TRUE(std::any_of(rules.Rules().begin() + e, eEnd, [&](auto& r) { return same(r, "#:", "E", " ", ""); }));
    EXPECT_TRUE(std::any_of(rules.Rules().begin() + e, eEnd, [&](auto& r) { return same(r, "#", "ED", " ", "d"); }));
}

TEST(PhonemeTranslatorTest, RulesApplyWithTheirContexts) {
    const TLetterToSoundRules rules;
    const TPhonemeTranslator t(rules);
    EXPECT_EQ(t.Translate("cat"), "kAEt ");
    EXPECT_NE(t.Translate("vision").find("ZHAXn"), std::string::npos);
    EXPECT_EQ(t.Translate("phone"), "fOWn ");
    // No blank stands before the text, so " [THE] " only matches a second word.
    EXPECT_EQ(t.Translate("the").find("DHAX"), std::string::npos);
    EXPECT_NE(t.Translate("in the").find("DHAX"), std::string::npos);
    EXPECT_EQ(t.Translate("c4t"), t.Translate("cgt"));
    EXPECT_EQ(TPhonemeTranslator::Prepare("na\xEFve"), "NAIVE ");
    for (int b = 0; b < 256; ++b) t.Translate(std::string("a%") + static_cast<char>(b));
}

namespace {

class SuggestTest : public ::testing::Test {
protected:
    TTempDir dir;
    SpellEngine engine;
    void Open(std::initializer_list<const char*> words) {
        ASSERT_TRUE(engine.OpenMainDictionary(WriteMainDictionary(dir, words)));
    }
    bool Has(const std::vector<std::string>& list, const std::string& w) {
        return std::find(list.begin(), list.end(), w) != list.end();
    }
};

}  // namespace

TEST_F(SuggestTest, CloseMatchFindsOneEditWordsAndKeepsCase) {
    Open({"spelling", "spilling", "smelling", "selling", "zebra", "spell"});
    const auto lower = engine.Suggest("speling", stCloseMatch, 10);
    ASSERT_FALSE(lower.empty());
    EXPECT_EQ(lower[0], "spelling");
    EXPECT_FALSE(Has(lower, "zebra"));
    EXPECT_EQ(engine.Suggest("Speling", stCloseMatch, 10)[0], "Spelling");
    EXPECT_EQ(engine.Suggest("SPELING", stCloseMatch, 10)[0], "SPELLING");
    EXPECT_EQ(engine.Suggest("speling", stCloseMatch, 1).size(), 1u);
    EXPECT_EQ(engine.Suggestions().size(), 1u);
    EXPECT_TRUE(engine.Suggest("speling", stNoSuggest, 10).empty());
    EXPECT_TRUE(engine.Suggest("", stCloseMatch, 10).empty());
}

TEST_F(SuggestTest, OtherFirstLettersAreTriedByTheTable) {
    // Two edits from "kat" and of its sound: only the first letters the
    // table names reach them (C is tried for K, M is not).
    Open({"cate", "mate"});
    const auto s = engine.Suggest("kat", stCloseMatch, 10);
    EXPECT_TRUE(Has(s, "cate"));
    EXPECT_FALSE(Has(s, "mate"));
}

TEST_F(SuggestTest, PhonemeSearchRanksBySound) {
    Open({"phone", "fone", "pone", "bone", "zebra"});
    const auto s = engine.Suggest("fohn", stPhoneme, 10);
    ASSERT_FALSE(s.empty());
    EXPECT_TRUE(Has(s, "fone"));
    EXPECT_FALSE(Has(s, "zebra"));
}

TEST_F(SuggestTest, TwoWordSplits) {
    Open({"in", "the", "lot", "ot", "bl"});
    EXPECT_TRUE(Has(engine.Suggest("inthe", stCloseMatch, 10), "in the"));
    EXPECT_TRUE(Has(engine.Suggest("inthe", stPhoneme, 10), "in the"));
    // A word beginning with A may split after its first letter.
    EXPECT_TRUE(Has(engine.Suggest("alot", stCloseMatch, 10), "a lot"));
    // Any other word only after its second letter or later: "b lot" is no candidate.
    const auto b = engine.Suggest("blot", stCloseMatch, 10);
    EXPECT_FALSE(Has(b, "b lot"));
    EXPECT_TRUE(Has(b, "bl ot"));
    EXPECT_EQ(engine.Suggest("Inthe", stCloseMatch, 10).size() > 0, true);
    EXPECT_TRUE(Has(engine.Suggest("Inthe", stCloseMatch, 10), "In the"));
}

TEST_F(SuggestTest, UserWordsAreSuggestedToo) {
    Open({"zebra"});
    const int id = engine.CreateUserDictionary(dir.File("User.Dct"));
    ASSERT_TRUE(engine.AddWord(id, "skiffpost"));
    EXPECT_TRUE(Has(engine.Suggest("skifpost", stCloseMatch, 10), "skiffpost"));
}

TEST_F(SuggestTest, OddWordsGetAnswersWithoutHarm) {
    Open({"cat", "catalogue", "dog"});
    const int id = engine.CreateUserDictionary(dir.File("User.Dct"));
    const std::string longWord(100, 'c');
    for (const std::string& w : {longWord, "!!!"s, "'-'"s, "''"s, "-"s, "\x01\x02"s, "cat\0s"s}) {
        EXPECT_LE(engine.Suggest(w, stCloseMatch, 10).size(), 10u);
        EXPECT_LE(engine.Suggest(w, stPhoneme, 10).size(), 10u);
        engine.Lookup(w);
    }
    EXPECT_FALSE(engine.Lookup("!!!"));
    EXPECT_FALSE(engine.AddWord(id, longWord));
    // Apostrophes and hyphens have letter codes, so such a word can be added.
    EXPECT_TRUE(engine.AddWord(id, "'-'"));
    EXPECT_TRUE(engine.Lookup("'-'"));
    EXPECT_FALSE(engine.AddWord(id, "!!!"));
    for (int b = 0; b < 256; ++b) {
        const std::string w = std::string("do") + static_cast<char>(b);
        engine.Suggest(w, stCloseMatch, 3);
        engine.Suggest(w, stPhoneme, 3);
    }
}

// Each misspelling below changes the word's sound key (or its first letter
// beyond what the first-letter table tries), so only the walk with an edit
// allowance can reach the intended word; the other words are near misses.
TEST_F(SuggestTest, EachKindOfEditFindsItsWordWhereTheSoundKeyDoesNot) {
    Open({"believe", "relieve", "beehive", "belief", "behave", "deceive", "bereave", "separate", "desperate",
          "temperate", "sedate", "believer", "believed", "eleven", "beleaguer"});
    struct TCase {
        const char* kind;
        const char* typed;
        const char* intended;
    };
    const TCase cases[] = {
        {"insertion", "bxelieve", "believe"},
        {"deletion", "beieve", "believe"},
        {"substitution", "kelieve", "believe"},
        {"transposition", "eblieve", "believe"},
        {"two edits, long word", "sepqrqte", "separate"},
    };
    for (const auto& c : cases) {
        for (TSuggestType type : {stCloseMatch, stPhoneme}) {
            const auto s = engine.Suggest(c.typed, type, 10);
            const auto at = std::find(s.begin(), s.end(), c.intended) - s.begin();
            EXPECT_TRUE(at < static_cast<std::ptrdiff_t>(s.size()) && at < 10)
                << c.kind << " " << c.typed << (type == stPhoneme ? " (phoneme)" : "");
            if (type == stCloseMatch) {
                EXPECT_EQ(at, 0) << c.kind << " " << c.typed;
            }
        }
    }
    // Short words are searched one edit away only: two edits would reach
    // half of the short words of a real dictionary.
    EXPECT_FALSE(Has(engine.Suggest("qxlieve", stCloseMatch, 10), "believe"));
    // A word found by several walks is listed once.
    const auto s = engine.Suggest("beleive", stCloseMatch, 10);
    EXPECT_EQ(std::count(s.begin(), s.end(), "believe"), 1);
}
