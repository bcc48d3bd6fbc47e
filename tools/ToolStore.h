#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Tool.h"
#include "config/IniFile.h"
#include "search/MailSearch.h"
#include "store/MailStore.h"
#include "store/MailboxOperations.h"

// The message store as the client has it after start-up: the tree read and
// every mailbox loaded, for the commands that work on mailboxes.
class TToolStore {
public:
    // Nothing when the folders could not be set up (the reason is on stderr).
    static std::unique_ptr<TToolStore> Open(TToolContext& ctx);

    TMailStore& Store() { return store_; }
    TMailboxOperations& Operations() { return operations_; }
    // The record of a handle argument; a wrong handle is reported as the
    // store reports it.
    const THeaderItem* Record(const std::string& arg);
    // Whether a mailbox is a node of the tree; an unknown one is reported.
    bool Known(const std::string& name);

    // The search index, kept in step with what the command changes; built
    // when the data folder has none yet.
    TMailSearch& Search();

    TToolStore(const std::string& dataFolder, TToolContext& ctx);
    // Brings the index up to date with what the command did.
    ~TToolStore();

private:
    TIniFile config_;
    TMailStore store_;
    TMailboxOperations operations_;
    std::unique_ptr<TMailSearch> search_;  // goes before the store it follows
};

// A refusal that shows no box in the client gets a line on stderr.
int Refuse(const std::string& message);

// Stores every download file of the data folder into the In Box, printing
// one line per stored message (handle, mailbox, subject).
int ProcessDownloads(TToolContext& ctx, TToolStore& tool);
