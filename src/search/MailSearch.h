#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "search/SearchIndex.h"
#include "store/StoreObserver.h"

class TIndexWriter;
class TMailStore;
class TSearchQuery;

// Search over every stored message through the index file "Search.db" in
// the data folder, which is a cache: a missing, damaged or older file is
// built again from the store.
//
// It follows the store through its events on the store's thread, where it
// only notes what changed; the bodies of new and changed records are read
// there in steps of bounded time (Step), and made text and written on the
// index writer's thread. Records are known to the index by mailbox, region
// and a hash of their fields, so that the next run finds them again; a
// mark per mailbox (the sizes and times of its files when the index last
// agreed with them) tells at start-up which mailboxes may have changed
// behind the index's back (a crash), and there every body is compared with
// the hash of the text indexed. Whatever does not match is indexed anew.
class TMailSearch : public IStoreObserver {
public:
    static constexpr const char* kFileName = "Search.db";

    explicit TMailSearch(TMailStore& store);
    ~TMailSearch() override;
    TMailSearch(const TMailSearch&) = delete;
    TMailSearch& operator=(const TMailSearch&) = delete;

    // Opens (or builds anew) the index and matches it to the loaded
    // records; what is missing waits for Step. False when the file cannot
    // be made at all: search then finds nothing.
    bool Start();
    // Called when work for Step appears (the window schedules a step).
    void SetWake(std::function<void()> wake) { wake_ = std::move(wake); }
    // Reads waiting bodies for about budget; true while work is left, its
    // own or the writer's (what is written shows once it is committed).
    bool Step(std::chrono::milliseconds budget);
    // Steps until everything is indexed and written (the tool, tests).
    void Finish();
    // Writes the marks of every mailbox and stops the writer; documents
    // not yet written are left for the next start.
    void Close();

    // Records read for the index since it last had nothing to do, and how
    // many of them there were to read: for a progress display.
    struct TProgress {
        std::int64_t done = 0, total = 0;
        bool Busy() const { return done < total; }
    };
    TProgress Progress() const;

    // The handles of the records the query finds, newest first.
    std::vector<int> Find(const TSearchQuery& query, int limit = 100000);

    void StoreChanged(const TStoreEvent& event) override;
    void ChangesDone() override;

    static std::string MailboxName(const std::string& stored);

private:
    void Reconcile(const std::vector<std::string>& mailboxes);
    void Queue(int handle);
    void Forget(int handle);
    bool IndexOne(int handle);
    void Verify(int handle, const TIndexedKey& key);
    std::string Mark(const std::string& mailbox) const;
    void PutMark(const std::string& mailbox);
    void Rebuild();
    void Wake();

    TMailStore& store_;
    std::string path_;
    TSearchIndex reader_;
    std::unique_ptr<TIndexWriter> writer_;
    bool started_ = false;
    std::int64_t nextId_ = 1;
    std::unordered_map<int, std::int64_t> idOf_;
    std::unordered_map<std::int64_t, int> handleOf_;
    std::deque<int> pending_;
    struct TVerify {
        int handle;
        TIndexedKey key;
        std::string mailbox;
    };
    std::deque<TVerify> verify_;
    std::map<std::string, int> unverified_;  // mailbox -> bodies left to compare
    std::set<std::string> touched_;
    std::int64_t done_ = 0, total_ = 0;
    std::function<void()> wake_;
};
