#include "incoming/MboxReader.h"

#include <cstring>

#include "common/TextUtil.h"

namespace {

constexpr std::string_view kFrom = "From ";

std::string_view WithoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// A body line written as ">From ", ">>From ", ...: the file's writer added
// one ">" (mboxrd; mboxo only ever escaped "From ").
bool IsEscaped(std::string_view line) {
    const auto first = line.find_first_not_of('>');
    return first != 0 && first != std::string_view::npos && StartsWith(line.substr(first), kFrom);
}

}  // namespace

TMboxReader::TMboxReader(std::string_view data) : data_(data) {}

std::size_t TMboxReader::LineEnd(std::size_t pos) const {
    const void* lf = std::memchr(data_.data() + pos, '\n', data_.size() - pos);
    return lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data_.data()) + 1 : data_.size();
}

bool TMboxReader::LooksLikeMbox(std::string_view head) {
    const auto first = head.find_first_not_of("\r\n");
    return first != std::string_view::npos && StartsWith(head.substr(first), kFrom);
}

bool TMboxReader::IsPostmark(std::string_view line) {
    // "From sender Wed Dec  2 10:00:00 2026" or "From - Wed Dec 02 ...".
    if (!StartsWith(line, kFrom)) return false;
    line.remove_prefix(kFrom.size());
    const auto blank = line.find(' ');
    if (blank == 0 || blank == std::string_view::npos) return false;
    line.remove_prefix(blank);
    const auto day = line.find_first_not_of(' ');
    if (day == std::string_view::npos || line.size() < day + 4 || line[day + 3] != ' ') return false;
    static constexpr std::string_view kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    for (const auto d : kDays)
        if (line.substr(day, 3) == d) return true;
    return false;
}

bool TMboxReader::TrustedLength(std::size_t headerStart, std::size_t bodyStart, std::size_t& bodyEnd,
                                std::size_t& next, std::string& damage) const {
    std::size_t length = 0;
    bool found = false;
    for (std::size_t p = headerStart; p < bodyStart;) {
        const std::size_t e = LineEnd(p);
        const std::string_view line = WithoutLineEnd(data_.substr(p, e - p));
        if (text::StartsWithNoCase(line, "Content-Length:")) {
            const std::string value = std::string(line.substr(15));
            const auto digits = value.find_first_not_of(" \t");
            if (digits == std::string::npos || value[digits] < '0' || value[digits] > '9') return false;
            for (std::size_t i = digits; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
                if (length > data_.size()) break;  // far beyond the file already
                length = length * 10 + static_cast<std::size_t>(value[i] - '0');
            }
            found = true;
            break;
        }
        p = e;
    }
    if (!found) return false;
    if (length > data_.size() - bodyStart) {
        damage = "cut short: the file ends " + std::to_string(length - (data_.size() - bodyStart)) +
                 " bytes before its Content-Length";
        return false;
    }
    const std::size_t end = bodyStart + length;
    std::size_t q = end;
    // The writer's blank line after the body.
    for (int i = 0; i < 2 && q < data_.size() && WithoutLineEnd(data_.substr(q, LineEnd(q) - q)).empty(); ++i)
        q = LineEnd(q);
    if (q < data_.size() && !StartsWith(data_.substr(q), kFrom)) return false;
    bodyEnd = end;
    next = q;
    return true;
}

bool TMboxReader::Next(TSourceMessage& out) {
    const std::size_t size = data_.size();
    while (pos_ < size && WithoutLineEnd(data_.substr(pos_, LineEnd(pos_) - pos_)).empty()) pos_ = LineEnd(pos_);
    if (pos_ >= size) return false;
    out = TSourceMessage{};
    out.offset = pos_;
    std::size_t start = pos_;
    if (StartsWith(data_.substr(pos_), kFrom))
        start = LineEnd(pos_);
    else
        out.damage = "text without a \"From \" line before it";

    std::size_t bodyStart = size;
    for (std::size_t p = start; p < size;) {
        const std::size_t e = LineEnd(p);
        if (WithoutLineEnd(data_.substr(p, e - p)).empty()) {
            bodyStart = e;
            break;
        }
        p = e;
    }
    std::size_t bodyEnd = 0, next = 0;
    if (TrustedLength(start, bodyStart, bodyEnd, next, out.damage)) {
        // mboxcl2 leaves bodies as they are; its length is what keeps a
        // "From " line in them from starting a message.
        out.bytes.assign(data_.substr(start, bodyEnd - start));
        out.rawSize = next - out.offset;
        pos_ = next;
        return true;
    }

    out.bytes.reserve(std::min<std::size_t>(size - start, 1u << 20));
    std::size_t p = start, run = start;
    bool previousBlank = false;
    while (p < size) {
        const std::size_t e = LineEnd(p);
        const std::string_view line = WithoutLineEnd(data_.substr(p, e - p));
        if (p != start && StartsWith(line, kFrom) && (previousBlank || IsPostmark(line))) break;
        if (!line.empty() && line.front() == '>' && IsEscaped(line)) {
            out.bytes.append(data_.substr(run, p - run));
            out.bytes.append(data_.substr(p + 1, e - p - 1));
            run = e;
        }
        previousBlank = line.empty();
        p = e;
    }
    out.bytes.append(data_.substr(run, p - run));
    // The blank line every writer puts after a message is the separator's.
    if (out.bytes.size() >= 4 && out.bytes.compare(out.bytes.size() - 4, 4, "\r\n\r\n") == 0)
        out.bytes.resize(out.bytes.size() - 2);
    else if (out.bytes.size() >= 2 && out.bytes.compare(out.bytes.size() - 2, 2, "\n\n") == 0)
        out.bytes.pop_back();
    out.rawSize = p - out.offset;
    pos_ = p;
    return true;
}
