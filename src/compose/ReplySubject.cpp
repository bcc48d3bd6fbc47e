#include "compose/ReplySubject.h"

#include <cctype>
#include <string_view>

namespace {

bool StartsWithIgnoringCase(const std::string& text, std::string_view prefix) {
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos || text.size() - at < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != prefix[i]) return false;
    return true;
}

std::string Prefixed(const std::string& subject, std::string_view lowerPrefix, std::string_view prefix) {
    std::string out = StartsWithIgnoringCase(subject, lowerPrefix) ? subject : std::string(prefix) + subject;
    if (out.size() > replysubject::kLimit) out.resize(replysubject::kLimit);
    return out;
}

}  // namespace

namespace replysubject {

std::string Reply(const std::string& subject) { return Prefixed(subject, "re:", "Re: "); }
std::string Forward(const std::string& subject) { return Prefixed(subject, "fwd:", "FWD: "); }

}  // namespace replysubject
