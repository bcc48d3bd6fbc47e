#include "transport/TakenJournal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "common/FileUtil.h"

TTakenJournal::TTakenJournal(std::string path) : path_(std::move(path)) {
    const auto content = fileutil::ReadAll(path_);
    if (!content) return;
    std::string_view rest = *content;
    while (!rest.empty()) {
        const auto lf = rest.find('\n');
        std::string_view line = rest.substr(0, lf);
        rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
        // A line cut short by a crash has no line end: it was never whole.
        if (lf == std::string_view::npos) break;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) earlier_.emplace(line);
    }
}

bool TTakenJournal::Add(const std::string& identity) {
    // One write of a whole line: after a crash the file holds whole lines
    // and at most one cut short, which the reader drops.
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, fileutil::kPrivateFile);
    if (fd < 0) return false;
    const std::string line = identity + "\r\n";
    const bool written = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    return ::close(fd) == 0 && written;
}

void TTakenJournal::Clear() {
    earlier_.clear();
    std::remove(path_.c_str());
}
