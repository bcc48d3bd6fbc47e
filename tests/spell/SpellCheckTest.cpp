#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "SpellFixture.h"
#include "spell/LinesText.h"
#include "spell/SpellCheck.h"
#include "spell/SpellEngine.h"
#include "spell/SpellLists.h"

namespace {

// Answers from a script and records what it was asked.
class TScriptedUser : public ISpellUser {
public:
    std::deque<std::pair<TSpellAnswer, std::string>> answers;
    std::vector<std::string> asked;
    std::vector<std::string> highlighted;
    int cancelAfterPumps = -1;

    void Highlight(const TWordSpan& word) override { highlighted.push_back(word.text); }
    TSpellAnswer Ask(const TWordSpan& word, std::string& replacement) override {
        asked.push_back(word.text);
        if (answers.empty()) return TSpellAnswer::Ignore;
        auto [answer, text] = answers.front();
        answers.pop_front();
        replacement = text;
        return answer;
    }
    bool Pump() override { return cancelAfterPumps >= 0 && cancelAfterPumps-- == 0; }
};

class SpellCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine.OpenMainDictionary(WriteMainDictionary(
            dir, {"THE", "DOG", "DOGS", "BARKED", "AT", "A", "CAT", "THERE", "WAS", "NO", "END", "IS", "NEAR"})));
        user = engine.CreateUserDictionary(dir.File("user.dct"));
        ASSERT_GT(user, 0);
    }

    TSpellCheck::TResult Check(TLinesText& text, TScriptedUser& who) {
        TSpellCheck check(engine, lists, user);
        const int last = text.LineCount() - 1;
        return check.Run(text, {0, 0}, {last, static_cast<int>(text.Line(last).size())}, who);
    }

    TTempDir dir;
    SpellEngine engine;
    TSpellLists lists;
    int user = 0;
};

using V = std::vector<std::string>;

}  // namespace

TEST_F(SpellCheckTest, KnownWordsOneLetterWordsAndPossessivesAreNeverReported) {
    TLinesText text("The dog's bowl; the dogs' barked at a cat.\nI x q Z b");
    TScriptedUser who;
    const auto result = Check(text, who);
    EXPECT_EQ(who.asked, V{"bowl"});
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(result.unknown, 1);
    EXPECT_EQ(result.checked, 14);
}

TEST_F(SpellCheckTest, IgnoreAllHoldsAcrossTextsInAnyCapitalisationUntilCleared) {
    TScriptedUser who;
    who.answers = {{TSpellAnswer::IgnoreAll, ""}};
    TLinesText first("the smurf and the SMURF");
    Check(first, who);
    EXPECT_EQ(who.asked, (V{"smurf", "and"}));
    TLinesText second("Smurf sMuRf dog");
    Check(second, who);
    EXPECT_EQ(who.asked, (V{"smurf", "and"}));
    lists.Clear();
    Check(second, who);
    EXPECT_EQ(who.asked, (V{"smurf", "and", "Smurf", "sMuRf"}));
}

TEST_F(SpellCheckTest, ChangeAllReplacesLaterWordsWithoutAsking) {
    TScriptedUser who;
    who.answers = {{TSpellAnswer::ChangeAll, "the"}};
    TLinesText first("teh dog barked at TEH cat");
    const auto result = Check(first, who);
    EXPECT_EQ(who.asked, V{"teh"});
    EXPECT_EQ(who.highlighted, (V{"teh", "TEH"}));
    EXPECT_EQ(result.replaced, 2);
    EXPECT_EQ(first.Text(), "the dog barked at the cat");
    TLinesText second("a Teh cat");
    Check(second, who);
    EXPECT_EQ(who.asked, V{"teh"});
    EXPECT_EQ(second.Text(), "a the cat");
}

TEST_F(SpellCheckTest, LongerReplacementOnTheLastLineStillChecksTheWordsAfterIt) {
    TScriptedUser who;
    who.answers = {{TSpellAnswer::Change, "thereafter"}, {TSpellAnswer::Change, "near"}};
    TLinesText text("the dog\nthr end is nera");
    const auto result = Check(text, who);
    // The replacement itself is not checked again.
    EXPECT_EQ(who.asked, (V{"thr", "nera"}));
    EXPECT_EQ(text.Text(), "the dog\nthereafter end is near");
    EXPECT_EQ(result.replaced, 2);
}

TEST_F(SpellCheckTest, AddPutsTheWordInTheUserDictionary) {
    TScriptedUser who;
    who.answers = {{TSpellAnswer::Add, ""}};
    TLinesText text("the zorbly dog zorbly");
    Check(text, who);
    EXPECT_EQ(who.asked, V{"zorbly"});
    EXPECT_TRUE(engine.Lookup("ZORBLY"));
    SpellEngine again;
    ASSERT_GT(again.OpenUserDictionary(dir.File("user.dct")), 0);
    EXPECT_TRUE(again.Lookup("zorbly"));
}

TEST_F(SpellCheckTest, AddWithoutAUsableUserDictionaryDoesNothing) {
    TScriptedUser who;
    who.answers = {{TSpellAnswer::Add, ""}};
    TLinesText text("zorbly zorbly");
    TSpellCheck check(engine, lists, 0);
    check.Run(text, {0, 0}, {0, 13}, who);
    EXPECT_EQ(who.asked, (V{"zorbly", "zorbly"}));
    EXPECT_FALSE(engine.Lookup("zorbly"));
}

TEST_F(SpellCheckTest, CancelEndsTheCheckAtOnceEvenBetweenWords) {
    TScriptedUser who;
    who.answers = {{TSpellAnswer::Cancel, ""}};
    TLinesText text("xxa yyb zzc");
    auto result = Check(text, who);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(who.asked, V{"xxa"});

    TScriptedUser between;
    between.cancelAfterPumps = 1;
    TLinesText known("the dog xxa");
    result = Check(known, between);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.checked, 1);
    EXPECT_TRUE(between.asked.empty());
}

TEST_F(SpellCheckTest, AWordTheUserEditedMeanwhileIsNotOverwritten) {
    // The text changes under the checker while it waits for the answer.
    class TEditingUser : public TScriptedUser {
    public:
        TLinesText* text = nullptr;
        TSpellAnswer Ask(const TWordSpan& word, std::string& replacement) override {
            text->Replace(word.line, word.start, word.text, "dgo");
            replacement = "dog";
            return TSpellAnswer::Change;
        }
    } who;
    TLinesText text("the dgx barked");
    who.text = &text;
    const auto result = Check(text, who);
    EXPECT_EQ(result.replaced, 0);
    EXPECT_EQ(text.Text(), "the dgo barked");
}
