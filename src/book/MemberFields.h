#pragma once

#include <cstddef>

// The nine sub-items of an address-book row (its caption is the member's
// name), in the order of "Internet.pab".
namespace memberfield {

enum : std::size_t {
    Email = 0,  // the one address, or the list caption below
    Phone = 1,
    Fax = 2,
    Postal = 3,     // lines joined with 0x02
    ListKind = 4,   // "0" single address, "1" CC list, "2" BCC list
    Notes = 5,      // lines joined with 0x02
    Addresses = 6,  // every address, joined with 0x02
    Signature = 7,  // signature name or empty
    Format = 8,     // "0" plain text, "1" rich text
    Count = 9,
};

inline constexpr const char* kCcList = "Carbon Copy List...";
inline constexpr const char* kBccList = "Blind Carbon Copy List...";

}  // namespace memberfield
