#pragma once

#include <string>
#include <string_view>

// The lines of a text being spell checked, as the checker sees them: one
// Windows-1252 byte per column, so columns are positions in the line. A
// letter the code page lacks ("ř" of "Dvořák", any letter of another
// script) reads as kOtherLetter, so that it stays inside its word; no
// dictionary holds that byte, so such a word is always asked about.
// The text may change between two calls (the user can type while the
// checker waits), so every call reads it afresh.
inline constexpr char kOtherLetter = '\x81';  // a byte Windows-1252 leaves unassigned

class ISpellText {
public:
    virtual ~ISpellText() = default;
    virtual int LineCount() const = 0;
    // An empty line for a line that does not exist (any more). The view
    // holds until the next call or the next change of the text.
    virtual std::string_view Line(int line) const = 0;
    // Replaces length columns from start with the text; false when the
    // columns no longer hold the expected word, and nothing changed.
    virtual bool Replace(int line, int start, std::string_view expected, std::string_view text) = 0;
};
