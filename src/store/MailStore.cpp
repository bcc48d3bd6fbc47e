#include "store/MailStore.h"

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
      files_(headers_, flags_, pump, prompt, config, dataFolder_) {
    headers_.AddObserver(this);
}

TMailStore::~TMailStore() { headers_.RemoveObserver(this); }

std::string TMailStore::TreePath() const { return dataFolder_ + cfg::kTreeFile; }

void TMailStore::LoadTree() {
    tree_.Reset({});
    TTreeFile::Result read;
    const std::string path = TreePath();
    if (fileutil::Exists(path)) {
        const auto content = fileutil::ReadAll(path);
        if (content) read = TTreeFile::Parse(*content);
        else prompt_.Error(std::string(kAppTitle) + " could not read the mailbox tree from \"" + path + "\".");
    } else {
        read.nodes = {{TMailboxName::kTrashCan, 0}, {TMailboxName::kInBox, 0}, {TMailboxName::kOutBox, 0},
                      {TMailboxName::kSentBox, 0}};
    }
    if (read.levelError) prompt_.Error(TTreeFile::kLevelError);
    tree_.Reset(read.nodes);

    // Trees of older versions lack the "Sent Box". One that has it elsewhere
    // keeps it there: a second node of the same name would load its
    // messages twice, and a nested fourth node would gain one more at every
    // start.
    if (tree_.Count() > 3 && tree_.At(3).name != TMailboxName::kSentBox &&
        tree_.IndexOf(TMailboxName::kSentBox) < 0) {
        tree_.Insert(3, TMailboxName::kSentBox, tree_.At(3).depth);
        // A file that stopped at a level error still holds the nodes after
        // it; writing the tree now would drop them.
        if (!read.levelError) SaveTree();
    }

    std::unordered_set<std::string> loaded;
    for (int i = 0; i < tree_.Count(); ++i) {
        const std::string name = tree_.At(i).name;
        // A hand-edited tree may name a mailbox twice; its records load once.
        if (loaded.insert(name).second) files_.Load(name);
        if (headers_.CountNew(name) > 0) MarkMailbox(i, true);
        GiveImages(i);
    }
    tip_.SetCount(headers_.CountNewAll());
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
    tip_.SetCount(headers_.CountNewAll());
    tip_.Refresh();
}

void TMailStore::ShowMailbox(const std::string& name, IShowProgress* progress) {
    TBusyLock lock(flags_.listFill, pump_);
    if (!lock.Held()) return;
    rows_.Clear();
    if (progress) {
        progress->Begin(headers_.Length());
        progress->Status("Loading messages for mailbox \"" + name + "\". Please wait...");
    }
    const int total = headers_.Count(name);
    const int length = headers_.Length();
    const int stride = std::max(1, length / 100);
    std::vector<TMessageRow> rows;
    rows.reserve(static_cast<std::size_t>(total));
    for (int h = 0; h < length && static_cast<int>(rows.size()) < total; ++h) {
        if (progress && h % stride == 0) progress->Step(h);
        const THeaderItem* item = headers_.At(h);
        if (item && item->Mailbox == name) rows.push_back(TMessageRow::Of(*item, h));
    }
    rows_.ResetFromOldest(std::move(rows));
    viewed_ = name;
    if (progress) {
        progress->End();
        progress->Status("Loaded " + std::to_string(total) + " message(s) for mailbox \"" + name + "\".");
    }
}

void TMailStore::ClearView() {
    TBusyLock lock(flags_.listFill, pump_);
    if (!lock.Held()) return;
    viewed_.clear();
    rows_.Clear();
}

void TMailStore::UpdateRow(THeaderItem& item) {
    TBusyLock rowLock(flags_.rowUpdate, pump_);
    if (!rowLock.Held()) return;
    if (!viewed_.empty() && item.Mailbox == viewed_) {
        TBusyLock listLock(flags_.listFill, pump_);
        if (!listLock.Held()) return;
        const int handle = headers_.HandleOf(&item);
        const int position = rows_.Find(handle);
        if (position >= 0)
            rows_.Update(position, TMessageRow::Of(item, handle));
        else if (handle >= 0)
            rows_.InsertTop(TMessageRow::Of(item, handle));
    }
    const bool saved = files_.SaveIndexQuietly(item.Mailbox);
    rowLock.Unlock();
    headers_.TellChanged(headers_.HandleOf(&item));
    if (!saved) prompt_.Error(TMailboxFiles::SaveIndexError());
}

int TMailStore::FindRow(const THeaderItem& item) {
    if (viewed_.empty() || item.Mailbox != viewed_) return -1;
    TBusyLock lock(flags_.listFill, pump_);
    if (!lock.Held()) return -1;
    return rows_.Find(headers_.HandleOf(&item));
}

void TMailStore::MarkMailbox(int node, bool bold) {
    if (node < 0 || node >= tree_.Count()) return;
    tree_.SetBold(node, bold);
    tree_.Reveal(node);
}

void TMailStore::RefreshMark(const std::string& name) {
    const int node = tree_.IndexOf(name);
    if (node >= 0) MarkMailbox(node, headers_.CountNew(name) > 0);
}

void TMailStore::RenameMailboxFiles(const std::string& oldName, const std::string& newName) {
    const bool hadEntry = config_.HasKey(cfg::kMailBoxesSection, oldName);
    const std::string value = config_.ReadString(cfg::kMailBoxesSection, oldName, dataFolder_);
    const std::string folder = files_.Folder(oldName);
    config_.RemoveLine(oldName + "=" + value);
    // The files stay in their folder, so the new name must lead there too.
    if (hadEntry) config_.WriteString(cfg::kMailBoxesSection, newName, value);
    const std::string mbx = folder + oldName + ".Mbx", msg = folder + oldName + ".msg";
    if (fileutil::Exists(mbx)) fileutil::ReplaceWith(mbx, folder + newName + ".Mbx");
    if (fileutil::Exists(msg)) fileutil::ReplaceWith(msg, folder + newName + ".msg");
    for (int h = 0; h < headers_.Length(); ++h) {
        THeaderItem* item = headers_.At(h);
        if (item && item->Mailbox == oldName) item->Mailbox = newName;
    }
    if (viewed_ == oldName) viewed_ = newName;
    // A window showing one of its records names the mailbox.
    for (int h = 0; h < headers_.Length(); ++h) {
        const THeaderItem* item = headers_.At(h);
        if (item && item->Mailbox == newName) headers_.TellMoved(h, oldName);
    }
}

void TMailStore::NewRecordRemoved(const std::string& mailbox, bool lastNewOfMailbox) {
    if (lastNewOfMailbox) {
        const int node = tree_.IndexOf(mailbox);
        if (node >= 0) tree_.SetBold(node, false);
    }
    tip_.Lower();
    tip_.Refresh();
}
