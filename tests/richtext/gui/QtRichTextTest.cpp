#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>

#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "richtext/gui/QtRichText.h"

namespace {

TCharFormat Format(std::string font = "Arial", int halfPoints = 20) {
    TCharFormat f;
    f.fontName = std::move(font);
    f.halfPoints = halfPoints;
    return f;
}

TRichDocument EveryProperty() {
    TRichDocument doc;
    auto& p = doc.AddParagraph(U"plain ", Format());
    TCharFormat f = Format("Courier New", 25);
    f.bold = true;
    p.runs.push_back({U"bold courier ", f});
    f = Format();
    f.italic = true;
    f.color = 0x123456;
    p.runs.push_back({U"italic coloured ", f});
    f = Format();
    f.underline = true;
    f.strikeOut = true;
    p.runs.push_back({U"under\u2028struck\t\u0416\U0001F600", f});
    f = Format();
    f.underline = true;
    f.link = "https://example.com/path?q=1";
    p.runs.push_back({U" a link", f});
    doc.AddParagraph(U"centre", Format(), {TAlignment::Center, false, 0, 0});
    doc.AddParagraph(U"right", Format(), {TAlignment::Right, false, 300, 0});
    doc.AddParagraph(U"justified", Format(), {TAlignment::Justify, false, 0, 450});
    doc.AddParagraph(U"bullet one", Format(), {TAlignment::Left, true, 100, 0});
    doc.AddParagraph(U"bullet two", Format(), {TAlignment::Left, true, 100, 0});
    TCharFormat mark = Format("Arial", 40);
    mark.bold = true;
    doc.AddParagraph(U"", mark, {TAlignment::Left, false, 720, -360});
    doc.AddParagraph(U"bullet again", Format(), {TAlignment::Left, true, 0, 0});
    const auto& first = doc.paragraphs.front();
    doc.defaultChar = first.runs.front().format;
    doc.defaultPara = first.format;
    return doc;
}

}  // namespace

TEST(QtRichText, EveryPropertySurvivesTheTripThroughQt) {
    const TRichDocument doc = EveryProperty();
    QTextDocument qdoc;
    qtrichtext::Fill(qdoc, doc);
    EXPECT_EQ(qdoc.blockCount(), 8);
    EXPECT_EQ(qtrichtext::FromQt(qdoc), doc);
    // Filling is nothing the user can undo, and leaves undo working.
    EXPECT_FALSE(qdoc.isUndoAvailable());
    EXPECT_TRUE(qdoc.isUndoRedoEnabled());
    QTextCursor(&qdoc).insertText(QStringLiteral("typed"));
    EXPECT_TRUE(qdoc.isUndoAvailable());
    // Refilling replaces the old content.
    qtrichtext::Fill(qdoc, doc);
    EXPECT_EQ(qtrichtext::FromQt(qdoc), doc);
}

TEST(QtRichText, AZeroWidthNoBreakSpaceOpeningARunIsKept) {
    TRichDocument doc;
    auto& p = doc.AddParagraph(U"a", Format());
    TCharFormat bold = Format();
    bold.bold = true;
    p.runs.push_back({U"\uFEFFb", bold});
    QTextDocument qdoc;
    qtrichtext::Fill(qdoc, doc);
    EXPECT_EQ(qdoc.toPlainText(), QString::fromUtf8("a\xEF\xBB\xBF"
                                                    "b"));
    EXPECT_EQ(qtrichtext::FromQt(qdoc).paragraphs, doc.paragraphs);
}

TEST(QtRichText, QtSeesTheFormats) {
    QTextDocument qdoc;
    qtrichtext::Fill(qdoc, EveryProperty());
    const QTextBlock first = qdoc.begin();
    EXPECT_EQ(first.text(),
              QString::fromUtf8("plain bold courier italic coloured under\u2028struck\t\u0416\U0001F600 a link"));
    // A run's link is an anchor to its address.
    QTextCursor link(first);
    link.setPosition(first.position() + first.length() - 2);
    EXPECT_TRUE(link.charFormat().isAnchor());
    EXPECT_EQ(link.charFormat().anchorHref(), QStringLiteral("https://example.com/path?q=1"));
    auto it = first.begin();
    ++it;
    const QTextCharFormat bold = it.fragment().charFormat();
    EXPECT_EQ(bold.fontWeight(), QFont::Bold);
    EXPECT_EQ(bold.fontFamilies().toStringList().value(0), "Courier New");
    EXPECT_DOUBLE_EQ(bold.fontPointSize(), 12.5);
    const QTextBlock bullet = qdoc.findBlockByNumber(4);
    ASSERT_NE(bullet.textList(), nullptr);
    EXPECT_EQ(bullet.textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(bullet.textList(), qdoc.findBlockByNumber(5).textList());
    EXPECT_NE(qdoc.findBlockByNumber(7).textList(), nullptr);
    EXPECT_NE(qdoc.findBlockByNumber(7).textList(), bullet.textList());
    EXPECT_EQ(qdoc.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

TEST(QtRichText, EmptyDocumentKeepsTheDefaultFormat) {
    TRichDocument doc;
    doc.defaultChar = Format("Verdana", 30);
    doc.defaultChar.color = 0x0000FF;
    doc.defaultPara = {TAlignment::Right, true, 200, 0};
    QTextDocument qdoc;
    qtrichtext::Fill(qdoc, doc);
    EXPECT_TRUE(qdoc.isEmpty());
    EXPECT_EQ(qtrichtext::FromQt(qdoc), doc);
}

TEST(QtRichText, ComposerFormattingSurvivesSaveAndReload) {
    // What the composer does: type, select, format, then save as RTF.
    QTextEdit edit;
    qtrichtext::Fill(*edit.document(), TRtfReader::Read("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 \\par }"));
    QTextCursor cur(edit.document());
    cur.insertText("Hello world");
    cur.insertBlock();
    cur.insertText("second");
    cur.setPosition(6);
    cur.setPosition(11, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    f.setFontUnderline(true);
    f.setForeground(QColor(255, 0, 0));
    f.setFontFamilies(QStringList{"Georgia"});
    f.setFontPointSize(14);
    cur.mergeCharFormat(f);
    QTextBlockFormat b;
    b.setAlignment(Qt::AlignHCenter);
    cur.mergeBlockFormat(b);

    const std::string rtf = TRtfWriter::Write(qtrichtext::FromQt(*edit.document()));
    const TRichDocument back = TRtfReader::Read(rtf);
    ASSERT_EQ(back.paragraphs.size(), 2u) << rtf;
    const auto& p = back.paragraphs[0];
    EXPECT_EQ(p.format.alignment, TAlignment::Center);
    ASSERT_EQ(p.runs.size(), 2u) << rtf;
    EXPECT_EQ(p.runs[0].text, U"Hello ");
    EXPECT_EQ(p.runs[0].format.fontName, "Arial");
    EXPECT_EQ(p.runs[0].format.halfPoints, 20);
    EXPECT_EQ(p.runs[1].text, U"world");
    EXPECT_EQ(p.runs[1].format, (TCharFormat{"Georgia", 28, 0x0000FF, true, false, true, false, {}}));
    EXPECT_EQ(back.paragraphs[1].runs.at(0).text, U"second");
    QTextDocument reloaded;
    qtrichtext::Fill(reloaded, back);
    EXPECT_EQ(reloaded.toPlainText(), "Hello world\nsecond");
}
