#pragma once

#include <string>
#include <vector>

#include "store/MessageRows.h"
#include "store/StoreObserver.h"

class IEventPump;
class IShowProgress;
class TBusyFlag;
class THeaders;

// The rows of the mailbox on view, kept in step with the store: a record
// added to or moved into the mailbox gets its row at the top, a changed one
// is redrawn, one moved away or destroyed loses its row. A row is only
// touched under the list-fill flag; without it the record is stored all the
// same and its row comes when the mailbox is shown again.
class TViewedRows : public IStoreObserver {
public:
    TViewedRows(const THeaders& headers, TBusyFlag& listFill, IEventPump& pump)
        : headers_(headers), listFill_(listFill), pump_(pump) {}

    TMessageRows& Rows() { return rows_; }
    const std::string& Name() const { return name_; }

    // Fills the rows with the mailbox's records, newest at the top.
    void Show(const std::string& name, IShowProgress* progress);
    // No mailbox is viewed any more; the rows go.
    void Clear();
    // Shows the records a search found, top first, in place of a mailbox:
    // they are redrawn when they change or move and lose their row when
    // destroyed, until the next Show or Clear.
    void ShowFound(const std::vector<int>& handles);
    bool ShowsFound() const { return found_; }
    // The row position of a record of the viewed mailbox, or -1.
    int Find(int handle, const std::string& mailbox);

    void StoreChanged(const TStoreEvent& event) override;

private:
    // Redraws the record's row, or adds it at the top.
    void Put(const TStoreEvent& event);
    void Drop(int handle);

    const THeaders& headers_;
    TBusyFlag& listFill_;
    IEventPump& pump_;
    TMessageRows rows_;
    std::string name_;
    bool found_ = false;
};
