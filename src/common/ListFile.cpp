#include "common/ListFile.h"

#include "common/BusyFlag.h"
#include "common/FileUtil.h"

const std::string& TListRow::SubItem(std::size_t i) const {
    static const std::string kEmpty;
    return i < subItems.size() ? subItems[i] : kEmpty;
}

void TListRow::SetSubItem(std::size_t i, std::string value) {
    if (subItems.size() <= i) subItems.resize(i + 1);
    subItems[i] = std::move(value);
}

namespace listfile {

namespace {

TListRow ParseLine(std::string_view line) {
    std::vector<std::string> fields;
    while (!line.empty()) {
        const auto end = line.find(kFieldEnd);
        if (end == std::string_view::npos) {
            fields.emplace_back(line);
            break;
        }
        fields.emplace_back(line.substr(0, end));
        line.remove_prefix(end + 1);
    }
    TListRow row;
    if (!fields.empty()) {
        row.caption = std::move(fields.front());
        row.subItems.assign(std::make_move_iterator(fields.begin() + 1), std::make_move_iterator(fields.end()));
    }
    return row;
}

}  // namespace

std::vector<TListRow> Parse(std::string_view content) {
    std::vector<TListRow> rows;
    while (!content.empty()) {
        auto end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        rows.push_back(ParseLine(line));
    }
    return rows;
}

std::string Format(const std::vector<TListRow>& rows) {
    std::string out;
    for (const auto& row : rows) {
        out += row.caption;
        out += kFieldEnd;
        for (const auto& item : row.subItems) {
            out += item;
            out += kFieldEnd;
        }
        out += "\r\n";
    }
    return out;
}

std::vector<TListRow> Read(const std::string& path) {
    const auto content = fileutil::ReadAll(path);
    return content ? Parse(*content) : std::vector<TListRow>{};
}

bool Write(const std::string& path, const std::vector<TListRow>& rows, TBusyFlag& listFill, IEventPump& pump) {
    TBusyLock lock(listFill, pump);
    return lock.Held() && fileutil::WriteAtomically(path, Format(rows));
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) out += kLineJoin;
        out += lines[i];
    }
    return out;
}

std::vector<std::string> SplitLines(std::string_view field) {
    std::vector<std::string> lines;
    if (field.empty()) return lines;
    for (;;) {
        const auto end = field.find(kLineJoin);
        lines.emplace_back(field.substr(0, end));
        if (end == std::string_view::npos) break;
        field.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace listfile
