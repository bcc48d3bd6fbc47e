#include "book/AddressList.h"

std::vector<std::string> TAddressList::AddressesOf(const std::string& name) const {
    const int index = IndexOf(name);
    if (index < 0) return {};
    return listfile::SplitLines(Row(index).SubItem(memberfield::Addresses));
}
