#include "compose/SignatureList.h"

#include "common/ListName.h"

TSignatureList::TSignatureList() : TNamedRowList({kNewName, "signature", "signature files", 1, false}) {
    Add({kDefaultName, {""}});
}

void TSignatureList::Load(const std::string& path) {
    MutableRows().clear();
    Add({kDefaultName, {""}});
    for (auto& row : listfile::Read(path)) {
        if (IndexOf(row.caption) >= 0 || !listname::IsStorable(row.caption)) continue;
        row.subItems.resize(1);
        Add(std::move(row));
    }
}

std::vector<std::string> TSignatureList::Lines(int index) const { return listfile::SplitLines(Row(index).SubItem(0)); }

void TSignatureList::SetLines(int index, const std::vector<std::string>& lines) {
    SetSubItems(index, {listfile::JoinLines(listname::CleanLines(lines))});
}
