#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A search as the user types it, made into a condition on the index that
// never carries the user's text into the statement: every text travels as
// a bound parameter, and the text of a full-text match is quoted so that
// the match language sees it only as words.
//
//   words            all must occur, in any field, any order; word* is a prefix
//   "a phrase"       the words in this order
//   from: to: cc: subject: body: attachment:   a word or "phrase" in that field
//   has:attachment   with attachments
//   in:MAILBOX       in the mailbox (in:"Out Box" for a name with blanks)
//   is:unread is:read is:replied is:sent is:queued is:forwarded
//   before:yyyy-mm-dd after:yyyy-mm-dd   dated before that day / on or after it
//   a OR b           either; binds more loosely than the words around it
//   -x               without x; (...) groups
//
// Case and accents do not matter. A query that cannot mean anything (an
// unknown is:, a date that is no date) says why in Problem() and finds
// nothing.
class TSearchQuery {
public:
    using TParam = std::variant<std::string, std::int64_t>;

    explicit TSearchQuery(std::string_view text);

    // Whether anything is asked for at all.
    bool Empty() const { return empty_; }
    // Why the query finds nothing, in words for the user; empty when sound.
    const std::string& Problem() const { return problem_; }
    // An SQL condition over the documents table (alias d) and the full-text
    // table "words"; each ? takes the parameter of the same position.
    const std::string& Where() const { return where_; }
    const std::vector<TParam>& Params() const { return params_; }
    // The words and phrases the user looks for (not those excluded), for
    // marking them in the text shown. Prefixes end in '*'.
    const std::vector<std::string>& Terms() const { return terms_; }

    // A text as one quoted full-text phrase.
    static std::string Quoted(std::string_view words);

    // A node of the parsed query (defined where it is parsed).
    struct TNode;

private:
    std::string Sql(const TNode& node);

    bool empty_ = true;
    std::string problem_;
    std::string where_;
    std::vector<TParam> params_;
    std::vector<std::string> terms_;
};
