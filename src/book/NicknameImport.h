#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/ListFile.h"

// The nickname file of another mail program ("nndbase.txt") as address-book
// rows. Only lines beginning with "alias" (a nickname and its addresses) and
// "note" (the notes of the alias before it, with <name:>, <phone:>, <fax:>
// and <address:> tags) count.
namespace nickname {

// Takes one word from the front of text: blanks and commas are skipped, the
// word runs to the next blank or comma, and a word opening with a double
// quote runs on over further words (joined by one blank) until one closes
// it; the outer quotes go.
std::string TakeWord(std::string& text);

// The members of a nickname file. Names are made unique among existing and
// among each other the way a new member's name is.
std::vector<TListRow> Parse(std::string_view content, std::vector<std::string> existingNames);

}  // namespace nickname
