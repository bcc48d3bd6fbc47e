#include "book/gui/AddressListModel.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>
#include <algorithm>

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

Qt::ItemFlags TAddressListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = TListRowsModel::flags(index);
    if (index.isValid()) f |= Qt::ItemIsDragEnabled;
    return f;
}

QStringList TAddressListModel::mimeTypes() const { return {QString::fromLatin1(kMembersMime)}; }

QMimeData* TAddressListModel::mimeData(const QModelIndexList& indexes) const {
    std::vector<int> rows;
    for (const QModelIndex& i : indexes)
        if (i.isValid() && std::find(rows.begin(), rows.end(), i.row()) == rows.end()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    for (const int r : rows) {
        const std::string& name = Row(r).caption;
        out << QByteArray(name.data(), static_cast<qsizetype>(name.size()));
    }
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kMembersMime), bytes);
    return mime;
}

std::vector<std::string> TAddressListModel::NamesOf(const QMimeData* mime) {
    std::vector<std::string> names;
    if (!mime || !mime->hasFormat(QString::fromLatin1(kMembersMime))) return names;
    QDataStream in(mime->data(QString::fromLatin1(kMembersMime)));
    while (!in.atEnd()) {
        QByteArray name;
        in >> name;
        if (in.status() != QDataStream::Ok) break;
        names.emplace_back(name.constData(), static_cast<std::size_t>(name.size()));
    }
    return names;
}
