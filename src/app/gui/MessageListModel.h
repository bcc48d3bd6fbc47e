#pragma once

#include <QAbstractTableModel>
#include <QIcon>

#include "store/MessageRows.h"

class TMailStore;

// The message list's model over the rows of the viewed mailbox: the columns
// "Subject", "Who", "Date", "S" and "A", unread rows in bold, the attachment
// picture in "A". Rows travel in drags as their handles. Only outgoing
// messages (queued or sent) may have their subject edited.
class TMessageListModel : public QAbstractTableModel, private IMessageRowsObserver {
    Q_OBJECT

public:
    static constexpr const char* kRowsMime = "application/x-skiffpost-rows";
    static constexpr int kHandleRole = Qt::UserRole + 1;

    explicit TMessageListModel(TMailStore& store, QObject* parent = nullptr);
    ~TMessageListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    // One order per click: ascending Subject and Who, descending S and A, by
    // the locale's comparison of the texts; Date newest first in time. The
    // order argument is not used, so that a second click on a column gives
    // the same order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The handles carried by a drag of rows.
    static QList<int> HandlesOf(const QMimeData* mime);
    int HandleAt(int row) const;
    bool Editable(int row) const;

private:
    void RowsAboutToBeReset() override { beginResetModel(); }
    void RowsReset() override { endResetModel(); }
    void RowAboutToBeInserted(int position) override { beginInsertRows({}, position, position); }
    void RowInserted(int) override { endInsertRows(); }
    void RowAboutToBeRemoved(int position) override { beginRemoveRows({}, position, position); }
    void RowRemoved(int) override { endRemoveRows(); }
    void RowChanged(int position) override;
    const std::string& Cell(const TMessageRow& row, int column) const;

    TMailStore& store_;
    QIcon attachment_;
};
