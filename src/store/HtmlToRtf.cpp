#include "store/HtmlToRtf.h"

#include <gumbo.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "common/Windows1252.h"
#include "richtext/LinkTarget.h"
#include "store/RtfFragment.h"

namespace {

bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiAlnum(char c) { return IsAsciiAlpha(c) || (c >= '0' && c <= '9'); }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Elements that hold no others of their kind: void elements and those a
// sibling of their kind ends by itself. Every other start tag may nest.
bool NeverNests(std::string_view lowerName) {
    static constexpr std::string_view kNames[] = {
        "area",   "base", "basefont", "bgsound",  "br",    "col",   "embed", "frame", "hr",    "img",
        "input",  "link", "meta",     "param",    "source", "track", "wbr",   "keygen", "p",    "li",
        "dt",     "dd",   "tr",       "td",       "th",    "tbody", "thead", "tfoot", "option", "optgroup",
        "colgroup", "caption", "rb",  "rt",       "rp",    "html",  "head",  "body"};
    return std::find(std::begin(kNames), std::end(kNames), lowerName) != std::end(kNames);
}

// The HTML with start tags beyond kMaxNesting levels taken out. The parser
// looks through its stack of open elements for many tags, so a document of
// a million nested elements would take it hours; no mail nests that deep
// but a hostile one. A cheap count of start and end tags is enough: what it
// misjudges only matters past the limit. Nothing is copied for mail that
// stays below it.
std::string_view LimitNesting(std::string_view html, std::string& storage) {
    int depth = 0;
    std::size_t copiedTo = 0;
    bool copying = false;
    for (std::size_t lt = html.find('<'); lt != std::string_view::npos; lt = html.find('<', lt + 1)) {
        std::size_t p = lt + 1;
        const bool end = p < html.size() && html[p] == '/';
        if (end) ++p;
        if (p >= html.size() || !IsAsciiAlpha(html[p])) continue;
        char name[12];
        std::size_t n = 0;
        for (std::size_t q = p; q < html.size() && IsAsciiAlnum(html[q]); ++q)
            if (n < sizeof name) name[n++] = Lower(html[q]);
        if (n == sizeof name || NeverNests(std::string_view(name, n))) continue;
        if (end) {
            depth = std::max(depth - 1, 0);
            continue;
        }
        if (depth < THtmlToRtf::kMaxNesting) {
            ++depth;
            continue;
        }
        const std::size_t gt = html.find('>', p);
        const std::size_t after = gt == std::string_view::npos ? html.size() : gt + 1;
        if (!copying) {
            storage.reserve(html.size());
            copying = true;
        }
        storage.append(html.substr(copiedTo, lt - copiedTo));
        copiedTo = after;
        if (gt == std::string_view::npos) break;
        lt = gt;
    }
    if (!copying) return html;
    storage.append(html.substr(copiedTo));
    return storage;
}

const char* Attribute(const GumboElement& e, const char* name) {
    const GumboAttribute* a = gumbo_get_attribute(&e.attributes, name);
    return a ? a->value : nullptr;
}

// What an inline style attribute says about showing and styling the text.
struct TInlineStyle {
    bool hidden = false;
    bool bold = false, italic = false, underline = false, strikeOut = false;
};

TInlineStyle ReadStyle(const char* css) {
    TInlineStyle s;
    if (!css) return s;
    bool zeroHeight = false, overflowHidden = false;
    std::string decl;
    const auto take = [&] {
        const auto colon = decl.find(':');
        if (colon != std::string::npos) {
            const std::string_view prop = std::string_view(decl).substr(0, colon);
            const std::string_view value = std::string_view(decl).substr(colon + 1);
            const auto starts = [&](std::string_view v) { return value.substr(0, v.size()) == v; };
            if (prop == "display" && starts("none")) s.hidden = true;
            if (prop == "visibility" && (starts("hidden") || starts("collapse"))) s.hidden = true;
            if (prop == "overflow" && starts("hidden")) overflowHidden = true;
            if (prop == "max-height") {
                std::size_t i = 0;
                while (i < value.size() && (value[i] == '0' || value[i] == '.')) ++i;
                zeroHeight = i > 0 && (i == value.size() || !(value[i] >= '1' && value[i] <= '9'));
            }
            if (prop == "font-weight")
                s.bold = starts("bold") || starts("bolder") || starts("6") || starts("7") || starts("8") ||
                         starts("9");
            if (prop == "font-style") s.italic = starts("italic") || starts("oblique");
            if (prop == "text-decoration" || prop == "text-decoration-line") {
                s.underline = value.find("underline") != std::string_view::npos;
                s.strikeOut = value.find("line-through") != std::string_view::npos;
            }
        }
        decl.clear();
    };
    for (const char* c = css; *c; ++c) {
        if (*c == ';') {
            take();
        } else if (static_cast<unsigned char>(*c) > ' ') {
            if (decl.size() < 256) decl += Lower(*c);
        }
    }
    take();
    if (zeroHeight && overflowHidden) s.hidden = true;
    return s;
}

std::u32string Utf32(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const unsigned char b = static_cast<unsigned char>(utf8[pos]);
        if (b < 0x80) {
            out.push_back(b);
            ++pos;
            continue;
        }
        const std::size_t before = pos;
        const auto cp = cp1252::DecodeUtf8(utf8, pos);
        if (!cp) pos = before + 1;
        out.push_back(cp ? *cp : U'\uFFFD');
    }
    return out;
}

