#include "book/gui/AddressListModel.h"

#include "book/MemberFields.h"
#include "book/NicknameImport.h"

TAddressListModel::TAddressListModel(TAddressList& list, TListFileContext context, QObject* parent)
    : TListRowsModel(list, std::move(context),
                     {QStringLiteral("Member Name"), QStringLiteral("Email Address"), QStringLiteral("Phone Number"),
                      QStringLiteral("Fax Number")},
                     {kCaption, memberfield::Email, memberfield::Phone, memberfield::Fax}, parent),
      book_(list) {}

int TAddressListModel::Import(std::string_view nicknameFile) {
    auto rows = nickname::Parse(nicknameFile, book_.Names());
    if (rows.empty()) return 0;
    beginResetModel();
    for (auto& row : rows) book_.Add(std::move(row));
    endResetModel();
    Save();
    emit Changed();
    return static_cast<int>(rows.size());
}
