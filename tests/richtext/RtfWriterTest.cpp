#include <gtest/gtest.h>

#include "RtfTestUtil.h"
#include "richtext/RtfWriter.h"

namespace {

TCharFormat Format(std::string font = "Arial", int halfPoints = 20) {
    TCharFormat f;
    f.fontName = std::move(font);
    f.halfPoints = halfPoints;
    return f;
}

// A document read back takes its default format from where its text starts.
TRichDocument WithStartDefaults(TRichDocument doc) {
    if (!doc.Empty()) {
        const auto& p = doc.paragraphs.front();
        doc.defaultChar = p.runs.empty() ? p.markFormat : p.runs.front().format;
        doc.defaultPara = p.format;
    }
    return doc;
}

void ExpectRoundTrip(const TRichDocument& doc) {
    const std::string rtf = TRtfWriter::Write(doc);
    EXPECT_EQ(TRtfReader::Read(rtf), WithStartDefaults(doc)) << rtf;
    // Joined without line ends, as the format file is, it reads the same.
    std::string joined;
    for (const auto& line : TRtfWriter::Lines(doc)) joined += line;
    EXPECT_EQ(TRtfReader::Read(joined), WithStartDefaults(doc)) << joined;
    // Writing is deterministic and a fixpoint of reading.
    EXPECT_EQ(TRtfWriter::Write(TRtfReader::Read(rtf)), rtf);
}

}  // namespace

TEST(RtfWriter, LinesHaveTheShapeARichEditControlWrites) {
    TRichDocument doc;
    doc.AddParagraph(U"Hello", Format());
    doc.AddParagraph(U"World", Format());
    const auto lines = TRtfWriter::Lines(doc);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}");
    EXPECT_EQ(lines[1], "{\\colortbl ;\\red0\\green0\\blue0;}");
    EXPECT_EQ(lines[2], "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs20 ");
    EXPECT_EQ(lines[3], "Hello\\par ");
    EXPECT_EQ(lines[4], "World\\par ");
    EXPECT_EQ(lines[5], "}");
    EXPECT_EQ(TRtfWriter::Write(doc).substr(0, lines[0].size() + 2), lines[0] + "\r\n");
}

TEST(RtfWriter, EveryLineEndsInABlankOrABrace) {
    TRichDocument doc;
    TCharFormat bold = Format();
    bold.bold = true;
    doc.AddParagraph(U"a\\", Format());
    doc.AddParagraph(U"", bold);
    doc.AddParagraph(U"x\t", bold, {TAlignment::Right, true, 300, -150});
    doc.AddParagraph(U"\u0416", Format("Times"));
    for (const auto& line : TRtfWriter::Lines(doc)) {
        ASSERT_FALSE(line.empty());
        EXPECT_TRUE(line.back() == ' ' || line.back() == '}') << line;
    }
}

TEST(RtfWriter, EveryCharacterPropertyRoundTrips) {
    TRichDocument doc;
    auto& p = doc.AddParagraph(U"plain ", Format());
    const auto add = [&](std::u32string text, auto change) {
        TCharFormat f = Format();
        change(f);
        p.runs.push_back({std::move(text), f});
    };
    add(U"bold ", [](TCharFormat& f) { f.bold = true; });
    add(U"italic ", [](TCharFormat& f) { f.italic = true; });
    add(U"underline ", [](TCharFormat& f) { f.underline = true; });
    add(U"strike ", [](TCharFormat& f) { f.strikeOut = true; });
    add(U"all ", [](TCharFormat& f) { f.bold = f.italic = f.underline = f.strikeOut = true; });
    add(U"red ", [](TCharFormat& f) { f.color = 0x0000FF; });
    add(U"mixed ", [](TCharFormat& f) { f.color = 0x123456; });
    add(U"big ", [](TCharFormat& f) { f.halfPoints = 72; });
    add(U"half ", [](TCharFormat& f) { f.halfPoints = 17; });
    add(U"courier ", [](TCharFormat& f) { f.fontName = "Courier New"; });
    add(U"1 digit after a size", [](TCharFormat& f) { f.halfPoints = 30; });
    p.markFormat = Format("Courier New", 30);
    ExpectRoundTrip(doc);
}

TEST(RtfWriter, EveryParagraphPropertyRoundTrips) {
    TRichDocument doc;
    doc.AddParagraph(U"left", Format());
    doc.AddParagraph(U"centre", Format(), {TAlignment::Center, false, 0, 0});
    doc.AddParagraph(U"right", Format(), {TAlignment::Right, false, 0, 0});
    doc.AddParagraph(U"justified", Format(), {TAlignment::Justify, false, 0, 0});
    doc.AddParagraph(U"bullet", Format(), {TAlignment::Left, true, 100, 0});
    doc.AddParagraph(U"bullet 2", Format(), {TAlignment::Left, true, 100, 0});
    doc.AddParagraph(U"hanging", Format(), {TAlignment::Left, false, 720, -360});
    doc.AddParagraph(U"", Format("Arial", 40), {TAlignment::Center, true, 0, 200});
    doc.AddParagraph(U"back to left", Format());
    ExpectRoundTrip(doc);
    // A bulleted first paragraph carries its bullet in the opening line.
    TRichDocument first;
    first.AddParagraph(U"item", Format(), {TAlignment::Left, true, 200, 0});
    ExpectRoundTrip(first);
    EXPECT_NE(TRtfWriter::Lines(first)[0].find("Symbol;"), std::string::npos);
}

