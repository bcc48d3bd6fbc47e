#include "common/TaskQueue.h"

void TTaskQueue::Post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    posted_.notify_all();
}

int TTaskQueue::RunPending() {
    std::deque<std::function<void()>> now;
    {
        std::lock_guard lock(mutex_);
        now.swap(tasks_);
    }
    for (auto& task : now) task();
    return static_cast<int>(now.size());
}

int TTaskQueue::WaitAndRun(std::chrono::milliseconds timeout) {
    {
        std::unique_lock lock(mutex_);
        posted_.wait_for(lock, timeout, [&] { return !tasks_.empty(); });
    }
    return RunPending();
}
