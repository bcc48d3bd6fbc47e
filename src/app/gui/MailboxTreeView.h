#pragma once

#include <QStringList>
#include <QTreeView>

#include "store/MailboxTree.h"

// The mailbox tree of the "Mail Messages" page. A press on empty space
// unselects every node, so that no mailbox is viewed; a press on a node
// selects it, so a right click acts on the node under the mouse. Rows of the
// message list and nodes of the tree may be dropped on it; what a drop means
// is left to the signals' receiver.
class TMailboxTreeView : public QTreeView {
    Q_OBJECT

public:
    explicit TMailboxTreeView(QWidget* parent = nullptr);

    // The local files of a drop (text/uri-list), empty when none.
    static QStringList LocalFiles(const QMimeData* mime);

    // The node under a point of the viewport, -1 below all nodes.
    int NodeAt(const QPoint& at) const;

signals:
    // Rows of the message list are dragged over a node (-1: none).
    void RowsDraggedOver(int node);
    void RowsDropped(int node, const QList<int>& handles);
    void NodeDropped(int node, TMailboxTree::Place place, int target);
    // Files of the desktop (an mbox, .eml files) dropped on a node.
    void FilesDropped(int node, const QStringList& paths);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
