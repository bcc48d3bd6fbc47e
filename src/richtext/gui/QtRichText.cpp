#include "richtext/gui/QtRichText.h"

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr double kTwipsPerPixel = 15.0;  // 1440 twips per inch, 96 pixels per inch

// The text of a run in buffer, which keeps its storage from run to run.
const QString& Utf16(const std::u32string& s, QString& buffer) {
    buffer.resize(0);
    for (const char32_t c : s) {
        if (c < 0x10000) {
            buffer.append(QChar(static_cast<char16_t>(c)));
        } else {
            const char32_t v = c <= 0x10FFFF ? c : 0xFFFD;
            buffer.append(QChar(QChar::highSurrogate(v)));
            buffer.append(QChar(QChar::lowSurrogate(v)));
        }
    }
    return buffer;
}

std::u32string FromQString(const QString& s) {
    std::u32string out;
    for (const char32_t c : s.toUcs4()) {
        if (c == QChar::ObjectReplacementCharacter) continue;  // images and other objects
        out.push_back(c == QChar::ParagraphSeparator ? TRichDocument::kLineBreak : c);
    }
    return out;
}

QTextCharFormat CharFormat(const TCharFormat& f) {
    QTextCharFormat q;
    q.setFontFamilies(QStringList{QString::fromStdString(f.fontName)});
    q.setFontPointSize(f.Points());
    q.setForeground(QColor(f.color & 0xFF, (f.color >> 8) & 0xFF, (f.color >> 16) & 0xFF));
    q.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    q.setFontItalic(f.italic);
    q.setFontUnderline(f.underline);
    q.setFontStrikeOut(f.strikeOut);
    if (!f.link.empty()) {
        q.setAnchor(true);
        q.setAnchorHref(QString::fromStdString(f.link));
    }
    return q;
}

TCharFormat FromCharFormat(const QTextCharFormat& q, const QFont& fallback) {
    TCharFormat f;
    const QStringList families = q.fontFamilies().toStringList();
    f.fontName = (families.isEmpty() ? fallback.family() : families.front()).toStdString();
    const double points = q.hasProperty(QTextFormat::FontPointSize) ? q.fontPointSize() : fallback.pointSizeF();
    f.halfPoints = points > 0 ? static_cast<int>(std::lround(points * 2)) : 24;
    if (q.hasProperty(QTextFormat::ForegroundBrush) && q.foreground().style() != Qt::NoBrush) {
        const QColor c = q.foreground().color();
        f.color = static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
                  (static_cast<std::uint32_t>(c.blue()) << 16);
    }
    f.bold = q.hasProperty(QTextFormat::FontWeight) ? q.fontWeight() > QFont::Medium : fallback.bold();
    f.italic = q.fontItalic();
    f.underline = q.fontUnderline();
    f.strikeOut = q.fontStrikeOut();
    if (q.isAnchor()) f.link = q.anchorHref().toStdString();
    return f;
}

QTextBlockFormat BlockFormat(const TParaFormat& p) {
    QTextBlockFormat q;
    switch (p.alignment) {
        case TAlignment::Left:
            q.setAlignment(Qt::AlignLeft);
            break;
        case TAlignment::Center:
            q.setAlignment(Qt::AlignHCenter);
            break;
        case TAlignment::Right:
            q.setAlignment(Qt::AlignRight);
            break;
        case TAlignment::Justify:
            q.setAlignment(Qt::AlignJustify);
            break;
    }
    q.setLeftMargin(p.leftIndent / kTwipsPerPixel);
    q.setTextIndent(p.firstIndent / kTwipsPerPixel);
    return q;
}

TParaFormat FromBlock(const QTextBlock& b) {
    const QTextBlockFormat q = b.blockFormat();
    TParaFormat p;
    const Qt::Alignment a = q.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter)
        p.alignment = TAlignment::Center;
    else if (a & Qt::AlignJustify)
        p.alignment = TAlignment::Justify;
    else if (a & (Qt::AlignRight | Qt::AlignTrailing))
        p.alignment = TAlignment::Right;
    p.leftIndent = static_cast<int>(std::lround(q.leftMargin() * kTwipsPerPixel));
    p.firstIndent = static_cast<int>(std::lround(q.textIndent() * kTwipsPerPixel));
    p.bullet = b.textList() != nullptr;
    return p;
}

QFont FontOf(const TCharFormat& f) {
    QFont font(QString::fromStdString(f.fontName));
    font.setPointSizeF(f.Points());
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    return font;
}

