#pragma once

#include <string>
#include <string_view>
#include <vector>

class IEventPump;
class TBusyFlag;

// One row of a list page: its caption and its sub-items, in column order.
struct TListRow {
    std::string caption;
    std::vector<std::string> subItems;

    // Sub-item i, or an empty text when the row has fewer.
    const std::string& SubItem(std::size_t i) const;
    void SetSubItem(std::size_t i, std::string value);
    friend bool operator==(const TListRow&, const TListRow&) = default;
};

// The files behind the list pages ("Internet.pab", "Internet.flt",
// "Internet.sig", "Internet.svr"): one CR LF line per row, the caption and
// each sub-item followed by the byte 0x01.
namespace listfile {

inline constexpr char kFieldEnd = '\x01';
inline constexpr char kLineJoin = '\x02';

// Rows of a list file's content. Empty lines are skipped; text after the last
// 0x01 of a line counts as one more field.
std::vector<TListRow> Parse(std::string_view content);
std::string Format(const std::vector<TListRow>& rows);

// Reads a list file; a missing or unreadable file gives no rows.
std::vector<TListRow> Read(const std::string& path);
// Rewrites a list file whole, while holding the list-fill flag so that no
// list operation runs meanwhile. False when the file could not be written;
// the old file is then unchanged.
bool Write(const std::string& path, const std::vector<TListRow>& rows, TBusyFlag& listFill, IEventPump& pump);

// Multi-line values inside one field: lines joined with 0x02 between them.
std::string JoinLines(const std::vector<std::string>& lines);
std::vector<std::string> SplitLines(std::string_view field);

}  // namespace listfile
