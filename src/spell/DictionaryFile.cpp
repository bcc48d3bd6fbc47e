#include "spell/DictionaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::shared_ptr<TDictionaryFile> TDictionaryFile::Open(const std::string& path, bool writable) {
    const int fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::shared_ptr<TDictionaryFile>(new TDictionaryFile(fd));
}

TDictionaryFile::~TDictionaryFile() { ::close(fd_); }

std::size_t TDictionaryFile::ReadAt(std::int64_t offset, void* buf, std::size_t size) const {
    auto* out = static_cast<unsigned char*>(buf);
    std::size_t done = 0;
    while (offset >= 0 && done < size) {
        const ssize_t n = ::pread(fd_, out + done, size - done, offset + static_cast<std::int64_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    if (done < size) std::memset(out + done, 0, size - done);
    return done;
}

bool TDictionaryFile::WriteAt(std::int64_t offset, const void* buf, std::size_t size) {
    const auto* in = static_cast<const unsigned char*>(buf);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd_, in + done, size - done, offset + static_cast<std::int64_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::int64_t TDictionaryFile::Size() const {
    struct stat st {};
    return ::fstat(fd_, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : 0;
}

bool TDictionaryFile::Sync() { return ::fdatasync(fd_) == 0; }
