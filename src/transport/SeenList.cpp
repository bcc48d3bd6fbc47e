#include "transport/SeenList.h"

#include "transport/MessageIdentity.h"

TSeenList::TSeenList(const std::vector<std::string>& lines) {
    for (const auto& line : lines) {
        const bool current = messageidentity::IsCurrent(line);
        ++(current ? current_ : legacy_)[line];
        if (!messageidentity::IsUid(line)) ++headerLinesLeft_;
    }
}

bool TSeenList::NeedsHeaders() const { return headerLinesLeft_ > 0; }

bool TSeenList::TakeFrom(std::unordered_map<std::string, int>& lines, const std::string& key) {
    const auto it = lines.find(key);
    if (it == lines.end() || it->second == 0) return false;
    --it->second;
    return true;
}

bool TSeenList::Take(const std::string& identity, const std::string& legacy) {
    if (TakeFrom(current_, identity)) {
        if (!messageidentity::IsUid(identity)) --headerLinesLeft_;
        return true;
    }
    if (!TakeFrom(legacy_, legacy)) return false;
    --headerLinesLeft_;
    return true;
}
