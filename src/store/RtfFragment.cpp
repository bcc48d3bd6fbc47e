#include "store/RtfFragment.h"

#include <cstdint>
#include <cstdio>

#include "common/Windows1252.h"
#include "richtext/RtfWriter.h"

namespace {

bool IsCollapsible(char32_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// Characters that take no room on the page: mailers pad hidden preview text
// with them, and a reader would only trip over them in find and spelling.
bool IsInvisible(char32_t c) {
    return c == 0x200B || c == 0x200C || c == 0x200D || c == 0x2060 || c == 0xFEFF || c == 0x034F || c == 0x00AD ||
           (c < 0x20 && c != '\t' && c != '\n') || c == 0x7F;
}

}  // namespace

void TRtfFragment::AppendChar(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
        return;
    }
    char buf[16];
    if (const auto b = cp1252::FromUnicode(cp); b && *b >= 0x80) {
        std::snprintf(buf, sizeof buf, "\\'%02x", static_cast<unsigned>(*b));
        out += buf;
        return;
    }
    // \uN takes a signed 16-bit number; characters beyond the BMP go as
    // their UTF-16 surrogate pair. The "?" is what a reader without
    // Unicode shows.
    const auto unit = [&](unsigned u) {
        std::snprintf(buf, sizeof buf, "\\u%d?", static_cast<int>(static_cast<std::int16_t>(u)));
        out += buf;
    };
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp > 0xFFFF) {
        const unsigned v = static_cast<unsigned>(cp) - 0x10000;
        unit(0xD800 + (v >> 10));
        unit(0xDC00 + (v & 0x3FF));
    } else {
        unit(static_cast<unsigned>(cp));
    }
}

void TRtfFragment::Text(std::u32string_view text, const TStyle& style, bool collapse) {
    for (const char32_t c : text) {
        if (IsInvisible(c)) continue;
        if (collapse && IsCollapsible(c)) {
            // A blank counts only between two words of one line.
            if (lineOpen_ && lineVisible_ && !pendingBreak_) pendingBlank_ = true;
            continue;
        }
        if (!collapse && (c == '\n' || c == '\r')) {
            if (c == '\r') continue;
            BeginText(style);
            EndLine(true);
            lineOpen_ = true;
            lineIndent_ = indent_;
            continue;
        }
        BeginText(style);
        Write(c, style);
        // A no-break space is a blank that stays, but shows nothing.
        if (c != 0xA0 && !IsCollapsible(c)) lineVisible_ = true;
    }
}

void TRtfFragment::Break(bool gap) {
    pendingBreak_ = true;
    pendingGap_ = pendingGap_ || gap;
}

void TRtfFragment::LineBreak() {
    if (pendingBreak_)
        pendingGap_ = true;
    else
        pendingBreak_ = true;
}

void TRtfFragment::BeginText(const TStyle& style) {
    if (pendingBreak_) {
        EndLine();
        if (pendingGap_ && !lines_.empty() && emptyRun_ == 0) {
            lines_.emplace_back();
            visible_.push_back(false);
            emptyRun_ = 1;
        }
        pendingBreak_ = pendingGap_ = pendingBlank_ = separator_ = false;
    }
    if (!lineOpen_) {
        lineOpen_ = true;
        lineIndent_ = indent_;
    }
    if (!marker_.empty()) {
        CloseRun();
        for (const char32_t c : marker_) AppendChar(line_, c);
        line_ += ' ';
        marker_.clear();
        lineVisible_ = true;
        pendingBlank_ = separator_ = false;
    }
    if (separator_) {
        separator_ = false;
        if (lineVisible_) {
            CloseRun();
            line_ += "\\tab ";
            pendingBlank_ = false;
        }
    }
    if (pendingBlank_) {
        pendingBlank_ = false;
        if (runOpen_ && !(run_ == style)) CloseRun();
        line_ += ' ';
    }
}

void TRtfFragment::Write(char32_t c, const TStyle& style) {
    if (!runOpen_ || !(run_ == style)) {
        CloseRun();
        if (!(style == TStyle{})) {
            if (!style.link.empty())
                line_ += "{\\field{\\*\\fldinst{HYPERLINK \"" + TRtfWriter::InstructionText(style.link) + "\"}}{\\fldrslt{\\ul";
            else
                line_ += '{';
            if (style.bold) line_ += "\\b";
            if (style.italic) line_ += "\\i";
            if (style.underline && style.link.empty()) line_ += "\\ul";
            if (style.strikeOut) line_ += "\\strike";
            if (style.halfPoints > 0) line_ += "\\fs" + std::to_string(style.halfPoints);
            line_ += ' ';
            runOpen_ = true;
            run_ = style;
        }
    }
    switch (c) {
        case '\\':
        case '{':
        case '}':
            line_ += '\\';
            line_ += static_cast<char>(c);
            return;
        case '\t':
            line_ += "\\tab ";
            return;
        case 0xA0:
            line_ += ' ';
            return;
        default:
            AppendChar(line_, c);
    }
}

void TRtfFragment::CloseRun() {
    if (!runOpen_) return;
    line_ += run_.link.empty() ? "}" : "}}}";
    runOpen_ = false;
}

void TRtfFragment::EndLine(bool keep) {
    if (!lineOpen_) return;
    CloseRun();
    // Blanks before the first words of the message are no line of it.
    if (lineVisible_ || (keep && !lines_.empty())) {
        std::string line;
        if (lineIndent_ != writtenIndent_) {
            line = lineIndent_ ? "\\pard\\li" + std::to_string(lineIndent_) + ' ' : "\\pard ";
            writtenIndent_ = lineIndent_;
        }
        line += line_;
        lines_.push_back(std::move(line));
        visible_.push_back(lineVisible_);
        emptyRun_ = lineVisible_ ? 0 : emptyRun_ + 1;
    } else if (!lines_.empty() && emptyRun_ == 0) {
        // A line of blanks only ("<p>&nbsp;</p>") is an empty line, and
        // empty lines never come two in a row.
        lines_.emplace_back();
        visible_.push_back(false);
        emptyRun_ = 1;
    }
    line_.clear();
    lineOpen_ = lineVisible_ = pendingBlank_ = separator_ = false;
}

std::vector<std::string> TRtfFragment::Finish() {
    EndLine();
    while (!lines_.empty() && !visible_.back()) {
        lines_.pop_back();
        visible_.pop_back();
    }
    for (std::size_t i = 1; i < lines_.size(); ++i) lines_[i].insert(0, "\\par ");
    lines_.emplace_back("\\par }");
    return std::move(lines_);
}
