#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A file's bytes mapped into memory for reading, so a large mailbox file is
// read without being copied; an empty file maps to an empty view.
class TMappedFile {
public:
    explicit TMappedFile(const std::string& path);
    ~TMappedFile();
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;

    // False when the file could not be opened or mapped.
    bool IsOpen() const { return open_; }
    std::string_view Bytes() const { return {static_cast<const char*>(data_), size_}; }

private:
    void* data_ = nullptr;
    std::size_t size_ = 0;
    bool open_ = false;
};
