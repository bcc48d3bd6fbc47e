#pragma once

#include <string>

// The letters tried as the first letter of a suggestion, by the first
// character of the upper-cased misspelled word (Windows-1252). Each list
// holds the character itself.
class TFirstLetterTable {
public:
    static std::string LettersFor(unsigned char first);
};
