#pragma once

#include "book/AddressList.h"
#include "common/gui/ListRowsModel.h"

// The "Address Book" page's rows: "Member Name", "Email Address",
// "Phone Number", "Fax Number".
class TAddressListModel : public TListRowsModel {
    Q_OBJECT

public:
    TAddressListModel(TAddressList& list, TListFileContext context, QObject* parent = nullptr);
    // Adds the members of a nickname file and writes the book; how many.
    int Import(std::string_view nicknameFile);

    // Rows are dragged as the names of their members (stored form), so that
    // a composer's recipient field can take them.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
    // The member names a drag carries, in list order; none when it is no
    // drag of members.
    static std::vector<std::string> NamesOf(const QMimeData* mime);
    static constexpr const char* kMembersMime = "application/x-skiffpost-members";

private:
    TAddressList& book_;
};
