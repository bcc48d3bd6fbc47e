#pragma once

#include <string_view>

#include "richtext/RichDocument.h"

// Reads RTF as rich edit controls, word processors and mailers write it into
// a TRichDocument. Whatever it is given, it returns the text it could read:
// unknown control words and destinations are skipped, unbalanced braces and
// truncation end the document where they stand, absurd parameters are
// clamped, and the work is linear in the input (no recursion, group depth
// bounded). Reading stops where the outermost group closes.
class TRtfReader {
public:
    // Groups nested deeper than this share their parent's state.
    static constexpr std::size_t kMaxDepth = 200;

    static TRichDocument Read(std::string_view rtf);
};
