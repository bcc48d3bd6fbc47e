#include "incoming/LineReader.h"

#include <cstdlib>

TLineReader::TLineReader(const std::string& path, bool unstuffDots) : unstuff_(unstuffDots) {
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) done_ = true;
}

TLineReader::TLineReader(std::string_view bytes) {
    // A memory stream reads what a file would, so a message from a mailbox
    // file takes the same way through the parser as a download. It only
    // reads, whatever its type says.
    if (!bytes.empty()) file_ = ::fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    if (!file_) done_ = true;
}

TLineReader::~TLineReader() {
    if (file_) std::fclose(file_);
    std::free(buffer_);
}

bool TLineReader::Next(std::string& line) {
    if (done_) return false;
    const ssize_t n = ::getline(&buffer_, &capacity_, file_);
    if (n < 0) {
        done_ = true;
        failed_ = std::ferror(file_) != 0;
        lastLength_ = 0;
        return false;
    }
    std::size_t len = static_cast<std::size_t>(n);
    if (len && buffer_[len - 1] == '\n') --len;
    if (len && buffer_[len - 1] == '\r') --len;
    lastLength_ = len;
    std::size_t start = 0;
    if (unstuff_ && len >= 2 && buffer_[0] == '.' && buffer_[1] == '.') start = 1;
    line.assign(buffer_ + start, len - start);
    return true;
}
