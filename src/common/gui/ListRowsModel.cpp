#include "common/gui/ListRowsModel.h"

#include "common/NamedRowList.h"
#include "common/gui/QtText.h"

TListRowsModel::TListRowsModel(TNamedRowList& list, TListFileContext context, QStringList headers,
                               std::vector<int> columns, QObject* parent)
    : QAbstractTableModel(parent),
      list_(list),
      context_(std::move(context)),
      headers_(std::move(headers)),
      columns_(std::move(columns)) {}

int TListRowsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : list_.Count(); }

int TListRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

const TListRow& TListRowsModel::Row(int row) const { return list_.Row(row); }

QString TListRowsModel::Name(int row) const {
    return row >= 0 && row < list_.Count() ? qttext::FromStored(list_.Row(row).caption) : QString();
}

int TListRowsModel::RowOf(const QString& name) const { return list_.IndexOf(qttext::ToStored(name)); }

QVariant TListRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= list_.Count() || index.column() >= columnCount()) return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    const TListRow& row = list_.Row(index.row());
    const int field = columns_[static_cast<std::size_t>(index.column())];
    return qttext::FromStored(field == kCaption ? row.caption : row.SubItem(static_cast<std::size_t>(field)));
}

QVariant TListRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= headers_.size())
        return {};
    return headers_[section];
}

Qt::ItemFlags TListRowsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && columns_[static_cast<std::size_t>(index.column())] == kCaption) f |= Qt::ItemIsEditable;
    return f;
}

bool TListRowsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || columns_[static_cast<std::size_t>(index.column())] != kCaption)
        return false;
    return Rename(index.row(), value.toString()) >= 0;
}

int TListRowsModel::AddNew() {
    beginResetModel();
    const int row = list_.AddNew();
    endResetModel();
    return row;
}

int TListRowsModel::Add(TListRow row) {
    beginResetModel();
    const int at = list_.Add(std::move(row));
    endResetModel();
    return at;
}

void TListRowsModel::SetSubItems(int row, std::vector<std::string> subItems) {
    if (row < 0 || row >= list_.Count()) return;
    list_.SetSubItems(row, std::move(subItems));
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TListRowsModel::Restore(int row, TListRow copy) {
    if (row < 0 || row >= list_.Count()) return;
    list_.Restore(row, std::move(copy));
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

bool TListRowsModel::Remove(int row) {
    if (row < 0 || row >= list_.Count()) return false;
    Discard(row);
    const bool saved = Save();
    emit Changed();
    return saved;
}

void TListRowsModel::Discard(int row) {
    if (row < 0 || row >= list_.Count()) return;
    beginRemoveRows({}, row, row);
    list_.Remove(row);
    endRemoveRows();
}

int TListRowsModel::Rename(int row, const QString& name) {
    if (row < 0 || row >= list_.Count()) return -1;
    const std::string stored = qttext::ToStored(name);
    if (stored == list_.Row(row).caption) return row;
    // The refusal boxes come before the model changes, never during one.
    if (!list_.CanRename(row, stored, context_.prompt)) return -1;
    // A move rather than a reset: views keep their selection and editors.
    const int to = list_.RenamedIndex(row, stored);
    const bool moves = to != row;
    const QString from = qttext::FromStored(list_.Row(row).caption);
    if (moves) beginMoveRows({}, row, row, {}, to > row ? to + 1 : to);
    const int moved = list_.Rename(row, stored, context_.prompt);
    if (moves) endMoveRows();
    emit dataChanged(index(moved, 0), index(moved, columnCount() - 1));
    Save();
    emit RowRenamed(moved);
    emit Renamed(from, qttext::FromStored(list_.Row(moved).caption));
    emit Changed();
    return moved;
}

bool TListRowsModel::SortByName() {
    beginResetModel();
    list_.SortByName();
    endResetModel();
    const bool saved = Save();
    emit Changed();
    return saved;
}

bool TListRowsModel::Save() { return list_.Save(context_.path, context_.listFill, context_.pump, context_.prompt); }

bool TListRowsModel::Commit() {
    const bool saved = Save();
    emit Changed();
    return saved;
}

void TListRowsModel::Reset() {
    beginResetModel();
    endResetModel();
    emit Changed();
}

void TListRowsModel::Load() {
    beginResetModel();
    list_.Load(context_.path);
    endResetModel();
    emit Changed();
}
