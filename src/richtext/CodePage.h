#pragma once

#include <array>
#include <string>
#include <string_view>

// Decodes the bytes of one Windows code page (as RTF names them in \ansicpg
// and \fcharset) to Unicode. Windows-1252 comes from cp1252::; any other code
// page goes through iconv, single-byte ones once into a table. A code page
// that iconv does not know decodes as Windows-1252, so text is never lost
// entirely.
class TCodePage {
public:
    explicit TCodePage(int number);
    ~TCodePage();
    TCodePage(const TCodePage&) = delete;
    TCodePage& operator=(const TCodePage&) = delete;

    int Number() const { return number_; }
    // Lead and trail bytes of a multi-byte code page must be decoded together.
    bool MultiByte() const { return iconv_ != nullptr; }
    // The character of one byte of a single-byte code page.
    char32_t Byte(unsigned char b) const { return table_[b]; }
    // Appends the text of bytes; bytes that do not decode become U+FFFD.
    void Decode(std::string_view bytes, std::u32string& out) const;

    // The code page of an RTF \fcharset value; 0 when the charset names none
    // (ANSI, default, symbol), so that the document's code page applies.
    static int FromCharset(int charset);

private:
    int number_;
    void* iconv_ = nullptr;  // iconv_t of a multi-byte code page
    std::array<char32_t, 256> table_{};
};
