#include "incoming/DownloadFile.h"

#include <sys/stat.h>

#include <cstdio>

#include "common/TextUtil.h"

namespace {
bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}
}  // namespace

std::string TDownloadFile::KeptPath(const std::string& download) {
    const std::string stem = text::EndsWith(download, ".tsg") ? download.substr(0, download.size() - 4) : download;
    std::string kept = stem + ".kept";
    for (int n = 2; Exists(kept); ++n) kept = stem + " (" + std::to_string(n) + ").kept";
    return kept;
}

TDownloadFile::~TDownloadFile() {
    // A message read from memory (an import) has no download file.
    if (!stored_ || path_.empty()) return;
    if (!failed_) {
        std::remove(path_.c_str());
        return;
    }
    // Renaming within the folder is atomic: the download is either still
    // pending (and its message already stored) or kept aside, never gone.
    // Should the rename itself fail, the file stays where it is.
    std::rename(path_.c_str(), KeptPath(path_).c_str());
}
