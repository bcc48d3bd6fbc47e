#include "richtext/RtfText.h"

#include <algorithm>

#include "richtext/RichDocument.h"

namespace {

// What the text of one slice may reserve ahead: a large body grows its
// text as it goes instead of claiming four bytes per input byte at once.
constexpr std::size_t kMaxReserve = 1 << 20;

}  // namespace

TRtfText::TRtfText(std::string_view rtf) : decoder_(rtf, *this) { text_.reserve(std::min(rtf.size(), kMaxReserve)); }

std::u32string TRtfText::Of(std::string_view rtf) {
    TRtfText reader(rtf);
    reader.Read(rtf.size());
    return std::move(reader.text_);
}

bool TRtfText::Read(std::size_t bytes) {
    if (finished_) return false;
    if (decoder_.Read(bytes)) return true;
    // The last line counts whether or not a paragraph mark ends it.
    if (paragraphHasText_) Paragraph();
    finished_ = true;
    return false;
}

void TRtfText::Char(char32_t c) {
    text_.push_back(c == TRichDocument::kLineBreak ? U'\n' : c);
    paragraphHasText_ = true;
}

void TRtfText::Text(std::string_view ascii) {
    text_.append(ascii.begin(), ascii.end());
    paragraphHasText_ = true;
}

void TRtfText::Paragraph() {
    text_.push_back(U'\n');
    paragraphHasText_ = false;
}
