#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class THeaderItem;

// The text of a record as the search index holds it: UTF-8, with the
// characters of scripts written without spaces between words (Chinese,
// Japanese, Korean, Thai) each made a word of its own, so that a phrase of
// such characters finds any run of them inside a longer text.
namespace searchtext {

// A record's stored field as UTF-8. The one place where the index learns
// how the store keeps its texts.
std::string FieldUtf8(std::string_view stored);

// A UTF-8 text with a blank around every character of an unspaced script.
std::string Spaced(std::string_view utf8);
bool IsUnspaced(char32_t c);

// "mm/dd/yy hh:nn AM/PM" as yyyymmddhhmm (years below 70 are 20yy); 0 for
// a date that does not read.
std::int64_t DateKey(std::string_view displayDate);
// yyyy-mm-dd as yyyymmdd0000; nothing (-1) when it is no calendar date.
std::int64_t DayKey(std::string_view isoDay);

// FNV-1a over bytes, continuing from seed.
std::uint64_t Hash(std::string_view bytes, std::uint64_t seed = 1469598103934665603ULL);

// The fields of a record the index searches and sorts by.
struct TDocFields {
    std::string subject, sender, recipients, cc, attachments;  // spaced UTF-8
    std::int64_t date = 0;
    int flags = 0;
    bool hasAttachment = false;
    std::uint64_t hash = 0;  // of every field above, as stored

    static TDocFields Of(const THeaderItem& record);
};

}  // namespace searchtext
