#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "spell/SpellText.h"

// A plain Windows-1252 text held as lines, for checking text outside a
// window (the command line tool, the tests and the benchmarks).
class TLinesText : public ISpellText {
public:
    TLinesText() = default;
    // Splits at LF; a CR before it is dropped.
    explicit TLinesText(std::string_view text);

    int LineCount() const override { return static_cast<int>(lines_.size()); }
    std::string_view Line(int line) const override;
    bool Replace(int line, int start, std::string_view expected, std::string_view text) override;

    // The lines joined with LF.
    std::string Text() const;

private:
    std::vector<std::string> lines_;
};
