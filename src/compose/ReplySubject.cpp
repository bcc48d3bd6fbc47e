#include "compose/ReplySubject.h"

#include <cctype>
#include <string_view>

#include "common/FieldText.h"

namespace {

bool StartsWithIgnoringCase(const std::string& text, std::string_view prefix) {
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos || text.size() - at < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != prefix[i]) return false;
    return true;
}

std::string Prefixed(const std::string& subject, std::string_view lowerPrefix, std::string_view prefix) {
    // The prefix is looked for in the text, which may be stored in encoded words.
    if (StartsWithIgnoringCase(subject, lowerPrefix) || StartsWithIgnoringCase(fieldtext::Decode(subject), lowerPrefix))
        return fieldtext::Fit(subject, replysubject::kLimit);
    return fieldtext::Fit(std::string(prefix) + subject, replysubject::kLimit);
}

}  // namespace

namespace replysubject {

std::string Reply(const std::string& subject) { return Prefixed(subject, "re:", "Re: "); }
std::string Forward(const std::string& subject) { return Prefixed(subject, "fwd:", "FWD: "); }

}  // namespace replysubject
