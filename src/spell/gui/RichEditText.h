#pragma once

#include <QPointer>
#include <string>
#include <string_view>

#include "spell/SpellText.h"

class QTextEdit;

// The paragraphs of a text box as the checker's lines: one Windows-1252 byte
// per UTF-16 unit of the paragraph, so a column is a position in the block
// (characters the code page lacks read as '?', which is no letter). A box
// that is closed meanwhile reads as empty and refuses changes.
class TRichEditText : public ISpellText {
public:
    explicit TRichEditText(QTextEdit* box);

    int LineCount() const override;
    std::string Line(int line) const override;
    bool Replace(int line, int start, std::string_view expected, std::string_view text) override;

    // The document position of a line's column, clamped to the line; -1 without a box.
    int Position(int line, int column) const;

private:
    QPointer<QTextEdit> box_;
};
