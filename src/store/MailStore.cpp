#include "store/MailStore.h"

#include <unistd.h>

#include <algorithm>
#include <unordered_set>

#include "common/AppTitle.h"
#include "common/FileUtil.h"
#include "common/UserPrompt.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "store/MailboxName.h"
#include "store/TreeFile.h"

TMailStore::TMailStore(std::string dataFolder, TIniFile& config, IUserPrompt& prompt, IEventPump& pump)
    : dataFolder_(fileutil::WithTrailingSlash(std::move(dataFolder))),
      config_(config),
      prompt_(prompt),
      pump_(pump),
      headers_(prompt),
      files_(headers_, flags_, pump, prompt, config, dataFolder_),
      rows_(headers_, flags_.listFill, pump),
      marks_(headers_, tree_) {}

TMailStore::~TMailStore() = default;

std::string TMailStore::TreePath() const { return fileutil::FindNoCase(dataFolder_, cfg::kTreeFile); }

void TMailStore::LoadTree() {
    tree_.Reset({});
    TTreeFile::Result read;
    const std::string path = TreePath();
    if (fileutil::Exists(path)) {
        const auto content = fileutil::ReadAll(path);
        if (content)
            read = TTreeFile::Parse(*content);
        else
            prompt_.Error(std::string(kAppTitle) + " could not read the mailbox tree from \"" + path + "\".");
    } else {
        read.nodes = {{TMailboxName::kTrashCan, 0},
                      {TMailboxName::kInBox, 0},
                      {TMailboxName::kOutBox, 0},
                      {TMailboxName::kSentBox, 0}};
    }
    if (read.levelError) prompt_.Error(TTreeFile::kLevelError);
    tree_.Reset(read.nodes);

    // Trees of older versions lack the "Sent Box". One that has it elsewhere
    // keeps it there: a second node of the same name would load its
    // messages twice, and a nested fourth node would gain one more at every
    // start.
    if (tree_.Count() > 3 && tree_.At(3).name != TMailboxName::kSentBox && tree_.IndexOf(TMailboxName::kSentBox) < 0) {
        tree_.Insert(3, TMailboxName::kSentBox, tree_.At(3).depth);
        // A file that stopped at a level error still holds the nodes after
        // it; writing the tree now would drop them.
        if (!read.levelError) SaveTree();
    }

    std::unordered_set<std::string> loaded;
    for (int i = 0; i < tree_.Count(); ++i) {
        const std::string name = tree_.At(i).name;
        // A hand-edited tree may name a mailbox twice; its records load once.
        if (loaded.insert(name).second) {
            files_.Load(name);
            Announce(TStoreEvent::OfMailbox(TStoreChange::MailboxLoaded, name));
        }
        GiveImages(i);
    }
    tip_.SetCount(headers_.CountNewAll());
    Done();
    tip_.Refresh();
}

bool TMailStore::SaveTree() {
    if (fileutil::WriteAtomically(TreePath(), TTreeFile::Format(tree_.ToFileNodes()))) return true;
    prompt_.Error(std::string(kAppTitle) + " could not save the mailbox tree to \"" + TreePath() + "\".");
    return false;
}

void TMailStore::GiveImages(int node) {
    if (tree_.At(node).name == TMailboxName::kTrashCan)
        tree_.SetImages(node, 1, 1);
    else
        tree_.SetImages(node, 2, 3);
}

void TMailStore::LoadMailbox(const std::string& name) {
    files_.Load(name);
    Announce(TStoreEvent::OfMailbox(TStoreChange::MailboxLoaded, name));
    tip_.SetCount(headers_.CountNewAll());
    Done();
    tip_.Refresh();
}

int TMailStore::FindRow(int handle) {
    const THeaderItem* item = headers_.At(handle);
    return item ? rows_.Find(handle, item->Mailbox.str()) : -1;
}

void TMailStore::Announce(TStoreEvent event) {
    // The store's own followers first, so that a listener told later finds
    // the rows, marks and count already in step.
    rows_.StoreChanged(event);
    marks_.StoreChanged(event);
    tip_.StoreChanged(event);
    observers_.Notify([&](IStoreObserver& o) { o.StoreChanged(event); });
}

void TMailStore::Done() {
    tip_.ChangesDone();
    observers_.Notify([](IStoreObserver& o) { o.ChangesDone(); });
}

int TMailStore::AddRecord(const THeaderItem& record, std::optional<std::string_view> body, TPersist persist) {
    const int handle = headers_.Add(std::make_unique<THeaderItem>(record));
    THeaderItem& item = *headers_.Slot(handle);
    if (body) {
        // Saving the body writes the index too.
        item.Offset = -1;
        files_.SaveBody(item, *body);
    } else if (persist == TPersist::Now) {
        files_.SaveIndex(item.Mailbox);
    }
    Announce(TStoreEvent::OfRecord(TStoreChange::RecordAdded, handle, item));
    Done();
    return handle;
}

TBodyAppend TMailStore::AddRecords(const std::vector<TNewRecord>& batch, std::vector<int>& handles) {
    std::vector<TMailboxFiles::TNewBody> bodies;
    bodies.reserve(batch.size());
    const std::size_t first = handles.size();
    handles.reserve(first + batch.size());
    for (const TNewRecord& added : batch) {
        const int handle = headers_.Add(std::make_unique<THeaderItem>(added.record));
        handles.push_back(handle);
        bodies.push_back({headers_.Slot(handle), added.body});
    }
    TBodyAppend written = files_.WriteBodies(bodies);
    for (std::size_t i = first; i < handles.size(); ++i) {
        Announce(TStoreEvent::OfRecord(TStoreChange::RecordAdded, handles[i], *headers_.At(handles[i])));
    }
    Done();
    return written;
}

