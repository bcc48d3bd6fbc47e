#include "app/gui/MailboxTreeView.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QMouseEvent>

#include "app/gui/MailboxTreeModel.h"
#include "app/gui/MessageListModel.h"

TMailboxTreeView::TMailboxTreeView(QWidget* parent) : QTreeView(parent) {
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
}

int TMailboxTreeView::NodeAt(const QPoint& at) const {
    const auto* tree = qobject_cast<const TMailboxTreeModel*>(model());
    return tree ? tree->NodeOf(indexAt(at)) : -1;
}

void TMailboxTreeView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex under = indexAt(event->position().toPoint());
    if (!under.isValid() || event->position().x() > visualRect(under).right()) {
        clearSelection();
        setCurrentIndex(QModelIndex());
        return;
    }
    QTreeView::mousePressEvent(event);
    if (event->button() == Qt::RightButton) {
        setCurrentIndex(under);
        setFocus();
    }
}

void TMailboxTreeView::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (mime->hasFormat(QString::fromLatin1(TMessageListModel::kRowsMime)) ||
        (mime->hasFormat(QString::fromLatin1(TMailboxTreeModel::kNodeMime)) && event->source() == this)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else if (!LocalFiles(mime).isEmpty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TMailboxTreeView::dragMoveEvent(QDragMoveEvent* event) {
    QTreeView::dragMoveEvent(event);
    const QMimeData* mime = event->mimeData();
    const bool rows = mime->hasFormat(QString::fromLatin1(TMessageListModel::kRowsMime));
    if (!rows && !LocalFiles(mime).isEmpty()) {
        // Files are imported into the node they are dropped on.
        const bool onNode = NodeAt(event->position().toPoint()) >= 0;
        event->setDropAction(Qt::CopyAction);
        if (onNode)
            event->accept();
        else
            event->ignore();
        return;
    }
    if (!rows && !mime->hasFormat(QString::fromLatin1(TMailboxTreeModel::kNodeMime))) {
        event->ignore();
        return;
    }
    if (rows) emit RowsDraggedOver(NodeAt(event->position().toPoint()));
    // Dropping is always offered; the receiver decides what it means.
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void TMailboxTreeView::dropEvent(QDropEvent* event) {
    const QPoint at = event->position().toPoint();
    const QMimeData* mime = event->mimeData();
    const int node = NodeAt(at);
    if (mime->hasFormat(QString::fromLatin1(TMessageListModel::kRowsMime))) {
        event->setDropAction(Qt::CopyAction);  // the rows are moved here, not by the source
        event->accept();
        if (node >= 0) emit RowsDropped(node, TMessageListModel::HandlesOf(mime));
    } else if (mime->hasFormat(QString::fromLatin1(TMailboxTreeModel::kNodeMime))) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        const int dragged = TMailboxTreeModel::NodeOf(mime);
        if (node < 0)
            emit NodeDropped(dragged, TMailboxTree::Place::LastTopLevel, -1);
        else if (at.x() < visualRect(indexAt(at)).left())
            emit NodeDropped(dragged, TMailboxTree::Place::Before, node);
        else
            emit NodeDropped(dragged, TMailboxTree::Place::FirstChildOf, node);
    } else if (const QStringList files = LocalFiles(mime); !files.isEmpty() && node >= 0) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        emit FilesDropped(node, files);
    } else {
        event->ignore();
    }
    stopAutoScroll();
    setState(QAbstractItemView::NoState);
    viewport()->update();
}

QStringList TMailboxTreeView::LocalFiles(const QMimeData* mime) {
    QStringList files;
    if (!mime || !mime->hasUrls()) return files;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) files.push_back(url.toLocalFile());
    return files;
}
