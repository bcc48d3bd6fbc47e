#include "incoming/DecodeThread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "incoming/DecodeGroup.h"
#include "incoming/DownloadFile.h"

void TDecodeThread::Launch(std::unique_ptr<TDecodeThread> thread, TDecodeGroup& group) {
    auto state = group.state_;
    {
        std::lock_guard lock(state->mutex);
        ++state->running;
    }
    // Runs the job, frees it, then counts it done: the group's waiters see
    // the job's last hold on the download let go.
    const auto runAndFree = [state](TDecodeThread* job) {
        std::unique_ptr<TDecodeThread>(job)->Run();
        std::lock_guard lock(state->mutex);
        --state->running;
        state->done.notify_all();
    };
    // The thread owns the object once it runs; until then this call does.
    TDecodeThread* job = thread.release();
    try {
        std::thread([job, runAndFree] {
            // Below normal: the user's work comes first (per-thread nice on Linux).
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
            runAndFree(job);
        }).detach();
    } catch (...) {
        // No thread to be had (the system's limit on threads): the attachment
        // is decoded here, more slowly but whole.
        runAndFree(job);
    }
}

void TDecodeThread::Run() {
    bool whole = false;
    try {
        if (std::FILE* in = std::fopen(input_.c_str(), "rb")) {
            if (std::FILE* out = std::fopen(output_.c_str(), "wb")) {
                const bool complete = Decode(in, out) && !std::ferror(in);
                const bool written = std::fclose(out) == 0;
                whole = complete && written;
            }
            std::fclose(in);
        }
        if (whole) std::remove(input_.c_str());
    } catch (...) {
        // A thread must never end the program; what was written stays.
    }
    if (!whole && source_) source_->Fail();
}
