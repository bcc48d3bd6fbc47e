#pragma once

#include <QObject>
#include <QPointer>
#include <string>
#include <string_view>

#include "spell/SpellText.h"
#include "spell/WordWalker.h"

class QTextEdit;

// The paragraphs of a text box as the checker's lines: one Windows-1252 byte
// per UTF-16 unit of the paragraph, so a column is a position in the block.
// Letters and combining marks the code page lacks read as kOtherLetter (both
// units of a letter beyond the 16-bit range), other characters it lacks as
// '?', which is no letter. A box that is closed meanwhile reads as empty and
// refuses changes.
class TRichEditText : public ISpellText {
public:
    explicit TRichEditText(QTextEdit* box);
    ~TRichEditText() override;
    TRichEditText(const TRichEditText&) = delete;
    TRichEditText& operator=(const TRichEditText&) = delete;

    int LineCount() const override;
    std::string_view Line(int line) const override;
    bool Replace(int line, int start, std::string_view expected, std::string_view text) override;

    // The document position of a line's column, clamped to the line; -1 without a box.
    int Position(int line, int column) const;
    // A word as the box shows it, the letters the code page lacks included.
    QString Text(const TWordSpan& word) const;

    // A word as the dictionaries can take it, for suggestions: a letter the
    // code page lacks becomes its base letter when that is one ("Dvořák"
    // gives "Dvorák"), a lone combining mark goes, anything else reads '?'.
    static std::string DictionaryForm(const QString& word);

private:
    QPointer<QTextEdit> box_;
    // The walker reads a line once per word; a paragraph of thousands of
    // words is converted once, until the document changes.
    mutable int cachedLine_ = -1;
    mutable std::string cache_;
    QMetaObject::Connection changed_;
};
