#pragma once

#include <string>

#include "common/BusyFlag.h"
#include "store/Headers.h"
#include "store/MailboxFiles.h"
#include "store/MailboxTree.h"
#include "store/MessageRows.h"
#include "store/NewMailTip.h"

class IEventPump;
class IUserPrompt;
class TIniFile;

// Told how far "show mailbox" has come: the progress bar and the first
// status panel of the main window.
class IShowProgress {
public:
    virtual ~IShowProgress() = default;
    virtual void Begin(int /*maximum*/) {}
    // Called about a hundred times per fill, not once per record.
    virtual void Step(int /*position*/) {}
    virtual void End() {}
    virtual void Status(const std::string& /*text*/) {}
};

// The message store of one run: every header record, the busy flags, the
// new-message count, the mailbox tree and the rows of the mailbox being
// viewed, with the operations on the mailbox files.
class TMailStore : private IHeadersObserver {
public:
    TMailStore(std::string dataFolder, TIniFile& config, IUserPrompt& prompt, IEventPump& pump);
    ~TMailStore() override;
    TMailStore(const TMailStore&) = delete;
    TMailStore& operator=(const TMailStore&) = delete;

    THeaders& Headers() { return headers_; }
    TBusyFlags& Flags() { return flags_; }
    TNewMailTip& Tip() { return tip_; }
    TMailboxTree& Tree() { return tree_; }
    TMessageRows& Rows() { return rows_; }
    TMailboxFiles& Files() { return files_; }
    TIniFile& Config() { return config_; }
    IUserPrompt& Prompt() { return prompt_; }
    IEventPump& Pump() { return pump_; }
    const std::string& DataFolder() const { return dataFolder_; }
    std::string TreePath() const;

    // Rebuilds the tree from "Category.Stk" (or the four system mailboxes)
    // and loads every mailbox in node order. A level error in the file is
    // shown and the nodes read before it are kept.
    void LoadTree();
    // Writes "Category.Stk" from the tree; false (and shown) on failure.
    bool SaveTree();

    // Loads one mailbox and recounts the new messages.
    void LoadMailbox(const std::string& name);
    // Fills the rows with the mailbox's records, newest at the top.
    void ShowMailbox(const std::string& name, IShowProgress* progress = nullptr);
    // No mailbox is viewed any more; the rows go.
    void ClearView();
    const std::string& Viewed() const { return viewed_; }
    // Redraws or adds the record's row when its mailbox is viewed, then
    // saves the index of its mailbox.
    void UpdateRow(THeaderItem& item);
    // The row position of a record of the viewed mailbox, or -1.
    int FindRow(const THeaderItem& item);

    // Sets a node's weight and brings it into view.
    void MarkMailbox(int node, bool bold);
    // Sets the weight of a mailbox's node from its new records.
    void RefreshMark(const std::string& name);
    void RefreshTip() const { tip_.Refresh(); }

    // The store side of renaming: files, "Mail Boxes" entry and records.
    void RenameMailboxFiles(const std::string& oldName, const std::string& newName);

private:
    void NewRecordRemoved(const std::string& mailbox, bool lastNewOfMailbox) override;
    void GiveImages(int node);

    std::string dataFolder_;
    TIniFile& config_;
    IUserPrompt& prompt_;
    IEventPump& pump_;
    THeaders headers_;
    TBusyFlags flags_;
    TNewMailTip tip_;
    TMailboxTree tree_;
    TMessageRows rows_;
    TMailboxFiles files_;
    std::string viewed_;
};
