#pragma once

#include <string>
#include <string_view>

// The "tel:" link (RFC 3966) a desktop dialer takes for a number as the user
// typed it: "+49 (30) 555-0100" becomes "tel:+49305550100".
namespace tellink {

inline constexpr const char* kScheme = "tel:";

// Digits, "*" and "#" (escaped, since "#" would start the link's fragment)
// and the pause characters "p" and "w" that dialers act on after the call
// connects (an extension's digits) are kept; a "+" counts only in front, as
// the mark of an international number. Blanks, "-", ".", "(" and ")" are
// the visual separators a dialer does without, and anything else cannot be
// dialed at all. An empty number gives a bare "tel:".
std::string FromNumber(std::string_view number);

}  // namespace tellink
