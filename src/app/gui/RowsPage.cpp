#include "app/gui/RowsPage.h"

#include "app/gui/FMListView.h"
#include "common/gui/ListRowsModel.h"

TRowsPage::TRowsPage(TFMListView* list, TListRowsModel& model, QObject* parent)
    : TListPage(list, parent), model_(model) {
    ShowRows(model);
    connect(&model, &TListRowsModel::RowRenamed, this, &TRowsPage::Select);
}

QWidget* TRowsPage::DialogParent() const { return List()->window(); }

bool TRowsPage::Enabled(TPageCommand command) const {
    switch (command) {
        case TPageCommand::New:
            return true;
        case TPageCommand::Edit:
        case TPageCommand::Rename:
        case TPageCommand::Delete:
            return SelectedRow() >= 0;
        case TPageCommand::Import:
            return CanImport();
        case TPageCommand::SelectAll:
            return model_.rowCount() > 0;
        case TPageCommand::Export:
        case TPageCommand::Print:
            return false;
    }
    return false;
}

void TRowsPage::Run(TPageCommand command) {
    if (!Enabled(command)) return;
    switch (command) {
        case TPageCommand::New:
            NewRow();
            break;
        case TPageCommand::Edit:
            EditRow();
            break;
        case TPageCommand::Rename:
            List()->edit(model_.index(SelectedRow(), 0));
            break;
        case TPageCommand::Delete:
            model_.Remove(SelectedRow());
            break;
        case TPageCommand::Import:
            Import();
            break;
        case TPageCommand::SelectAll:
            List()->selectAll();
            break;
        case TPageCommand::Export:
        case TPageCommand::Print:
            break;
    }
}

void TRowsPage::NewRow() { EditNewRow(model_.AddNew()); }

void TRowsPage::EditNewRow(int row) {
    Select(row);
    if (OpenDialog(row))
        model_.Commit();
    else
        model_.Discard(row);
}

void TRowsPage::EditRow() {
    const int row = SelectedRow();
    if (row < 0) return;
    const TListRow kept = model_.Row(row);
    if (OpenDialog(row))
        model_.Commit();
    else
        model_.Restore(row, kept);
}
