#include "config/gui/AccountListModel.h"

#include <cerrno>
#include <utility>

#include "common/ListName.h"
#include "common/UserPrompt.h"
#include "common/gui/QtText.h"

TAccountListModel::TAccountListModel(TAccountList& list, TBusyFlag& listFill, IEventPump& pump, IUserPrompt& prompt,
                                     QObject* parent)
    : QAbstractTableModel(parent), list_(list), listFill_(listFill), pump_(pump), prompt_(prompt) {}

int TAccountListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.Accounts().size());
}

int TAccountListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant TAccountListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    const TAccount& a = Account(index.row());
    switch (index.column()) {
        case 0:
            return qttext::FromStored(a.alias);
        case 1:
            return qttext::FromStored(a.popServer);
        case 2:
            return qttext::FromStored(a.smtpServer);
        default:
            return {};
    }
}

QVariant TAccountListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kHeaders[] = {"Server Name", "Pop Server", "SMTP Server"};
    return section >= 0 && section < 3 ? QVariant(QString::fromLatin1(kHeaders[section])) : QVariant();
}

Qt::ItemFlags TAccountListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0) f |= Qt::ItemIsEditable;
    return f;
}

bool TAccountListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != 0) return false;
    return Rename(index.row(), value.toString());
}

int TAccountListModel::AddNew() {
    const int row = rowCount();
    beginInsertRows({}, row, row);
    list_.AddNew();
    endInsertRows();
    return row;
}

void TAccountListModel::SetAccount(int row, const TAccount& fields) {
    if (row < 0 || row >= rowCount()) return;
    TAccount* a = list_.Find(Account(row).alias);
    if (!a) return;
    // The dialog does not show the certificates the user chose to trust;
    // they stay with the account while it talks to the same server. Trust
    // given to one server's certificate never passes to another's.
    TAccount updated = fields;
    updated.alias = a->alias;
    updated.popFingerprint = fields.popServer == a->popServer ? a->popFingerprint : std::string();
    updated.smtpFingerprint = fields.smtpServer == a->smtpServer ? a->smtpFingerprint : std::string();
    *a = std::move(updated);
    emit dataChanged(index(row, 0), index(row, 2));
    emit Changed();
}

void TAccountListModel::Discard(int row) {
    if (row < 0 || row >= rowCount()) return;
    beginRemoveRows({}, row, row);
    // A row the dialog made has no seen file yet; only the row goes.
    list_.RemoveAt(static_cast<std::size_t>(row));
    endRemoveRows();
    emit Changed();
}

bool TAccountListModel::Remove(int row) {
    if (row < 0 || row >= rowCount()) return false;
    const std::string alias = Account(row).alias;
    beginRemoveRows({}, row, row);
    const bool saved = list_.Remove(alias, listFill_, pump_);
    const int error = errno;
    endRemoveRows();
    // Reported once the writer has released the list-fill flag.
    if (!saved) prompt_.Error(listname::SaveFailureText("internet servers", list_.ListPath(), error));
    emit Changed();
    return saved;
}

bool TAccountListModel::Rename(int row, const QString& alias) {
    if (row < 0 || row >= rowCount()) return false;
    const bool renamed = list_.Rename(Account(row).alias, qttext::ToStored(alias), prompt_, listFill_, pump_);
    if (renamed) emit dataChanged(index(row, 0), index(row, 0));
    // The Check button's menu follows in every case.
    emit Changed();
    return renamed;
}

bool TAccountListModel::Save() { return list_.Save(listFill_, pump_, prompt_); }

void TAccountListModel::Reload() {
    beginResetModel();
    list_.Load();
    endResetModel();
    emit Changed();
}
