#include "app/gui/FMListView.h"

#include <QDrag>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QStandardItemModel>

TFMListView::TFMListView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);  // lets a list of 100,000 rows scroll without measuring each
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
}

void TFMListView::SetColumns(const QStringList& captions, const QList<int>& widths) {
    auto* placeholder = new QStandardItemModel(0, static_cast<int>(captions.size()), this);
    placeholder->setHorizontalHeaderLabels(captions);
    setModel(placeholder);
    for (int i = 0; i < widths.size() && i < captions.size(); ++i) setColumnWidth(i, widths[i]);
}

int TFMListView::ColumnCount() const { return model() ? model()->columnCount() : 0; }

void TFMListView::mousePressEvent(QMouseEvent* event) {
    if (!indexAt(event->position().toPoint()).isValid()) return;  // empty space keeps the selection
    QTreeView::mousePressEvent(event);
}

void TFMListView::startDrag(Qt::DropActions supportedActions) {
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    if (rows.isEmpty() || !model()) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(model()->mimeData(rows));
    drag->exec(supportedActions);  // no pixmap: rows travel without a drag image
    emit DragFinished();
}
