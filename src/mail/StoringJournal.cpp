#include "mail/StoringJournal.h"

#include <unistd.h>

#include <charconv>
#include <algorithm>
#include <map>
#include <set>
#include <string_view>
#include <utility>

#include "common/FileUtil.h"
#include "incoming/DownloadFile.h"
#include "store/IndexLine.h"

namespace {

constexpr char kSeparator = '\x01';

// The places (offset, size) of the records of an index file.
std::set<std::pair<std::int32_t, std::int32_t>> PlacesIn(const std::string& indexPath) {
    std::set<std::pair<std::int32_t, std::int32_t>> places;
    const auto content = fileutil::ReadAll(indexPath);
    if (!content) return places;
    std::string_view rest = *content;
    while (!rest.empty()) {
        const auto nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const THeaderItem item = TIndexLine::Parse(line);
        places.insert({item.Offset, item.Size});
    }
    return places;
}

bool ReadNumber(std::string_view text, std::int32_t& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

TStoringJournal::TStoringJournal(const std::string& dataFolder)
    : folder_(dataFolder), path_(dataFolder + kFileName) {}

bool TStoringJournal::Write(const std::vector<TEntry>& entries) const {
    std::string text;
    for (const auto& e : entries) {
        // Paths of the data folder never hold the separator or a line end;
        // an entry that would is left out rather than misread.
        if ((e.indexPath + e.download).find_first_of("\x01\n") != std::string::npos) continue;
        text += e.indexPath + kSeparator + std::to_string(e.offset) + kSeparator + std::to_string(e.size) +
                kSeparator + e.download + "\n";
    }
    return fileutil::WriteAtomically(path_, text);
}

void TStoringJournal::Remove() const { ::unlink(path_.c_str()); }

std::vector<std::string> TStoringJournal::Recover() const {
    std::vector<std::string> kept;
    if (const auto journal = fileutil::ReadAll(path_)) {
        std::map<std::string, std::set<std::pair<std::int32_t, std::int32_t>>> indexes;
        std::string_view rest = *journal;
        while (!rest.empty()) {
            const auto nl = rest.find('\n');
            const std::string_view line = rest.substr(0, nl);
            rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
            std::string_view fields[4];
            std::string_view left = line;
            bool whole = true;
            for (int i = 0; i < 4; ++i) {
                const auto sep = i < 3 ? left.find(kSeparator) : left.size();
                if (sep == std::string_view::npos) {
                    whole = false;
                    break;
                }
                fields[i] = left.substr(0, sep);
                left.remove_prefix(std::min(left.size(), sep + 1));
            }
            std::int32_t offset = 0, size = 0;
            if (!whole || !ReadNumber(fields[1], offset) || !ReadNumber(fields[2], size) || offset < 0) continue;
            const std::string download(fields[3]);
            if (!fileutil::Exists(download)) continue;  // it left the pending set before the end
            const std::string index(fields[0]);
            auto places = indexes.find(index);
            if (places == indexes.end()) {
                auto both = PlacesIn(index);
                // A save cut short between its backup and the rename: the
                // store's next load puts the backup in place.
                const std::string backup = index.size() > 4 ? index.substr(0, index.size() - 4) + ".Bak" : index;
                if (backup != index) both.merge(PlacesIn(backup));
                places = indexes.emplace(index, std::move(both)).first;
            }
            if (!places->second.count({offset, size})) continue;  // not stored: the next run takes it
            const std::string to = TDownloadFile::KeptPath(download);
            if (fileutil::ReplaceWith(download, to)) kept.push_back(to);
        }
        Remove();
    }
    for (auto& path : TDownloadFile::KeepLeftovers(folder_)) kept.push_back(std::move(path));
    return kept;
}
