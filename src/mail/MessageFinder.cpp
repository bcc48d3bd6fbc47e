#include "mail/MessageFinder.h"

#include <algorithm>

#include "common/FieldText.h"
#include "common/Windows1252.h"
#include "mail/RecordBody.h"
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

// Every script's letters without regard to case, one character for one.
char32_t Lower(char32_t c) { return fieldtext::FoldChar(c); }

int LineEnds(std::u32string_view text) { return static_cast<int>(std::count(text.begin(), text.end(), U'\n')); }

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

TMessageFinder::TMessageFinder(TMailStore& store) : store_(store) {}

TMessageFinder::~TMessageFinder() = default;

void TMessageFinder::Start(std::string_view text, int from) {
    Close();
    needle_ = Folded(Decode(text));
    position_ = from < 0 ? 0 : from;
    unreadable_ = 0;
    hit_ = THit{};
    // A text that spans a line end is in no line.
    const bool findable = !needle_.empty() && needle_.find_first_of(U"\n\u2028") == std::u32string::npos;
    state_ = findable ? TState::Searching : TState::Finished;
}

void TMessageFinder::Stop() {
    Close();
    state_ = TState::Idle;
}

bool TMessageFinder::Open(int handle) {
    const THeaderItem* item = store_.Headers().At(handle);
    if (!item) return false;
    if (!store_.Files().ReadBody(*item, body_)) {
        ++unreadable_;
        return false;
    }
    if (TRecordBody::IsRich(body_)) {
        rich_.emplace(body_);
    } else {
        plain_.clear();
        for (const auto& line : plaintext::Lines(TRecordBody::FromPlain(body_))) {
            plain_ += line;
            plain_ += U'\n';
        }
    }
    open_ = true;
    folded_ = searched_ = 0;
    droppedLines_ = 0;
    return true;
}

void TMessageFinder::Close() {
    open_ = false;
    rich_.reset();
    plain_.clear();
    body_.clear();
}

bool TMessageFinder::SearchRead() {
    std::u32string& text = rich_ ? rich_->Text() : plain_;
    // Only complete lines: the one still being read may go on.
    const std::size_t end = text.rfind(U'\n') + 1;  // 0 without a line end
    for (std::size_t i = folded_; i < end; ++i) text[i] = Lower(text[i]);
    folded_ = std::max(folded_, end);
    const std::u32string_view lines(text.data(), end);
    // A hit cannot span a line end, since the needle holds none.
    const std::size_t at = lines.find(needle_, searched_);
    if (at != std::u32string_view::npos) {
        const std::size_t lineEnd = at == 0 ? std::u32string_view::npos : lines.rfind(U'\n', at - 1);
        hit_.column = lineEnd == std::u32string_view::npos ? at : at - lineEnd - 1;
        hit_.line = droppedLines_ + LineEnds(lines.substr(0, at));
        return true;
    }
    searched_ = end;
    // Lines searched are dropped now and then, so a long body never keeps
    // its whole text; the lines are counted only then and at a hit.
    if (rich_ && searched_ >= (1u << 20)) {
        droppedLines_ += LineEnds(lines.substr(0, searched_));
        text.erase(0, searched_);
        folded_ -= searched_;
        searched_ = 0;
    }
    return false;
}

TMessageFinder::TState TMessageFinder::Step(std::chrono::milliseconds budget) {
    if (state_ != TState::Searching) return state_;
    // A slice of a rich body reads in well under a millisecond.
    constexpr std::size_t kSlice = 256 * 1024;
    const auto until = std::chrono::steady_clock::now() + budget;
    const int records = store_.Headers().Length();
    do {
        if (!open_) {
            if (position_ >= records) return state_ = TState::Finished;
            if (!Open(position_)) {
                ++position_;
                continue;
            }
        }
        const bool more = rich_ && rich_->Read(kSlice);
        if (SearchRead()) {
            hit_.handle = position_;
            hit_.length = needle_.size();
            hit_.unreadable = unreadable_;
            ++position_;
            Close();
            return state_ = TState::Found;
        }
        if (!more) {
            Close();
            ++position_;
        }
    } while (std::chrono::steady_clock::now() < until);
    return state_;
}
