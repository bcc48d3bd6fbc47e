#pragma once

#include <string>
#include <string_view>

// Writes a suggestion the way the misspelled word was typed: all capitals
// stay capitals; otherwise lower case with a capital wherever the typed word
// has one at the same letter.
class TCapitalisation {
public:
    static std::string Apply(std::string_view suggestion, std::string_view typed);
};
