#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

// The decoding of a processing run's attachments: at most kMaxThreads
// threads at a time take the jobs in the order they came, however many
// attachments a message has. Nothing waits for them while the program runs;
// whoever ends the program (or a test, or the command line) waits here until
// every attachment file is complete. The destructor waits too, so no thread
// outlives what it reports to.
class TDecodeGroup {
public:
    static constexpr int kMaxThreads = 4;

    TDecodeGroup() : state_(std::make_shared<State>()) {}
    ~TDecodeGroup() { WaitAll(); }
    TDecodeGroup(const TDecodeGroup&) = delete;
    TDecodeGroup& operator=(const TDecodeGroup&) = delete;

    void WaitAll();
    // Jobs not yet done, running or waiting.
    int Running() const;
    // Jobs waiting for a thread.
    int Queued() const;

private:
    friend class TDecodeThread;
    struct State {
        mutable std::mutex mutex;
        std::condition_variable done;
        int running = 0;  // jobs not yet done
        int threads = 0;  // threads taking jobs
        std::deque<std::function<void()>> jobs;
    };
    // Queues a job and starts a thread for it when fewer than kMaxThreads
    // run; with no thread to be had it runs on the calling thread.
    void Add(std::function<void()> job);
    static void TakeJobs(const std::shared_ptr<State>& state);
    std::shared_ptr<State> state_;
};
