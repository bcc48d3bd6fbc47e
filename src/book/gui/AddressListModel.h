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

private:
    TAddressList& book_;
};
