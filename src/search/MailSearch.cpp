#include "search/MailSearch.h"

#include <sys/stat.h>

#include <unordered_set>

#include "mail/RecordBody.h"
#include "richtext/PlainText.h"
#include "search/IndexWriter.h"
#include "search/SearchQuery.h"
#include "search/SearchText.h"
#include "store/MailStore.h"

namespace {

// Above this many bytes of bodies waiting for the writer, reading waits.
constexpr std::size_t kMaxWaiting = 16 * 1024 * 1024;
// The fields whose change makes new words.
constexpr unsigned kWordFields = rfSubject | rfWho | rfAddress | rfAttachments | rfCCList | rfBCCList | rfMsgType;

struct TKeyHash {
    std::size_t operator()(const std::tuple<std::int64_t, std::int64_t, std::uint64_t>& k) const {
        return std::hash<std::int64_t>()(std::get<0>(k)) * 31 + std::hash<std::int64_t>()(std::get<1>(k)) * 17 +
               std::hash<std::uint64_t>()(std::get<2>(k));
    }
};

std::string FileMark(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "-";
    return std::to_string(st.st_size) + "@" + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec) + "#" + std::to_string(st.st_ino);
}

}  // namespace

TMailSearch::TMailSearch(TMailStore& store) : store_(store), path_(store.DataFolder() + kFileName) {
    store_.AddObserver(this);
}

TMailSearch::~TMailSearch() {
    Close();
    store_.RemoveObserver(this);
}

std::string TMailSearch::MailboxName(const std::string& stored) { return searchtext::FieldUtf8(stored); }

bool TMailSearch::Start() {
    writer_.reset();
    reader_.Close();
    idOf_.clear();
    handleOf_.clear();
    pending_.clear();
    verify_.clear();
    unverified_.clear();
    touched_.clear();
    done_ = total_ = 0;
    started_ = false;

    bool fresh = false;
    if (!reader_.Open(path_, true, &fresh)) return false;
    // Words of changed and destroyed messages stay in the file unreachable;
    // once they outweigh the living, the file is built again.
    if (!fresh && reader_.Orphans() > std::max<std::int64_t>(10000, reader_.Count())) {
        reader_.Close();
        TSearchIndex::Remove(path_);
        if (!reader_.Open(path_, true, &fresh)) return false;
    }
    writer_ = std::make_unique<TIndexWriter>(path_);
    if (!writer_->Opened()) {
        writer_.reset();
        reader_.Close();
        return false;
    }
    nextId_ = reader_.NextId();
    started_ = true;

    std::set<std::string> names;
    const auto& headers = store_.Headers();
    for (int h = 0; h < headers.Length(); ++h)
        if (const THeaderItem* item = headers.At(h)) names.insert(item->Mailbox.str());
    Reconcile({names.begin(), names.end()});
    // Documents of mailboxes the store no longer has.
    std::set<std::string> known;
    for (const auto& name : names) known.insert(MailboxName(name));
    for (const auto& mailbox : reader_.Mailboxes())
        if (!known.count(mailbox)) {
            for (const auto& key : reader_.Keys(mailbox)) {
                TIndexTask task;
                task.kind = TIndexTask::TKind::Remove;
                task.doc.id = key.id;
                writer_->Push(std::move(task));
            }
            TIndexTask task;
            task.kind = TIndexTask::TKind::Mark;
            task.doc.mailbox = mailbox;
            writer_->Push(std::move(task));
        }
    Wake();
    return true;
}

void TMailSearch::Reconcile(const std::vector<std::string>& mailboxes) {
    if (!started_) return;
    writer_->Wait();  // what the reader sees must be all that was handed over
    const auto marks = reader_.Marks();
    const auto& headers = store_.Headers();
    std::map<std::string, std::vector<int>> handles;
    const std::set<std::string> wanted(mailboxes.begin(), mailboxes.end());
    for (int h = 0; h < headers.Length(); ++h) {
        const THeaderItem* item = headers.At(h);
        if (item && wanted.count(item->Mailbox.str()) && !idOf_.count(h)) handles[item->Mailbox.str()].push_back(h);
    }
    for (const auto& name : mailboxes) {
        const std::string mailbox = MailboxName(name);
        using TKey = std::tuple<std::int64_t, std::int64_t, std::uint64_t>;
        std::unordered_multimap<TKey, TIndexedKey, TKeyHash> rows;
        for (const auto& key : reader_.Keys(mailbox))
            if (!handleOf_.count(key.id)) rows.emplace(TKey{key.offset, key.size, key.fieldHash}, key);
        const auto mark = marks.find(mailbox);
        const bool certain = mark != marks.end() && mark->second == Mark(name);
        for (const int h : handles[name]) {
            const THeaderItem& item = *headers.At(h);
            const auto fields = searchtext::TDocFields::Of(item);
            const auto found = rows.find(TKey{item.Offset, item.Size, fields.hash});
            if (found == rows.end()) {
                Queue(h);
                continue;
            }
            idOf_[h] = found->second.id;
            handleOf_[found->second.id] = h;
            if (!certain) {
                verify_.push_back({h, found->second, name});
                ++unverified_[name];
                ++total_;
            }
            rows.erase(found);
        }
        for (const auto& [key, row] : rows) {
            TIndexTask task;
            task.kind = TIndexTask::TKind::Remove;
            task.doc.id = row.id;
            writer_->Push(std::move(task));
        }
        if (certain || !unverified_.count(name)) PutMark(name);
    }
}

