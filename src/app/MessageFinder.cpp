#include "app/MessageFinder.h"

#include <cwctype>

#include "app/RecordBody.h"
#include "common/Windows1252.h"
#include "richtext/PlainText.h"
#include "store/MailStore.h"

namespace {

std::u32string Decode(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const unsigned char c = static_cast<unsigned char>(utf8[pos]);
        if (c < 0x80) {
            out.push_back(c);
            ++pos;
        } else if (const auto cp = cp1252::DecodeUtf8(utf8, pos)) {
            out.push_back(*cp);
        }
    }
    return out;
}

char32_t Lower(char32_t c) {
    if (c < 0x80) return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    // towlower in the "C" locale knows only ASCII; Latin-1 is folded here.
    if ((c >= 0xC0 && c <= 0xDE) && c != 0xD7) return c + 32;
    return static_cast<char32_t>(std::towlower(static_cast<wint_t>(c)));
}

}  // namespace

std::u32string TMessageFinder::Folded(std::u32string_view text) {
    std::u32string out(text);
    for (char32_t& c : out) c = Lower(c);
    return out;
}

bool TMessageFinder::FindIn(std::string_view text, const std::u32string& needle, int& line, std::size_t& column) {
    if (needle.empty()) return false;
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::u32string folded = Folded(Decode(text.substr(start, end - start)));
        if (const std::size_t at = folded.find(needle); at != std::u32string::npos) {
            line = number;
            column = at;
            return true;
        }
        ++number;
        start = end + 1;
    }
    return false;
}

void TMessageFinder::Start(std::string_view text, int from) {
    needle_ = Folded(Decode(text));
    position_ = from < 0 ? 0 : from;
    unreadable_ = 0;
    hit_ = THit{};
    state_ = needle_.empty() ? TState::Finished : TState::Searching;
}

TMessageFinder::TState TMessageFinder::Step(std::chrono::milliseconds budget) {
    if (state_ != TState::Searching) return state_;
    const auto until = std::chrono::steady_clock::now() + budget;
    const TRecordBody bodies(store_);
    const THeaders& headers = store_.Headers();
    do {
        if (position_ >= headers.Length()) return state_ = TState::Finished;
        const int handle = position_++;
        if (!headers.At(handle)) continue;
        const auto doc = bodies.Document(handle);
        if (!doc) {
            ++unreadable_;
            continue;
        }
        // The document's lines as they are, folded in place: no round trip
        // through UTF-8 for every body.
        int line = 0;
        for (std::u32string& text : plaintext::Lines(*doc)) {
            for (char32_t& c : text) c = Lower(c);
            if (const std::size_t at = text.find(needle_); at != std::u32string::npos) {
                hit_ = THit{handle, line, at, needle_.size(), unreadable_};
                return state_ = TState::Found;
            }
            ++line;
        }
    } while (std::chrono::steady_clock::now() < until);
    return state_;
}
