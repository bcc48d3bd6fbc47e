#include "store/IndexLine.h"

#include <array>
#include <charconv>

#include "common/TextUtil.h"

namespace {

void AppendInt(std::string& out, std::int32_t value) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

// A field holding the separator or a line break would shift every field
// after it or split the record in two: those characters become blanks.
void AppendField(std::string& out, std::string_view value) {
    std::size_t from = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c != TIndexLine::kFieldEnd && c != '\r' && c != '\n') continue;
        out.append(value, from, i - from);
        out += ' ';
        from = i + 1;
    }
    out.append(value, from);
    out += TIndexLine::kFieldEnd;
}

}  // namespace

THeaderItem TIndexLine::Parse(std::string_view line) {
    std::array<std::string_view, kFieldCount> f{};
    for (int i = 0; i < kFieldCount && !line.empty(); ++i) {
        const auto end = line.find(kFieldEnd);
        if (end == std::string_view::npos) {
            f[i] = line;  // the rest of the line is this field
            break;
        }
        f[i] = line.substr(0, end);
        line.remove_prefix(end + 1);
    }
    THeaderItem h;
    h.Subject = f[0];
    h.Who = f[1];
    h.Date = f[2];
    // f[3] is the window handle of the run that wrote the line: meaningless now.
    h.Address = f[4];
    h.Attachments = f[5];
    h.Flags = THeaderItem::FlagsFromStatusWord(f[6]);
    h.Server = f[7];
    // f[8] is always written empty.
    h.Signature = f[9];
    h.MsgType = f[10];
    h.Offset = text::ParseInt(f[11]).value_or(-1);
    h.Size = text::ParseInt(f[12]).value_or(0);
    h.Slack = text::ParseInt(f[13]).value_or(100);
    h.BCCList = f[14];
    h.CCList = f[15];
    return h;
}

void TIndexLine::AppendTo(std::string& out, const THeaderItem& item) { AppendTo(out, item, item.Offset, item.Slack); }

void TIndexLine::AppendTo(std::string& out, const THeaderItem& h, std::int32_t offset, std::int32_t slack) {
    AppendField(out, h.Subject.str());
    AppendField(out, h.Who.str());
    AppendField(out, h.Date.str());
    AppendInt(out, h.WindowHandle);
    out += kFieldEnd;
    AppendField(out, h.Address.str());
    AppendField(out, h.Attachments);
    AppendField(out, THeaderItem::StatusWord(h.Flags));
    AppendField(out, h.Server.str());
    out += kFieldEnd;
    AppendField(out, h.Signature.str());
    AppendField(out, h.MsgType.str());
    AppendInt(out, offset);
    out += kFieldEnd;
    AppendInt(out, h.Size);
    out += kFieldEnd;
    AppendInt(out, slack);
    out += kFieldEnd;
    AppendField(out, h.BCCList);
    AppendField(out, h.CCList);
}

std::string TIndexLine::Format(const THeaderItem& item) {
    std::string out;
    AppendTo(out, item);
    return out;
}
