#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/BusyFlag.h"
#include "common/ObserverList.h"
#include "store/Headers.h"
#include "store/MailboxFiles.h"
#include "store/MailboxMarks.h"
#include "store/MailboxTree.h"
#include "store/MessageRows.h"
#include "store/NewMailTip.h"
#include "store/ShowProgress.h"
#include "store/StoreObserver.h"
#include "store/ViewedRows.h"

class IEventPump;
class IUserPrompt;
class TIniFile;

// When a record operation writes the mailbox's index.
enum class TPersist {
    Now,           // before the operation returns
    WithNextSave,  // with the next save of the mailbox (a composer's fields between its saves)
};

// What became of a record asked to move.
enum class TMoveResult {
    Moved,
    Unreadable,  // its body could not be read: it stays where it is
    Failed,      // the body could not be written to the target (shown): it stays
};

// A record to add and the body to store with it.
struct TNewRecord {
    THeaderItem record;  // its Mailbox names where it goes
    std::string_view body;
};

// The message store of one run: every header record, the busy flags, the
// new-message count, the mailbox tree and the rows of the mailbox being
// viewed, with the operations on the mailbox files.
//
// Records change only through the record operations below. Each announces
// what it did to the store's listeners (TStoreEvent), in order: first the
// store's own followers (the rows on view, the bold marks, the new-message
// count and tip), then the listeners added with AddObserver (open windows,
// an index). Everything here runs on the thread that owns the records.
class TMailStore {
public:
    TMailStore(std::string dataFolder, TIniFile& config, IUserPrompt& prompt, IEventPump& pump);
    ~TMailStore();
    TMailStore(const TMailStore&) = delete;
    TMailStore& operator=(const TMailStore&) = delete;

    const THeaders& Headers() const { return headers_; }
    const TMailboxFiles& Files() const { return files_; }
    TBusyFlags& Flags() { return flags_; }
    TNewMailTip& Tip() { return tip_; }
    TMailboxTree& Tree() { return tree_; }
    TMessageRows& Rows() { return rows_.Rows(); }
    TIniFile& Config() { return config_; }
    IUserPrompt& Prompt() { return prompt_; }
    IEventPump& Pump() { return pump_; }
    const std::string& DataFolder() const { return dataFolder_; }
    std::string TreePath() const;

    // Every listener is told of every change; each removes itself before it
    // goes.
    void AddObserver(IStoreObserver* observer) { observers_.Add(observer); }
    void RemoveObserver(IStoreObserver* observer) { observers_.Remove(observer); }

    // --- Record operations -------------------------------------------------

    // Adds a record to the mailbox its Mailbox names, with its body when one
    // is given; its handle. A body that cannot be written leaves the record
    // without one. RecordAdded.
    int AddRecord(const THeaderItem& record, std::optional<std::string_view> body, TPersist persist = TPersist::Now);
    // Adds records that arrived together: their bodies are written behind
    // the ends of their message files at once, and the flushes and index
    // saves are left to the result (see TBodyAppend), which may settle them
    // on another thread. Their handles, in order. RecordAdded for each.
    TBodyAppend AddRecords(const std::vector<TNewRecord>& batch, std::vector<int>& handles);
    // Changes fields of a record where it is; the edit cannot move it or
    // its body (its mailbox and region are kept). False when the record is
    // gone or its index could not be saved (shown). RecordChanged, when a
    // field changed.
    bool ChangeRecord(int handle, const std::function<void(THeaderItem&)>& edit, TPersist persist = TPersist::Now);
    // Replaces a record's body, in its region when it fits, and saves the
    // index. False when the body could not be written. BodyRewritten.
    bool RewriteBody(int handle, std::string_view body);
    // Gives a record and its body to another mailbox. The source keeps the
    // old bytes until it is compacted, and neither index is saved here, so
    // that a batch of moves costs one save each. RecordMoved.
    TMoveResult MoveRecord(int handle, const std::string& target);
    // Destroys a record; its mailbox's index is saved by the caller, once
    // for a batch. RecordRemoved.
    bool DestroyRecord(int handle);
    // Writes a mailbox's index from the records; false (and shown) on
    // failure. Changes no record, so nothing is announced.
    bool SaveIndex(const std::string& name);
    // Rewrites a mailbox's message file with only its records' bodies.
    // False (both files and every record unchanged) on failure.
    // MailboxCompacted.
    bool Compact(const std::string& name);

    // --- Mailboxes ---------------------------------------------------------

    // Rebuilds the tree from "Category.Stk" (or the four system mailboxes)
    // and loads every mailbox in node order. A level error in the file is
    // shown and the nodes read before it are kept. MailboxLoaded for each.
    void LoadTree();
    // Writes "Category.Stk" from the tree; false (and shown) on failure.
    bool SaveTree();
    // Loads one mailbox and recounts the new messages. MailboxLoaded.
    void LoadMailbox(const std::string& name);
    // A new mailbox as the last child of parentNode (-1: top level), saved
    // in the tree and "Mail Boxes"; its node. MailboxCreated.
    int AddMailbox(const std::string& name, int parentNode);
    // The store side of renaming: files, "Mail Boxes" entry and records.
    // MailboxRenamed.
    void RenameMailboxFiles(const std::string& oldName, const std::string& newName);
    // Destroys a mailbox's records (each announced) and files and drops its
    // "Mail Boxes" entry; the node is the caller's. MailboxDeleted.
    void DestroyMailbox(const std::string& name);

    // --- The view ----------------------------------------------------------

    // Fills the rows with the mailbox's records, newest at the top.
    void ShowMailbox(const std::string& name, IShowProgress* progress = nullptr) { rows_.Show(name, progress); }
    // No mailbox is viewed any more; the rows go.
    void ClearView() { rows_.Clear(); }
    // The rows show the records a search found (top first) instead of a
    // mailbox; Viewed() is then empty.
    void ShowFound(const std::vector<int>& handles) { rows_.ShowFound(handles); }
    bool ShowsFound() const { return rows_.ShowsFound(); }
    const std::string& Viewed() const { return rows_.Name(); }
    // The row position of a record of the viewed mailbox, or -1.
    int FindRow(int handle);

    // Sets a node's weight and brings it into view.
    void MarkMailbox(int node, bool bold) { marks_.Mark(node, bold); }
    // Sets the weight of a mailbox's node from its new records.
    void RefreshMark(const std::string& name) { marks_.Refresh(name); }
    void RefreshTip() const { tip_.Refresh(); }

private:
    friend struct TRawStoreAccess;  // the file layer's own tests

    void GiveImages(int node);
    void Announce(TStoreEvent event);
    void Done();

    std::string dataFolder_;
    TIniFile& config_;
    IUserPrompt& prompt_;
    IEventPump& pump_;
    THeaders headers_;
    TBusyFlags flags_;
    TNewMailTip tip_;
    TMailboxTree tree_;
    TMailboxFiles files_;
    TViewedRows rows_;
    TMailboxMarks marks_;
    TObserverList<IStoreObserver> observers_;
};
