#include "app/gui/FilterPage.h"

#include "app/gui/FMListView.h"
#include "book/gui/FilterListModel.h"
#include "book/gui/FiltersForm.h"

TFilterPage::TFilterPage(TFMListView* list, TFilterListModel& model, std::function<QStringList()> mailboxes,
                         std::function<QStringList()> members, QObject* parent)
    : TRowsPage(list, model, parent), mailboxes_(std::move(mailboxes)), members_(std::move(members)) {}

bool TFilterPage::OpenDialog(int row) {
    TFiltersForm dialog(mailboxes_(), TFiltersForm::SystemPrinters(), members_(), DialogParent());
    dialog.Load(Model().Row(row).subItems);
    connect(&dialog, &TFiltersForm::Applied, this,
            [this, row](const std::vector<std::string>& items) { Model().SetSubItems(row, items); });
    return dialog.exec() == QDialog::Accepted;
}