int EvenHalfPoints(int halfPoints) { return std::max(2, halfPoints + (halfPoints & 1)); }

class TWalker {
public:
    explicit TWalker(int baseHalfPoints) : base_(baseHalfPoints > 0 ? baseHalfPoints : 24) {}

    std::vector<std::string> Run(const GumboNode* root) {
        stack_.push_back({root, 0, state_, 0});
        while (!stack_.empty()) {
            TFrame& f = stack_.back();
            const GumboVector* children = Children(f.node);
            if (children && f.child < children->length) {
                const auto* child = static_cast<const GumboNode*>(children->data[f.child++]);
                Enter(child);
                continue;
            }
            const TFrame done = stack_.back();
            stack_.pop_back();
            Leave(done);
        }
        return out_.Finish();
    }

private:
    struct TState {
        TRtfFragment::TStyle style;
        bool pre = false;
        int indent = 0;
    };
    enum : unsigned { kBreak = 1, kGap = 2, kList = 4, kRow = 8 };
    struct TFrame {
        const GumboNode* node;
        unsigned child;
        TState saved;  // the state around the element, restored when it ends
        unsigned exit;
    };
    struct TList {
        bool ordered;
        long next;
    };

    static const GumboVector* Children(const GumboNode* node) {
        switch (node->type) {
            case GUMBO_NODE_DOCUMENT:
                return &node->v.document.children;
            case GUMBO_NODE_ELEMENT:
                return &node->v.element.children;
            default:
                return nullptr;
        }
    }

    void Enter(const GumboNode* node) {
        switch (node->type) {
            case GUMBO_NODE_TEXT:
            case GUMBO_NODE_WHITESPACE:
            case GUMBO_NODE_CDATA:
                out_.Text(Utf32(node->v.text.text), state_.style, !state_.pre);
                return;
            case GUMBO_NODE_ELEMENT:
                EnterElement(node);
                return;
            default:
                return;  // comments, templates
        }
    }

