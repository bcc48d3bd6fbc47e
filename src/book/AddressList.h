#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book/MemberFields.h"
#include "common/NamedRowList.h"

// The rows of the "Address Book" page: the member name and nine sub-items
// each, kept in name order and stored in "Internet.pab".
class TAddressList : public TNamedRowList {
public:
    static constexpr const char* kNewName = "New Member";

    TAddressList() : TNamedRowList({kNewName, "member", "address book", memberfield::Count, true}) {}

    // A member's addresses (sub-item 6 split into lines); none for an
    // unknown name (compared without regard to case).
    std::vector<std::string> AddressesOf(const std::string& name) const;
};
