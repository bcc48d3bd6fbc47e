#include "search/SearchQuery.h"

#include <memory>
#include <optional>

#include "search/SearchText.h"
#include "store/HeaderItem.h"

struct TSearchQuery::TNode {
    enum class TKind { All, Nothing, And, Or, Not, Text, Mailbox, Flags, NoFlags, Attachment, Before, After };
    TKind kind = TKind::All;
    std::vector<std::unique_ptr<TNode>> children;
    std::string columns;  // Text: the column filter, empty for every column
    std::string text;     // Text: the words; Mailbox: the name
    bool prefix = false;
    std::int64_t value = 0;  // Flags/NoFlags: the bits; Before/After: the day

    explicit TNode(TKind k) : kind(k) {}
};

namespace {

using TNode = std::unique_ptr<TSearchQuery::TNode>;
constexpr int kMaxDepth = 32;

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// Whether a text holds anything the full-text tokenizer could take as a
// word: a letter or digit, or any character beyond ASCII.
bool HasWord(std::string_view s) {
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80 || (u >= '0' && u <= '9') || ((u | 0x20) >= 'a' && (u | 0x20) <= 'z')) return true;
    }
    return false;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

class TParser {
public:
    TParser(std::string_view text, std::string& problem, std::vector<std::string>& terms)
        : s_(text), problem_(problem), terms_(terms) {}

    // The whole query; null when it asks for nothing.
    TNode Parse() {
        TNode node = Or(0);
        // A stray ")" closes nothing: skip it and go on.
        while (pos_ < s_.size()) {
            ++pos_;
            node = Join(K::And, std::move(node), Or(0));
        }
        return node;
    }

private:
    using K = TSearchQuery::TNode::TKind;

    static TNode Make(K kind) { return std::make_unique<TSearchQuery::TNode>(kind); }
    // Nodes are null where the text asks for nothing (punctuation alone, an
    // empty group): such a part drops out of what holds it.
    static TNode Join(K kind, TNode a, TNode b) {
        if (!a) return b;
        if (!b) return a;
        auto n = Make(kind);
        n->children.push_back(std::move(a));
        n->children.push_back(std::move(b));
        return n;
    }

    void SkipBlanks() {
        while (pos_ < s_.size() && Blank(s_[pos_])) ++pos_;
    }
    bool AtOr() {
        return s_.compare(pos_, 2, "OR") == 0 && (pos_ + 2 == s_.size() || Blank(s_[pos_ + 2]) || s_[pos_ + 2] == '(');
    }

    TNode Or(int depth) {
        auto node = And(depth);
        for (;;) {
            SkipBlanks();
            if (!AtOr()) return node;
            pos_ += 2;
            node = Join(K::Or, std::move(node), And(depth));
        }
    }

    TNode And(int depth) {
        auto node = Make(K::And);
        for (;;) {
            SkipBlanks();
            if (pos_ >= s_.size() || s_[pos_] == ')') break;
            if (AtOr()) {
                if (!node->children.empty()) break;
                pos_ += 2;  // an OR with nothing before it is a word no more
                continue;
            }
            if (auto child = Unary(depth)) node->children.push_back(std::move(child));
        }
        if (node->children.empty()) return nullptr;
        if (node->children.size() == 1) return std::move(node->children[0]);
        return node;
    }

    TNode Unary(int depth) {
        if (s_[pos_] == '-' && pos_ + 1 < s_.size() && !Blank(s_[pos_ + 1])) {
            ++pos_;
            const bool before = negated_;
            negated_ = !negated_;
            auto inner = Atom(depth);
            negated_ = before;
            if (!inner) return nullptr;
            auto n = Make(K::Not);
            n->children.push_back(std::move(inner));
            return n;
        }
        return Atom(depth);
    }

