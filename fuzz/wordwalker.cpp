// Arbitrary Windows-1252 text walked word by word over a range, with some
// words replaced by texts of other lengths on the way: every word lies in
// its line, begins and ends with a letter, the walk moves forward only and
// ends, and a replacement lands where the word was.
#include "spell/WordWalker.h"

#include <cstdint>
#include <cstdlib>
#include <string>

#include "spell/LinesText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);
    TLinesText text(input.substr(4));
    const TTextPoint from{data[0] % 4, data[1] % 16};
    const TTextPoint to{text.LineCount() - 1 - data[2] % 3, 200 - data[3] % 64};
    TWordWalker walker(text, from, to);
    TTextPoint last{-1, -1};
    std::size_t steps = 0;
    while (auto word = walker.Next()) {
        const std::string line(text.Line(word->line));
        if (word->start < 0 || word->end <= word->start || static_cast<std::size_t>(word->end) > line.size())
            std::abort();
        if (line.substr(word->start, word->end - word->start) != word->text) std::abort();
        if (!TWordWalker::IsLetter(static_cast<unsigned char>(word->text.front())) ||
            !TWordWalker::IsLetter(static_cast<unsigned char>(word->text.back())))
            std::abort();
        const TTextPoint at{word->line, word->start};
        if (!(last < at)) std::abort();
        last = at;
        // Some words are replaced, by a text taken from the input.
        const unsigned char pick = static_cast<unsigned char>(word->text.front());
        if (pick % 3 == 0) {
            const std::string by = input.substr(pick % input.size(), pick % 7);
            if (by.find('\n') != std::string::npos) continue;
            if (!text.Replace(word->line, word->start, word->text, by)) std::abort();
            walker.Replaced(*word, static_cast<int>(by.size()));
            last = {word->line, word->start + static_cast<int>(by.size()) - 1};
        }
        if (++steps > 2 * input.size() + 2) std::abort();
    }
    return 0;
}
