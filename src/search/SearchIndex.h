#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "search/SearchText.h"
#include "search/SqlStatement.h"

class TSearchQuery;

// A stored message as the index holds it. The record is found again in a
// later run by its mailbox, region and field hash; the body hash tells
// whether the bytes in that region are still the ones indexed.
struct TIndexDoc {
    std::int64_t id = 0;
    std::string mailbox;  // UTF-8
    std::int64_t offset = 0, size = 0;
    std::uint64_t bodyHash = 0;
    searchtext::TDocFields fields;
    std::string body;  // spaced UTF-8 text
};

// Where an indexed message was, for matching it to a record at start-up.
struct TIndexedKey {
    std::int64_t id = 0;
    std::int64_t offset = 0, size = 0;
    std::uint64_t fieldHash = 0, bodyHash = 0;
};

// The search index file ("Search.db"): a table of documents (mailbox,
// region, date, status) and a full-text table of their words, which keeps
// no copy of the text. A document's words are never changed: new words
// make a new document, and the old one's words stay behind unreachable
// (counted as orphans) until the file is built again.
//
// One object is one connection; the index is written on one thread and
// read on another, each with its own (the file is in write-ahead mode, so
// reading never waits for writing).
class TSearchIndex {
public:
    static constexpr int kVersion = 2;

    TSearchIndex() = default;
    ~TSearchIndex();
    TSearchIndex(const TSearchIndex&) = delete;
    TSearchIndex& operator=(const TSearchIndex&) = delete;

    // Opens the file. With create, a missing, damaged or older file is
    // replaced by an empty index (fresh is then true); without, such a file
    // is not opened. False when it could not be opened.
    bool Open(const std::string& path, bool create, bool* fresh = nullptr);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }
    // Whether SQLite found the file damaged since it was opened.
    bool Damaged() const { return damaged_; }
    // Deletes an index file with its journal files.
    static void Remove(const std::string& path);

    // --- Writing (one transaction around many changes) ---------------------
    bool Begin();
    bool Commit();
    void Put(const TIndexDoc& doc);
    void Remove(std::int64_t id);
    void Update(std::int64_t id, const searchtext::TDocFields& fields);
    void Relocate(std::int64_t id, const std::string& mailbox, std::int64_t offset, std::int64_t size);
    void RenameMailbox(const std::string& from, const std::string& to);
    void SetMark(const std::string& mailbox, const std::string& mark);
    // Gives the pages that merging freed back to the file system (outside
    // a transaction).
    void Compact();
    // Faster, unsafe writing while the whole file is being built: a crash
    // then leaves a file that the next start throws away.
    void Building(bool on);

    // --- Reading -----------------------------------------------------------
    std::int64_t NextId();
    std::int64_t Orphans();
    std::int64_t Count();
    std::map<std::string, std::string> Marks();
    // Every mailbox that has documents or a mark.
    std::vector<std::string> Mailboxes();
    std::vector<TIndexedKey> Keys(const std::string& mailbox);
    // Ids of the documents the query finds, newest first, at most limit;
    // failed (when given) tells whether SQLite refused the statement.
    std::vector<std::int64_t> Find(const TSearchQuery& query, int limit, bool* failed = nullptr);

private:
    bool Exec(const char* sql);
    void Check(int code);
    TSqlStatement& Statement(int slot, const char* sql);
    void SetMeta(const char* key, std::int64_t value);
    std::int64_t Meta(const char* key);
    void WriteDocs();

    // A document's row, held back until the transaction ends or another
    // statement needs the table.
    struct TDocRow {
        std::int64_t id, offset, size, date;
        std::uint64_t fieldHash, bodyHash;
        int flags;
        bool attach;
        std::string mailbox;
    };

    sqlite3* db_ = nullptr;
    bool damaged_ = false;
    std::int64_t nextId_ = 0, orphansAdded_ = 0;  // inside a transaction
    std::vector<TSqlStatement> statements_;
    std::vector<TDocRow> docRows_;
};
