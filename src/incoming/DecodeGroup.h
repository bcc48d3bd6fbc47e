#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

// The decoding threads a processing run started. Nothing waits for them
// while the program runs; whoever ends the program (or a test, or the
// command line) waits here until every attachment file is complete. The
// destructor waits too, so no thread outlives what it reports to.
class TDecodeGroup {
public:
    TDecodeGroup() : state_(std::make_shared<State>()) {}
    ~TDecodeGroup() { WaitAll(); }
    TDecodeGroup(const TDecodeGroup&) = delete;
    TDecodeGroup& operator=(const TDecodeGroup&) = delete;

    void WaitAll();
    int Running() const;

private:
    friend class TDecodeThread;
    struct State {
        mutable std::mutex mutex;
        std::condition_variable done;
        int running = 0;
    };
    std::shared_ptr<State> state_;
};
