#pragma once

#include <string>

#include "spell/WordWalker.h"

class ISpellText;
class SpellEngine;
class TSpellLists;

// What the user chose for an unknown word; the numbers are the suggestion
// dialog's result codes.
enum class TSpellAnswer : int {
    Waiting = 0,
    Cancel = 100,
    Change = 101,
    Add = 102,
    Ignore = 103,
    IgnoreAll = 104,
    ChangeAll = 105
};

// The user's side of a check: showing a word, asking about it, and letting
// the user interface run between words.
class ISpellUser {
public:
    virtual ~ISpellUser() = default;
    // Shows an unknown word in the text before it is changed or asked about.
    virtual void Highlight(const TWordSpan& word) = 0;
    // What to do with an unknown word; a change puts its text in replacement.
    virtual TSpellAnswer Ask(const TWordSpan& word, std::string& replacement) = 0;
    // Called between words; true when the user cancelled meanwhile.
    virtual bool Pump() = 0;
};

// Checks the words of a range of a text against the dictionaries: unknown
// words that are not ignored for the run are changed at once when the run
// holds a change for them, or else put to the user, and the answer is acted on.
class TSpellCheck {
public:
    struct TResult {
        bool cancelled = false;
        int checked = 0;   // words looked up
        int unknown = 0;   // words highlighted
        int replaced = 0;  // words changed in the text
    };

    // userIdentity is the user dictionary's identity, 0 or less when words cannot be added.
    TSpellCheck(SpellEngine& engine, TSpellLists& lists, int userIdentity);

    TResult Run(ISpellText& text, TTextPoint from, TTextPoint to, ISpellUser& user);

private:
    SpellEngine& engine_;
    TSpellLists& lists_;
    int userIdentity_;
};
