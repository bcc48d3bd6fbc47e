#include "spell/gui/RichEditText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

#include "common/Windows1252.h"
#include "common/gui/QtText.h"

namespace {

// Letters and the combining marks that complete them ("e" + U+0301).
bool IsWordPart(char32_t c) { return QChar::isLetter(c) || QChar::isMark(c); }

}  // namespace

TRichEditText::TRichEditText(QTextEdit* box) : box_(box) {
    if (box)
        changed_ = QObject::connect(box->document(), &QTextDocument::contentsChange, box, [this] { cachedLine_ = -1; });
}

TRichEditText::~TRichEditText() { QObject::disconnect(changed_); }

int TRichEditText::LineCount() const { return box_ ? box_->document()->blockCount() : 0; }

std::string_view TRichEditText::Line(int line) const {
    if (!box_) return {};
    if (line == cachedLine_) return cache_;
    const QTextBlock block = box_->document()->findBlockByNumber(line);
    if (!block.isValid()) return {};
    const QString text = block.text();
    cache_.assign(static_cast<std::size_t>(text.size()), '?');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (auto byte = cp1252::FromUnicode(text[i].unicode())) {
            cache_[at] = static_cast<char>(*byte);
        } else if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            if (IsWordPart(QChar::surrogateToUcs4(text[i], text[i + 1]))) cache_[at] = cache_[at + 1] = kOtherLetter;
            ++i;
        } else if (IsWordPart(text[i].unicode())) {
            cache_[at] = kOtherLetter;
        }
    }
    cachedLine_ = line;
    return cache_;
}

int TRichEditText::Position(int line, int column) const {
    if (!box_) return -1;
    const QTextBlock block = box_->document()->findBlockByNumber(line);
    if (!block.isValid()) return -1;
    return block.position() + std::clamp(column, 0, static_cast<int>(block.length()) - 1);
}

bool TRichEditText::Replace(int line, int start, std::string_view expected, std::string_view text) {
    if (!box_ || start < 0) return false;
    const std::string_view now = Line(line);
    if (static_cast<std::size_t>(start) > now.size() ||
        now.compare(static_cast<std::size_t>(start), expected.size(), expected) != 0)
        return false;
    const int from = Position(line, start);
    QTextCursor cursor(box_->document());
    cursor.setPosition(from);
    cursor.setPosition(from + static_cast<int>(expected.size()), QTextCursor::KeepAnchor);
    // The replacement takes the look of the word it replaces.
    cursor.insertText(qttext::FromStored(text));
    return true;
}

QString TRichEditText::Text(const TWordSpan& word) const {
    if (!box_) return {};
    const QTextBlock block = box_->document()->findBlockByNumber(word.line);
    if (!block.isValid()) return {};
    return block.text().mid(word.start, word.end - word.start);
}

std::string TRichEditText::DictionaryForm(const QString& word) {
    std::string out;
    for (const char32_t c : word.toUcs4()) {
        if (auto byte = cp1252::FromUnicode(c)) {
            out += static_cast<char>(*byte);
            continue;
        }
        if (QChar::isMark(c)) continue;
        const QString base = QChar::decomposition(c);
        const auto byte = base.isEmpty() ? std::nullopt : cp1252::FromUnicode(base[0].unicode());
        out += byte && TWordWalker::IsLetter(*byte) ? static_cast<char>(*byte) : '?';
    }
    return out;
}
