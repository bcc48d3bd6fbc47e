#pragma once

#include <functional>

#include "app/gui/ListPage.h"

class IUserPrompt;
class TAccountListModel;

// The "Internet Servers" page: accounts in list order (the order a check
// visits them) and the account dialog. A cancelled new account goes again;
// a cancelled edit reads the list back from "Internet.svr".
class TAccountPage : public TListPage {
    Q_OBJECT

public:
    // showPage brings this page to the front (commands that need an account
    // open the new-account dialog there).
    TAccountPage(TFMListView* list, TAccountListModel& model, IUserPrompt& prompt, std::function<void()> showPage,
                 QObject* parent);

    bool Enabled(TPageCommand command) const override;
    void Run(TPageCommand command) override;

    // The aliases in list order. With no account yet, the page is shown and
    // a new account opened first.
    QStringList Aliases();
    void NewAccount();
    // Writes the list again (the passwords' place changed).
    bool SaveAccounts();

private:
    void EditAccount();
    // Opens the dialog on a row; true when it closed with "&Close".
    bool OpenDialog(int row);

    TAccountListModel& model_;
    IUserPrompt& prompt_;
    std::function<void()> showPage_;
};
