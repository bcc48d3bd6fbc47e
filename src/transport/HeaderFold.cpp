#include "transport/HeaderFold.h"

namespace headerfold {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Offsets before which a line may break, in increasing order.
std::vector<std::size_t> BreakPoints(std::string_view field) {
    std::vector<std::size_t> points;
    const std::size_t colon = field.find(':');
    std::size_t i = colon == std::string_view::npos ? 0 : colon + 1;
    while (i < field.size() && IsBlank(field[i])) ++i;  // the value's first word stays on the name's line
    std::size_t last = field.size();
    while (last > i && IsBlank(field[last - 1])) --last;  // trailing blanks would make a blank line
    for (; i < last; ++i)
        if (IsBlank(field[i]) && !IsBlank(field[i - 1])) points.push_back(i);
    return points;
}

}  // namespace

std::vector<std::string> Fold(std::string_view field) {
    if (field.size() <= kSoftLimit) return {std::string(field)};
    const std::vector<std::size_t> points = BreakPoints(field);
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t p = 0;  // first break point not yet passed
    while (field.size() - start > kSoftLimit) {
        while (p < points.size() && points[p] <= start) ++p;
        if (p == points.size()) break;
        // The last break that keeps the line within the soft limit, or else
        // the first one there is.
        std::size_t q = p;
        while (q + 1 < points.size() && points[q + 1] - start <= kSoftLimit) ++q;
        const std::size_t end = points[q];
        lines.emplace_back(field.substr(start, end - start));
        start = end;
    }
    lines.emplace_back(field.substr(start));
    return lines;
}

}  // namespace headerfold
