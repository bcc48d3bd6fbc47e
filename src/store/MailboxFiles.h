#pragma once

#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "store/BodyAppend.h"
#include "store/MailboxName.h"

class IEventPump;
class IUserPrompt;
class TIniFile;
class THeaderItem;
class THeaders;
struct TBusyFlags;

// The two files of every mailbox: the index (".Mbx", one line per record)
// and the message file (".msg", the bodies one after another, each followed
// by its slack). Loading fills THeaders; every other operation writes from
// it. Rewritten files are replaced atomically: the index through its backup
// (".Bak"), the message file through ".tmp", so that a crash at any instant
// leaves a complete pair, which the next load puts in place. A body
// rewritten in place keeps the region's old bytes in ".jnl" until the index
// names the new one.
class TMailboxFiles {
public:
    TMailboxFiles(THeaders& headers, TBusyFlags& flags, IEventPump& pump, IUserPrompt& prompt, const TIniFile& config,
                  std::string dataFolder);

    // Where a mailbox keeps its files: "Mail Boxes" / name, default the data
    // folder, always with a trailing "/".
    std::string Folder(const std::string& name) const;
    std::string IndexPath(const std::string& name) const {
        return Folder(name) + TMailboxName::FileStem(name) + ".Mbx";
    }
    std::string MessagePath(const std::string& name) const {
        return Folder(name) + TMailboxName::FileStem(name) + ".msg";
    }
    std::string BackupPath(const std::string& name) const {
        return Folder(name) + TMailboxName::FileStem(name) + ".Bak";
    }
    std::string TempPath(const std::string& name) const { return Folder(name) + TMailboxName::FileStem(name) + ".tmp"; }
    // The old bytes of a region while a body is rewritten in place.
    std::string RewritePath(const std::string& name) const {
        return Folder(name) + TMailboxName::FileStem(name) + ".jnl";
    }
    // Whether a compaction's message file at tmp holds everything the index
    // text written with it names.
    static bool CompactedFileComplete(const std::string& tmp, const std::string& index);

    // Appends the records of a mailbox's index to THeaders and returns how
    // many of them are new; a missing index is an empty mailbox. A read
    // error is shown, and the records read so far stay.
    int Load(const std::string& name);
    // Rewrites a mailbox's index from THeaders. False (and shown) on failure;
    // the previous index is then unchanged.
    bool SaveIndex(const std::string& name);
    // SaveIndex without the box, for a caller that holds another flag and
    // shows the failure once it has released it. False also when this
    // thread holds the index-save flag already.
    bool SaveIndexQuietly(const std::string& name);
    // The body of a record. False when it has none, when the file cannot be
    // read, or when its region does not lie inside the message file.
    bool ReadBody(const THeaderItem& item, std::string& body) const;
    // Writes a body into the record's region when it fits in size + slack,
    // else at the end of the message file, then saves the index.
    bool SaveBody(THeaderItem& item, std::string_view body);

    // A record that has no body yet and the body to give it.
    struct TNewBody {
        THeaderItem* item;
        std::string_view body;
    };
    // Appends the bodies of new records at the ends of their mailboxes'
    // message files, each followed by its slack (100 bytes when it has
    // none), with one flush per message file and then one index save per
    // mailbox: what many single saves would do, at the cost of one. A
    // record counts as stored only when its mailbox's index was saved; the
    // result says which were. A record whose body could not be written
    // keeps no region.
    std::vector<bool> AppendBodies(const std::vector<TNewBody>& batch);
    // AppendBodies in two halves: the bodies are written and the records
    // given their regions here, on the thread that owns THeaders; the
    // flushes and index saves follow in the result's Settle, which may run
    // on another thread so that the disk's waits keep no window from
    // running.
    TBodyAppend WriteBodies(const std::vector<TNewBody>& batch);
    // Writes the backup and renames it over the index; holds no flag.
    static bool ReplaceIndexFile(const std::string& indexPath, const std::string& backupPath,
                                 const std::string& content);
    // Appends the body to the target's message file and gives the record to
    // the target. An unreadable body leaves the record where it is (true).
    bool MoveMessage(THeaderItem& item, const std::string& target);
    // Rewrites the message file with only the bodies of the mailbox's
    // records, each followed by 100 bytes of slack. On failure both files
    // and every record stay as they were.
    bool Compact(const std::string& name);

    // The texts shown for failures.
    static std::string LoadError(const std::string& indexPath);
    static std::string SaveIndexError();
    static std::string MoveError(const std::string& target);

private:
    // Finishes a replace that a crash interrupted, or drops its remains.
    void Recover(const std::string& name);
    // Puts back the old bytes of a rewrite in place that a crash cut short,
    // when the index on disk still describes the old body. firstHandle is
    // the first record of this load.
    void RecoverRewrite(const std::string& name, int firstHandle);
    std::string IndexContent(const std::string& name) const;
    // SaveBody under the message-file flag; indexSaved tells whether the
    // index that follows could be written (its box comes after release).
    bool WriteBody(THeaderItem& item, std::string_view body, bool& indexSaved);
    // Compact under both flags; indexReplaced false when the new index was
    // left in the backup.
    bool CompactFiles(const std::string& name, bool& indexReplaced);
    // Saves the index; a saved index names every rewritten body, so a
    // journal left waiting for it goes.
    bool ReplaceIndex(const std::string& name, const std::string& content);
    // A rewrite in place whose index could not be saved keeps its journal:
    // the index on disk still names the old body, which a restart puts back.
    // Before the mailbox's files change again its index must be saved (the
    // next journal would take the place of this one, and a compaction moves
    // the bytes it names); false when that fails. The caller holds the
    // index-save flag.
    bool SettleJournal(const std::string& name);
    bool JournalWaits(const std::string& name) const;
    // Writes the bodies of one mailbox's new records (indices into batch)
    // behind its message file's end and gives the records their regions;
    // the message file, open and locked, still to be flushed. -1 when any
    // body could not be written, and then none has a region.
    int AppendToMessageFile(const std::string& name, const std::vector<TNewBody>& batch,
                            const std::vector<std::size_t>& members);

    THeaders& headers_;
    TBusyFlags& flags_;
    IEventPump& pump_;
    IUserPrompt& prompt_;
    const TIniFile& config_;
    std::string dataFolder_;
    mutable std::mutex journalMutex_;
    std::set<std::string> waitingJournals_;  // mailboxes whose journal waits for an index save
};
