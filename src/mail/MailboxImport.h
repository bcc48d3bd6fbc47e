#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/ListFile.h"
#include "mail/ImportPlan.h"
#include "mail/TransferProgress.h"

class IClock;
class IFilterActions;
class IUserPrompt;
class TMailStore;

struct TImportOptions {
    // The mailbox to fill (stored text); empty: a new mailbox at the top,
    // named after the file or folder imported.
    std::string into;
    // Whether the incoming filters choose the mailboxes, as for new mail.
    bool filters = false;
};

struct TImportSummary {
    static constexpr std::size_t kReasons = 5;

    std::string mailbox;  // the mailbox filled, stored text
    std::size_t imported = 0;
    std::size_t duplicates = 0;
    std::size_t damaged = 0;           // imported, but not whole
    std::vector<std::string> reasons;  // the first kReasons, UTF-8
    std::vector<std::string> skipped;  // files that are no mail, UTF-8 paths
    bool cancelled = false;
    bool allStored = true;  // false when a body could not be saved (shown)

    // What the summary says, UTF-8 lines.
    std::string Text() const;
};

// Brings another program's mail into the store: the mailboxes of an import
// plan are made (under the mailbox filled, mirroring the folders), and every
// message takes the way of downloaded mail (headers, charsets, attachments,
// optionally the incoming filters) into the store's record operations,
// keeping its date and its read or answered state. A message already in the
// mailbox filled (same date, sender and subject) or met before in the same
// import (same Message-ID and Date) is skipped and counted; a damaged one is
// imported as far as it goes and named in the summary. Runs in steps on the
// thread that owns the store, so a window's loop runs between them; messages
// are stored in batches, each whole or not at all, and a cancel stores what
// was read before it, so stopping between steps leaves the store whole.
class TMailboxImport {
public:
    TMailboxImport(TMailStore& store, const std::vector<TListRow>& filters, IFilterActions& actions,
                   IUserPrompt& prompt, const IClock& clock, std::string dataFolder, std::string attachFolder);
    ~TMailboxImport();
    TMailboxImport(const TMailboxImport&) = delete;
    TMailboxImport& operator=(const TMailboxImport&) = delete;

    // Plans the import and makes its mailboxes. False with the reason
    // (UTF-8) when the path holds nothing to import or the mailbox to fill
    // is unknown.
    bool Begin(const std::string& path, const TImportOptions& options, std::string& error);
    // Imports messages for about budget; false once everything is imported
    // (or the import was cancelled) and the summary is complete.
    bool Step(std::chrono::milliseconds budget);
    // The next step stores nothing more and ends the import.
    void Cancel() { cancelled_ = true; }
    const TTransferProgress& Progress() const { return progress_; }
    const TImportSummary& Summary() const { return summary_; }

    // Begin, then every step, on the calling thread.
    bool Run(const std::string& path, const TImportOptions& options, std::string& error);

private:
    struct TParts;
    struct TNext;

    bool NextMessage(TNext& next);
    void Handle(TNext& next);
    void Flush();
    // The open batch's first message has waited long enough.
    bool BatchWaited() const;
    void Finish();
    void Damaged(const std::string& label, const std::string& reason);
    std::string MailboxFor(const std::vector<std::string>& path) const;

    TMailStore& store_;
    const std::vector<TListRow> noFilters_;
    const std::vector<TListRow>& filters_;
    IFilterActions& actions_;
    IUserPrompt& prompt_;
    const IClock& clock_;
    std::string dataFolder_;
    std::string attachFolder_;
    std::unique_ptr<TParts> parts_;

    TImportPlan plan_;
    bool useFilters_ = false;
    std::vector<std::pair<std::vector<std::string>, std::string>> mailboxes_;  // plan path -> store name
    std::size_t source_ = 0;
    std::size_t number_ = 0;             // of the message in its source
    std::uint64_t bytesBefore_ = 0;      // of the sources done
    std::unordered_set<std::string> existing_;  // date, sender, subject of the mailbox filled
    std::unordered_set<std::string> seen_;      // Message-ID and Date met in this import
    bool cancelled_ = false;
    bool finished_ = false;
    TTransferProgress progress_;
    TImportSummary summary_;
};