    void EnterElement(const GumboNode* node) {
        const GumboElement& e = node->v.element;
        switch (e.tag) {
            case GUMBO_TAG_HEAD:
            case GUMBO_TAG_TITLE:
            case GUMBO_TAG_STYLE:
            case GUMBO_TAG_SCRIPT:
            case GUMBO_TAG_TEMPLATE:
            case GUMBO_TAG_SVG:
            case GUMBO_TAG_MATH:
                return;
            default:
                break;
        }
        const TInlineStyle css = ReadStyle(Attribute(e, "style"));
        if (css.hidden || Attribute(e, "hidden")) return;

        TFrame frame{node, 0, state_, 0};
        TState& s = state_;
        bool leaf = false;  // no content of its own: nothing to come back to
        s.style.bold = s.style.bold || css.bold;
        s.style.italic = s.style.italic || css.italic;
        s.style.underline = s.style.underline || css.underline;
        s.style.strikeOut = s.style.strikeOut || css.strikeOut;
        const auto block = [&](bool gap) {
            out_.Break(gap);
            frame.exit |= kBreak | (gap ? unsigned{kGap} : 0u);
        };
        switch (e.tag) {
            case GUMBO_TAG_BR:
                out_.LineBreak();
                leaf = true;
                break;
            case GUMBO_TAG_IMG:
                // An image shows as its alternative text, in the style (and
                // under the link) around it.
                if (const char* alt = Attribute(e, "alt")) out_.Text(Utf32(alt), s.style, true);
                leaf = true;
                break;
            case GUMBO_TAG_HR:
                out_.Break(true);
                leaf = true;
                break;
            case GUMBO_TAG_P:
            case GUMBO_TAG_DL:
            case GUMBO_TAG_FIGURE:
                block(true);
                break;
            case GUMBO_TAG_H1:
            case GUMBO_TAG_H2:
            case GUMBO_TAG_H3:
            case GUMBO_TAG_H4:
            case GUMBO_TAG_H5:
            case GUMBO_TAG_H6: {
                block(true);
                s.style.bold = true;
                const int grow = e.tag == GUMBO_TAG_H1 ? 8 : e.tag == GUMBO_TAG_H2 ? 6 : e.tag == GUMBO_TAG_H3 ? 5 : 4;
                s.style.halfPoints = EvenHalfPoints(base_ * grow / 4);
                break;
            }
            case GUMBO_TAG_PRE:
            case GUMBO_TAG_LISTING:
            case GUMBO_TAG_XMP:
            case GUMBO_TAG_PLAINTEXT:
                block(true);
                s.pre = true;
                break;
            case GUMBO_TAG_TEXTAREA:
                block(false);
                s.pre = true;
                break;
            case GUMBO_TAG_BLOCKQUOTE:
                block(true);
                s.indent += 720;
                break;
            case GUMBO_TAG_DD:
                block(false);
                s.indent += 720;
                break;
            case GUMBO_TAG_UL:
            case GUMBO_TAG_OL:
            case GUMBO_TAG_MENU:
            case GUMBO_TAG_DIR: {
                // A list inside a list item gets no room around it.
                block(lists_.empty());
                s.indent += 360;
                long start = 1;
                if (const char* v = Attribute(e, "start"); v && e.tag == GUMBO_TAG_OL) start = Number(v, 1);
                lists_.push_back({e.tag == GUMBO_TAG_OL, start});
                frame.exit |= kList;
                break;
            }
            case GUMBO_TAG_LI: {
                block(false);
                if (lists_.empty()) {
                    // An item outside any list still gets its bullet.
                    lists_.push_back({false, 1});
                    frame.exit |= kList;
                }
                TList& list = lists_.back();
                if (const char* v = Attribute(e, "value"); v && list.ordered) list.next = Number(v, list.next);
                out_.Marker(list.ordered ? Utf32(std::to_string(list.next++) + ".") : std::u32string(1, U'\u2022'));
                break;
            }
            case GUMBO_TAG_TABLE:
                block(false);
                break;
            case GUMBO_TAG_TR:
                block(false);
                cells_.push_back(0);
                frame.exit |= kRow;
                break;
            case GUMBO_TAG_TD:
            case GUMBO_TAG_TH:
                if (!cells_.empty() && cells_.back()++ > 0) out_.CellSeparator();
                if (e.tag == GUMBO_TAG_TH) s.style.bold = true;
                break;
            case GUMBO_TAG_DIV:
            case GUMBO_TAG_ADDRESS:
            case GUMBO_TAG_ARTICLE:
            case GUMBO_TAG_ASIDE:
            case GUMBO_TAG_CENTER:
            case GUMBO_TAG_DETAILS:
            case GUMBO_TAG_SUMMARY:
            case GUMBO_TAG_FIGCAPTION:
            case GUMBO_TAG_FOOTER:
            case GUMBO_TAG_HEADER:
            case GUMBO_TAG_MAIN:
            case GUMBO_TAG_NAV:
            case GUMBO_TAG_SECTION:
            case GUMBO_TAG_FORM:
            case GUMBO_TAG_FIELDSET:
            case GUMBO_TAG_LEGEND:
            case GUMBO_TAG_CAPTION:
            case GUMBO_TAG_DT:
            case GUMBO_TAG_HGROUP:
            case GUMBO_TAG_NOSCRIPT:
                block(false);
                break;
            case GUMBO_TAG_B:
            case GUMBO_TAG_STRONG:
                s.style.bold = true;
                break;
            case GUMBO_TAG_I:
            case GUMBO_TAG_EM:
            case GUMBO_TAG_CITE:
            case GUMBO_TAG_VAR:
            case GUMBO_TAG_DFN:
                s.style.italic = true;
                break;
            case GUMBO_TAG_U:
            case GUMBO_TAG_INS:
                s.style.underline = true;
                break;
            case GUMBO_TAG_S:
            case GUMBO_TAG_STRIKE:
            case GUMBO_TAG_DEL:
                s.style.strikeOut = true;
                break;
            case GUMBO_TAG_BIG:
                s.style.halfPoints = EvenHalfPoints((s.style.halfPoints ? s.style.halfPoints : base_) + 4);
                break;
            case GUMBO_TAG_SMALL:
                s.style.halfPoints = EvenHalfPoints((s.style.halfPoints ? s.style.halfPoints : base_) - 4);
                break;
            case GUMBO_TAG_A:
                if (const char* href = Attribute(e, "href"); href && linktarget::Followable(href))
                    s.style.link = Trimmed(href);
                break;
            default:
                break;
        }
        if (leaf) {
            state_ = frame.saved;
            return;
        }
        out_.Indent(s.indent);
        stack_.push_back(frame);
    }

