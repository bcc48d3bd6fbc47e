#include "spell/FileStamp.h"

#include <sys/stat.h>

namespace {

TFileStamp FromStat(const struct stat& st) {
    TFileStamp s;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::int64_t>(st.st_size);
    s.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return s;
}

}  // namespace

TFileStamp TFileStamp::OfPath(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return FromStat(st);
}

TFileStamp TFileStamp::OfDescriptor(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return {};
    return FromStat(st);
}
