#pragma once

#include <string>
#include <vector>

#include "common/ListFile.h"

// What the member dialog shows of one address-book row, and the rules that
// turn it back into the row's sub-items.
struct TMemberForm {
    enum class TDistribution { None, CC, BCC };

    std::vector<std::string> addresses;  // one per line
    std::vector<std::string> postal;
    std::vector<std::string> notes;
    std::string phone;
    std::string fax;
    std::string signature;
    TDistribution distribution = TDistribution::None;
    bool richText = false;

    // With fewer than two addresses the list has no distribution choice.
    static bool HasDistributionChoice(const std::vector<std::string>& addresses) { return addresses.size() >= 2; }

    static TMemberForm FromRow(const TListRow& row);
    // Writes the form into the row's sub-items; the name stays.
    void ApplyTo(TListRow& row) const;
    friend bool operator==(const TMemberForm&, const TMemberForm&) = default;
};
