#pragma once

#include "app/gui/MainPage.h"

class QAbstractItemModel;
class QMenu;
class TFMListView;

// A page that is one list: the address book, signature files, message
// filters and internet servers. Its rows and their dialogs belong to a
// class derived from this one; as it stands the list is empty, so only the
// commands that need no row (New, Import, Select All) could be offered, and
// those wait for the derived page as well.
class TListPage : public TMainPage {
    Q_OBJECT

public:
    TListPage(TFMListView* list, QObject* parent);

    QWidget* Widget() const override;
    TFMListView* List() const { return list_; }
    bool Enabled(TPageCommand command) const override;
    void Run(TPageCommand command) override;

    // Attaches the list's pop-up, whose named items run the page's commands.
    void SetPopup(QMenu* popup);

    // The row the commands act on: the current one when selected, else the
    // first selected; -1 without a selection.
    int SelectedRow() const;
    // Makes a row the only selected and current one, shown and focused.
    void Select(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Whether a row is selected.
    bool HasSelection() const;
    // Shows the page's rows: the first column is renamed in place, a double
    // click edits the row, and the commands follow the selection and rows.
    void ShowRows(QAbstractItemModel& model);

private:
    TFMListView* list_;
};
