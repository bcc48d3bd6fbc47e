#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// One message taken out of a mailbox file.
struct TSourceMessage {
    std::string bytes;        // the message as it was sent, the file's escaping undone
    std::size_t offset = 0;   // where its text begins in the file
    std::size_t rawSize = 0;  // bytes of the file it took, separator included
    std::string damage;       // why it is not whole; empty when it is
};

// Reads the messages of an mbox file: each begins with a "From " line.
// Reads the common variants alike: mboxo and mboxrd (a body line
// ">From ", ">>From ", ... loses one ">"), and mboxcl/mboxcl2, whose
// Content-Length is trusted when a separator (or the end) follows where it
// points, and then the body is taken as it is. LF or CR LF line ends; the
// last message may lack its line end. A "From " line starts a message after
// a blank line, or anywhere when it has the shape of a postmark ("From
// sender Wed Dec  2 ..."), so an unescaped "From " in a body stays text.
class TMboxReader {
public:
    // data must outlive the reader.
    explicit TMboxReader(std::string_view data);

    // The next message; false at the end of the data.
    bool Next(TSourceMessage& out);
    // How far the reading has come, in bytes of the data.
    std::size_t Position() const { return pos_; }

    // Whether a file's first bytes are those of an mbox (blank lines, then
    // a "From " line).
    static bool LooksLikeMbox(std::string_view head);
    // Whether a line (without its end) separates messages without a blank
    // line before it.
    static bool IsPostmark(std::string_view line);

private:
    // The end of the line starting at pos (the position after its LF, or the
    // end of the data).
    std::size_t LineEnd(std::size_t pos) const;
    // The length of the message's body per its Content-Length when a
    // separator or the end follows where it points.
    bool TrustedLength(std::size_t headerStart, std::size_t bodyStart, std::size_t& bodyEnd, std::size_t& next,
                       std::string& damage) const;

    std::string_view data_;
    std::size_t pos_ = 0;
};
