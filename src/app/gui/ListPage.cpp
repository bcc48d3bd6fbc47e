#include "app/gui/ListPage.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>

#include "app/gui/FMListView.h"
#include "app/gui/PopupMenus.h"

TListPage::TListPage(TFMListView* list, QObject* parent) : TMainPage(parent), list_(list) {
    connect(qApp, &QApplication::focusChanged, this, [this] { emit CommandsChanged(); });
    list_->installEventFilter(this);
}

bool TListPage::eventFilter(QObject* watched, QEvent* event) {
    // The Delete key removes the selected row, as "&Delete" does. Compared
    // by address: the list may be going while its last events arrive.
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            Run(TPageCommand::Delete);
            return true;
        }
    }
    return TMainPage::eventFilter(watched, event);
}

QWidget* TListPage::Widget() const { return list_; }

void TListPage::ShowRows(QAbstractItemModel& model) {
    list_->setModel(&model);
    list_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { emit CommandsChanged(); });
    connect(&model, &QAbstractItemModel::modelReset, this, [this] { emit CommandsChanged(); });
    connect(&model, &QAbstractItemModel::rowsRemoved, this, [this] { emit CommandsChanged(); });
    connect(list_, &QAbstractItemView::doubleClicked, this, [this] { Run(TPageCommand::Edit); });
}

int TListPage::SelectedRow() const {
    if (!list_->selectionModel()) return -1;
    const QModelIndex current = list_->selectionModel()->currentIndex();
    if (current.isValid() && list_->selectionModel()->isRowSelected(current.row(), {})) return current.row();
    const auto rows = list_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void TListPage::Select(int row) {
    if (!list_->model() || row < 0 || row >= list_->model()->rowCount()) return;
    const QModelIndex index = list_->model()->index(row, 0);
    list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list_->scrollTo(index);
    list_->setFocus();
}

bool TListPage::HasSelection() const {
    return list_->model() && list_->selectionModel() && list_->selectionModel()->hasSelection();
}

bool TListPage::Enabled(TPageCommand command) const {
    switch (command) {
        case TPageCommand::SelectAll:
            return list_->model() && list_->model()->rowCount() > 0;
        default:
            // Every other command needs rows and the page's dialogs.
            return false;
    }
}

void TListPage::Run(TPageCommand command) {
    if (!Enabled(command)) return;
    if (command == TPageCommand::SelectAll) list_->selectAll();
}

void TListPage::SetPopup(QMenu* popup) {
    TPopupMenus::Attach(list_, popup);
    // The items are refreshed when the menu opens; the actions are the
    // popup's own, named after their command.
    connect(popup, &QMenu::aboutToShow, this, [this, popup] {
        for (QAction* item : popup->actions()) {
            const QVariant command = item->property(TPopupMenus::kCommandProperty);
            if (command.isValid()) item->setEnabled(Enabled(static_cast<TPageCommand>(command.toInt())));
        }
    });
    for (QAction* item : popup->actions()) {
        const QVariant command = item->property(TPopupMenus::kCommandProperty);
        if (!command.isValid()) continue;
        connect(item, &QAction::triggered, this, [this, command] { Run(static_cast<TPageCommand>(command.toInt())); });
    }
}
