#include "store/EnrichedToRtf.h"

#include <algorithm>

#include "common/TextUtil.h"
#include "common/Windows1252.h"
#include "store/RtfFragment.h"

namespace {

// A command's name is at most 60 characters (RFC 1896).
constexpr std::size_t kMaxName = 60;

struct TState {
    int bold = 0, italic = 0, underline = 0, nofill = 0, param = 0;
    int indent = 0;
    int halfPoints = 0;
};

class TConverter {
public:
    explicit TConverter(int base) : base_(base > 0 ? base : 24) {}

    std::vector<std::string> Run(const std::vector<std::string>& lines) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            Line(lines[i]);
            // A line end inside a parameter is part of it.
            if (i + 1 < lines.size() && s_.param == 0) ++newlines_;
        }
        return out_.Finish();
    }

private:
    void Line(std::string_view line) {
        std::size_t pos = 0;
        while (pos < line.size()) {
            const char c = line[pos];
            if (c == '<' && pos + 1 < line.size() && line[pos + 1] == '<') {
                Char(U'<');
                pos += 2;
                continue;
            }
            if (c == '<') {
                const std::size_t gt = line.find('>', pos + 1);
                const std::string_view body =
                    line.substr(pos + 1, gt == std::string_view::npos ? std::string_view::npos : gt - pos - 1);
                if (gt != std::string_view::npos && body.size() <= kMaxName + 1) {
                    Command(body);
                    pos = gt + 1;
                    continue;
                }
            }
            const std::size_t before = pos;
            const auto cp = cp1252::DecodeUtf8(line, pos);
            if (!cp) pos = before + 1;
            Char(cp ? *cp : U'\uFFFD');
        }
    }

    void Command(std::string_view body) {
        const bool end = !body.empty() && body.front() == '/';
        const std::string name = text::ToLowerAscii(end ? body.substr(1) : body);
        const int step = end ? -1 : 1;
        const auto count = [&](int& n) { n = std::max(0, n + step); };
        if (name == "param")
            count(s_.param);
        else if (s_.param > 0)
            return;  // a command inside a parameter is part of it
        else if (name == "bold")
            count(s_.bold);
        else if (name == "italic")
            count(s_.italic);
        else if (name == "underline")
            count(s_.underline);
        else if (name == "nofill")
            count(s_.nofill);
        else if (name == "bigger")
            s_.halfPoints = std::max(4, Size() + 2 * step);
        else if (name == "smaller")
            s_.halfPoints = std::max(4, Size() - 2 * step);
        else if (name == "excerpt" || name == "indent") {
            FlushNewlines();
            s_.indent = std::max(0, s_.indent + 720 * step);
            out_.Break(false);
            out_.Indent(s_.indent);
        }
    }

    int Size() const { return s_.halfPoints ? s_.halfPoints : base_; }

    void Char(char32_t c) {
        if (s_.param > 0) return;
        FlushNewlines();
        TRtfFragment::TStyle style;
        style.bold = s_.bold > 0;
        style.italic = s_.italic > 0;
        style.underline = s_.underline > 0;
        style.halfPoints = s_.halfPoints && s_.halfPoints != base_ ? s_.halfPoints : 0;
        out_.Text(std::u32string_view(&c, 1), style, false);
    }

    // Line ends of the source, seen since the last text.
    void FlushNewlines() {
        if (newlines_ == 0 || s_.param > 0) return;
        const int breaks = s_.nofill > 0 ? newlines_ : newlines_ - 1;
        if (breaks == 0)
            out_.Text(U" ", {}, true);
        else
            for (int i = 0; i < breaks; ++i) out_.Text(U"\n", {}, false);
        newlines_ = 0;
    }

    int base_;
    TState s_;
    int newlines_ = 0;
    TRtfFragment out_;
};

}  // namespace

std::vector<std::string> TEnrichedToRtf::Convert(const std::vector<std::string>& lines, int baseHalfPoints) {
    return TConverter(baseHalfPoints).Run(lines);
}
