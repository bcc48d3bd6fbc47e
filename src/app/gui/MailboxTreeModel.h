#pragma once

#include <QAbstractItemModel>
#include <QIcon>

#include "store/MailboxTree.h"

class TMailStore;
class TMailboxOperations;

// The mailbox tree's model over the store's nodes: a node's pictures (trash
// can empty or full, folder closed or open while selected), bold names for
// mailboxes with new messages, names edited in place except for the system
// mailboxes. The tree is small, so a change of its shape resets the model.
class TMailboxTreeModel : public QAbstractItemModel, private IMailboxTreeObserver {
    Q_OBJECT

public:
    static constexpr const char* kNodeMime = "application/x-skiffpost-mailbox";
    static constexpr int kSelectedIconRole = Qt::UserRole + 2;

    TMailboxTreeModel(TMailStore& store, TMailboxOperations& operations, QObject* parent = nullptr);
    ~TMailboxTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }

    // Node index of the store's tree <-> model index.
    int NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOfNode(int node) const;
    static int NodeOf(const QMimeData* mime);
    // The icon the image number of a node stands for.
    QIcon Image(int image) const;

signals:
    // The store asks for a node to be brought into view.
    void Reveal(const QModelIndex& index);
    // The shape of the tree changed; expansion should be restored.
    void Rebuilt();

private:
    void TreeAboutToBeReset() override { beginResetModel(); }
    void TreeReset() override;
    void NodeAboutToBeInserted(int) override { beginResetModel(); }
    void NodeInserted(int) override { TreeReset(); }
    void NodesAboutToBeRemoved(int, int) override { beginResetModel(); }
    void NodesRemoved(int, int) override { TreeReset(); }
    void NodeChanged(int index) override;
    void NodeRevealed(int index) override { emit Reveal(IndexOfNode(index)); }

    TMailStore& store_;
    TMailboxOperations& operations_;
    QIcon images_[4];
    QIcon folder_;  // closed, open while selected
};
