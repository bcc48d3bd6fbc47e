#pragma once

#include <cstdint>
#include <string>

// What tells that a file changed on disk without reading it: its identity
// (device and inode: a file replaced under the same name is another one),
// size and modification and change times.
struct TFileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modified = 0;  // nanoseconds
    std::int64_t changed = 0;   // nanoseconds

    // The file the name leads to now; size -1 when there is none.
    static TFileStamp OfPath(const std::string& path);
    // The open file.
    static TFileStamp OfDescriptor(int fd);

    bool SameFile(const TFileStamp& o) const { return device == o.device && inode == o.inode; }
    bool operator==(const TFileStamp&) const = default;
};