TEST(RtfWriter, Windows1252CharactersAreHexBytes) {
    TRichDocument doc;
    doc.AddParagraph(U"caf\u00E9 \u20AC \u201Cq\u201D \u00A0\u2014", Format());
    const auto lines = TRtfWriter::Lines(doc);
    EXPECT_EQ(lines[3], "caf\\'e9 \\'80 \\'93q\\'94 \\'a0\\'97\\par ");
    ExpectRoundTrip(doc);
}

TEST(RtfWriter, OtherCharactersAreUnicodeWithAFallback) {
    TRichDocument doc;
    doc.AddParagraph(U"\u0416\u65E5 \U0001F600 \uFFFD!", Format());
    const auto lines = TRtfWriter::Lines(doc);
    EXPECT_EQ(lines[3], "\\u1046?\\u26085? \\u-10179?\\u-8704? \\u-3?!\\par ");
    ExpectRoundTrip(doc);
}

TEST(RtfWriter, SpecialCharactersAreEscaped) {
    TRichDocument doc;
    doc.AddParagraph(U"a\\b{c}d\te\u2028f  ", Format());
    doc.AddParagraph(U" lead", Format());
    const auto lines = TRtfWriter::Lines(doc);
    EXPECT_EQ(lines[3], "a\\\\b\\{c\\}d\\tab e\\line f  \\par ");
    ExpectRoundTrip(doc);
}

TEST(RtfWriter, FontNamesWithAwkwardCharacters) {
    TRichDocument doc;
    doc.AddParagraph(U"x", Format("Sch\xC3\xB6n {Sans}"));
    ExpectRoundTrip(doc);
    EXPECT_NE(TRtfWriter::Lines(doc)[0].find("Sch\\'f6n \\{Sans\\};"), std::string::npos);
    // A ";" would end the name early; it is left out.
    TRichDocument semi;
    semi.AddParagraph(U"x", Format("A;B"));
    EXPECT_EQ(TRtfReader::Read(TRtfWriter::Write(semi)).paragraphs[0].runs[0].format.fontName, "AB");
}

TEST(RtfWriter, EmptyDocumentKeepsItsDefaultFormat) {
    TRichDocument doc;
    doc.defaultChar = Format("Verdana", 28);
    doc.defaultChar.bold = true;
    doc.defaultChar.color = 0x00FF00;
    doc.defaultPara = {TAlignment::Center, false, 0, 0};
    const auto lines = TRtfWriter::Lines(doc);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "\\viewkind4\\uc1\\pard\\qc\\cf1\\b\\f0\\fs28 ");
    const auto back = TRtfReader::Read(TRtfWriter::Write(doc));
    EXPECT_TRUE(back.Empty());
    EXPECT_EQ(back.defaultChar, doc.defaultChar);
    EXPECT_EQ(back.defaultPara, doc.defaultPara);
}

TEST(RtfWriter, ManyParagraphsAndFormatsRoundTrip) {
    TRichDocument doc;
    for (int i = 0; i < 200; ++i) {
        TCharFormat f = Format(i % 3 ? "Arial" : "Georgia", 16 + i % 7);
        f.bold = i % 2;
        f.italic = i % 5 == 0;
        f.color = static_cast<std::uint32_t>(i * 0x010203) & 0xFFFFFF;
        TParaFormat pf{static_cast<TAlignment>(i % 4), i % 6 == 0, (i % 4) * 100, i % 3 ? 0 : -50};
        auto& p = doc.AddParagraph(U"line " + U32(std::to_string(i)), f, pf);
        f.underline = true;
        p.runs.push_back({U"\u00E9\u0416", f});
    }
    ExpectRoundTrip(doc);
}

TEST(RtfWriter, FontNamesAreWrittenAsReadersTakeThem) {
    // Blanks around a name are dropped by readers, and names written alike
    // share one table entry, so that writing what was read changes nothing.
    TRichDocument doc;
    auto& p = doc.AddParagraph(U"a", Format(" Arial "));
    p.runs.push_back({U"b", Format("Arial")});
    p.runs.push_back({U"c", Format("Ar;ial")});
    p.runs.push_back({U"d", Format("   ")});
    const auto lines = TRtfWriter::Lines(doc);
    EXPECT_EQ(lines[0],
              "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
              "{\\f1\\fnil\\fcharset0 MS Sans Serif;}}");
    EXPECT_EQ(lines[3], "abc\\f1 d\\f0\\par ");
    const std::string rtf = TRtfWriter::Write(doc);
    EXPECT_EQ(TRtfWriter::Write(TRtfReader::Read(rtf)), rtf);
}
