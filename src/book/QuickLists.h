#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/ListFile.h"

// The three recipient lists of the quick addressee book, taken from the
// composer's To, CC and BCC fields and given back to them. A recipient is
// in at most one list: adding one that any list holds already (letter case
// ignored) adds nothing, so a correspondent never gets the message twice.
class TQuickLists {
public:
    enum TPage : int { To = 0, CC = 1, BCC = 2 };
    static constexpr int kPages = 3;

    // The fields split at commas, as the send splits them.
    void Load(std::string_view to, std::string_view cc, std::string_view bcc);

    // Adds a recipient (its blanks trimmed) to a list; false when it is
    // blank or already in one of the three.
    bool Add(int page, std::string_view value);
    // Removes one entry; an index out of range removes nothing.
    void Remove(int page, int index);
    bool Contains(std::string_view value) const;

    const std::vector<std::string>& Entries(int page) const;
    // The entries joined with ", " (an empty list gives an empty field).
    std::string Joined(int page) const;

    // A member's addresses (sub-item 6 split into lines, empty lines left
    // out): the first member of the book of that name, letter case ignored.
    static std::vector<std::string> MemberAddresses(const std::vector<TListRow>& book, std::string_view name);

private:
    std::array<std::vector<std::string>, kPages> lists_;
};
