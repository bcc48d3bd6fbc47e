#pragma once

#include "app/gui/ListPage.h"
#include "common/ListFile.h"

class TListRowsModel;

// A list page over named rows (address book, signatures, filters): New opens
// the page's dialog on a new row, which a cancelled dialog removes again;
// Edit keeps a copy of the row and puts it back when the dialog is
// cancelled, undoing "&Apply"; Rename edits the name in place; Delete
// removes the row at once. Every kept change is written to the list file.
class TRowsPage : public TListPage {
    Q_OBJECT

public:
    TRowsPage(TFMListView* list, TListRowsModel& model, QObject* parent);

    bool Enabled(TPageCommand command) const override;
    void Run(TPageCommand command) override;

    TListRowsModel& Model() const { return model_; }

protected:
    // Opens the page's dialog on a row, modally; true when it closed with
    // "&Close". Its "&Apply" writes into the row through the model.
    virtual bool OpenDialog(int row) = 0;
    virtual bool CanImport() const { return false; }
    virtual void Import() {}
    // A new row, its dialog, and the row kept or removed by how it closed.
    void NewRow();
    // The same for a row already added (not written yet).
    void EditNewRow(int row);
    QWidget* DialogParent() const;

private:
    void EditRow();

    TListRowsModel& model_;
};
