#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "search/IndexTask.h"
#include "search/SearchIndex.h"

// Writes the changes of the index on a thread of its own, in the order
// they came, many to a transaction, so that the thread that owns the store
// only hands them over.
class TIndexWriter {
public:
    // Opens its own connection to an index file that exists.
    explicit TIndexWriter(const std::string& path);
    // Finishes what was handed over, then ends the thread.
    ~TIndexWriter();
    TIndexWriter(const TIndexWriter&) = delete;
    TIndexWriter& operator=(const TIndexWriter&) = delete;

    bool Opened() const { return opened_; }
    void Push(TIndexTask task);
    // Forgets the documents not yet written (the next start finds them
    // missing and indexes them); every other change is still made.
    void DropPuts();
    // Waits until everything handed over is written and committed.
    void Wait();
    // Asks for what was handed over to be committed as soon as it is
    // written, without waiting for it.
    void Flush();
    // Whether everything handed over is written and committed.
    bool Idle();
    // Waits until fewer than `bytes` of bodies wait to be written.
    void WaitForRoom(std::size_t bytes);
    // Bytes of bodies handed over and not yet written.
    std::size_t PendingBytes() const { return pendingBytes_.load(); }
    // Documents written since the start.
    std::int64_t Written() const { return written_.load(); }
    // Whether the file turned out damaged; nothing more is written then.
    bool Damaged() const { return damaged_.load(); }

private:
    void Run();
    void Apply(TIndexTask& task);

    TSearchIndex index_;
    bool opened_ = false;
    std::mutex mutex_;
    std::condition_variable wake_, idle_, room_;
    std::deque<TIndexTask> tasks_;
    bool busy_ = false;
    bool stop_ = false;
    bool flush_ = false;  // someone waits: commit as soon as the queue is empty
    std::atomic<std::size_t> pendingBytes_{0};
    std::atomic<std::int64_t> written_{0};
    std::atomic<bool> damaged_{false};
    std::thread thread_;
};
