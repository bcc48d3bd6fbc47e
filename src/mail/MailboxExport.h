#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "mail/TransferProgress.h"

class TMailStore;

struct TExportSummary {
    static constexpr std::size_t kReasons = 5;

    std::size_t exported = 0;
    std::size_t damaged = 0;           // written without a body or an attachment
    std::vector<std::string> reasons;  // the first kReasons, UTF-8
    bool cancelled = false;
    bool failed = false;  // the file or folder could not be written
    std::string error;    // why, UTF-8

    std::string Text(const std::string& path) const;
};

// Takes a mailbox out of the store for other programs: one mbox file
// (mboxrd: every body line that reads ">*From " gets one more ">") or a
// folder of ".eml" files, one complete message each (TExportMessage). The
// mbox is written beside its place and renamed there when complete, so a
// cancelled or failed export leaves no half file; the ".eml" files written
// before a cancel are whole and stay. Runs in steps, as an import does.
class TMailboxExport {
public:
    enum class TFormat { Mbox, Eml };

    // sender: the From of outgoing records (the default account's).
    TMailboxExport(TMailStore& store, std::string sender) : store_(store), sender_(std::move(sender)) {}
    ~TMailboxExport();
    TMailboxExport(const TMailboxExport&) = delete;
    TMailboxExport& operator=(const TMailboxExport&) = delete;

    // False with the reason when the mailbox is unknown or the target cannot
    // be made; the mailbox is stored text, the path this system's.
    bool Begin(const std::string& mailbox, const std::string& path, TFormat format, std::string& error);
    // Writes messages for about budget; false once done.
    bool Step(std::chrono::milliseconds budget);
    void Cancel() { cancelled_ = true; }
    const TTransferProgress& Progress() const { return progress_; }
    const TExportSummary& Summary() const { return summary_; }

    bool Run(const std::string& mailbox, const std::string& path, TFormat format, std::string& error);

    // The From of outgoing records: the first account's, UTF-8; empty
    // without accounts.
    static std::string DefaultSender(const std::string& dataFolder);

    // A message's text in an mbox: LF line ends, the mboxrd escaping, its
    // "From " line before it and a blank line after it.
    static std::string MboxEntry(const std::string& message, const std::string& envelopeSender, std::time_t when);

private:
    void Write(int handle);
    void Finish();
    void Damaged(const std::string& label, const std::string& reason);

    TMailStore& store_;
    std::string sender_;
    TFormat format_ = TFormat::Mbox;
    std::string path_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    std::vector<int> handles_;
    std::size_t next_ = 0;
    bool cancelled_ = false;
    bool finished_ = false;
    TTransferProgress progress_;
    TExportSummary summary_;
};
