#include "incoming/DownloadFile.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdio>
#include <vector>

#include "common/FileUtil.h"
#include "common/TextUtil.h"

namespace {
bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string Stem(const std::string& path) {
    for (const char* ext : {".tsg", ".stored"})
        if (text::EndsWith(path, ext)) return path.substr(0, path.size() - std::string_view(ext).size());
    return path;
}
}  // namespace

std::string TDownloadFile::KeptPath(const std::string& download) {
    const std::string stem = Stem(download);
    std::string kept = stem + ".kept";
    for (int n = 2; Exists(kept); ++n) kept = stem + " (" + std::to_string(n) + ").kept";
    return kept;
}

std::string TDownloadFile::StoredPath(const std::string& download) { return Stem(download) + ".stored"; }

std::vector<std::string> TDownloadFile::KeepLeftovers(const std::string& folder) {
    std::vector<std::string> found;
    if (DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name.size() > 7 && text::EndsWith(name, ".stored")) found.push_back(folder + name);
        }
        ::closedir(dir);
    }
    std::vector<std::string> kept;
    for (const auto& path : found) {
        const std::string to = KeptPath(path);
        if (fileutil::ReplaceWith(path, to)) kept.push_back(to);
    }
    return kept;
}

std::string TDownloadFile::Path() const {
    std::lock_guard lock(mutex_);
    return path_;
}

void TDownloadFile::Stored() {
    std::lock_guard lock(mutex_);
    if (stored_) return;
    stored_ = true;
    // A message read from memory (an import) has no download file.
    if (path_.empty()) return;
    // Within the folder a rename is atomic: the download is pending or
    // stored, never both, never gone. Should it fail, the file stays.
    const std::string to = StoredPath(path_);
    if (std::rename(path_.c_str(), to.c_str()) == 0) path_ = to;
}

TDownloadFile::~TDownloadFile() {
    if (!stored_ || path_.empty()) return;
    if (!failed_) {
        std::remove(path_.c_str());
        return;
    }
    // Should the rename itself fail, the file stays where it is.
    std::rename(path_.c_str(), KeptPath(path_).c_str());
}
