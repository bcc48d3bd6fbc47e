#include "common/UniqueName.h"

#include <algorithm>

#include "common/TextUtil.h"

namespace uniquename {

std::string Make(std::string_view base, const std::function<bool(std::string_view)>& isTaken) {
    std::string candidate(base);
    for (int n = 2; isTaken(candidate); ++n) candidate = std::string(base) + " (" + std::to_string(n) + ")";
    return candidate;
}

std::string Make(std::string_view base, const std::vector<std::string>& existing) {
    return Make(base, [&](std::string_view name) {
        return std::any_of(existing.begin(), existing.end(),
                           [&](const std::string& e) { return text::EqualsNoCase(e, name); });
    });
}

}  // namespace uniquename
