#include "app/gui/AccountPage.h"

#include "app/gui/FMListView.h"
#include "common/gui/QtText.h"
#include "config/gui/AccountListModel.h"
#include "config/gui/FrmAccounts.h"

TAccountPage::TAccountPage(TFMListView* list, TAccountListModel& model, IUserPrompt& prompt,
                           std::function<void()> showPage, QObject* parent)
    : TListPage(list, parent), model_(model), prompt_(prompt), showPage_(std::move(showPage)) {
    ShowRows(model);
}

bool TAccountPage::Enabled(TPageCommand command) const {
    switch (command) {
        case TPageCommand::New:
            return true;
        case TPageCommand::Edit:
        case TPageCommand::Rename:
        case TPageCommand::Delete:
            return SelectedRow() >= 0;
        case TPageCommand::SelectAll:
            return model_.rowCount() > 0;
        default:
            return false;
    }
}

void TAccountPage::Run(TPageCommand command) {
    if (!Enabled(command)) return;
    switch (command) {
        case TPageCommand::New:
            NewAccount();
            break;
        case TPageCommand::Edit:
            EditAccount();
            break;
        case TPageCommand::Rename:
            List()->edit(model_.index(SelectedRow(), 0));
            break;
        case TPageCommand::Delete:
            model_.Remove(SelectedRow());
            break;
        case TPageCommand::SelectAll:
            List()->selectAll();
            break;
        default:
            break;
    }
}

bool TAccountPage::OpenDialog(int row) {
    TFrmAccounts dialog(model_.List(), prompt_, List()->window());
    dialog.Load(model_.Account(row));
    connect(&dialog, &TFrmAccounts::Applied, this,
            [this, row](const TAccount& fields) { model_.SetAccount(row, fields); });
    return dialog.exec() == QDialog::Accepted;
}

bool TAccountPage::SaveAccounts() { return model_.Save(); }

void TAccountPage::NewAccount() {
    const int row = model_.AddNew();
    Select(row);
    if (OpenDialog(row))
        model_.Save();
    else
        model_.Discard(row);
}

void TAccountPage::EditAccount() {
    const int row = SelectedRow();
    if (row < 0) return;
    if (OpenDialog(row)) {
        model_.Save();
    } else {
        model_.Reload();
        Select(row);
    }
}

QStringList TAccountPage::Aliases() {
    if (model_.rowCount() == 0) {
        if (showPage_) showPage_();
        NewAccount();
    }
    QStringList aliases;
    for (const auto& alias : model_.List().Aliases()) aliases << qttext::FromStored(alias);
    return aliases;
}
