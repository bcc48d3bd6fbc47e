#pragma once

#include <string>

class TMailStore;

// Writes the body of one message to a file of the user's choosing, as
// plain text or as rich text. The record and its body stay as they are.
class TMessageExport {
public:
    // The filters of the save dialog, numbered as the dialog lists them.
    enum TFilter { kTextFiles = 1, kRichTextFiles = 2, kAllFiles = 3 };

    struct TTarget {
        std::string path;
        bool rich = false;
    };
    enum class TResult { Written, NoBody, NotWritten };

    explicit TMessageExport(TMailStore& store) : store_(store) {}

    // The file and its form from the name chosen and the filter showing: a
    // name with an extension is plain text under the text filter and rich
    // text under any other; a name without one gets ".txt" and plain text,
    // or ".rtf" and rich text under the rich text filter.
    static TTarget Target(const std::string& chosen, int filter);

    // Plain text is the body's lines in UTF-8, each ended by "\n"; rich text
    // is the body as RTF. A body that cannot be read writes no file.
    TResult Write(int handle, const TTarget& target) const;

private:
    TMailStore& store_;
};
