#include "search/SearchIndex.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>

#include "search/SearchQuery.h"

namespace {

const char* const kSchema =
    "CREATE TABLE meta(key TEXT PRIMARY KEY, value INTEGER) WITHOUT ROWID;"
    "CREATE TABLE docs(id INTEGER PRIMARY KEY, mailbox TEXT NOT NULL, offset INTEGER, size INTEGER,"
    " fhash INTEGER, bhash INTEGER, date INTEGER, flags INTEGER, attach INTEGER);"
    "CREATE INDEX docs_mailbox ON docs(mailbox);"
    "CREATE INDEX docs_date ON docs(date, id);"
    "CREATE TABLE marks(mailbox TEXT PRIMARY KEY, mark TEXT) WITHOUT ROWID;"
    "CREATE VIRTUAL TABLE words USING fts5(subject, sender, recipients, cc, attachments, body,"
    " content='', columnsize=0, tokenize='unicode61 remove_diacritics 2');"
    // Words wait in memory up to 32 MB before they go to the file: fewer,
    // larger segments to merge make a full build 1.6 times as fast.
    "INSERT INTO words(words, rank) VALUES('hashsize', 33554432);";

enum Slot { kPutDoc, kPutWords, kRemove, kUpdate, kRelocate, kRename, kRenameMark, kMark, kMetaSet, kMetaGet, kSlots };

}  // namespace

TSearchIndex::~TSearchIndex() { Close(); }

void TSearchIndex::Close() {
    docRows_.clear();  // written only inside a transaction, which closing ends
    statements_.clear();
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

void TSearchIndex::Remove(const std::string& path) {
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(path + suffix, ec);
}

void TSearchIndex::Check(int code) {
    if ((code & 0xff) == SQLITE_CORRUPT || (code & 0xff) == SQLITE_NOTADB) damaged_ = true;
}

bool TSearchIndex::Exec(const char* sql) {
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    Check(rc);
    return rc == SQLITE_OK;
}

bool TSearchIndex::Open(const std::string& path, bool create, bool* fresh) {
    Close();
    damaged_ = false;
    if (fresh) *fresh = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
        if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(db_, 5000);
            sqlite3_extended_result_codes(db_, 1);
            // Merging words frees many pages; a new file gives them back (see
            // Compact) instead of keeping them as free space. That can only
            // be chosen before the file turns to write-ahead mode.
            bool good = Exec("PRAGMA auto_vacuum=INCREMENTAL; PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                             " PRAGMA cache_size=-16000;");
            std::int64_t tables = -1;
            if (good) {
                TSqlStatement count(db_, "SELECT count(*) FROM sqlite_master");
                good = count.Step();
                Check(count.Code());
                if (good) tables = count.Int(0);
            }
            if (good && tables == 0 && create) {
                good = Exec("BEGIN") && Exec(kSchema) && Exec("COMMIT");
                if (good) {
                    statements_.resize(kSlots);
                    SetMeta("version", kVersion);
                    SetMeta("nextid", 1);
                    if (fresh) *fresh = true;
                    return true;
                }
            } else if (good) {
                statements_.resize(kSlots);
                TSqlStatement version(db_, "SELECT value FROM meta WHERE key='version'");
                good = version.Step() && version.Int(0) == kVersion;
                Check(version.Code());
                if (good) {
                    // A file whose every page reads may still hold a broken
                    // full-text structure; its own check finds that cheaply
                    // enough only for small files, so the words are trusted
                    // and a damage found later rebuilds it.
                    return true;
                }
            }
        }
        Close();
        if (!create) return false;
        Remove(path);  // damaged, older or foreign: it is only a cache
    }
    return false;
}

TSqlStatement& TSearchIndex::Statement(int slot, const char* sql) {
    auto& s = statements_[static_cast<std::size_t>(slot)];
    if (!s.Valid()) {
        s = TSqlStatement(db_, sql);
        Check(s.Code());
    }
    return s;
}