bool TMailStore::ChangeRecord(int handle, const std::function<void(THeaderItem&)>& edit, TPersist persist) {
    THeaderItem* item = headers_.Slot(handle);
    if (!item) return false;
    const THeaderItem before = *item;
    edit(*item);
    // Where the record and its body lie is the business of the moves and
    // body writes, which keep the files in step with it.
    item->Mailbox = before.Mailbox;
    item->Offset = before.Offset;
    item->Size = before.Size;
    item->Slack = before.Slack;
    const unsigned fields = THeaderItem::ChangedFields(before, *item);
    bool saved = true;
    if (persist == TPersist::Now) {
        TBusyLock rowLock(flags_.rowUpdate, pump_);
        saved = rowLock.Held() && files_.SaveIndexQuietly(item->Mailbox);
    }
    if (fields != 0) {
        TStoreEvent event = TStoreEvent::OfRecord(TStoreChange::RecordChanged, handle, *item);
        event.fields = fields;
        event.flagsBefore = before.Flags;
        Announce(std::move(event));
        Done();
    }
    // The box comes once the flags are free.
    if (!saved) prompt_.Error(TMailboxFiles::SaveIndexError());
    return saved;
}

bool TMailStore::RewriteBody(int handle, std::string_view body) {
    THeaderItem* item = headers_.Slot(handle);
    if (!item) return false;
    if (!files_.SaveBody(*item, body)) return false;
    Announce(TStoreEvent::OfRecord(TStoreChange::BodyRewritten, handle, *item));
    Done();
    return true;
}

TMoveResult TMailStore::MoveRecord(int handle, const std::string& target) {
    THeaderItem* item = headers_.Slot(handle);
    if (!item) return TMoveResult::Failed;
    const std::string source = item->Mailbox;
    if (source == target) return TMoveResult::Moved;
    if (!files_.MoveMessage(*item, target)) return TMoveResult::Failed;
    if (item->Mailbox == source) return TMoveResult::Unreadable;
    TStoreEvent event = TStoreEvent::OfRecord(TStoreChange::RecordMoved, handle, *item);
    event.from = source;
    Announce(std::move(event));
    Done();
    return TMoveResult::Moved;
}

bool TMailStore::DestroyRecord(int handle) {
    const std::unique_ptr<THeaderItem> item = headers_.Take(handle);
    if (!item) return false;
    Announce(TStoreEvent::OfRecord(TStoreChange::RecordRemoved, handle, *item));
    Done();
    return true;
}

bool TMailStore::SaveIndex(const std::string& name) { return files_.SaveIndex(name); }

bool TMailStore::Compact(const std::string& name) {
    if (!files_.Compact(name)) return false;
    Announce(TStoreEvent::OfMailbox(TStoreChange::MailboxCompacted, name));
    Done();
    return true;
}

int TMailStore::AddMailbox(const std::string& name, int parentNode) {
    const int node = tree_.AppendChild(parentNode < tree_.Count() ? parentNode : -1, name);
    tree_.SetImages(node, 2, 3);
    SaveTree();
    config_.WriteString(cfg::kMailBoxesSection, TMailboxName::FileStem(name), dataFolder_);
    Announce(TStoreEvent::OfMailbox(TStoreChange::MailboxCreated, name));
    Done();
    return node;
}

void TMailStore::DestroyMailbox(const std::string& name) {
    const std::string value = config_.ReadString(cfg::kMailBoxesSection, TMailboxName::FileStem(name), dataFolder_);
    ::unlink(files_.IndexPath(name).c_str());
    // The user agreed to destroy the messages: their bodies and records go as
    // well, so that a later mailbox of the same name starts empty.
    ::unlink(files_.MessagePath(name).c_str());
    if (Viewed() == name) ClearView();
    for (int h = 0; h < headers_.Length(); ++h) {
        const THeaderItem* item = headers_.At(h);
        if (item && item->Mailbox == name) DestroyRecord(h);
    }
    config_.RemoveLine(TMailboxName::FileStem(name) + "=" + value);
    Announce(TStoreEvent::OfMailbox(TStoreChange::MailboxDeleted, name));
    Done();
}

void TMailStore::RenameMailboxFiles(const std::string& oldName, const std::string& newName) {
    // The configuration names a mailbox as its files do: "=" of an encoded
    // word would end the key.
    const std::string oldKey = TMailboxName::FileStem(oldName), newKey = TMailboxName::FileStem(newName);
    const bool hadEntry = config_.HasKey(cfg::kMailBoxesSection, oldKey);
    const std::string value = config_.ReadString(cfg::kMailBoxesSection, oldKey, dataFolder_);
    const std::string folder = files_.Folder(oldName);
    config_.RemoveLine(oldKey + "=" + value);
    // The files stay in their folder, so the new name must lead there too.
    if (hadEntry) config_.WriteString(cfg::kMailBoxesSection, newKey, value);
    const std::string oldStem = folder + TMailboxName::FileStem(oldName);
    const std::string newStem = folder + TMailboxName::FileStem(newName);
    if (fileutil::Exists(oldStem + ".Mbx")) fileutil::ReplaceWith(oldStem + ".Mbx", newStem + ".Mbx");
    if (fileutil::Exists(oldStem + ".msg")) fileutil::ReplaceWith(oldStem + ".msg", newStem + ".msg");
    for (int h = 0; h < headers_.Length(); ++h) {
        THeaderItem* item = headers_.Slot(h);
        if (item && item->Mailbox == oldName) item->Mailbox = newName;
    }
    Announce(TStoreEvent::OfMailbox(TStoreChange::MailboxRenamed, newName, oldName));
    Done();
}
