#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/ListFile.h"

class IFilterActions;

// Applies the filters to one message: incoming messages with mask 1,
// outgoing ones with mask 2.
namespace filterengine {

inline constexpr unsigned kIncoming = 1;
inline constexpr unsigned kOutgoing = 2;

// Whether the rule of a filter holds for the address text and subject. A
// filter with neither an address nor a subject term never matches.
bool Matches(const TListRow& filter, const std::string& address, const std::string& subject);

// Runs every filter in list order. target starts as the caller's mailbox; a
// matching filter whose "Move Message To" names a mailbox of the tree
// replaces it (cut to maxMailboxLength), so the last such filter decides.
void Apply(const std::vector<TListRow>& filters, const std::string& address, const std::string& subject, unsigned mask,
           const std::string& body, std::string& target, std::size_t maxMailboxLength, IFilterActions& actions);

}  // namespace filterengine
