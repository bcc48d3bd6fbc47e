#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// Reads a file line by line; a line ends at LF, with a CR before it removed.
// NUL bytes and lines of any length are read as they are.
class TLineReader {
public:
    // unstuffDots: undo the dot-stuffing of a POP3 download (RFC 1939), so
    // that a line the sender began with "." does not keep the doubled dot the
    // server added; the file itself stays as downloaded.
    explicit TLineReader(const std::string& path, bool unstuffDots = false);
    // Reads bytes held in memory (a message taken out of a mailbox file);
    // they must outlive the reader.
    explicit TLineReader(std::string_view bytes);
    ~TLineReader();
    TLineReader(const TLineReader&) = delete;
    TLineReader& operator=(const TLineReader&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // False at the end of the file or on a read error.
    bool Next(std::string& line);
    bool AtEnd() const { return done_; }
    // The raw text of the line Next() gave last (before any unstuffing).
    std::string_view LastLine() const { return std::string_view(buffer_ ? buffer_ : "", lastLength_); }
    // A read error happened (as opposed to the end of the file).
    bool Failed() const { return failed_; }

private:
    std::FILE* file_ = nullptr;
    char* buffer_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t lastLength_ = 0;
    bool unstuff_ = false;
    bool done_ = false;
    bool failed_ = false;
};
