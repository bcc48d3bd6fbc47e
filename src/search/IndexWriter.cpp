#include "search/IndexWriter.h"

#include <chrono>
#include <vector>


TIndexWriter::TIndexWriter(const std::string& path) {
    opened_ = index_.Open(path, false);
    if (opened_) thread_ = std::thread([this] { Run(); });
}

TIndexWriter::~TIndexWriter() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void TIndexWriter::Push(TIndexTask task) {
    if (!opened_) return;
    task.bytes = task.doc.body.size();
    pendingBytes_ += task.bytes;
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void TIndexWriter::DropPuts() {
    std::lock_guard lock(mutex_);
    std::deque<TIndexTask> kept;
    for (auto& task : tasks_) {
        if (task.kind == TIndexTask::TKind::Put)
            pendingBytes_ -= task.bytes;
        else
            kept.push_back(std::move(task));
    }
    tasks_.swap(kept);
}

void TIndexWriter::Wait() {
    std::unique_lock lock(mutex_);
    flush_ = true;
    wake_.notify_all();
    idle_.wait(lock, [this] { return (tasks_.empty() && !busy_) || !opened_; });
}

void TIndexWriter::Flush() {
    std::lock_guard lock(mutex_);
    flush_ = true;
    wake_.notify_all();
}

bool TIndexWriter::Idle() {
    std::lock_guard lock(mutex_);
    return (tasks_.empty() && !busy_) || !opened_;
}

void TIndexWriter::Run() {
    // Full-text words are merged into the file at each commit, so a
    // transaction stays open across many hand-overs: it ends once it holds
    // enough text, when nothing more came for a moment, or when someone
    // waits for it.
    constexpr std::size_t kBatch = 2000;
    constexpr std::size_t kCommitBytes = 64u << 20;
    constexpr auto kQuiet = std::chrono::milliseconds(200);
    std::vector<TIndexTask> batch;
    bool open = false;
    std::size_t openBytes = 0;
    for (;;) {
        bool quiet = false;
        {
            std::unique_lock lock(mutex_);
            if (!open) {
                busy_ = false;
                idle_.notify_all();
                wake_.wait(lock, [this] { return stop_ || !tasks_.empty(); });
                if (tasks_.empty()) return;  // stopped with nothing left
                busy_ = true;
            } else if (tasks_.empty() && !flush_ && !stop_) {
                wake_.wait_for(lock, kQuiet, [this] { return stop_ || flush_ || !tasks_.empty(); });
            }
            while (!tasks_.empty() && batch.size() < kBatch) {
                batch.push_back(std::move(tasks_.front()));
                tasks_.pop_front();
            }
            quiet = tasks_.empty() && (batch.empty() || flush_ || stop_);
            if (quiet) flush_ = false;  // the commit below answers it
        }
        if (!damaged_ && !batch.empty()) {
            if (!open) open = index_.Begin();
            for (auto& task : batch) {
                openBytes += task.bytes;
                Apply(task);
            }
        }
        if (open && (quiet || openBytes >= kCommitBytes)) {
            index_.Commit();
            open = false;
            openBytes = 0;
            if (quiet) index_.Compact();
        }
        if (index_.Damaged()) damaged_ = true;
        {
            std::lock_guard lock(mutex_);
            for (const auto& task : batch) pendingBytes_ -= task.bytes;
        }
        batch.clear();
        room_.notify_all();
    }
}

void TIndexWriter::WaitForRoom(std::size_t bytes) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return pendingBytes_.load() < bytes || tasks_.empty(); });
}

void TIndexWriter::Apply(TIndexTask& task) {
    using K = TIndexTask::TKind;
    auto& doc = task.doc;
    switch (task.kind) {
        case K::Put:
            index_.Put(doc);
            ++written_;
            break;
        case K::Remove:
            index_.Remove(doc.id);
            break;
        case K::Update:
            index_.Update(doc.id, doc.fields);
            break;
        case K::Relocate:
            index_.Relocate(doc.id, doc.mailbox, doc.offset, doc.size);
            break;
        case K::Rename:
            index_.RenameMailbox(doc.mailbox, task.text);
            break;
        case K::Mark:
            index_.SetMark(doc.mailbox, task.text);
            break;
    }
}
