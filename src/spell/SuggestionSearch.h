#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "spell/PhonemeTranslator.h"
#include "spell/RankedList.h"

class DictionarySection;
class ISuggestionSource;

// One suggestion search for one misspelled word: walks every section once
// per plausible first letter, descending only where the prefix still fits
// the word's sound key, then once more for the words a letter or two away
// (which a changed sound key would hide), scores each word reached and adds
// two-word splits.
class TSuggestionSearch {
public:
    static constexpr std::size_t kMaxPrefixCloseMatch = 40;
    static constexpr std::size_t kMaxPrefixPhoneme = 30;
    // Words this long are also searched two edits away; shorter ones would
    // drown in the many short words two edits reach.
    static constexpr std::size_t kTwoEditsFrom = 8;
    // Node visits of one two-edit walk of one section.
    static constexpr std::size_t kTwoEditVisits = 60000;

    // Added to a candidate's score for being one (two) edits from the word:
    // similarity alone ranks a longer word sharing more letters ahead of the
    // one a single slip of the finger away.
    struct TBonus {
        int oneEdit;
        int twoEdits;
    };
    static constexpr TBonus kCloseMatchBonus{20, 5};
    static constexpr TBonus kPhonemeBonus{40, 20};

    TSuggestionSearch(ISuggestionSource& engine, bool phoneme);
    TSuggestionSearch(ISuggestionSource& engine, bool phoneme, TBonus bonus);

    // The suggestions in rank order, written the way the word was typed.
    std::vector<std::string> Run(std::string_view word, int maxSuggestions);

private:
    void Walk(DictionarySection& section, std::uint32_t list, std::string& prefix, const std::string& key,
              std::size_t& budget);
    void WalkEdits();
    // edits: known distance from the word, or -1 to measure it.
    void Consider(std::string candidate, int edits = -1);
    void AddSplits();

    ISuggestionSource& engine_;
    bool phoneme_;
    TBonus bonus_;
    TPhonemeTranslator translator_;
    std::size_t maxPrefix_;
    std::string upper_;
    std::string target_;  // what candidates are compared with: the word or its phonemes
    TRankedList ranked_{0};
    // A word found by several walks (or in several sections) is listed once.
    std::unordered_set<std::string> seen_;
};
