#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "common/MainThread.h"

// The main thread of programs without an event loop: posted tasks wait in a
// queue until the owning thread runs them.
class TTaskQueue : public IMainThread {
public:
    void Post(std::function<void()> task) override;
    // Runs every task posted so far; the number run.
    int RunPending();
    // Waits up to timeout for a task, then runs what is there.
    int WaitAndRun(std::chrono::milliseconds timeout);

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
};
