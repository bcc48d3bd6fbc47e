#include "search/SearchText.h"

#include <cstdio>

#include "common/FieldText.h"
#include "common/Windows1252.h"
#include "store/HeaderItem.h"

namespace searchtext {

std::string FieldUtf8(std::string_view stored) { return fieldtext::Decode(stored); }

bool IsUnspaced(char32_t c) {
    return (c >= 0x0E00 && c <= 0x0EFF)        // Thai, Lao
           || (c >= 0x1100 && c <= 0x11FF)     // Hangul Jamo
           || (c >= 0x2E80 && c <= 0x9FFF)     // CJK radicals, kana, ideographs
           || (c >= 0xA960 && c <= 0xA97F)     // Hangul Jamo extended
           || (c >= 0xAC00 && c <= 0xD7FF)     // Hangul syllables
           || (c >= 0xF900 && c <= 0xFAFF)     // CJK compatibility ideographs
           || (c >= 0xFF66 && c <= 0xFF9F)     // half-width katakana
           || (c >= 0x20000 && c <= 0x3FFFF);  // CJK extensions
}

std::string Spaced(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 8);
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        const auto cp = cp1252::DecodeUtf8(utf8, pos);
        if (!cp) {
            out += ' ';
            continue;
        }
        if (IsUnspaced(*cp)) {
            out += ' ';
            out.append(utf8.substr(start, pos - start));
            out += ' ';
        } else {
            out.append(utf8.substr(start, pos - start));
        }
    }
    return out;
}

namespace {

bool Digits(std::string_view s, std::size_t at, std::size_t n, int& value) {
    if (at + n > s.size()) return false;
    value = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

bool ValidDay(int y, int m, int d) {
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12 || d < 1 || d > days[m - 1]) return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return !(m == 2 && d == 29 && !leap);
}

}  // namespace

std::int64_t DateKey(std::string_view s) {
    int mm, dd, yy, hh = 0, nn = 0;
    if (!Digits(s, 0, 2, mm) || s.size() < 8 || s[2] != '/' || !Digits(s, 3, 2, dd) || s[5] != '/' ||
        !Digits(s, 6, 2, yy))
        return 0;
    const int year = yy < 70 ? 2000 + yy : 1900 + yy;
    if (!ValidDay(year, mm, dd)) return 0;
    if (s.size() >= 14 && Digits(s, 9, 2, hh) && s[11] == ':' && Digits(s, 12, 2, nn) && hh >= 1 && hh <= 12 &&
        nn < 60) {
        const bool pm = s.size() >= 17 && (s[15] == 'P' || s[15] == 'p');
        hh = hh % 12 + (pm ? 12 : 0);
    } else {
        hh = nn = 0;
    }
    return ((static_cast<std::int64_t>(year) * 100 + mm) * 100 + dd) * 10000 + hh * 100 + nn;
}

std::int64_t DayKey(std::string_view s) {
    int y, m, d;
    if (s.size() != 10 || !Digits(s, 0, 4, y) || s[4] != '-' || !Digits(s, 5, 2, m) || s[7] != '-' ||
        !Digits(s, 8, 2, d) || !ValidDay(y, m, d))
        return -1;
    return ((static_cast<std::int64_t>(y) * 100 + m) * 100 + d) * 10000;
}

std::uint64_t Hash(std::string_view bytes, std::uint64_t seed) {
    std::uint64_t h = seed;
    for (const unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return h;
}

namespace {

// The file names of the attachment paths (each path ends in 0x02).
std::string AttachmentNames(const std::string& paths) {
    std::string names;
    std::size_t start = 0;
    while (start < paths.size()) {
        std::size_t end = paths.find('\x02', start);
        if (end == std::string::npos) end = paths.size();
        const std::string_view path(paths.data() + start, end - start);
        const std::size_t slash = path.find_last_of("/\\");
        if (!names.empty()) names += ' ';
        names += slash == std::string_view::npos ? path : path.substr(slash + 1);
        start = end + 1;
    }
    return names;
}

std::string Text(std::string_view stored) { return Spaced(FieldUtf8(stored)); }

}  // namespace

TDocFields TDocFields::Of(const THeaderItem& r) {
    TDocFields f;
    f.subject = Text(r.Subject.str());
    const std::string party = r.Who.str() + " " + r.Address.str();
    // A received record keeps its sender in Who and Address and its To and
    // Cc fields together in CCList; an outgoing one its recipients in Who
    // and Address, the copies in CCList and BCCList.
    if (r.Has(mfQueued) || r.Has(mfSent)) {
        f.recipients = Text(party);
        f.cc = Text(r.CCList + " " + r.BCCList);
    } else {
        f.sender = Text(party);
        f.recipients = Text(r.CCList);
        f.cc = f.recipients;
    }
    f.attachments = Text(AttachmentNames(r.Attachments));
    f.date = DateKey(r.Date.str());
    f.flags = r.Flags;
    f.hasAttachment = r.Has(mfAttach) || !r.Attachments.empty();
    std::uint64_t h = Hash(r.Subject.str());
    for (const std::string* s :
         {&r.Who.str(), &r.Address.str(), &r.CCList, &r.BCCList, &r.Attachments, &r.Date.str(), &r.MsgType.str()}) {
        h = Hash(std::string_view("\x01", 1), h);
        h = Hash(*s, h);
    }
    const char flags = static_cast<char>(r.Flags);
    f.hash = Hash(std::string_view(&flags, 1), h);
    return f;
}

}  // namespace searchtext