std::string TMailSearch::Mark(const std::string& mailbox) const {
    const auto& files = store_.Files();
    return FileMark(files.IndexPath(mailbox)) + "|" + FileMark(files.MessagePath(mailbox));
}

void TMailSearch::PutMark(const std::string& mailbox) {
    if (!started_ || unverified_.count(mailbox)) return;
    TIndexTask task;
    task.kind = TIndexTask::TKind::Mark;
    task.doc.mailbox = MailboxName(mailbox);
    task.text = Mark(mailbox);
    writer_->Push(std::move(task));
}

void TMailSearch::Queue(int handle) {
    if (!started_) return;
    if (pending_.empty() && verify_.empty()) done_ = total_ = 0;
    pending_.push_back(handle);
    ++total_;
    Wake();
}

void TMailSearch::Forget(int handle) {
    const auto it = idOf_.find(handle);
    if (it == idOf_.end()) return;
    TIndexTask task;
    task.kind = TIndexTask::TKind::Remove;
    task.doc.id = it->second;
    writer_->Push(std::move(task));
    handleOf_.erase(it->second);
    idOf_.erase(it);
}

void TMailSearch::Wake() {
    if (wake_ && (!pending_.empty() || !verify_.empty())) wake_();
}

bool TMailSearch::IndexOne(int handle) {
    const THeaderItem* item = store_.Headers().At(handle);
    if (!item || idOf_.count(handle)) return false;
    TIndexTask task;
    task.kind = TIndexTask::TKind::Put;
    auto& doc = task.doc;
    doc.id = nextId_++;
    doc.mailbox = MailboxName(item->Mailbox.str());
    doc.offset = item->Offset;
    doc.size = item->Size;
    doc.fields = searchtext::TDocFields::Of(*item);
    std::string body;
    if (!store_.Files().ReadBody(*item, body)) body.clear();
    doc.bodyHash = searchtext::Hash(body);
    // The text is made here, beside the writer, which has the full-text
    // merging to do on its own thread.
    doc.body = searchtext::Spaced(plaintext::Utf8(TRecordBody::DocumentOf(body)));
    idOf_[handle] = doc.id;
    handleOf_[doc.id] = handle;
    writer_->Push(std::move(task));
    return true;
}

void TMailSearch::Verify(int handle, const TIndexedKey& key) {
    const THeaderItem* item = store_.Headers().At(handle);
    const auto it = idOf_.find(handle);
    if (!item || it == idOf_.end() || it->second != key.id) return;
    std::string body;
    if (!store_.Files().ReadBody(*item, body)) body.clear();
    if (searchtext::Hash(body) == key.bodyHash) return;
    Forget(handle);
    IndexOne(handle);
}

bool TMailSearch::Step(std::chrono::milliseconds budget) {
    if (!started_) return false;
    if (writer_->Damaged()) Rebuild();
    if (!started_) return false;
    const auto end = std::chrono::steady_clock::now() + budget;
    do {
        if (writer_->PendingBytes() > kMaxWaiting) break;
        if (!pending_.empty()) {
            const int handle = pending_.front();
            pending_.pop_front();
            IndexOne(handle);
            ++done_;
        } else if (!verify_.empty()) {
            const TVerify next = verify_.front();
            verify_.pop_front();
            ++done_;
            Verify(next.handle, next.key);
            const auto left = unverified_.find(next.mailbox);
            if (left != unverified_.end() && --left->second <= 0) {
                unverified_.erase(left);
                PutMark(next.mailbox);
            }
        } else {
            break;
        }
    } while (std::chrono::steady_clock::now() < end);
    if (!pending_.empty() || !verify_.empty()) return true;
    // All handed over: what is written shows once it is committed.
    writer_->Flush();
    return !writer_->Idle();
}