void TSearchIndex::SetMeta(const char* key, std::int64_t value) {
    auto& s = Statement(kMetaSet, "INSERT OR REPLACE INTO meta(key, value) VALUES(?, ?)");
    s.Bind(1, std::string_view(key)).Bind(2, value);
    if (!s.Run()) Check(s.Code());
}

std::int64_t TSearchIndex::Meta(const char* key) {
    auto& s = Statement(kMetaGet, "SELECT value FROM meta WHERE key=?");
    s.Bind(1, std::string_view(key));
    const std::int64_t value = s.Step() ? s.Int(0) : 0;
    Check(s.Code());
    s.Reset();
    return value;
}

bool TSearchIndex::Begin() {
    nextId_ = Meta("nextid");
    orphansAdded_ = 0;
    return Exec("BEGIN IMMEDIATE");
}

bool TSearchIndex::Commit() {
    WriteDocs();
    if (nextId_ > Meta("nextid")) SetMeta("nextid", nextId_);
    if (orphansAdded_ > 0) SetMeta("orphans", Meta("orphans") + orphansAdded_);
    return Exec("COMMIT");
}

void TSearchIndex::Compact() { Exec("PRAGMA incremental_vacuum"); }

void TSearchIndex::Building(bool on) {
    Exec(on ? "PRAGMA synchronous=OFF" : "PRAGMA synchronous=NORMAL");
}

// The full-text table flushes the words it holds in memory whenever a
// statement on another table opens a statement journal, as an insert into
// the indexed documents table does: one flush per message would merge the
// words on disk over and over. So the words go in at once and the rows of
// the documents wait until the transaction ends or the table is needed.
void TSearchIndex::Put(const TIndexDoc& doc) {
    docRows_.push_back({doc.id, doc.offset, doc.size, doc.fields.date, doc.fields.hash, doc.bodyHash, doc.fields.flags,
                        doc.fields.hasAttachment, doc.mailbox});
    auto& w = Statement(kPutWords,
                        "INSERT INTO words(rowid, subject, sender, recipients, cc, attachments, body)"
                        " VALUES(?, ?, ?, ?, ?, ?, ?)");
    w.Bind(1, doc.id)
        .Bind(2, doc.fields.subject)
        .Bind(3, doc.fields.sender)
        .Bind(4, doc.fields.recipients)
        .Bind(5, doc.fields.cc)
        .Bind(6, doc.fields.attachments)
        .Bind(7, doc.body);
    if (!w.Run()) Check(w.Code());
    if (doc.id >= nextId_) nextId_ = doc.id + 1;
}

void TSearchIndex::WriteDocs() {
    if (docRows_.empty()) return;
    auto& d = Statement(kPutDoc,
                        "INSERT OR REPLACE INTO docs(id, mailbox, offset, size, fhash, bhash, date, flags, attach)"
                        " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const TDocRow& row : docRows_) {
        d.Bind(1, row.id)
            .Bind(2, row.mailbox)
            .Bind(3, row.offset)
            .Bind(4, row.size)
            .Bind(5, static_cast<std::int64_t>(row.fieldHash))
            .Bind(6, static_cast<std::int64_t>(row.bodyHash))
            .Bind(7, row.date)
            .Bind(8, static_cast<std::int64_t>(row.flags))
            .Bind(9, static_cast<std::int64_t>(row.attach));
        if (!d.Run()) Check(d.Code());
    }
    docRows_.clear();
}

void TSearchIndex::Remove(std::int64_t id) {
    WriteDocs();
    auto& s = Statement(kRemove, "DELETE FROM docs WHERE id=?");
    s.Bind(1, id);
    if (!s.Run()) Check(s.Code());
    if (sqlite3_changes(db_) > 0) ++orphansAdded_;
}

void TSearchIndex::Update(std::int64_t id, const searchtext::TDocFields& f) {
    WriteDocs();
    auto& s = Statement(kUpdate, "UPDATE docs SET fhash=?, date=?, flags=?, attach=? WHERE id=?");
    s.Bind(1, static_cast<std::int64_t>(f.hash))
        .Bind(2, f.date)
        .Bind(3, static_cast<std::int64_t>(f.flags))
        .Bind(4, static_cast<std::int64_t>(f.hasAttachment))
        .Bind(5, id);
    if (!s.Run()) Check(s.Code());
}

