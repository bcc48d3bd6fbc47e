#pragma once

#include <cstdint>
#include <string>

// The character format of a run of text, in the units RTF counts in, so that
// a document survives a write and a read unchanged.
struct TCharFormat {
    std::string fontName = "MS Sans Serif";  // UTF-8
    int halfPoints = 16;                     // font size in half points (16 = 8 pt)
    std::uint32_t color = 0;                 // RGB with red in the low byte, as "Font Color" stores it
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    // The address a run leads to (a HYPERLINK field's), UTF-8; empty: none.
    std::string link{};

    double Points() const { return halfPoints / 2.0; }
    friend bool operator==(const TCharFormat&, const TCharFormat&) = default;
};
