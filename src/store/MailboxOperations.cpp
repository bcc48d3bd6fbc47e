#include "store/MailboxOperations.h"

#include "common/AppTitle.h"
#include "common/TextUtil.h"
#include "common/UniqueName.h"
#include "common/UserPrompt.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "store/MailStore.h"
#include "store/MailboxName.h"

std::string TMailboxOperations::DeleteQuestion(const std::string& name, int count) {
    return "Are you sure you want to delete Mailbox " + name + "?" + "\r" +
           "If you choose yes you will destroy all message(s) in the cateogry forever." + "\r" +
           "We recommend that you move these messages to the " + TMailboxName::kTrashCan + "." + "\r" +
           "This Mailbox has " + std::to_string(count) + " item(s) in it";
}

std::string TMailboxOperations::MoveFailure(const std::string& subject) {
    return std::string(kAppTitle) + " encountered an error while trying to move message \"" + subject + "\"." + "\r\n" +
           "Reason: Could not write message.";
}

std::string TMailboxOperations::CompactFailure(const std::string& name) {
    return std::string(kAppTitle) + " could not finish optimizing Mailbox \"" + name + "\"." + "\n" +
           "Reason: Not enough disk resources or disk error." + "\n" +
           "Fix: Please run Scandisk or check that you have enough disk space free";
}

std::optional<std::string> TMailboxOperations::CreateMailbox(const std::string& base, int parentNode) {
    std::string name = text::Trim(base);
    if (name.empty() || TMailboxName::Check(name, std::string(), store_.Prompt())) return std::nullopt;
    auto& tree = store_.Tree();
    name = uniquename::Make(name, tree.Names());
    store_.AddMailbox(name, parentNode);
    return name;
}

bool TMailboxOperations::RenameMailbox(const std::string& oldName, const std::string& newName) {
    auto& tree = store_.Tree();
    const int node = tree.IndexOf(oldName);
    if (node < 0 || TMailboxName::IsSystem(oldName)) return false;
    std::string name = text::Trim(newName);
    if (name.empty()) return false;
    for (int i = 0; i < tree.Count(); ++i) {
        if (i != node && text::EqualsNoCase(tree.At(i).name, name)) {
            store_.Prompt().Error(TMailboxName::DuplicateMessage());
            return false;
        }
    }
    if (TMailboxName::Check(name, oldName, store_.Prompt())) return false;
    if (name == oldName) return true;
    store_.RenameMailboxFiles(oldName, name);
    tree.SetName(node, name);
    return store_.SaveTree();
}

bool TMailboxOperations::DeleteMailbox(const std::string& name) {
    auto& tree = store_.Tree();
    const int node = tree.IndexOf(name);
    if (node < 0 || tree.Count() <= 2 || TMailboxName::IsSystem(name)) return false;
    const int count = store_.Headers().Count(name);
    if (count > 0 && !store_.Prompt().YesNo(DeleteQuestion(name, count))) return false;
    if (tree.HasChildren(node)) {
        store_.Prompt().Information(kHasChildren);
        return false;
    }
    store_.DestroyMailbox(name);
    tree.Remove(node);
    return store_.SaveTree();
}

bool TMailboxOperations::CompactWithReport(const std::string& name) {
    if (store_.Compact(name)) return true;
    store_.Prompt().Error(CompactFailure(name));
    return false;
}

bool TMailboxOperations::RefreshTrashIndicator() {
    auto& tree = store_.Tree();
    const int node = tree.IndexOf(TMailboxName::kTrashCan);
    if (node < 0) return false;
    const bool full = store_.Headers().Count(TMailboxName::kTrashCan) > 0;
    tree.SetImages(node, full ? 1 : 0, full ? 1 : 0);
    return full;
}
