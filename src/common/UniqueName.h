#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The name a new mailbox, filter, member, signature or account takes: the base
// name when it is free, else the first of "Base (2)", "Base (3)", ... that is.
namespace uniquename {

// isTaken answers whether a candidate is already used.
std::string Make(std::string_view base, const std::function<bool(std::string_view)>& isTaken);
// Names compare without regard to case.
std::string Make(std::string_view base, const std::vector<std::string>& existing);

}  // namespace uniquename
