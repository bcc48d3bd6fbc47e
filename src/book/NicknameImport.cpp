#include "book/NicknameImport.h"

#include <algorithm>
#include <optional>

#include "book/AddressList.h"
#include "book/MemberFields.h"
#include "common/ListName.h"
#include "common/TextUtil.h"
#include "common/UniqueName.h"

namespace nickname {

namespace {

namespace mf = memberfield;

bool IsSeparator(char c) { return c == ' ' || c == ','; }

std::string TrimLeft(std::string_view s) {
    const auto start = s.find_first_not_of(' ');
    return start == std::string_view::npos ? std::string() : std::string(s.substr(start));
}

std::string ReplaceAll(std::string s, char from, char to) {
    std::replace(s.begin(), s.end(), from, to);
    return s;
}

// A member read from an "alias" line, waiting for the "note" line after it.
struct TPending {
    TListRow row;
    std::string addresses;  // joined with 0x02
    bool list = false;
};

struct TNote {
    std::string phone, fax, postal, notes;
};

void Complete(TPending& pending, const TNote& note, std::vector<TListRow>& out) {
    auto& row = pending.row;
    row.subItems.assign(mf::Count, std::string());
    row.SetSubItem(mf::Email, pending.list ? std::string(mf::kCcList)
                              : listfile::SplitLines(pending.addresses).empty()
                                  ? std::string()
                                  : listfile::SplitLines(pending.addresses).front());
    row.SetSubItem(mf::Phone, note.phone);
    row.SetSubItem(mf::Fax, note.fax);
    row.SetSubItem(mf::Postal, note.postal);
    row.SetSubItem(mf::ListKind, pending.list ? "1" : "0");
    row.SetSubItem(mf::Notes, note.notes);
    row.SetSubItem(mf::Addresses, pending.addresses);
    row.SetSubItem(mf::Signature, "");
    row.SetSubItem(mf::Format, "0");
    out.push_back(std::move(row));
}

TPending ReadAlias(std::string text, std::vector<std::string>& names) {
    TPending pending;
    text.erase(0, std::min<std::size_t>(6, text.size()));
    std::string name = TakeWord(text);
    if (text::Trim(name).empty()) name = TAddressList::kNewName;
    pending.row.caption = uniquename::Make(name, names);
    names.push_back(pending.row.caption);

    std::string rest = text::Trim(text);
    while (!rest.empty() && rest.back() == ',') rest = text::Trim(rest.substr(0, rest.size() - 1));
    // Each address is trimmed: "a@x, b@y" is two addresses, not one with a
    // leading blank, and an empty one between two commas is no address.
    std::vector<std::string> addresses;
    std::size_t start = 0;
    while (start <= rest.size()) {
        const auto comma = rest.find(',', start);
        std::string piece =
            text::Trim(rest.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!piece.empty()) addresses.push_back(std::move(piece));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    pending.list = rest.find(',') != std::string::npos && addresses.size() >= 2;
    pending.addresses = listfile::JoinLines(addresses);
    return pending;
}

TNote ReadNote(std::string text) {
    TNote note;
    std::string name;
    bool hasName = false;
    text.erase(0, std::min<std::size_t>(5, text.size()));
    TakeWord(text);
    text = text::Trim(text);
    while (!text.empty() && text.front() == '<') {
        text = TrimLeft(std::string_view(text).substr(1));
        static constexpr std::pair<const char*, int> kTags[] = {
            {"name:", 0}, {"phone:", 1}, {"fax:", 2}, {"address:", 3}};
        for (const auto& [tag, which] : kTags) {
            const std::string_view t(tag);
            if (text.compare(0, t.size(), t) != 0) continue;
            const auto close = text.find('>', t.size());
            std::string value =
                text.substr(t.size(), close == std::string::npos ? std::string::npos : close - t.size());
            text.erase(0, close == std::string::npos ? text.size() : close + 1);
            switch (which) {
                case 0:
                    name = value, hasName = true;
                    break;
                case 1:
                    note.phone = value;
                    break;
                case 2:
                    note.fax = value;
                    break;
                default:
                    note.postal = ReplaceAll(text::Trim(value), '\x03', '\x02');
                    break;
            }
            break;
        }
        text = TrimLeft(text);
    }
    note.notes = ReplaceAll(text::Trim(text), '\x03', '\x02');
    if (hasName) note.notes = name + listfile::kLineJoin + note.notes;
    return note;
}

}  // namespace

std::string TakeWord(std::string& text) {
    std::size_t i = 0;
    const auto next = [&]() -> std::optional<std::string> {
        while (i < text.size() && IsSeparator(text[i])) ++i;
        if (i >= text.size()) return std::nullopt;
        const std::size_t start = i;
        while (i < text.size() && !IsSeparator(text[i])) ++i;
        return text.substr(start, i - start);
    };
    std::string word = next().value_or(std::string());
    if (!word.empty() && word.front() == '"') {
        while (word.size() < 2 || word.back() != '"') {
            const auto more = next();
            if (!more) break;
            word += ' ';
            word += *more;
        }
        word.erase(0, 1);
        if (!word.empty() && word.back() == '"') word.pop_back();
    }
    text.erase(0, i);
    return word;
}

std::vector<TListRow> Parse(std::string_view content, std::vector<std::string> existingNames) {
    std::vector<TListRow> out;
    std::optional<TPending> pending;
    while (!content.empty()) {
        const auto end = content.find('\n');
        std::string line(content.substr(0, end));
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // Bytes a list file cannot keep never reach a row; 0x03 is the other
        // program's line break inside a note and is kept for the note rules.
        line = listname::CleanField(line);
        if (line.rfind("alias", 0) == 0) {
            if (pending) Complete(*pending, {}, out);
            pending = ReadAlias(std::move(line), existingNames);
        } else if (line.rfind("note", 0) == 0 && pending) {
            Complete(*pending, ReadNote(std::move(line)), out);
            pending.reset();
        }
    }
    if (pending) Complete(*pending, {}, out);
    return out;
}

}  // namespace nickname
