#include "config/IniFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "common/FileUtil.h"
#include "common/TextUtil.h"
#include "common/UserPrompt.h"

namespace {

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The name of a "[section]" line, or false when the line is none.
bool SectionName(std::string_view line, std::string_view& name) {
    line = TrimView(line);
    if (line.empty() || line.front() != '[') return false;
    line.remove_prefix(1);
    const auto close = line.find(']');
    name = TrimView(line.substr(0, close));
    return true;
}

// The key and value of a "key=value" line; comments and other lines are none.
bool KeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::string_view trimmed = TrimView(line);
    if (trimmed.empty() || trimmed.front() == ';') return false;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    key = TrimView(line.substr(0, eq));
    value = TrimView(line.substr(eq + 1));
    return !key.empty();
}

// A value must stay on its line.
std::string OneLine(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

}  // namespace

TIniFile::TIniFile(std::string path, IUserPrompt* prompt) : path_(std::move(path)), prompt_(prompt) {}

const std::vector<TIniFile::Line>& TIniFile::Lines() const {
    struct stat st {};
    const bool exists = ::stat(path_.c_str(), &st) == 0;
    const off_t size = exists ? st.st_size : -1;
    if (cached_ && size == size_ &&
        (!exists || (st.st_dev == dev_ && st.st_ino == ino_ && st.st_mtim.tv_sec == mtime_.tv_sec &&
                     st.st_mtim.tv_nsec == mtime_.tv_nsec)))
        return lines_;

    lines_.clear();
    if (exists) {
        const auto content = fileutil::ReadAll(path_);
        std::string_view rest = content ? std::string_view(*content) : std::string_view();
        while (!rest.empty()) {
            const auto nl = rest.find('\n');
            Line line;
            if (nl == std::string_view::npos) {
                line.text = rest;
                rest = {};
            } else {
                std::string_view text = rest.substr(0, nl);
                line.ending = "\n";
                if (!text.empty() && text.back() == '\r') {
                    text.remove_suffix(1);
                    line.ending = "\r\n";
                }
                line.text = text;
                rest.remove_prefix(nl + 1);
            }
            lines_.push_back(std::move(line));
        }
        dev_ = st.st_dev;
        ino_ = st.st_ino;
        mtime_ = st.st_mtim;
    }
    size_ = size;
    cached_ = true;
    return lines_;
}

TIniFile::Found TIniFile::Find(std::string_view section, std::string_view key) const {
    const auto& lines = Lines();
    Found found;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (SectionName(lines[i].text, name)) {
            if (inSection) break;  // only the first section of that name counts
            inSection = text::EqualsNoCase(name, section);
            if (inSection) found.sectionLine = found.insertAt = i;
            continue;
        }
        if (!inSection) continue;
        std::string_view k, v;
        if (KeyValue(lines[i].text, k, v)) {
            found.insertAt = i;
            if (found.keyLine == npos && text::EqualsNoCase(k, key)) found.keyLine = i;
        } else if (!TrimView(lines[i].text).empty()) {
            found.insertAt = i;  // keep comments of the section above new keys
        }
    }
    return found;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    std::lock_guard lock(mutex_);
    const Found f = Find(section, key);
    if (f.keyLine == npos) return std::string(def.substr(0, kMaxValue));
    std::string_view k, v;
    KeyValue(lines_[f.keyLine].text, k, v);
    return std::string(v.substr(0, kMaxValue));
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const std::string value = ReadString(section, key, "");
    return text::ParseInt(value).value_or(def);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::HasKey(std::string_view section, std::string_view key) const {
    std::lock_guard lock(mutex_);
    return Find(section, key).keyLine != npos;
}

std::vector<std::string> TIniFile::ReadKeys(std::string_view section) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> keys;
    const Found f = Find(section, "");
    if (f.sectionLine == npos) return keys;
    for (std::size_t i = f.sectionLine + 1; i < lines_.size(); ++i) {
        std::string_view name, k, v;
        if (SectionName(lines_[i].text, name)) break;
        if (KeyValue(lines_[i].text, k, v)) keys.emplace_back(k);
    }
    return keys;
}

bool TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::lock_guard lock(mutex_);
    const Found f = Find(section, key);
    std::vector<Line> lines = lines_;
    const std::string newValue = OneLine(value);
    if (f.keyLine != npos) {
        std::string_view k, v;
        KeyValue(lines[f.keyLine].text, k, v);
        lines[f.keyLine].text = std::string(k) + "=" + newValue;
    } else {
        Line line{std::string(key) + "=" + newValue, "\r\n"};
        if (f.sectionLine != npos) {
            if (lines[f.insertAt].ending.empty()) lines[f.insertAt].ending = "\r\n";
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(f.insertAt + 1), std::move(line));
        } else {
            if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = "\r\n";
            lines.push_back(Line{"[" + std::string(section) + "]", "\r\n"});
            lines.push_back(std::move(line));
        }
    }
    return Store(std::move(lines));
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, std::to_string(value));
}

bool TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    std::lock_guard lock(mutex_);
    const Found f = Find(section, key);
    if (f.keyLine == npos) return true;
    std::vector<Line> lines = lines_;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(f.keyLine));
    return Store(std::move(lines));
}

bool TIniFile::RemoveLine(std::string_view text) {
    std::lock_guard lock(mutex_);
    std::vector<Line> lines = Lines();
    for (auto it = lines.begin(); it != lines.end(); ++it) {
        if (it->text == text) {
            lines.erase(it);
            return Store(std::move(lines));
        }
    }
    return true;
}

bool TIniFile::Store(std::vector<Line> lines) {
    std::string content;
    for (const auto& line : lines) {
        content += line.text;
        content += line.ending;
    }
    if (!fileutil::WriteAtomically(path_, content)) return ReportWriteFailure();
    lines_ = std::move(lines);
    cached_ = false;  // re-stat at the next read: the rename gave the file a new identity
    return true;
}

bool TIniFile::ReportWriteFailure() const {
    if (prompt_) prompt_->Error("Unable to write to " + path_);
    return false;
}
