#include "transport/SeenList.h"

#include "transport/MessageIdentity.h"

TSeenList::TSeenList(const std::vector<std::string>& lines) {
    for (const auto& line : lines) ++(messageidentity::IsCurrent(line) ? current_ : legacy_)[line];
}

bool TSeenList::TakeFrom(std::unordered_map<std::string, int>& lines, const std::string& key) {
    const auto it = lines.find(key);
    if (it == lines.end() || it->second == 0) return false;
    --it->second;
    return true;
}

bool TSeenList::Take(const std::string& identity, const std::string& legacy) {
    return TakeFrom(current_, identity) || TakeFrom(legacy_, legacy);
}
