#pragma once

#include <string>
#include <string_view>

class IUserPrompt;

// The rules for the names of mailboxes: names end up in file names, and the
// four system mailboxes keep theirs.
class TMailboxName {
public:
    static constexpr const char* kTrashCan = "Trash Can";
    static constexpr const char* kInBox = "In Box";
    static constexpr const char* kOutBox = "Out Box";
    static constexpr const char* kSentBox = "Sent Box";
    // The characters file names cannot hold, in the order the message lists them.
    static constexpr std::string_view kForbidden = "\\/:*?\"<>|";

    static bool IsSystem(std::string_view name);
    // The name a mailbox's files take: the stored name as older versions
    // used it, or, for a name beyond Windows-1252, its UTF-8 text (encoded
    // words may hold "/").
    static std::string FileStem(const std::string& name);
    // The text shown for a name with a forbidden character.
    static std::string ForbiddenMessage();
    // The text shown for a name another mailbox has.
    static std::string DuplicateMessage();

    // False when newName is acceptable. Otherwise shows the error, puts
    // oldName back into newName and returns true.
    static bool Check(std::string& newName, const std::string& oldName, IUserPrompt& prompt);
};
