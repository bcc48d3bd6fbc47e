#include "incoming/ProcessThread.h"

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "common/MainThread.h"
#include "common/TextUtil.h"
#include "incoming/MessageParser.h"

TProcessQueue::TProcessQueue(std::string dataFolder, TMessageParser& parser, IMainThread& main, TStoreMessage store,
                             std::function<void()> runFinished)
    : dataFolder_(std::move(dataFolder)), parser_(parser), main_(main), store_(std::move(store)),
      runFinished_(std::move(runFinished)), state_(std::make_shared<State>()) {}

TProcessQueue::~TProcessQueue() {
    {
        std::lock_guard lock(state_->mutex);
        state_->cancelled = true;
    }
    state_->changed.notify_all();
    if (worker_.joinable()) worker_.join();
}

std::vector<std::string> TProcessQueue::DownloadedFiles(const std::string& folder) {
    std::vector<std::string> files;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return files;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() <= 4 || !text::EndsWith(name, ".tsg")) continue;
        struct stat st{};
        if (::stat((folder + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) files.push_back(folder + name);
    }
    ::closedir(dir);
    std::sort(files.begin(), files.end());
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

void TProcessQueue::Process(const TProcessThread& run) {
    auto state = state_;
    for (const auto& path : run.FileList) {
        bool cancelled;
        {
            std::lock_guard lock(state->mutex);
            cancelled = state->cancelled;
        }
        if (!cancelled) {
            std::shared_ptr<TParsedMessage> parsed;
            try {
                if (auto m = parser_.Parse(path)) parsed = std::make_shared<TParsedMessage>(std::move(*m));
            } catch (...) {
                // Out of memory on a monstrous message: the file stays for a later run.
            }
            if (parsed) {
                auto done = std::make_shared<bool>(false);
                main_.Post([state, parsed, done, store = store_, mailbox = run.TargetMailbox] {
                    bool skip;
                    {
                        std::lock_guard lock(state->mutex);
                        skip = state->cancelled;
                    }
                    if (!skip) store(*parsed, mailbox);
                    std::lock_guard lock(state->mutex);
                    *done = true;
                    state->changed.notify_all();
                });
                std::unique_lock lock(state->mutex);
                state->changed.wait(lock, [&] { return *done || state->cancelled; });
            }
        }
        std::lock_guard lock(state->mutex);
        state->taken.erase(path);
    }
    bool cancelled;
    {
        std::lock_guard lock(state->mutex);
        cancelled = state->cancelled;
    }
    if (!cancelled && runFinished_) main_.Post(runFinished_);
}
