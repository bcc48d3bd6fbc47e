#pragma once

#include <string>
#include <string_view>

// The parts of a recipient as the user wrote it: "Name <address>",
// "address (Name)" or a bare address.
namespace recipient {

std::string AddressOf(std::string_view entry);
std::string NameOf(std::string_view entry);

}  // namespace recipient
