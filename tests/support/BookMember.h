#pragma once

#include <string>

#include "book/MemberFields.h"
#include "common/ListFile.h"

// An address-book row with a name and its addresses (joined with 0x02), the
// other fields empty.
inline TListRow BookMember(const std::string& name, const std::string& addresses) {
    TListRow row;
    row.caption = name;
    row.subItems.assign(memberfield::Count, "");
    row.subItems[memberfield::Addresses] = addresses;
    return row;
}
