#pragma once

#include <QStringList>
#include <QTreeView>

// The report list of the main window's pages: several columns, whole rows
// selected, several rows at once. A press on empty space keeps the
// selection, and rows are dragged without a drag image.
class TFMListView : public QTreeView {
    Q_OBJECT

public:
    explicit TFMListView(QWidget* parent = nullptr);

    // The column captions and initial widths, used until a model is set.
    void SetColumns(const QStringList& captions, const QList<int>& widths);
    int ColumnCount() const;

signals:
    // A drag of rows has ended, dropped or not.
    void DragFinished();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
};
