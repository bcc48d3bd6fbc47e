#include "transport/RecipientParts.h"

#include "transport/QuotedPrintable.h"

namespace recipient {

namespace {

// The text before pos without the character in front of it (normally a blank).
std::string BeforeLessOne(std::string_view s, std::size_t pos) {
    return std::string(s.substr(0, pos == 0 ? 0 : pos - 1));
}

}  // namespace

std::string AddressOf(std::string_view entry) {
    if (const auto lt = entry.find('<'); lt != std::string_view::npos) {
        const auto gt = entry.find('>', lt + 1);
        return std::string(entry.substr(lt + 1, gt == std::string_view::npos ? std::string_view::npos : gt - lt - 1));
    }
    if (const auto paren = entry.find('('); paren != std::string_view::npos) return BeforeLessOne(entry, paren);
    return std::string(entry);
}

std::string EnvelopeSafe(std::string address) {
    for (char& c : address)
        if (c == '\r' || c == '\n' || c == '<' || c == '>') c = ' ';
    return address;
}

std::string EnvelopeAddress(std::string_view entry) { return EnvelopeSafe(AddressOf(entry)); }

std::string NameOf(std::string_view entry) {
    std::string unquoted(entry);
    for (int i = 0; i < 2; ++i)
        if (const auto q = unquoted.find('"'); q != std::string::npos) unquoted.erase(q, 1);
    if (const auto lt = unquoted.find('<'); lt != std::string::npos) return BeforeLessOne(unquoted, lt);
    if (const auto paren = unquoted.find('('); paren != std::string::npos) {
        const std::string_view after = std::string_view(unquoted).substr(paren + 1);
        return std::string(after.substr(0, after.empty() ? 0 : after.size() - 1));
    }
    return AddressOf(entry);
}

std::string Phrase(std::string_view name) {
    if (qp::NeedsWords(name)) return qp::EncodeWords(name);
    constexpr std::string_view kSpecials = "()<>[]:;@\\,.\"";
    if (name.find_first_of(kSpecials) == std::string_view::npos) return std::string(name);
    std::string quoted = "\"";
    for (const char c : name) {
        if (c == '\\' || c == '"') quoted.push_back('\\');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

}  // namespace recipient
