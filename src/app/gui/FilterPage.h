#pragma once

#include <functional>

#include "app/gui/RowsPage.h"

class TFilterListModel;

// The "Message Filters" page: filters in name order (the order they are
// applied in) and the filter dialog. The rows are the ones the processing of
// new mail applies, so an edit counts from the next message on.
class TFilterPage : public TRowsPage {
    Q_OBJECT

public:
    // mailboxes gives the tree's mailboxes in tree order, members the
    // address book's names.
    TFilterPage(TFMListView* list, TFilterListModel& model, std::function<QStringList()> mailboxes,
                std::function<QStringList()> members, QObject* parent);

protected:
    bool OpenDialog(int row) override;

private:
    std::function<QStringList()> mailboxes_;
    std::function<QStringList()> members_;
};
