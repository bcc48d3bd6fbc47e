#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "spell/PhonemeTranslator.h"
#include "spell/RankedList.h"

class SpellEngine;
class DictionarySection;

// One suggestion search for one misspelled word: walks every section once
// per plausible first letter, descending only where the prefix still fits
// the word's sound key, scores each word reached and adds two-word splits.
class TSuggestionSearch {
public:
    static constexpr std::size_t kMaxPrefixCloseMatch = 40;
    static constexpr std::size_t kMaxPrefixPhoneme = 30;

    TSuggestionSearch(SpellEngine& engine, bool phoneme);

    // The suggestions in rank order, written the way the word was typed.
    std::vector<std::string> Run(std::string_view word, int maxSuggestions);

private:
    void Walk(DictionarySection& section, std::uint32_t list, std::string& prefix, const std::string& key,
              std::size_t& budget);
    void Consider(std::string candidate);
    void AddSplits();

    SpellEngine& engine_;
    bool phoneme_;
    TPhonemeTranslator translator_;
    std::size_t maxPrefix_;
    std::string upper_;
    std::string target_;  // what candidates are compared with: the word or its phonemes
    TRankedList ranked_{0};
};