void TMailSearch::Finish() {
    if (!started_) return;
    while (Step(std::chrono::milliseconds(50))) {
        if (pending_.empty() && verify_.empty()) break;
        writer_->WaitForRoom(kMaxWaiting / 2);
    }
    writer_->Wait();
    if (writer_->Damaged()) {
        Rebuild();
        Finish();
    }
}

void TMailSearch::Close() {
    if (!started_) return;
    writer_->DropPuts();
    std::set<std::string> names;
    const auto& headers = store_.Headers();
    for (int h = 0; h < headers.Length(); ++h)
        if (const THeaderItem* item = headers.At(h)) names.insert(item->Mailbox.str());
    // Records not yet read are missing from the index, which the next start
    // sees; everything else written agrees with the files as they are now.
    for (const auto& name : names) PutMark(name);
    writer_->Wait();
    writer_.reset();
    reader_.Close();
    started_ = false;
}

void TMailSearch::Rebuild() {
    writer_.reset();
    reader_.Close();
    TSearchIndex::Remove(path_);
    Start();
}

TMailSearch::TProgress TMailSearch::Progress() const { return {done_, total_}; }

std::vector<int> TMailSearch::Find(const TSearchQuery& query, int limit) {
    std::vector<int> handles;
    if (!started_) return handles;
    for (const std::int64_t id : reader_.Find(query, limit)) {
        const auto it = handleOf_.find(id);
        if (it != handleOf_.end() && store_.Headers().At(it->second)) handles.push_back(it->second);
    }
    if (reader_.Damaged()) {
        Rebuild();
        Wake();
    }
    return handles;
}

void TMailSearch::StoreChanged(const TStoreEvent& e) {
    if (!started_) return;
    using C = TStoreChange;
    if (!e.mailbox.empty()) touched_.insert(e.mailbox);
    if (!e.from.empty()) touched_.insert(e.from);
    switch (e.change) {
        case C::RecordAdded:
            Queue(e.handle);
            break;
        case C::RecordChanged:
            if (!idOf_.count(e.handle) || !e.record) break;
            if (e.fields & kWordFields) {
                Forget(e.handle);
                Queue(e.handle);
            } else if (e.fields & (rfFlags | rfDate)) {
                TIndexTask task;
                task.kind = TIndexTask::TKind::Update;
                task.doc.id = idOf_[e.handle];
                task.doc.fields = searchtext::TDocFields::Of(*e.record);
                writer_->Push(std::move(task));
            }
            break;
        case C::BodyRewritten:
            Forget(e.handle);
            Queue(e.handle);
            break;
        case C::RecordMoved:
            if (idOf_.count(e.handle) && e.record) {
                TIndexTask task;
                task.kind = TIndexTask::TKind::Relocate;
                task.doc.id = idOf_[e.handle];
                task.doc.mailbox = MailboxName(e.record->Mailbox.str());
                task.doc.offset = e.record->Offset;
                task.doc.size = e.record->Size;
                writer_->Push(std::move(task));
            }
            break;
        case C::RecordRemoved:
            Forget(e.handle);
            break;
        case C::MailboxCompacted:
            for (const auto& [handle, id] : idOf_) {
                const THeaderItem* item = store_.Headers().At(handle);
                if (!item || item->Mailbox.str() != e.mailbox) continue;
                TIndexTask task;
                task.kind = TIndexTask::TKind::Relocate;
                task.doc.id = id;
                task.doc.mailbox = MailboxName(e.mailbox);
                task.doc.offset = item->Offset;
                task.doc.size = item->Size;
                writer_->Push(std::move(task));
            }
            break;
        case C::MailboxRenamed: {
            TIndexTask task;
            task.kind = TIndexTask::TKind::Rename;
            task.doc.mailbox = MailboxName(e.from);
            task.text = MailboxName(e.mailbox);
            writer_->Push(std::move(task));
            const auto left = unverified_.find(e.from);
            if (left != unverified_.end()) {
                const int count = left->second;
                unverified_.erase(left);
                unverified_[e.mailbox] += count;
                for (auto& v : verify_)
                    if (v.mailbox == e.from) v.mailbox = e.mailbox;
            }
            break;
        }
        case C::MailboxLoaded:
            Reconcile({e.mailbox});
            Wake();
            break;
        case C::MailboxCreated:
        case C::MailboxDeleted:
            break;
    }
}

void TMailSearch::ChangesDone() {
    if (!started_) return;
    for (const auto& name : touched_) PutMark(name);
    touched_.clear();
}
