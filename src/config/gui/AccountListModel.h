#pragma once

#include <QAbstractTableModel>

#include "common/gui/ListRowsModel.h"
#include "config/AccountList.h"

// The "Internet Servers" page's rows: "Server Name", "Pop Server",
// "SMTP Server", in list order (the order a check visits them). The alias is
// edited in place; a rename takes the seen file along.
class TAccountListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    TAccountListModel(TAccountList& list, TBusyFlag& listFill, IEventPump& pump, IUserPrompt& prompt,
                      QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    const TAccountList& List() const { return list_; }
    const TAccount& Account(int row) const { return list_.Accounts().at(static_cast<std::size_t>(row)); }

    // A new account "New Account" ("New Account (2)", ...) at the end; its
    // row. Not written yet.
    int AddNew();
    // The dialog's "&Apply": the fields into the row (the alias and the
    // trusted certificates stay).
    void SetAccount(int row, const TAccount& fields);
    // Removes a row a cancelled dialog made; nothing is written.
    void Discard(int row);
    // Removes the account with its seen file and writes the file.
    bool Remove(int row);
    bool Rename(int row, const QString& alias);
    bool Save();
    // Reads the file again (a cancelled edit undoes "&Apply").
    void Reload();

signals:
    // Aliases or servers changed: the Check button's menu and the composers follow.
    void Changed();

private:
    TAccountList& list_;
    TBusyFlag& listFill_;
    IEventPump& pump_;
    IUserPrompt& prompt_;
};
