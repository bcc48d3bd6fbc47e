#include "search/IndexWriter.h"

#include <chrono>
#include <vector>

#include "mail/RecordBody.h"
#include "richtext/PlainText.h"

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
    idle_.wait(lock, [this] { return (tasks_.empty() && !busy_) || !opened_; });
}

void TIndexWriter::Run() {
    constexpr std::size_t kBatch = 2000;
    std::vector<TIndexTask> batch;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            busy_ = false;
            if (tasks_.empty()) idle_.notify_all();
            wake_.wait(lock, [this] { return stop_ || !tasks_.empty(); });
            if (tasks_.empty()) return;  // stopped with nothing left
            busy_ = true;
            while (!tasks_.empty() && batch.size() < kBatch) {
                batch.push_back(std::move(tasks_.front()));
                tasks_.pop_front();
            }
        }
        if (!damaged_) {
            index_.Begin();
            for (auto& task : batch) Apply(task);
            index_.Commit();
            if (index_.Damaged()) damaged_ = true;
        }
        for (const auto& task : batch) pendingBytes_ -= task.bytes;
        batch.clear();
    }
}

void TIndexWriter::Apply(TIndexTask& task) {
    using K = TIndexTask::TKind;
    auto& doc = task.doc;
    switch (task.kind) {
        case K::Put: {
            doc.body = searchtext::Spaced(plaintext::Utf8(TRecordBody::DocumentOf(doc.body)));
            index_.Put(doc);
            ++written_;
            break;
        }
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