void TSearchIndex::Relocate(std::int64_t id, const std::string& mailbox, std::int64_t offset, std::int64_t size) {
    WriteDocs();
    auto& s = Statement(kRelocate, "UPDATE docs SET mailbox=?, offset=?, size=? WHERE id=?");
    s.Bind(1, mailbox).Bind(2, offset).Bind(3, size).Bind(4, id);
    if (!s.Run()) Check(s.Code());
}

void TSearchIndex::RenameMailbox(const std::string& from, const std::string& to) {
    WriteDocs();
    auto& s = Statement(kRename, "UPDATE docs SET mailbox=? WHERE mailbox=?");
    s.Bind(1, to).Bind(2, from);
    if (!s.Run()) Check(s.Code());
    auto& m = Statement(kRenameMark, "DELETE FROM marks WHERE mailbox=? OR mailbox=?");
    m.Bind(1, from).Bind(2, to);
    if (!m.Run()) Check(m.Code());
}

void TSearchIndex::SetMark(const std::string& mailbox, const std::string& mark) {
    auto& s = Statement(kMark, "INSERT OR REPLACE INTO marks(mailbox, mark) VALUES(?, ?)");
    s.Bind(1, mailbox).Bind(2, mark);
    if (!s.Run()) Check(s.Code());
}

std::int64_t TSearchIndex::NextId() { return Meta("nextid"); }
std::int64_t TSearchIndex::Orphans() { return Meta("orphans"); }

std::int64_t TSearchIndex::Count() {
    WriteDocs();
    TSqlStatement s(db_, "SELECT count(*) FROM docs");
    const std::int64_t n = s.Step() ? s.Int(0) : 0;
    Check(s.Code());
    return n;
}

std::map<std::string, std::string> TSearchIndex::Marks() {
    std::map<std::string, std::string> marks;
    TSqlStatement s(db_, "SELECT mailbox, mark FROM marks");
    while (s.Step()) marks[s.Text(0)] = s.Text(1);
    Check(s.Code());
    return marks;
}

std::vector<std::string> TSearchIndex::Mailboxes() {
    WriteDocs();
    std::vector<std::string> names;
    TSqlStatement s(db_, "SELECT DISTINCT mailbox FROM docs UNION SELECT mailbox FROM marks");
    while (s.Step()) names.push_back(s.Text(0));
    Check(s.Code());
    return names;
}

std::vector<TIndexedKey> TSearchIndex::Keys(const std::string& mailbox) {
    WriteDocs();
    std::vector<TIndexedKey> keys;
    TSqlStatement s(db_, "SELECT id, offset, size, fhash, bhash FROM docs WHERE mailbox=?");
    s.Bind(1, mailbox);
    while (s.Step())
        keys.push_back({s.Int(0), s.Int(1), s.Int(2), static_cast<std::uint64_t>(s.Int(3)),
                        static_cast<std::uint64_t>(s.Int(4))});
    Check(s.Code());
    return keys;
}

std::vector<std::int64_t> TSearchIndex::Find(const TSearchQuery& query, int limit, bool* failed) {
    WriteDocs();
    std::vector<std::int64_t> ids;
    if (failed) *failed = false;
    if (query.Empty() || !query.Problem().empty()) return ids;
    TSqlStatement s(db_, "SELECT d.id FROM docs d WHERE " + query.Where() + " ORDER BY d.date DESC, d.id DESC LIMIT ?");
    Check(s.Code());
    int n = 1;
    for (const auto& p : query.Params()) {
        if (const auto* text = std::get_if<std::string>(&p))
            s.Bind(n++, *text);
        else
            s.Bind(n++, std::get<std::int64_t>(p));
    }
    s.Bind(n, static_cast<std::int64_t>(limit));
    while (s.Step()) ids.push_back(s.Int(0));
    Check(s.Code());
    if (failed) *failed = s.Code() != SQLITE_DONE;
    return ids;
}
