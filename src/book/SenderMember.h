#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/ListFile.h"

// The address-book row that "&From" of the reader makes for a message's
// sender: named after the sender's display name, unique among the members
// (without regard to case), holding the sender's mailbox address.
namespace sendermember {

// from: the message's From text ("Ann Smith <ann@example.org>").
// members: the names the book has. A sender without a display name is
// named after the address; one without either is a "New Member". Commas
// leave the name ("Doe, Jane" gives "Doe Jane"), as a name in a recipient
// field must not split.
TListRow Row(std::string_view from, const std::vector<std::string>& members);

}  // namespace sendermember
