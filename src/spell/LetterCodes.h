#pragma once

#include <string>
#include <string_view>

// The 64 letters a dictionary node can hold (6-bit codes over Windows-1252)
// and the upper-case mapping words go through before they meet a tree.
class TLetterCodes {
public:
    static constexpr int kCodeCount = 64;

    // The character of a node's flags byte; only the low six bits count.
    static unsigned char Decode(unsigned char flags);
    // The code of a character; characters outside the table give 0 (the code of "A").
    static unsigned char Encode(unsigned char c);
    // Whether the character has a code of its own (or is the lower case of one).
    static bool HasCode(unsigned char c);
    // Whether every character of the text has a code of its own.
    static bool AllHaveCodes(std::string_view word);

    static unsigned char Upper(unsigned char c);
    static std::string Upper(std::string_view word);
    // The inverse of Upper for the letters it changes.
    static unsigned char Lower(unsigned char c);
    static bool IsLower(unsigned char c);
    static bool IsUpper(unsigned char c);
    // Letters without a case partner in the mapping (0xD0, 0xDF, 0xF0) are
    // letters but neither upper nor lower case.
    static bool IsLetter(unsigned char c) { return IsLower(c) || IsUpper(c) || c == 0xD0 || c == 0xDF || c == 0xF0; }
};
