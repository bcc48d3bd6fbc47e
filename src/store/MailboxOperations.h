#pragma once

#include <optional>
#include <string>

class TMailStore;

// What the user does with mailboxes and messages, on the store's side:
// creating, renaming and deleting mailboxes, moving and destroying
// messages, compacting with its report, and the trash indicator. The
// windows add their selection and drag rules on top.
class TMailboxOperations {
public:
    explicit TMailboxOperations(TMailStore& store) : store_(store) {}

    // A new mailbox named after base (made unique without regard to case) as
    // the last child of parentNode (-1: top level); the tree and "Mail Boxes"
    // are saved. Nothing when base is blank or holds a forbidden character.
    std::optional<std::string> CreateMailbox(const std::string& base, int parentNode);
    // Renames a user mailbox. False when refused (the reason is shown for a
    // duplicate or a forbidden character).
    bool RenameMailbox(const std::string& oldName, const std::string& newName);
    // Deletes a user mailbox without children, asking first when it holds
    // messages; its files, folder entry, records and node go.
    bool DeleteMailbox(const std::string& name);

    // Compacts a mailbox and shows the optimizing failure.
    bool CompactWithReport(const std::string& name);

    // Whether the "Trash Can" holds records; its node's images follow.
    bool RefreshTrashIndicator();

    static std::string DeleteQuestion(const std::string& name, int count);
    static std::string MoveFailure(const std::string& subject);
    static std::string CompactFailure(const std::string& name);
    static constexpr const char* kHasChildren = "This Mail box has sub mail boxes. Please delete these first.";

private:
    TMailStore& store_;
};
