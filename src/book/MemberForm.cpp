#include "book/MemberForm.h"

#include <algorithm>

#include "book/MemberFields.h"
#include "common/ListName.h"

namespace mf = memberfield;

TMemberForm TMemberForm::FromRow(const TListRow& row) {
    TMemberForm form;
    form.richText = row.SubItem(mf::Format) == "1";
    form.addresses = listfile::SplitLines(row.SubItem(mf::Addresses));
    form.postal = listfile::SplitLines(row.SubItem(mf::Postal));
    form.notes = listfile::SplitLines(row.SubItem(mf::Notes));
    form.signature = row.SubItem(mf::Signature);
    form.phone = row.SubItem(mf::Phone);
    form.fax = row.SubItem(mf::Fax);
    const std::string& kind = row.SubItem(mf::ListKind);
    form.distribution = kind == "1" ? TDistribution::CC : kind == "2" ? TDistribution::BCC : TDistribution::None;
    return form;
}

void TMemberForm::ApplyTo(TListRow& row) const {
    row.subItems.resize(std::max(row.subItems.size(), std::size_t{mf::Count}));
    const auto addressLines = listname::CleanLines(addresses);
    row.SetSubItem(mf::Addresses, listfile::JoinLines(addressLines));
    row.SetSubItem(mf::Postal, listfile::JoinLines(listname::CleanLines(postal)));
    row.SetSubItem(mf::Notes, listfile::JoinLines(listname::CleanLines(notes)));
    row.SetSubItem(mf::Format, richText ? "1" : "0");
    if (!HasDistributionChoice(addressLines)) {
        row.SetSubItem(mf::Email, addressLines.empty() ? std::string() : addressLines.front());
        row.SetSubItem(mf::ListKind, "0");
    } else if (distribution == TDistribution::BCC) {
        row.SetSubItem(mf::Email, mf::kBccList);
        row.SetSubItem(mf::ListKind, "2");
    } else {
        // The dialog checks "CC" whenever the choice becomes possible.
        row.SetSubItem(mf::Email, mf::kCcList);
        row.SetSubItem(mf::ListKind, "1");
    }
    row.SetSubItem(mf::Phone, listname::CleanField(phone));
    row.SetSubItem(mf::Fax, listname::CleanField(fax));
    row.SetSubItem(mf::Signature, listname::CleanField(signature));
}