    TNode Atom(int depth) {
        if (s_[pos_] == '(') {
            ++pos_;
            if (depth >= kMaxDepth) return nullptr;  // too deep: the bracket counts for nothing
            auto node = Or(depth + 1);
            SkipBlanks();
            if (pos_ < s_.size() && s_[pos_] == ')') ++pos_;
            return node;
        }
        if (s_[pos_] == '"') return TextNode("", Phrase(), false);
        // A word, possibly field:value.
        std::size_t end = pos_;
        while (end < s_.size() && !Blank(s_[end]) && s_[end] != '(' && s_[end] != ')' && s_[end] != '"' &&
               s_[end] != ':')
            ++end;
        if (end < s_.size() && s_[end] == ':') {
            const std::string field = Lower(s_.substr(pos_, end - pos_));
            if (auto node = Field(field, end + 1)) return std::move(*node);
            // Not a field we know: the colon is part of the word.
            while (end < s_.size() && !Blank(s_[end]) && s_[end] != '(' && s_[end] != ')' && s_[end] != '"') ++end;
        }
        std::string word(s_.substr(pos_, end - pos_));
        pos_ = end;
        return Word("", std::move(word));
    }

    // The phrase at a quote; pos_ ends behind the closing quote (or at the
    // end of the text when none closes it).
    std::string Phrase() {
        ++pos_;
        const std::size_t close = s_.find('"', pos_);
        const std::size_t end = close == std::string_view::npos ? s_.size() : close;
        std::string phrase(s_.substr(pos_, end - pos_));
        pos_ = close == std::string_view::npos ? s_.size() : close + 1;
        return phrase;
    }

    // The value behind "field:": a phrase or a run of non-blanks.
    std::string Value(bool& quoted) {
        quoted = pos_ < s_.size() && s_[pos_] == '"';
        if (quoted) return Phrase();
        const std::size_t start = pos_;
        while (pos_ < s_.size() && !Blank(s_[pos_]) && s_[pos_] != ')' && s_[pos_] != '(') ++pos_;
        return std::string(s_.substr(start, pos_ - start));
    }

    TNode Word(const std::string& columns, std::string word) {
        bool prefix = false;
        while (!word.empty() && word.back() == '*') {
            word.pop_back();
            prefix = true;
        }
        return TextNode(columns, std::move(word), prefix);
    }

    TNode TextNode(const std::string& columns, std::string text, bool prefix) {
        if (!HasWord(text)) return nullptr;
        if (!negated_) terms_.push_back(prefix ? text + "*" : text);
        auto n = Make(K::Text);
        n->columns = columns;
        n->text = std::move(text);
        n->prefix = prefix;
        return n;
    }

    std::optional<TNode> Field(const std::string& field, std::size_t valueAt) {
        static const std::pair<const char*, const char*> textFields[] = {
            {"from", "sender"}, {"to", "recipients"}, {"cc", "cc"},
            {"subject", "subject"}, {"body", "body"}, {"attachment", "attachments"}};
        for (const auto& [name, column] : textFields) {
            if (field != name) continue;
            pos_ = valueAt;
            bool quoted = false;
            std::string value = Value(quoted);
            if (quoted) return TextNode(column, std::move(value), false);
            return Word(column, std::move(value));
        }
        if (field != "in" && field != "is" && field != "has" && field != "before" && field != "after") return std::nullopt;
        pos_ = valueAt;
        bool quoted = false;
        const std::string value = Value(quoted);
        const std::string lower = Lower(value);
        if (field == "in") {
            auto n = Make(K::Mailbox);
            n->text = value;
            return n;
        }
        if (field == "has") {
            if (lower == "attachment" || lower == "attachments") return Make(K::Attachment);
            return Fail("\"has:\" knows only \"has:attachment\".");
        }
        if (field == "is") {
            static const std::pair<const char*, int> flags[] = {{"unread", mfNew},      {"new", mfNew},
                                                                 {"replied", mfReply},   {"sent", mfSent},
                                                                 {"queued", mfQueued},   {"forwarded", mfForward}};
            for (const auto& [name, bit] : flags) {
                if (lower != name) continue;
                auto n = Make(K::Flags);
                n->value = bit;
                return n;
            }
            if (lower == "read") {
                // Received and opened: neither new nor outgoing.
                auto n = Make(K::NoFlags);
                n->value = mfNew | mfQueued | mfSent;
                return n;
            }
            return Fail("\"is:\" takes unread, read, replied, sent, queued or forwarded.");
        }
        const std::int64_t day = searchtext::DayKey(value);
        if (day < 0) return Fail("\"" + field + ":\" needs a date written yyyy-mm-dd.");
        auto n = Make(field == "before" ? K::Before : K::After);
        n->value = day;
        return n;
    }