    void Leave(const TFrame& f) {
        if (f.exit & kList) lists_.pop_back();
        if (f.exit & kRow) cells_.pop_back();
        state_ = f.saved;
        out_.Indent(state_.indent);
        if (f.exit & kBreak) out_.Break((f.exit & kGap) != 0);
    }

    static long Number(const char* text, long fallback) {
        char* end = nullptr;
        const long v = std::strtol(text, &end, 10);
        return end == text ? fallback : std::clamp(v, -999999L, 999999L);
    }

    static std::string Trimmed(std::string_view s) {
        while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
        while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
        return std::string(s);
    }

    int base_;
    TRtfFragment out_;
    TState state_;
    std::vector<TFrame> stack_;
    std::vector<TList> lists_;
    std::vector<int> cells_;
};

}  // namespace

std::vector<std::string> THtmlToRtf::Convert(const std::vector<std::string>& lines, int baseHalfPoints) {
    std::string html;
    std::size_t size = 0;
    for (const auto& l : lines) size += l.size() + 1;
    html.reserve(size);
    for (const auto& l : lines) {
        html += l;
        html += '\n';
    }
    std::string limited;
    const std::string_view input = LimitNesting(html, limited);
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;  // the parse errors are of no use here
    GumboOutput* output = gumbo_parse_with_options(&options, input.data(), input.size());
    std::vector<std::string> rtf = TWalker(baseHalfPoints).Run(output->document);
    gumbo_destroy_output(&options, output);
    return rtf;
}
