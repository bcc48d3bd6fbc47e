#pragma once

#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

// Turns text in a MIME charset into UTF-8 through iconv. One converter is made
// per charset a message declares; it is not shared between threads.
class TCharsetConverter {
public:
    // An unknown charset gives a converter that is not valid().
    explicit TCharsetConverter(std::string_view charset);
    ~TCharsetConverter();
    TCharsetConverter(const TCharsetConverter&) = delete;
    TCharsetConverter& operator=(const TCharsetConverter&) = delete;

    bool valid() const { return kind_ != Kind::Unknown; }
    // Bytes the charset cannot hold become '?'; nothing when not valid().
    std::optional<std::string> ToUtf8(std::string_view bytes);

    // The text of a part or header in its declared charset, as UTF-8. A missing
    // or unknown charset means UTF-8 when the bytes are valid UTF-8, else
    // Windows-1252, which is what unlabelled mail in the wild mostly is.
    static std::string Decode(std::string_view bytes, std::string_view charset);

private:
    enum class Kind { Unknown, Utf8, Windows1252, Iconv };
    Kind kind_ = Kind::Unknown;
    iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
};
