#include "incoming/ProcessThread.h"

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "common/MainThread.h"
#include "common/TextUtil.h"
#include "incoming/MessageParser.h"

TProcessQueue::TProcessQueue(std::string dataFolder, TMessageParser& parser, IMainThread& main, TStoreMessages store,
                             std::function<void()> runFinished)
    : dataFolder_(std::move(dataFolder)),
      parser_(parser),
      main_(main),
      store_(std::move(store)),
      runFinished_(std::move(runFinished)),
      state_(std::make_shared<State>()) {}

TProcessQueue::~TProcessQueue() {
    {
        std::lock_guard lock(state_->mutex);
        state_->cancelled = true;
    }
    state_->changed.notify_all();
    if (worker_.joinable()) worker_.join();
    // A batch the main thread stored is finished even when the run stops.
    ReleaseStored();
}

std::vector<std::string> TProcessQueue::DownloadedFiles(const std::string& folder) {
    struct TFound {
        std::string path;
        std::string name;
        timespec written;
    };
    std::vector<TFound> found;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return {};
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() <= 4 || !text::EndsWith(name, ".tsg")) continue;
        struct stat st {};
        if (::stat((folder + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            found.push_back({folder + name, name, st.st_mtim});
    }
    ::closedir(dir);
    // Download order: a download is written whole before the next begins,
    // so the time of its last write orders it; within one tick of the file
    // system's clock the account and message number ("Home2" before
    // "Home10") do. The directory's own order is no order at all.
    std::sort(found.begin(), found.end(), [](const TFound& a, const TFound& b) {
        if (a.written.tv_sec != b.written.tv_sec) return a.written.tv_sec < b.written.tv_sec;
        if (a.written.tv_nsec != b.written.tv_nsec) return a.written.tv_nsec < b.written.tv_nsec;
        return text::NaturalLess(a.name, b.name);
    });
    std::vector<std::string> files;
    files.reserve(found.size());
    for (auto& f : found) files.push_back(std::move(f.path));
    return files;
}

void TProcessQueue::Start() {
    std::vector<std::string> fresh;
    {
        std::lock_guard lock(state_->mutex);
        for (auto& f : DownloadedFiles(dataFolder_))
            if (state_->taken.insert(f).second) fresh.push_back(std::move(f));
        state_->runs.push_back(std::move(fresh));
        if (state_->active) return;
        state_->active = true;
    }
    if (worker_.joinable()) worker_.join();  // the previous worker has ended
    worker_ = std::thread([this] { Work(); });
}

bool TProcessQueue::Idle() const {
    std::lock_guard lock(state_->mutex);
    return !state_->active && state_->runs.empty();
}

void TProcessQueue::Work() {
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 19);
    while (true) {
        std::vector<std::string> files;
        {
            std::lock_guard lock(state_->mutex);
            if (state_->runs.empty() || state_->cancelled) {
                state_->active = false;
                state_->changed.notify_all();
                return;
            }
            files = std::move(state_->runs.front());
            state_->runs.pop_front();
        }
        Process(TProcessThread(std::move(files)));
    }
}

struct TProcessQueue::Batch {
    std::vector<TParsedMessage> messages;
    std::vector<std::string> paths;  // every file of the batch, parsed or not
    std::function<void()> finish;    // what the main thread's storing left to do
    std::size_t bytes = 0;
    std::chrono::steady_clock::time_point opened;

    bool Full() const {
        return messages.size() >= TProcessThread::kBatchMessages || bytes >= TProcessThread::kBatchBytes ||
               (!messages.empty() && std::chrono::steady_clock::now() - opened >= TProcessThread::kBatchDelay);
    }
};

bool TProcessQueue::Cancelled() const {
    std::lock_guard lock(state_->mutex);
    return state_->cancelled;
}

bool TProcessQueue::AwaitStored() {
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [&] { return !state_->storing || state_->cancelled; });
    return !state_->cancelled;
}

void TProcessQueue::HandOver(Batch& batch, const std::string& mailbox) {
    if (batch.paths.empty() || !AwaitStored()) return;
    ReleaseStored();
    {
        std::lock_guard lock(state_->mutex);
        state_->storing = true;
    }
    auto handed = std::make_shared<Batch>(std::move(batch));
    batch = Batch{};
    stored_ = handed;
    main_.Post([state = state_, handed, store = store_, mailbox]() mutable {
        bool skip;
        {
            std::lock_guard lock(state->mutex);
            skip = state->cancelled;
        }
        if (!skip && !handed->messages.empty()) handed->finish = store(handed->messages, mailbox);
        // The batch is let go on the processing thread: removing a hundred
        // download files can wait on the disk for a long moment.
        handed.reset();
        std::lock_guard lock(state->mutex);
        state->storing = false;
        state->changed.notify_all();
    });
}

bool TProcessQueue::StoredWaits() const {
    if (!stored_) return false;
    std::lock_guard lock(state_->mutex);
    return !state_->storing;
}

void TProcessQueue::ReleaseStored() {
    if (!stored_) return;
    if (stored_->finish) stored_->finish();
    const std::vector<std::string> paths = std::move(stored_->paths);
    // The last owner of the stored messages: their download files go here
    // (or with the last attachment thread of a message).
    stored_.reset();
    std::lock_guard lock(state_->mutex);
    for (const auto& path : paths) state_->taken.erase(path);
}

void TProcessQueue::Process(const TProcessThread& run) {
    Batch batch;
    for (const auto& path : run.FileList) {
        if (Cancelled()) return;
        try {
            if (auto m = parser_.Parse(path)) {
                if (batch.messages.empty()) batch.opened = std::chrono::steady_clock::now();
                batch.bytes += m->body.size();
                batch.messages.push_back(std::move(*m));
            }
        } catch (...) {
            // Out of memory on a monstrous message: the file stays for a later run.
        }
        batch.paths.push_back(path);
        // The batch the main thread has stored is finished at once: until
        // then it keeps the store's flags.
        if (StoredWaits()) ReleaseStored();
        if (batch.Full()) HandOver(batch, run.TargetMailbox);
    }
    HandOver(batch, run.TargetMailbox);
    if (!AwaitStored()) return;
    ReleaseStored();
    if (runFinished_) main_.Post(runFinished_);
}
