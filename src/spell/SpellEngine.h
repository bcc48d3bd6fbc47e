#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "spell/DictionarySection.h"
#include "spell/LetterToSoundRules.h"
#include "spell/SuggestType.h"
#include "spell/SuggestionSource.h"

// The spell checker's dictionaries: the open sections in search order (main
// dictionary sections and user dictionaries), word lookup, user words and
// the suggestion searches over the same trees.
// A word as letter codes, at most as long as a tree is deep.
struct TWordCodes {
    std::array<std::uint8_t, 25> letters{};
    std::size_t size = 0;
};

class SpellEngine : public ISuggestionSource {
public:
    // Keeps every node number below 65000 (the "no children" mark).
    static constexpr std::uint32_t kMaxUserNodes = 63999;

    SpellEngine();
    ~SpellEngine() override;
    SpellEngine(const SpellEngine&) = delete;
    SpellEngine& operator=(const SpellEngine&) = delete;

    bool OpenMainDictionary(const std::string& path);
    // The identity (2 upwards), 0 when the file is no user dictionary, -1 when it cannot be opened.
    int OpenUserDictionary(const std::string& path);
    // Creates (or truncates) a user dictionary holding the word "A" and opens it.
    int CreateUserDictionary(const std::string& path);
    bool Lookup(std::string_view word);
    bool AddWord(int identity, std::string_view word);
    void CloseAll();

    // Fills and returns the suggestion list.
    const std::vector<std::string>& Suggest(std::string_view word, TSuggestType type, int maxSuggestions);
    const std::vector<std::string>& Suggestions() const { return suggestions_; }

    // Reads the user dictionaries again where another program changed them;
    // thorough asks the file system even when their headers look unchanged.
    void Refresh(bool thorough) override;
    // Lookup of an upper-cased word without the refresh, for searches that refreshed already.
    bool LookupUpper(std::string_view upper) override;

    const std::vector<std::unique_ptr<DictionarySection>>& Sections() const override { return sections_; }
    const TLetterToSoundRules& Rules() const override { return rules_; }

private:
    static bool SectionHasWord(DictionarySection& section, const TWordCodes& codes);
    int AppendUser(const std::string& path);

    std::vector<std::unique_ptr<DictionarySection>> sections_;
    std::vector<std::string> suggestions_;
    std::uint16_t nextIdentity_ = 2;
    TLetterToSoundRules rules_;
};
