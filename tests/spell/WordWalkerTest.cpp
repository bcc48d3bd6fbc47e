#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "spell/LinesText.h"
#include "spell/WordWalker.h"

namespace {

std::vector<std::string> Words(const TLinesText& text, TTextPoint from, TTextPoint to) {
    TWordWalker walker(text, from, to);
    std::vector<std::string> words;
    while (auto w = walker.Next()) {
        EXPECT_EQ(text.Line(w->line).substr(w->start, w->end - w->start), w->text);
        words.push_back(w->text);
    }
    return words;
}

std::vector<std::string> AllWords(const TLinesText& text) {
    const int last = text.LineCount() - 1;
    return Words(text, {0, 0}, {last, static_cast<int>(text.Line(last).size())});
}

using V = std::vector<std::string>;

}  // namespace

TEST(WordWalkerTest, LettersApostrophesAndTheWindowsLetters) {
    EXPECT_EQ(AllWords(TLinesText("Hello, world! it's 42nd x2y")), (V{"Hello", "world", "it's", "nd", "x", "y"}));
    // Accented letters and the five letters below 0xC0 are letters; the
    // multiplication and division signs are not.
    EXPECT_EQ(AllWords(TLinesText("caf\xE9 \x8A\x9A\x8C\x9C\x9F a\xD7z b\xF7z")),
              (V{"caf\xE9", "\x8A\x9A\x8C\x9C\x9F", "a", "z", "b", "z"}));
    EXPECT_EQ(AllWords(TLinesText("")), V{});
    EXPECT_EQ(AllWords(TLinesText("  -- 123 ...")), V{});
    // A letter the code page lacks stays inside its word, even at an end;
    // the '?' of any other missing character still splits.
    EXPECT_EQ(AllWords(TLinesText("Dvo\x81\xE1k \x81\x81 x\x81 a?b")),
              (V{"Dvo\x81\xE1k", "\x81\x81", "x\x81", "a", "b"}));
}

TEST(WordWalkerTest, ClosingApostrophesAreNoPartOfTheWord) {
    EXPECT_EQ(AllWords(TLinesText("the dogs' bowls and 'quoted' o'clock '' x'")),
              (V{"the", "dogs", "bowls", "and", "quoted", "o'clock", "x"}));
}

TEST(WordWalkerTest, WordsNeverSpanLinesAndEmptyLinesAreSkipped) {
    TLinesText text("one\r\n\n\n  two-\nthree\nfour");
    EXPECT_EQ(AllWords(text), (V{"one", "two", "three", "four"}));
    TWordWalker walker(text, {0, 0}, {5, 4});
    walker.Next();
    const auto two = walker.Next();
    ASSERT_TRUE(two);
    EXPECT_EQ(two->line, 3);
    EXPECT_EQ(two->start, 2);
    EXPECT_EQ(two->end, 5);
}

TEST(WordWalkerTest, RangeStartsMidLineAndEndsBeforeTrailingWords) {
    TLinesText text("alpha beta gamma\ndelta epsilon zeta");
    EXPECT_EQ(Words(text, {0, 6}, {1, 13}), (V{"beta", "gamma", "delta", "epsilon"}));
    // A word that starts inside the range is taken whole.
    EXPECT_EQ(Words(text, {0, 0}, {0, 7}), (V{"alpha", "beta"}));
    // Trailing separators in the range do not pull in the next word.
    EXPECT_EQ(Words(text, {1, 0}, {1, 8}), (V{"delta", "epsilon"}));
    EXPECT_EQ(Words(text, {1, 0}, {1, 6}), (V{"delta"}));
    // A range past the text ends at the text.
    EXPECT_EQ(Words(text, {1, 14}, {9, 99}), (V{"zeta"}));
    EXPECT_EQ(Words(text, {5, 0}, {9, 99}), V{});
}

TEST(WordWalkerTest, LongerReplacementOnTheLastLineKeepsTheWordsAfterIt) {
    TLinesText text("first line\nteh end is near");
    TWordWalker walker(text, {0, 0}, {1, static_cast<int>(text.Line(1).size())});
    walker.Next();
    walker.Next();
    const auto teh = walker.Next();
    ASSERT_TRUE(teh);
    ASSERT_EQ(teh->text, "teh");
    ASSERT_TRUE(text.Replace(1, teh->start, "teh", "thereafter"));
    walker.Replaced(*teh, 10);
    std::vector<std::string> rest;
    while (auto w = walker.Next()) rest.push_back(w->text);
    EXPECT_EQ(rest, (V{"end", "is", "near"}));
    EXPECT_EQ(text.Text(), "first line\nthereafter end is near");

    // A shorter one moves the end back, so nothing beyond the range is reached.
    TLinesText shorter("abcdefgh ij kl");
    TWordWalker w2(shorter, {0, 0}, {0, 11});
    const auto first = w2.Next();
    ASSERT_TRUE(shorter.Replace(0, 0, first->text, "ab"));
    w2.Replaced(*first, 2);
    EXPECT_EQ(w2.End().column, 5);
    const auto ij = w2.Next();
    ASSERT_TRUE(ij);
    EXPECT_EQ(ij->text, "ij");
    EXPECT_FALSE(w2.Next());
}

TEST(WordWalkerTest, ReplacementThatFormsAWordWithItsNeighbourIsNotWalkedAgain) {
    TLinesText text("ab cd");
    TWordWalker walker(text, {0, 0}, {0, 5});
    const auto ab = walker.Next();
    ASSERT_TRUE(text.Replace(0, 0, "ab", "xx'yy"));
    walker.Replaced(*ab, 5);
    const auto next = walker.Next();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->text, "cd");
    EXPECT_FALSE(walker.Next());
}

TEST(LinesTextTest, ReplaceRefusesWhatNoLongerReadsAsTheWord) {
    TLinesText text("one two");
    EXPECT_FALSE(text.Replace(0, 4, "twx", "x"));
    EXPECT_FALSE(text.Replace(0, 6, "two", "x"));
    EXPECT_FALSE(text.Replace(1, 0, "one", "x"));
    EXPECT_FALSE(text.Replace(0, 8, "", "x"));
    EXPECT_TRUE(text.Replace(0, 4, "two", ""));
    EXPECT_EQ(text.Text(), "one ");
    EXPECT_EQ(text.Line(-1), "");
}