    TNode Fail(std::string why) {
        if (problem_.empty()) problem_ = std::move(why);
        return Make(K::Nothing);
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    bool negated_ = false;
    std::string& problem_;
    std::vector<std::string>& terms_;
};

}  // namespace

std::string TSearchQuery::Quoted(std::string_view words) {
    std::string out = "\"";
    const std::string spaced = searchtext::Spaced(words);
    for (const char c : spaced) {
        if (c == '"') out += '"';
        // The match language reads its text up to a NUL: control characters
        // are blanks to it anyway.
        out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    out += '"';
    return out;
}

TSearchQuery::TSearchQuery(std::string_view text) {
    TParser parser(text, problem_, terms_);
    const auto root = parser.Parse();
    if (!problem_.empty()) {
        empty_ = false;  // something was asked, only not well
        where_ = "0";
        return;
    }
    empty_ = !root;
    where_ = empty_ ? "0" : Sql(*root);
}

std::string TSearchQuery::Sql(const TNode& node) {
    using K = TNode::TKind;
    switch (node.kind) {
        case K::All:
            return "1";
        case K::Nothing:
            return "0";
        case K::Not:
            return "NOT (" + Sql(*node.children[0]) + ")";
        case K::Or:
            return "(" + Sql(*node.children[0]) + " OR " + Sql(*node.children[1]) + ")";
        case K::And: {
            // The plain words of a group go to the full-text table as one
            // match, which it answers far faster than one match per word.
            // The match comes first, so its parameter does too.
            std::string match;
            for (const auto& child : node.children) {
                if (child->kind != K::Text) continue;
                if (!match.empty()) match += " AND ";
                match += "(" + (child->columns.empty() ? std::string() : child->columns + " : ") +
                         Quoted(child->text) + (child->prefix ? " *)" : ")");
            }
            std::string sql;
            if (!match.empty()) {
                params_.emplace_back(match);
                sql = "d.id IN (SELECT rowid FROM words WHERE words MATCH ?)";
            }
            for (const auto& child : node.children) {
                if (child->kind == K::Text) continue;
                if (!sql.empty()) sql += " AND ";
                sql += Sql(*child);
            }
            return sql.empty() ? "1" : "(" + sql + ")";
        }
        case K::Text: {
            params_.emplace_back((node.columns.empty() ? std::string() : node.columns + " : ") + Quoted(node.text) +
                                 (node.prefix ? " *" : ""));
            return "d.id IN (SELECT rowid FROM words WHERE words MATCH ?)";
        }
        case K::Mailbox:
            params_.emplace_back(node.text);
            return "d.mailbox = ? COLLATE NOCASE";
        case K::Flags:
            return "(d.flags & " + std::to_string(node.value) + ") != 0";
        case K::NoFlags:
            return "(d.flags & " + std::to_string(node.value) + ") = 0";
        case K::Attachment:
            return "d.attach != 0";
        case K::Before:
            return "(d.date > 0 AND d.date < " + std::to_string(node.value) + ")";
        case K::After:
            return "d.date >= " + std::to_string(node.value);
    }
    return "0";
}
