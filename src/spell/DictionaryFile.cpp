#include "spell/DictionaryFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
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
    std::shared_ptr<TDictionaryFile> file(new TDictionaryFile(fd));
    if (!writable && st.st_size > 0) {
        void* m = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (m != MAP_FAILED) {
            file->map_ = static_cast<const unsigned char*>(m);
            file->mapSize_ = static_cast<std::size_t>(st.st_size);
        }
    }
    return file;
}

TDictionaryFile::~TDictionaryFile() {
    if (map_) ::munmap(const_cast<unsigned char*>(map_), mapSize_);
    if (head_) ::munmap(const_cast<unsigned char*>(head_), headSize_);
    ::close(fd_);
}

std::size_t TDictionaryFile::ReadAt(std::int64_t offset, void* buf, std::size_t size) const {
    auto* out = static_cast<unsigned char*>(buf);
    std::size_t done = 0;
    if (map_) {
        if (offset >= 0 && static_cast<std::uint64_t>(offset) < mapSize_)
            done = std::min(size, mapSize_ - static_cast<std::size_t>(offset));
        if (done) std::memcpy(out, map_ + offset, done);
        if (done < size) std::memset(out + done, 0, size - done);
        return done;
    }
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
    if (map_) return static_cast<std::int64_t>(mapSize_);
    struct stat st {};
    return ::fstat(fd_, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : 0;
}

bool TDictionaryFile::Sync() { return ::fdatasync(fd_) == 0; }

std::int64_t TDictionaryFile::TextHeaderEnd() const {
    constexpr unsigned char kTextHeaderEnd = 0x1A;
    std::array<unsigned char, 4096> buf{};
    const std::int64_t size = Size();
    for (std::int64_t at = 0; at < size; at += static_cast<std::int64_t>(buf.size())) {
        const std::size_t got = ReadAt(at, buf.data(), buf.size());
        for (std::size_t i = 0; i < got; ++i)
            if (buf[i] == kTextHeaderEnd) return at + static_cast<std::int64_t>(i) + 1;
        if (got < buf.size()) break;
    }
    return -1;
}

const unsigned char* TDictionaryFile::SharedHead(std::size_t size) {
    if (size == 0) return nullptr;
    if (head_ && headSize_ >= size) return head_;
    if (head_) ::munmap(const_cast<unsigned char*>(head_), headSize_);
    head_ = nullptr;
    headSize_ = 0;
    // Past the end of the file the mapped page reads as zeros; whole pages
    // past it would fault, so only what the file holds is mapped.
    if (static_cast<std::int64_t>(size) > Size()) return nullptr;
    void* m = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd_, 0);
    if (m == MAP_FAILED) return nullptr;
    head_ = static_cast<const unsigned char*>(m);
    headSize_ = size;
    return head_;
}
