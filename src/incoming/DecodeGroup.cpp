#include "incoming/DecodeGroup.h"

#include <sys/resource.h>
#include <unistd.h>

#include <thread>

void TDecodeGroup::WaitAll() {
    std::unique_lock lock(state_->mutex);
    state_->done.wait(lock, [&] { return state_->running == 0; });
}

int TDecodeGroup::Running() const {
    std::lock_guard lock(state_->mutex);
    return state_->running;
}

int TDecodeGroup::Queued() const {
    std::lock_guard lock(state_->mutex);
    return static_cast<int>(state_->jobs.size());
}

void TDecodeGroup::TakeJobs(const std::shared_ptr<State>& state) {
    for (;;) {
        std::function<void()> job;
        {
            std::lock_guard lock(state->mutex);
            if (state->jobs.empty()) {
                --state->threads;
                return;
            }
            job = std::move(state->jobs.front());
            state->jobs.pop_front();
        }
        job();
        std::lock_guard lock(state->mutex);
        --state->running;
        state->done.notify_all();
    }
}

void TDecodeGroup::Add(std::function<void()> job) {
    {
        std::lock_guard lock(state_->mutex);
        ++state_->running;
        state_->jobs.push_back(std::move(job));
        if (state_->threads >= kMaxThreads) return;
        ++state_->threads;
    }
    try {
        std::thread([state = state_] {
            // Below normal: the user's work comes first (per-thread nice on Linux).
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
            TakeJobs(state);
        }).detach();
    } catch (...) {
        // No thread to be had (the system's limit on threads): the jobs are
        // done here, more slowly but whole.
        TakeJobs(state_);
    }
}
