#include "transport/MessageIdentity.h"

#include <vector>

#include "common/TextUtil.h"

namespace messageidentity {

namespace {

constexpr std::string_view kUid = "UIDL ";
constexpr std::string_view kHead = "HEAD ";

struct TField {
    std::string name;  // lower case
    std::string text;  // the whole field, unfolded
};

// The header's fields with every fold undone (RFC 5322 2.2.3: a line break
// before a blank or tab is removed, the blank stays).
std::vector<TField> Fields(std::string_view header) {
    std::vector<TField> fields;
    while (!header.empty()) {
        const auto lf = header.find('\n');
        std::string_view line = header.substr(0, lf);
        header.remove_prefix(lf == std::string_view::npos ? header.size() : lf + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line == ".") break;
        if (line[0] == ' ' || line[0] == '\t') {
            if (!fields.empty()) fields.back().text.append(line);
            continue;
        }
        const auto colon = line.find(':');
        fields.push_back({text::ToLowerAscii(text::Trim(line.substr(0, colon == std::string_view::npos ? 0 : colon))),
                          std::string(line)});
    }
    return fields;
}

const TField* First(const std::vector<TField>& fields, std::string_view name) {
    for (const auto& f : fields)
        if (f.name == name) return &f;
    return nullptr;
}

std::string WithoutLineEnds(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

}  // namespace

std::string FromUid(std::string_view uid) { return std::string(kUid) + WithoutLineEnds(std::string(uid)); }

std::string FromHeader(std::string_view header) {
    const auto fields = Fields(header);
    std::string out;
    const TField* first = First(fields, "received");
    if (!first) first = First(fields, "date");
    if (first) out = first->text;
    if (const TField* id = First(fields, "message-id")) {
        if (!out.empty()) out += ' ';
        out += id->text;
    }
    if (out.empty()) {
        for (const auto& f : fields) out += f.text;
    }
    return std::string(kHead) + WithoutLineEnds(std::move(out));
}

std::string Legacy(std::string_view header) {
    if (const auto at = header.find("Received:"); at != std::string_view::npos) {
        const auto cr = header.find('\r', at);
        return cr == std::string_view::npos ? std::string() : std::string(header.substr(at, cr - at));
    }
    if (const auto at = text::ToLowerAscii(header).find("date"); at != std::string::npos) {
        const auto cr = header.find('\r', at);
        return cr == std::string_view::npos ? std::string() : std::string(header.substr(at, cr - at));
    }
    std::string out;
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (header[i] == '\r')
            ++i;
        else
            out.push_back(header[i]);
    }
    return out;
}

bool IsCurrent(std::string_view line) { return line.starts_with(kUid) || line.starts_with(kHead); }

bool IsUid(std::string_view line) { return line.starts_with(kUid); }

}  // namespace messageidentity
