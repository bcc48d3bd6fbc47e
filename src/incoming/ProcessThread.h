#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "store/MailboxName.h"

class IMainThread;
class TMessageParser;
struct TParsedMessage;

// Stores parsed messages into a mailbox on the main thread. What it returns,
// if anything, finishes the storing on the processing thread (the disk's
// waits), before the batch's download files may go.
using TStoreMessages = std::function<std::function<void()>(std::vector<TParsedMessage>&, const std::string& mailbox)>;

// One processing run: its own list of ".tsg" files, parsed one after another
// on the processing thread and handed to the main thread in batches to be
// stored. A batch closes at kBatchMessages messages, kBatchBytes of bodies,
// kBatchDelay after its first message or at the end of the run; while the
// main thread stores one batch the next is parsed, so at most two wait in
// memory. A stored batch is finished on the processing thread before the
// next is handed over.
class TProcessThread {
public:
    static constexpr std::size_t kBatchMessages = 100;
    static constexpr std::size_t kBatchBytes = 8u << 20;
    static constexpr std::chrono::milliseconds kBatchDelay{250};

    explicit TProcessThread(std::vector<std::string> fileList) : FileList(std::move(fileList)) {}

    const std::vector<std::string> FileList;
    const std::string TargetMailbox = TMailboxName::kInBox;
};

// The processing runs of the program, one at a time on one thread at idle
// priority: a run asked for while one is busy waits its turn, and a file
// already queued or being processed is not taken twice. Lives on the main
// thread; the destructor stops after the file in progress.
class TProcessQueue {
public:
    TProcessQueue(std::string dataFolder, TMessageParser& parser, IMainThread& main, TStoreMessages store,
                  std::function<void()> runFinished);
    ~TProcessQueue();
    TProcessQueue(const TProcessQueue&) = delete;
    TProcessQueue& operator=(const TProcessQueue&) = delete;

    // Queues a run over every ".tsg" file of the data folder (a run with no
    // files too: it still ends with runFinished).
    void Start();
    // No run queued or busy.
    bool Idle() const;

    // The ".tsg" files of a folder in the order they were downloaded.
    static std::vector<std::string> DownloadedFiles(const std::string& folder);

private:
    struct State {
        mutable std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::vector<std::string>> runs;
        std::set<std::string> taken;
        bool active = false;
        bool cancelled = false;
        bool storing = false;  // a batch is with the main thread
    };
    struct Batch;
    void Work();
    void Process(const TProcessThread& run);
    // Waits until the batch handed over last is stored (or the queue is
    // cancelled); false when cancelled.
    bool AwaitStored();
    // Hands a batch to the main thread once the previous one is stored.
    void HandOver(Batch& batch, const std::string& mailbox);
    // The batch handed over last is stored and waits to be finished.
    bool StoredWaits() const;
    // Finishes the batch stored last and lets go of it, on the processing
    // thread (or on the main thread once the worker has ended).
    void ReleaseStored();
    bool Cancelled() const;

    std::string dataFolder_;
    TMessageParser& parser_;
    IMainThread& main_;
    TStoreMessages store_;
    std::function<void()> runFinished_;
    std::shared_ptr<State> state_;
    std::shared_ptr<Batch> stored_;  // the batch handed over last; processing thread only
    std::thread worker_;
};
