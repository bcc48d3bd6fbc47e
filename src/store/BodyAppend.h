#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct TBusyFlags;

// New bodies written behind the ends of their message files but not yet on
// disk for certain. Until Settle the message-file and index-save flags stay
// taken, by no thread in particular: nothing else writes a message file or
// an index meanwhile, and a waiter on the user-interface thread keeps the
// window running. Settle may run on any thread: it flushes each message
// file and only then replaces the mailbox's index with the text made when
// the bodies were written, so that no index on disk ever names bytes that
// are not there. It runs at the latest when the object goes.
class TBodyAppend {
public:
    // One mailbox's share of the batch.
    struct TBox {
        int fd = -1;  // the message file, open and locked
        std::string indexPath;
        std::string backupPath;
        std::string indexText;             // the index naming the new regions
        std::vector<std::size_t> members;  // places in the batch
    };

    // Nothing written: no record of the batch is stored.
    explicit TBodyAppend(std::size_t batchSize) : stored_(batchSize, false) {}
    // Takes over the two flags, taken and disowned by the writer.
    TBodyAppend(TBusyFlags& flags, std::size_t batchSize, std::vector<TBox> boxes);
    ~TBodyAppend();
    TBodyAppend(TBodyAppend&& other) noexcept;
    TBodyAppend& operator=(TBodyAppend&&) = delete;
    TBodyAppend(const TBodyAppend&) = delete;
    TBodyAppend& operator=(const TBodyAppend&) = delete;

    // Which records of the batch are stored for good, in batch order. Once
    // settled, the same answer again.
    const std::vector<bool>& Settle();
    // A message file could not be flushed or an index not be replaced. Its
    // records keep their regions, whose bytes stay in the file; the next
    // index save names them.
    bool Failed() const { return failed_; }
    // An index that had to be saved before the batch could be written was
    // not: the failure counts as the batch's own.
    void IndexFailed() { failed_ = true; }

private:
    TBusyFlags* flags_ = nullptr;  // held until settled
    std::vector<TBox> boxes_;
    std::vector<bool> stored_;
    bool failed_ = false;
};
