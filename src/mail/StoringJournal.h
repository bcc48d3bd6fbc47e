#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The downloads of a batch whose records are being saved: between the index
// saves and the moment the downloads leave the pending set, a program that
// is killed would leave messages stored whose downloads the next run stores
// again. The journal ("Storing.jnl" in the data folder) names each download
// with the place of its record, flushed before the index saves; the next
// start keeps aside every named download whose record an index on disk
// holds, and leaves the others pending.
class TStoringJournal {
public:
    static constexpr const char* kFileName = "Storing.jnl";

    struct TEntry {
        std::string indexPath;  // the index of the record's mailbox
        std::int32_t offset = -1;
        std::int32_t size = -1;
        std::string download;
    };

    explicit TStoringJournal(const std::string& dataFolder);

    // False when it could not be written (the batch is stored all the same).
    bool Write(const std::vector<TEntry>& entries) const;
    void Remove() const;
    // At a start, before any run: settles what a killed program left (its
    // journal, its stored downloads still waiting for attachments). The
    // downloads kept aside.
    std::vector<std::string> Recover() const;

private:
    std::string folder_;
    std::string path_;
};
