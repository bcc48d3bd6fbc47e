#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

// Base64 decoding as a stream: text may be fed in pieces of any size, split
// anywhere (inside a line, between lines); line ends, blanks and TABs are
// ignored and a "=" ends the data. A line longer than 76 characters is data
// like any other. Characters outside the alphabet count as six one-bits, as
// the original decoder counted them.
class TBase64Decoder {
public:
    // Appends the bytes decoded so far to out.
    void Feed(std::string_view text, std::string& out);
    // Appends the bytes of a last incomplete group (2 or 3 characters).
    void Finish(std::string& out);
    bool Ended() const { return ended_; }

private:
    std::uint32_t bits_ = 0;
    int count_ = 0;  // characters held in bits_ (0..3)
    bool ended_ = false;
};

// The outgoing side: one line of at most 76 characters from up to 57 bytes.
namespace base64 {

inline constexpr std::size_t kLineBytes = 57;
std::string EncodeLine(std::string_view bytes);
// Reads up to 57 bytes from in and encodes them into line; the number of
// bytes read (0 at the end of the input, which gives an empty line).
std::size_t EncodeLine(std::istream& in, std::string& line);

}  // namespace base64
