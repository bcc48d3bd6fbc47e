#include "store/MailboxFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <vector>

#include "common/AppTitle.h"
#include "common/BusyFlag.h"
#include "common/FileUtil.h"
#include "common/UserPrompt.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "store/Headers.h"
#include "store/IndexLine.h"

namespace {

constexpr std::int32_t kCompactSlack = 100;
constexpr std::int64_t kMaxOffset = std::numeric_limits<std::int32_t>::max();

// Closes a descriptor on every path out of a scope.
struct TFd {
    int fd = -1;
    explicit TFd(int f) : fd(f) {}
    ~TFd() {
        if (fd >= 0) ::close(fd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    bool Close() {
        const int f = fd;
        fd = -1;
        return f < 0 || ::close(f) == 0;
    }
};

bool PReadAll(int fd, char* data, std::size_t size, off_t at) {
    while (size > 0) {
        const ssize_t n = ::pread(fd, data, size, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // an error, or the file ended early
        data += n;
        size -= static_cast<std::size_t>(n);
        at += n;
    }
    return true;
}

bool PWriteAll(int fd, const char* data, std::size_t size, off_t at) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
        at += n;
    }
    return true;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::int64_t FileLength(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

// Whether a record's body lies wholly inside a file of the given length.
bool BodyInside(const THeaderItem& item, std::int64_t length) {
    return item.Offset >= 0 && item.Size >= 0 && static_cast<std::int64_t>(item.Offset) + item.Size <= length;
}

// Reads the source of a compaction through a large window: bodies mostly lie
// one after another, so most records need no read of their own.
class TWindowReader {
public:
    explicit TWindowReader(int fd) : fd_(fd) {}
    // Appends size bytes from at to out; false when they cannot all be read.
    bool Append(std::string& out, std::int64_t at, std::int64_t size) {
        while (size > 0) {
            if (at < start_ || at >= start_ + static_cast<std::int64_t>(window_.size())) {
                if (!Fill(at)) return false;
            }
            const std::int64_t inWindow = start_ + static_cast<std::int64_t>(window_.size()) - at;
            const std::int64_t take = std::min(size, inWindow);
            out.append(window_.data() + (at - start_), static_cast<std::size_t>(take));
            at += take;
            size -= take;
        }
        return true;
    }

private:
    static constexpr std::size_t kWindow = 1 << 20;
    bool Fill(std::int64_t at) {
        window_.resize(kWindow);
        for (;;) {
            const ssize_t n = ::pread(fd_, window_.data(), kWindow, static_cast<off_t>(at));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                window_.clear();
                return false;
            }
            window_.resize(static_cast<std::size_t>(n));
            start_ = at;
            return true;
        }
    }
    int fd_;
    std::int64_t start_ = 0;
    std::vector<char> window_;
};

}  // namespace

TMailboxFiles::TMailboxFiles(THeaders& headers, TBusyFlags& flags, IEventPump& pump, IUserPrompt& prompt,
                             const TIniFile& config, std::string dataFolder)
    : headers_(headers),
      flags_(flags),
      pump_(pump),
      prompt_(prompt),
      config_(config),
      dataFolder_(fileutil::WithTrailingSlash(std::move(dataFolder))) {}

std::string TMailboxFiles::Folder(const std::string& name) const {
    std::string folder = config_.ReadString(cfg::kMailBoxesSection, TMailboxName::FileStem(name), dataFolder_);
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

std::string TMailboxFiles::LoadError(const std::string& indexPath) {
    return std::string(kAppTitle) + " could not retreive messages from file:" + "\r\n" + "\"" + indexPath +
           "\" could not be opened. Please try again later.";
}

std::string TMailboxFiles::SaveIndexError() { return std::string(kAppTitle) + " has failed to save headers to disk."; }

std::string TMailboxFiles::MoveError(const std::string& target) {
    return std::string(kAppTitle) + " did not properly save a message to mailbox \"" + target + "\"." + "\n" +
           "Reason: Write message failed";
}

// Whether a compaction's new message file is complete for the index it
// wrote: the compaction lays the bodies out one after another, each with its
// slack, so a whole file ends exactly where the last region ends.
bool TMailboxFiles::CompactedFileComplete(const std::string& tmp, const std::string& index) {
    struct stat st {};
    if (::stat(tmp.c_str(), &st) != 0) return false;
    std::int64_t end = 0;
    std::string_view rest = index;
    while (!rest.empty()) {
        const auto nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        const THeaderItem item = TIndexLine::Parse(line);
        if (item.Offset == -1) continue;
        if (item.Offset < 0 || item.Size < 0 || item.Slack < 0) return false;
        end = std::max(end, static_cast<std::int64_t>(item.Offset) + item.Size + item.Slack);
    }
    return end == static_cast<std::int64_t>(st.st_size);
}

void TMailboxFiles::Recover(const std::string& name) {
    const std::string bak = BackupPath(name), tmp = TempPath(name);
    // A backup is only ever created whole (it is itself written atomically).
    // It may be one a failed rename left behind rather than a compaction's,
    // so its ".tmp" is installed only when that holds every body the backup
    // names, to the byte.
    if (fileutil::Exists(bak)) {
        if (fileutil::Exists(tmp)) {
            const auto index = fileutil::ReadAll(bak);
            if (index && CompactedFileComplete(tmp, *index))
                fileutil::ReplaceWith(tmp, MessagePath(name));
            else
                ::unlink(tmp.c_str());
        }
        fileutil::ReplaceWith(bak, IndexPath(name));
    } else if (fileutil::Exists(tmp)) {
        ::unlink(tmp.c_str());  // a compaction that never finished
    }
    // Temporary files of an atomic write that was cut short: the file's own
    // name, a dot and the six letters or digits the system added. Another
    // mailbox's files ("Work.Bak.01.Mbx") never look like that.
    std::error_code ec;
    const std::string folder = Folder(name);
    const auto isLeftover = [](std::string_view suffix) {
        return suffix.size() == 6 && std::all_of(suffix.begin(), suffix.end(),
                                                 [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
    };
    for (const char* ext : {".Bak.", ".Mbx.", ".jnl."}) {
        const std::string prefix = TMailboxName::FileStem(name) + ext;
        for (const auto& entry : std::filesystem::directory_iterator(folder.empty() ? "." : folder, ec)) {
            const std::string file = entry.path().filename().string();
            if (file.compare(0, prefix.size(), prefix) == 0 && isLeftover(std::string_view(file).substr(prefix.size())))
                std::filesystem::remove(entry.path(), ec);
        }
    }
}

int TMailboxFiles::Load(const std::string& name) {
    Recover(name);
    const std::string path = IndexPath(name);
    if (!fileutil::Exists(path)) return 0;
    const auto content = fileutil::ReadAll(path);
    if (!content) {
        prompt_.Error(LoadError(path));
        return 0;
    }
    int fresh = 0;
    const int firstHandle = headers_.Length();
    std::string_view rest = *content;
    headers_.Reserve(static_cast<std::size_t>(std::count(rest.begin(), rest.end(), '\n')) + 1);
    while (!rest.empty()) {
        const auto nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        auto item = std::make_unique<THeaderItem>(TIndexLine::Parse(line));
        item->Mailbox = name;
        if (item->Has(mfNew)) ++fresh;
        headers_.Add(std::move(item));
    }
    RecoverRewrite(name, firstHandle);
    return fresh;
}

void TMailboxFiles::RecoverRewrite(const std::string& name, int firstHandle) {
    const std::string path = RewritePath(name);
    if (!fileutil::Exists(path)) return;
    const auto journal = fileutil::ReadAll(path);
    long long offset = -1, oldSize = -1, newSize = -1;
    int used = 0;
    if (journal && std::sscanf(journal->c_str(), "%lld %lld %lld\n%n", &offset, &oldSize, &newSize, &used) == 3 &&
        used > 0) {
        for (int h = firstHandle; h < headers_.Length(); ++h) {
            const THeaderItem* item = headers_.At(h);
            if (!item || item->Offset != offset) continue;
            // An index that already names the new size was saved after the
            // new body was complete on disk.
            if (item->Size == oldSize || oldSize == newSize) {
                TFd fd(::open(MessagePath(name).c_str(), O_WRONLY | O_CLOEXEC));
                const std::string_view old = std::string_view(*journal).substr(static_cast<std::size_t>(used));
                if (fd.fd < 0 || !PWriteAll(fd.fd, old.data(), old.size(), static_cast<off_t>(offset)) ||
                    ::fdatasync(fd.fd) != 0)
                    return;  // keep the journal for the next start
            }
            break;
        }
    }
    ::unlink(path.c_str());
}

std::string TMailboxFiles::IndexContent(const std::string& name) const {
    std::string out;
    for (int h = 0; h < headers_.Length(); ++h) {
        const THeaderItem* item = headers_.At(h);
        if (!item || item->Mailbox != name) continue;
        TIndexLine::AppendTo(out, *item);
        out += "\r\n";
    }
    return out;
}

bool TMailboxFiles::ReplaceIndexFile(const std::string& indexPath, const std::string& backupPath,
                                     const std::string& content) {
    // The backup becomes the index, so it takes the index's mode.
    if (!fileutil::WriteAtomically(backupPath, content, fileutil::ModeOf(indexPath, fileutil::kPrivateFile)))
        return false;
    // Should this rename fail, the backup holds the current state and the
    // next load puts it in place.
    return fileutil::ReplaceWith(backupPath, indexPath);
}

bool TMailboxFiles::ReplaceIndex(const std::string& name, const std::string& content) {
    if (!ReplaceIndexFile(IndexPath(name), BackupPath(name), content)) return false;
    std::lock_guard lock(journalMutex_);
    if (waitingJournals_.erase(name) > 0) ::unlink(RewritePath(name).c_str());
    return true;
}

bool TMailboxFiles::JournalWaits(const std::string& name) const {
    std::lock_guard lock(journalMutex_);
    return waitingJournals_.count(name) > 0;
}

bool TMailboxFiles::SettleJournal(const std::string& name) {
    return !JournalWaits(name) || ReplaceIndex(name, IndexContent(name));
}

bool TMailboxFiles::SaveIndexQuietly(const std::string& name) {
    TBusyLock lock(flags_.indexSave, pump_);
    return lock.Held() && ReplaceIndex(name, IndexContent(name));
}

bool TMailboxFiles::SaveIndex(const std::string& name) {
    if (SaveIndexQuietly(name)) return true;
    // Shown with the flag released: the box's own event loop may run a
    // command that saves an index too.
    prompt_.Error(SaveIndexError());
    return false;
}

bool TMailboxFiles::ReadBody(const THeaderItem& item, std::string& body) const {
    if (item.Offset == -1) return false;
    TFd fd(::open(MessagePath(item.Mailbox).c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.fd < 0) return false;
    if (!BodyInside(item, FileLength(fd.fd))) return false;
    std::string bytes(static_cast<std::size_t>(item.Size), '\0');
    if (!PReadAll(fd.fd, bytes.data(), bytes.size(), item.Offset)) return false;
    body = std::move(bytes);
    return true;
}

bool TMailboxFiles::SaveBody(THeaderItem& item, std::string_view body) {
    bool indexSaved = true;
    const bool written = WriteBody(item, body, indexSaved);
    if (!indexSaved) prompt_.Error(SaveIndexError());
    return written;
}

bool TMailboxFiles::WriteBody(THeaderItem& item, std::string_view body, bool& indexSaved) {
    TBusyLock lock(flags_.messageFile, pump_);
    if (!lock.Held()) return false;
    TFd fd(::open(MessagePath(item.Mailbox).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, fileutil::kPrivateFile));
    if (fd.fd < 0) return false;
    // Other programs that honour the lock do not write at the same time.
    if (::flock(fd.fd, LOCK_EX | LOCK_NB) != 0) return false;
    const std::int64_t length = FileLength(fd.fd);
    if (length < 0) return false;
    if (JournalWaits(item.Mailbox) && !SaveIndexQuietly(item.Mailbox)) {
        indexSaved = false;
        return false;
    }

    const std::int64_t n = static_cast<std::int64_t>(body.size());
    std::int64_t at = length;
    std::int64_t slack = item.Slack;
    bool inPlace = false;
    const std::int64_t extent = static_cast<std::int64_t>(item.Size) + item.Slack;
    // A region that does not lie inside the file (a damaged index) is never
    // written into: the body then goes to the end like a new one.
    const bool regionValid = item.Offset >= 0 && item.Size >= 0 && item.Slack >= 0 && item.Offset <= length;
    if (item.Offset == -1) {
        if (slack < 0) slack = 100;
    } else if (!regionValid || extent < n) {
        slack = 100;
    } else {
        at = item.Offset;
        slack = extent - n;
        inPlace = true;
    }
    // Offsets are stored as 32-bit numbers; a file that would outgrow them
    // refuses the body rather than record a wrong place.
    if (at + n + slack > kMaxOffset) return false;

    // A rewrite in place first keeps the old bytes of the region aside, so
    // that a crash halfway leaves a body that can be put back whole.
    const std::string journal = RewritePath(item.Mailbox);
    std::string old;
    if (inPlace) {
        old.resize(static_cast<std::size_t>(std::min(extent, length - at)));
        if (!PReadAll(fd.fd, old.data(), old.size(), static_cast<off_t>(at))) return false;
        const std::string header =
            std::to_string(at) + " " + std::to_string(item.Size) + " " + std::to_string(n) + "\n";
        if (!fileutil::WriteAtomically(journal, header + old)) return false;
    }
    const auto undo = [&] {
        if (inPlace && PWriteAll(fd.fd, old.data(), old.size(), static_cast<off_t>(at)) && ::fdatasync(fd.fd) == 0)
            ::unlink(journal.c_str());
        return false;
    };

    std::string region(body);
    region.append(static_cast<std::size_t>(slack), '\0');
    if (!PWriteAll(fd.fd, region.data(), region.size(), static_cast<off_t>(at))) return undo();
    // The index must never point at bytes that are not yet on disk.
    if (::fdatasync(fd.fd) != 0) return undo();
    if (!fd.Close()) return false;

    item.Offset = static_cast<std::int32_t>(at);
    item.Size = static_cast<std::int32_t>(n);
    item.Slack = static_cast<std::int32_t>(slack);
    indexSaved = SaveIndexQuietly(item.Mailbox);
    if (inPlace && indexSaved) {
        ::unlink(journal.c_str());
    } else if (inPlace) {
        // Until an index names the new body the old one is what a restart
        // must find: the journal stays.
        std::lock_guard journalLock(journalMutex_);
        waitingJournals_.insert(item.Mailbox);
    }
    return true;
}

std::vector<bool> TMailboxFiles::AppendBodies(const std::vector<TNewBody>& batch) {
    TBodyAppend written = WriteBodies(batch);
    std::vector<bool> stored = written.Settle();
    if (written.Failed()) prompt_.Error(SaveIndexError());
    return stored;
}

TBodyAppend TMailboxFiles::WriteBodies(const std::vector<TNewBody>& batch) {
    // The mailboxes in the order their first record comes, each with its
    // records in batch order.
    std::vector<std::pair<std::string, std::vector<std::size_t>>> boxes;
    for (std::size_t i = 0; i < batch.size(); ++i) {
        const std::string& name = batch[i].item->Mailbox;
        auto box = std::find_if(boxes.begin(), boxes.end(), [&](const auto& b) { return b.first == name; });
        if (box == boxes.end()) box = boxes.insert(boxes.end(), {name, {}});
        box->second.push_back(i);
    }
    TBusyLock fileLock(flags_.messageFile, pump_);
    if (!fileLock.Held()) return TBodyAppend(batch.size());
    TBusyLock indexLock(flags_.indexSave, pump_);
    if (!indexLock.Held()) return TBodyAppend(batch.size());
    std::vector<TBodyAppend::TBox> written;
    bool journalWaits = false;
    for (const auto& [name, members] : boxes) {
        if (!SettleJournal(name)) {
            journalWaits = true;
            continue;
        }
        const int fd = AppendToMessageFile(name, batch, members);
        if (fd >= 0) written.push_back({fd, IndexPath(name), BackupPath(name), {}, members});
    }
    if (written.empty()) {
        TBodyAppend none(batch.size());
        if (journalWaits) none.IndexFailed();
        return none;
    }
    // Each index text is made once every region of the batch is known.
    for (auto& box : written) box.indexText = IndexContent(batch[box.members.front()].item->Mailbox);
    indexLock.Disown();
    fileLock.Disown();
    TBodyAppend appended(flags_, batch.size(), std::move(written));
    if (journalWaits) appended.IndexFailed();
    return appended;
}

int TMailboxFiles::AppendToMessageFile(const std::string& name, const std::vector<TNewBody>& batch,
                                       const std::vector<std::size_t>& members) {
    TFd fd(::open(MessagePath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, fileutil::kPrivateFile));
    if (fd.fd < 0 || ::flock(fd.fd, LOCK_EX | LOCK_NB) != 0) return -1;
    const std::int64_t length = FileLength(fd.fd);
    if (length < 0) return -1;

    std::vector<std::int64_t> places, slacks;
    std::string buffer;
    constexpr std::size_t kFlushAt = 1 << 20;
    std::int64_t end = length, written = length;
    const auto fail = [&] {
        // What was written behind the old end belongs to no record.
        if (::ftruncate(fd.fd, static_cast<off_t>(length)) != 0) {
        }
        return -1;
    };
    for (const std::size_t i : members) {
        const std::string_view body = batch[i].body;
        const std::int64_t n = static_cast<std::int64_t>(body.size());
        const std::int64_t slack = batch[i].item->Slack >= 0 ? batch[i].item->Slack : kCompactSlack;
        if (end + n + slack > kMaxOffset) return fail();
        places.push_back(end);
        slacks.push_back(slack);
        buffer.append(body);
        buffer.append(static_cast<std::size_t>(slack), '\0');
        end += n + slack;
        if (buffer.size() >= kFlushAt) {
            if (!PWriteAll(fd.fd, buffer.data(), buffer.size(), static_cast<off_t>(written))) return fail();
            written += static_cast<std::int64_t>(buffer.size());
            buffer.clear();
        }
    }
    if (!PWriteAll(fd.fd, buffer.data(), buffer.size(), static_cast<off_t>(written))) return fail();
    for (std::size_t k = 0; k < members.size(); ++k) {
        THeaderItem& item = *batch[members[k]].item;
        item.Offset = static_cast<std::int32_t>(places[k]);
        item.Size = static_cast<std::int32_t>(batch[members[k]].body.size());
        item.Slack = static_cast<std::int32_t>(slacks[k]);
    }
    const int open = fd.fd;
    fd.fd = -1;
    return open;
}

bool TMailboxFiles::MoveMessage(THeaderItem& item, const std::string& target) {
    std::string body;
    if (!ReadBody(item, body)) return true;
    const THeaderItem before = item;
    item.Offset = -1;
    item.Mailbox = target;
    if (SaveBody(item, body)) return true;
    // The body still lies in the source file: keep the record there rather
    // than leave it in the target without one.
    item.Offset = before.Offset;
    item.Size = before.Size;
    item.Slack = before.Slack;
    item.Mailbox = before.Mailbox;
    prompt_.Error(MoveError(target));
    return false;
}

bool TMailboxFiles::Compact(const std::string& name) {
    bool indexReplaced = true;
    const bool compacted = CompactFiles(name, indexReplaced);
    if (!indexReplaced) prompt_.Error(SaveIndexError());
    return compacted;
}

bool TMailboxFiles::CompactFiles(const std::string& name, bool& indexReplaced) {
    TBusyLock fileLock(flags_.messageFile, pump_);
    if (!fileLock.Held()) return false;
    const std::string msg = MessagePath(name), tmp = TempPath(name);
    if (!fileutil::Exists(msg)) {
        TFd created(::open(msg.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, fileutil::kPrivateFile));
        return created.fd >= 0;
    }
    // Nothing may write the index while the two files are being swapped.
    TBusyLock indexLock(flags_.indexSave, pump_);
    if (!indexLock.Held()) return false;
    // A backup a failed rename left behind is finished first: the backup this
    // compaction writes must be the only one beside its ".tmp".
    if (fileutil::Exists(BackupPath(name)) && !fileutil::ReplaceWith(BackupPath(name), IndexPath(name))) return false;
    if (!SettleJournal(name)) return false;
    TFd in(::open(msg.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.fd < 0 || ::flock(in.fd, LOCK_EX | LOCK_NB) != 0) return false;
    TFd out(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, fileutil::kPrivateFile));
    if (out.fd < 0) return false;
    // The compacted file replaces the old one and keeps the mode it was given.
    ::fchmod(out.fd, fileutil::ModeOf(msg, fileutil::kPrivateFile));
    const auto fail = [&] {
        out.Close();
        ::unlink(tmp.c_str());
        return false;
    };

    struct TPlace {
        THeaderItem* item;
        std::int32_t offset;
    };
    std::vector<TPlace> places;
    TWindowReader reader(in.fd);
    std::string buffer;
    constexpr std::size_t kFlushAt = 1 << 20;
    std::int64_t running = 0;
    for (int h = 0; h < headers_.Length(); ++h) {
        THeaderItem* item = headers_.Slot(h);
        if (!item || item->Mailbox != name || item->Offset == -1) continue;
        if (item->Offset < 0 || item->Size < 0) return fail();
        if (running + item->Size + kCompactSlack > kMaxOffset) return fail();
        if (!reader.Append(buffer, item->Offset, item->Size)) return fail();
        buffer.append(static_cast<std::size_t>(kCompactSlack), '\0');
        places.push_back({item, static_cast<std::int32_t>(running)});
        running += static_cast<std::int64_t>(item->Size) + kCompactSlack;
        if (buffer.size() >= kFlushAt) {
            if (!WriteAll(out.fd, buffer)) return fail();
            buffer.clear();
        }
    }
    if (!WriteAll(out.fd, buffer) || ::fsync(out.fd) != 0 || !out.Close()) return fail();
    in.Close();

    // The index that goes with the new file is written before the swap, so
    // that either pair is complete at every instant.
    std::string index;
    std::size_t next = 0;
    for (int h = 0; h < headers_.Length(); ++h) {
        const THeaderItem* item = headers_.At(h);
        if (!item || item->Mailbox != name) continue;
        if (next < places.size() && places[next].item == item)
            TIndexLine::AppendTo(index, *item, places[next++].offset, kCompactSlack);
        else
            TIndexLine::AppendTo(index, *item);
        index += "\r\n";
    }
    const std::string bak = BackupPath(name);
    if (!fileutil::WriteAtomically(bak, index, fileutil::ModeOf(IndexPath(name), fileutil::kPrivateFile)))
        return fail();
    if (!fileutil::ReplaceWith(tmp, msg)) {
        ::unlink(bak.c_str());
        return fail();
    }
    for (const auto& p : places) {
        p.item->Offset = p.offset;
        p.item->Slack = kCompactSlack;
    }
    // The backup holds the new index; the next load puts it in place.
    indexReplaced = fileutil::ReplaceWith(bak, IndexPath(name));
    return true;
}
