#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// An open dictionary file read and written at explicit offsets, so that the
// sections of one file can share it without a common file position.
class TDictionaryFile {
public:
    static std::shared_ptr<TDictionaryFile> Open(const std::string& path, bool writable);
    ~TDictionaryFile();
    TDictionaryFile(const TDictionaryFile&) = delete;
    TDictionaryFile& operator=(const TDictionaryFile&) = delete;

    // Bytes read; fewer than asked at the end of the file (the rest of buf is zeroed).
    std::size_t ReadAt(std::int64_t offset, void* buf, std::size_t size) const;
    bool WriteAt(std::int64_t offset, const void* buf, std::size_t size);
    std::int64_t Size() const;
    // Pushes the written data to disk, so that what is written next lands after it.
    bool Sync();
    int Descriptor() const { return fd_; }
    // The offset of the byte after the text header's closing 0x1A, or -1 when there is none.
    std::int64_t TextHeaderEnd() const;

    // The first bytes of the file as they are on disk now, changes by other
    // programs included, without a system call per look; nothing when the
    // file cannot be mapped. A later call with a larger size maps anew.
    // The file must not be cut below the mapped pages while they are looked at.
    const unsigned char* SharedHead(std::size_t size);

private:
    explicit TDictionaryFile(int fd) : fd_(fd) {}
    int fd_;
    // Read-only files are also mapped, so that filling a cache slot is a copy
    // rather than a system call; the bytes are still read only as the walk
    // reaches them.
    const unsigned char* map_ = nullptr;
    std::size_t mapSize_ = 0;
    const unsigned char* head_ = nullptr;
    std::size_t headSize_ = 0;
};
