#include "store/MailboxName.h"

#include "common/FieldText.h"
#include "common/UserPrompt.h"

bool TMailboxName::IsSystem(std::string_view name) {
    return name == kTrashCan || name == kInBox || name == kOutBox || name == kSentBox;
}

std::string TMailboxName::ForbiddenMessage() {
    std::string text = "A mailbox cannot contain any of the following characters:\r\n";
    for (char c : kForbidden) {
        text += c;
        text += ' ';
    }
    return text;
}

std::string TMailboxName::DuplicateMessage() {
    return "A mail box already exists with this name. Please specify a different name.";
}

std::string TMailboxName::FileStem(const std::string& name) {
    // A name with a "?" of its own is refused, so "=?" starts an encoded word.
    return name.find("=?") == std::string::npos ? name : fieldtext::Decode(name);
}

bool TMailboxName::Check(std::string& newName, const std::string& oldName, IUserPrompt& prompt) {
    if (fieldtext::Decode(newName).find_first_of(kForbidden) == std::string::npos) return false;
    prompt.Error(ForbiddenMessage());
    newName = oldName;
    return true;
}
