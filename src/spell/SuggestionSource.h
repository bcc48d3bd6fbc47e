#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

class DictionarySection;
class TLetterToSoundRules;

// What a suggestion search reads: the open dictionary sections in search
// order and the letter-to-sound rules. The engine that owns them starts the
// searches, so the search knows it only through this face.
class ISuggestionSource {
public:
    // The longest word a dictionary tree holds.
    static constexpr std::size_t kMaxWordLength = 25;

    virtual ~ISuggestionSource() = default;

    // Reads the user dictionaries again where another program changed them;
    // thorough asks the file system even when their headers look unchanged.
    virtual void Refresh(bool thorough) = 0;
    // Lookup of an upper-cased word without the refresh, for searches that refreshed already.
    virtual bool LookupUpper(std::string_view upper) = 0;
    virtual const std::vector<std::unique_ptr<DictionarySection>>& Sections() const = 0;
    virtual const TLetterToSoundRules& Rules() const = 0;
};
