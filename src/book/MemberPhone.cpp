#include "book/MemberPhone.h"

#include "book/AddressList.h"
#include "book/MemberFields.h"

namespace memberphone {

std::optional<std::string> Find(const TAddressList& book, std::string_view name) {
    for (const TListRow& row : book.Rows()) {
        if (row.caption != name) continue;
        return row.SubItem(memberfield::Phone);
    }
    return std::nullopt;
}

}  // namespace memberphone
