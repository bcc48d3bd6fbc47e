#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "richtext/RtfText.h"

class TMailStore;

// Find over every stored message: records in record order from a start
// position, each body's plain text line by line (the lines the windows
// show), the search text compared without regard to case. The search runs
// in steps of a bounded time, so that the window that drives it stays
// responsive and can stop it between two steps; a long body is read in
// slices, so a step keeps its time inside one record too. The store is only
// touched inside a step, on the caller's thread; the record being searched
// is a copy of its body, so a change of the store between two steps harms
// nothing.
class TMessageFinder {
public:
    enum class TState { Idle, Searching, Found, Finished };

    struct THit {
        int handle = -1;
        int line = 0;            // counted from 0 in the body's plain text
        std::size_t column = 0;  // in characters of the line
        std::size_t length = 0;  // of the search text, in characters
        // Handles of records whose body could not be read on the way.
        int unreadable = 0;
    };

    explicit TMessageFinder(TMailStore& store);
    ~TMessageFinder();

    // Begins a search for text (UTF-8) at record from.
    void Start(std::string_view text, int from);
    // Searches on for about budget; Searching while records are left.
    TState Step(std::chrono::milliseconds budget);
    void Stop();
    TState State() const { return state_; }
    // The record and line of the last hit.
    const THit& Hit() const { return hit_; }
    // The record the next step looks at (the one being searched when a
    // step ended inside it).
    int Position() const { return position_; }
    // Bodies that could not be read since Start; searched as no text.
    int Unreadable() const { return unreadable_; }

    // Lower case for comparing: ASCII and the Latin-1 letters, which is
    // what the store's Windows-1252 text holds, and the usual Unicode
    // blocks through the standard library.
    static std::u32string Folded(std::u32string_view text);
    // The first line of text (UTF-8, lines ended by "\n") holding the
    // folded needle, with the column; false when none does.
    static bool FindIn(std::string_view text, const std::u32string& needle, int& line, std::size_t& column);

private:
    // Takes up record handle; false when its slot is empty or its body
    // cannot be read.
    bool Open(int handle);
    void Close();
    // Searches the complete lines read so far; true at a hit.
    bool SearchRead();

    TMailStore& store_;
    std::u32string needle_;
    int position_ = 0;
    int unreadable_ = 0;
    TState state_ = TState::Idle;
    THit hit_;

    // The record being searched: its bytes, the reader of a rich body or
    // the text of a plain one, how far its text is folded and searched, and
    // how many searched lines were cut off its front.
    bool open_ = false;
    std::string body_;
    std::optional<TRtfText> rich_;
    std::u32string plain_;
    std::size_t folded_ = 0;
    std::size_t searched_ = 0;
    int droppedLines_ = 0;
};
