#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/ListFile.h"

// The recipients of an outgoing message as the SMTP client takes them: the
// record's To, CC and BCC texts split at commas, with address-book member
// names replaced by the members' addresses.
struct TRecipientList {
    std::vector<std::string> to, cc, bcc;

    // Entries of a recipient text: blanks and commas skipped, the text up to
    // the next comma taken and trimmed of blanks.
    static std::vector<std::string> Split(std::string_view text);

    // Replaces every entry that names a member of the address book
    // ("Internet.pab" rows; names compared without regard to case, first
    // match in book order) by the member's addresses: a single-address
    // member named in To stays in To, a CC or BCC list named in To goes to
    // CC or BCC, and any member named in CC or BCC stays in that list.
    // Added entries are examined in their turn. A member's addresses go into
    // a list once: a list that names itself or another list already
    // expanded ends instead of growing without end, and a name whose
    // addresses are in its target list already is dropped; a member named in
    // To and in CC adds to both.
    void ExpandBook(const std::vector<TListRow>& book);
};