// Puts the cursor's block into a bullet list, joining the list of the block
// before when there is one.
void MakeBullet(QTextCursor& cur, QTextList*& list) {
    if (list) {
        list->add(cur.block());
        return;
    }
    QTextListFormat lf;
    lf.setStyle(QTextListFormat::ListDisc);
    lf.setIndent(1);
    list = cur.createList(lf);
}

// The Qt formats of a document's formats, each made once: a long letter
// has thousands of runs in a handful of formats.
class TFormats {
public:
    const QTextCharFormat& Char(const TCharFormat& f) {
        if (lastChar_ < chars_.size() && chars_[lastChar_].first == f) return chars_[lastChar_].second;
        for (std::size_t i = 0; i < chars_.size(); ++i)
            if (chars_[i].first == f) return chars_[lastChar_ = i].second;
        if (chars_.size() >= kMax) chars_.clear();
        chars_.emplace_back(f, CharFormat(f));
        return chars_[lastChar_ = chars_.size() - 1].second;
    }
    const QTextBlockFormat& Block(const TParaFormat& p) {
        for (auto& [para, block] : blocks_)
            if (para == p) return block;
        if (blocks_.size() >= kMax) blocks_.clear();
        blocks_.emplace_back(p, BlockFormat(p));
        return blocks_.back().second;
    }

private:
    static constexpr std::size_t kMax = 64;
    std::vector<std::pair<TCharFormat, QTextCharFormat>> chars_;
    std::vector<std::pair<TParaFormat, QTextBlockFormat>> blocks_;
    std::size_t lastChar_ = 0;
};

void SetBlock(QTextCursor& cur, const TParaFormat& p, const TCharFormat& mark, QTextList*& list, TFormats& formats) {
    cur.setBlockFormat(formats.Block(p));
    const QTextCharFormat& markFormat = formats.Char(mark);
    cur.setBlockCharFormat(markFormat);
    cur.setCharFormat(markFormat);
    if (p.bullet)
        MakeBullet(cur, list);
    else
        list = nullptr;
}

}  // namespace

namespace qtrichtext {

void Fill(QTextDocument& qdoc, const TRichDocument& doc) {
    qdoc.clear();
    qdoc.setDefaultFont(FontOf(doc.defaultChar));
    // Filling is no edit anyone undoes; recording it would copy the whole
    // body into the undo stack.
    const bool undo = qdoc.isUndoRedoEnabled();
    qdoc.setUndoRedoEnabled(false);
    TFormats formats;
    QString buffer;
    QTextCursor cur(&qdoc);
    cur.beginEditBlock();
    QTextList* list = nullptr;
    if (doc.Empty()) {
        SetBlock(cur, doc.defaultPara, doc.defaultChar, list, formats);
    }
    for (std::size_t i = 0; i < doc.paragraphs.size(); ++i) {
        const auto& p = doc.paragraphs[i];
        if (i > 0) cur.insertBlock();
        SetBlock(cur, p.format, p.markFormat, list, formats);
        for (const auto& r : p.runs) cur.insertText(Utf16(r.text, buffer), formats.Char(r.format));
    }
    cur.endEditBlock();
    qdoc.setUndoRedoEnabled(undo);
}

TRichDocument FromQt(const QTextDocument& qdoc) {
    TRichDocument doc;
    const QFont fallback = qdoc.defaultFont();
    for (QTextBlock b = qdoc.begin(); b.isValid(); b = b.next()) {
        TRichDocument::Paragraph p;
        p.format = FromBlock(b);
        p.markFormat = FromCharFormat(b.charFormat(), fallback);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid()) continue;
            TRichDocument::Run run{FromQString(frag.text()), FromCharFormat(frag.charFormat(), fallback)};
            if (!run.text.empty()) p.runs.push_back(std::move(run));
        }
        doc.paragraphs.push_back(std::move(p));
    }
    if (doc.paragraphs.size() == 1 && doc.paragraphs[0].runs.empty()) {
        doc.defaultChar = doc.paragraphs[0].markFormat;
        doc.defaultPara = doc.paragraphs[0].format;
        doc.paragraphs.clear();
    } else if (!doc.paragraphs.empty()) {
        const auto& first = doc.paragraphs.front();
        doc.defaultChar = first.runs.empty() ? first.markFormat : first.runs.front().format;
        doc.defaultPara = first.format;
    }
    doc.Normalize();
    return doc;
}

}  // namespace qtrichtext
