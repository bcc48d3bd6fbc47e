#pragma once

#include <optional>
#include <string>
#include <string_view>

class TAddressList;

// The phone dialer's lookup of a member by the name in its chooser.
namespace memberphone {

// The phone number of the first member, in book order, whose name is
// exactly name, letter case included (the dialer asks the user to add a
// name it cannot find rather than guess between "ann" and "Ann"); nothing
// when no member has that name. A member without a number gives "".
std::optional<std::string> Find(const TAddressList& book, std::string_view name);

}  // namespace memberphone
