#include <gtest/gtest.h>

#include <string>

#include "RtfTestUtil.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfText.h"
#include "richtext/RtfWriter.h"

namespace {
const TRichDocument::Run& OnlyRun(const TRichDocument& doc) {
    static const TRichDocument::Run none{};
    if (doc.paragraphs.size() != 1 || doc.paragraphs[0].runs.size() != 1) {
        ADD_FAILURE() << "expected one paragraph with one run";
        return none;
    }
    return doc.paragraphs[0].runs[0];
}
}  // namespace

TEST(RtfReader, GroupsRestoreTheCharacterFormat) {
    const auto doc = TRtfReader::Read(R"({\rtf1\ansi{\fonttbl{\f0\fswiss Arial;}{\f1\froman Times New Roman;}})"
                                      R"(\f0\fs20 a{\b\i b{\f1\ul\strike c}}d\par})");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    const auto& runs = doc.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, U"a");
    EXPECT_EQ(runs[0].format.fontName, "Arial");
    EXPECT_EQ(runs[0].format.halfPoints, 20);
    EXPECT_FALSE(runs[0].format.bold);
    EXPECT_TRUE(runs[1].format.bold && runs[1].format.italic && !runs[1].format.underline);
    EXPECT_EQ(runs[2].format.fontName, "Times New Roman");
    EXPECT_TRUE(runs[2].format.underline && runs[2].format.strikeOut && runs[2].format.bold);
    EXPECT_EQ(runs[3].text, U"d");
    EXPECT_EQ(runs[3].format, runs[0].format);
}

TEST(RtfReader, ZeroParametersSwitchOffAndPlainResets) {
    const auto doc =
        TRtfReader::Read(R"({\rtf1 \b\i\ul\strike a\b0 b\i0 c\ulnone d\strike0 e\ul f\ul0 g\b\fs40 h\plain i})");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    const auto& runs = doc.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 9u);
    EXPECT_TRUE(runs[0].format.bold && runs[0].format.italic && runs[0].format.underline && runs[0].format.strikeOut);
    EXPECT_FALSE(runs[1].format.bold);
    EXPECT_FALSE(runs[2].format.italic);
    EXPECT_FALSE(runs[3].format.underline);
    EXPECT_FALSE(runs[4].format.strikeOut);
    EXPECT_TRUE(runs[5].format.underline);
    EXPECT_FALSE(runs[6].format.underline);
    EXPECT_EQ(runs[7].format.halfPoints, 40);
    EXPECT_EQ(runs[8].format, (TCharFormat{.fontName = "MS Sans Serif", .halfPoints = 24}));
}

TEST(RtfReader, ColoursComeFromTheTableWithAutoAsBlack) {
    const auto doc =
        TRtfReader::Read(R"({\rtf1{\colortbl ;\red255\green0\blue0;\red0\green128\blue255;}\cf1 r\cf2 b\cf0 a\cf9 x})");
    const auto& runs = doc.paragraphs.at(0).runs;
    ASSERT_EQ(runs.size(), 3u);  // auto and a missing entry are both black
    EXPECT_EQ(runs[0].format.color, 0x0000FFu);
    EXPECT_EQ(runs[1].format.color, 0xFF8000u);
    EXPECT_EQ(runs[2].format.color, 0u);
    EXPECT_EQ(runs[2].text, U"ax");
}

TEST(RtfReader, ParagraphFormatIsTakenAtTheParagraphMark) {
    const auto doc =
        TRtfReader::Read(R"({\rtf1 \qc one\par \pard\qr\li400\fi-200 two\par\pard\qj three\par \pard four\par})");
    ASSERT_EQ(doc.paragraphs.size(), 4u);
    EXPECT_EQ(doc.paragraphs[0].format.alignment, TAlignment::Center);
    EXPECT_EQ(doc.paragraphs[1].format, (TParaFormat{TAlignment::Right, false, 400, -200}));
    EXPECT_EQ(doc.paragraphs[2].format.alignment, TAlignment::Justify);
    EXPECT_EQ(doc.paragraphs[3].format, TParaFormat{});
}

TEST(RtfReader, BulletsAsARichEditControlWritesThem) {
    const auto doc = TRtfReader::Read(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
        "\\viewkind4\\uc1\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
        "\\fi-200\\li200\\f0\\fs20 first\\par\r\n"
        "{\\pntext\\f1\\'B7\\tab}second\\par\r\n"
        "\\pard plain\\par\r\n}\r\n");
    ASSERT_EQ(doc.paragraphs.size(), 3u);
    EXPECT_EQ(doc.paragraphs[0].Text(), U"first");
    EXPECT_TRUE(doc.paragraphs[0].format.bullet);
    EXPECT_EQ(doc.paragraphs[0].format.leftIndent, 200);
    EXPECT_EQ(doc.paragraphs[1].Text(), U"second");
    EXPECT_TRUE(doc.paragraphs[1].format.bullet);
    EXPECT_FALSE(doc.paragraphs[2].format.bullet);
    EXPECT_EQ(doc.paragraphs[0].runs[0].format.fontName, "Arial");
}

TEST(RtfReader, SymbolsAndEscapes) {
    EXPECT_EQ(TextOf(R"({\rtf1 a\\b\{c\}d\~e\-f\_g\emdash\endash\lquote\rquote\ldblquote\rdblquote\bullet\tab h})"),
              "a\\b{c}d\xC2\xA0"
              "ef\xE2\x80\x91g\xE2\x80\x94\xE2\x80\x93\xE2\x80\x98\xE2\x80\x99\xE2\x80\x9C"
              "\xE2\x80\x9D\xE2\x80\xA2\th\n");
    // \line breaks the line within the paragraph; a backslash before a line end is \par.
    const auto doc = TRtfReader::Read("{\\rtf1 a\\line b\\\nc}");
    ASSERT_EQ(doc.paragraphs.size(), 2u);
    EXPECT_EQ(doc.paragraphs[0].Text(), U"a\u2028b");
    EXPECT_EQ(plaintext::Utf8(doc), "a\nb\nc\n");
}

TEST(RtfReader, LineEndsInTheSourceAreNotText) { EXPECT_EQ(TextOf("{\\rtf1 ab\r\ncd\ne\\par\r\n}"), "abcde\n"); }

TEST(RtfReader, HexBytesInTheDocumentCodePage) {
    EXPECT_EQ(TextOf(R"({\rtf1\ansi caf\'e9 \'80 \'93q\'94})"), "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D\n");
    // Windows-1251: the same bytes are Cyrillic.
    EXPECT_EQ(TextOf(R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8\'e2\'e5\'f2})"),
              "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n");
    // Windows-1250 (Czech) and 1253 (Greek).
    EXPECT_EQ(TextOf(R"({\rtf1\ansi\ansicpg1250 \'9e\'e8})"), "\xC5\xBE\xC4\x8D\n");
    EXPECT_EQ(TextOf(R"({\rtf1\ansi\ansicpg1253 \'e1})"), "\xCE\xB1\n");
    // A code page nobody knows reads as Windows-1252 rather than losing the text.
    EXPECT_EQ(TextOf(R"({\rtf1\ansi\ansicpg4711 \'e9})"), "\xC3\xA9\n");
}

TEST(RtfReader, FontCharsetSelectsTheCodePageOfItsText) {
    const std::string rtf =
        R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fnil\fcharset0 Arial;}{\f1\fnil\fcharset204 Arial CYR;})"
        R"({\f2\fnil\fcharset128 MS Gothic;}}\f0 \'e9 \f1 \'e9 \f2 \'82\'a0\'83e\f0 \'e9})";
    EXPECT_EQ(TextOf(rtf), "\xC3\xA9 \xD0\xB9 \xE3\x81\x82\xE3\x83\x86\xC3\xA9\n");
}

TEST(RtfReader, AFontDefinedAgainDecodesInItsNewCodePage) {
    // The code page of the current font is kept between bytes; a second
    // font table that gives the number another charset must count.
    const std::string rtf = R"({\rtf1\ansi{\fonttbl{\f0\fcharset0 Arial;}}\f0\'e9)"
                            R"({\fonttbl{\f0\fcharset204 Arial CYR;}}\'e9})";
    EXPECT_EQ(TextOf(rtf), "\xC3\xA9\xD0\xB9\n");
}

TEST(RtfReader, UnicodeWithItsFallbackSkipped) {
    EXPECT_EQ(TextOf(R"({\rtf1\uc1\u1078?\u-3913?x})"), "\xD0\xB6\xEF\x82\xB7x\n");
    // \uc2 skips two fallback characters, \'hh counting as one.
    EXPECT_EQ(TextOf(R"({\rtf1\uc2\u8364\'80\'80y})"), "\xE2\x82\xACy\n");
    // \uc0: nothing to skip.
    EXPECT_EQ(TextOf(R"({\rtf1\uc0\u233 z})"), "\xC3\xA9z\n");
    // The skip stops at a group's end, and \uc is restored with the group.
    EXPECT_EQ(TextOf(R"({\rtf1{\uc3\u233}ab\u233?c})"),
              "\xC3\xA9"
              "ab\xC3\xA9"
              "c\n");
    // Surrogate pairs make one character; a lone half is a replacement character.
    EXPECT_EQ(TextOf(R"({\rtf1\u-10179?\u-8704?!\u-10179?x})"), "\xF0\x9F\x98\x80!\xEF\xBF\xBDx\n");
}

TEST(RtfReader, BinaryDataIsSkippedWhole) {
    std::string rtf = "{\\rtf1 a{\\*\\blipuid x}{\\pict\\bin6 }{\\}\\x}b\\bin3 {}}c}";
    EXPECT_EQ(TextOf(rtf), "abc\n");
    // \bin beyond the end stops at the end.
    EXPECT_EQ(TextOf("{\\rtf1 ok\\bin999999999999 zzz"), "ok\n");
}

TEST(RtfReader, DestinationsAreSkipped) {
    const std::string rtf =
        R"({\rtf1\ansi{\fonttbl{\f0\fswiss{\*\panose 020b0604020202020204}Arial{\*\falt Helvetica};}})"
        R"({\stylesheet{\s0 Normal;}}{\info{\title T}{\author A}}{\*\generator Riched20 10.0;})"
        R"({\*\unknowndest hidden}{\header head}{\footnote note}{\pict abc}{\*\themedata 0102})"
        R"({\field{\*\fldinst HYPERLINK "http://x"}{\fldrslt shown}}\f0 text\unknownword99 more})";
    const auto doc = TRtfReader::Read(rtf);
    EXPECT_EQ(plaintext::Utf8(doc), "showntextmore\n");
    EXPECT_EQ(doc.paragraphs[0].runs.back().format.fontName, "Arial");
}

// A HYPERLINK field shows its result, which leads to the address of its
// instruction; the instruction itself is never text. Only web, FTP and
// mail addresses lead anywhere: a link into the document, a local file or
// another field leads nowhere. The writer writes the field back.
TEST(RtfReader, AHyperlinkFieldShowsItsResultAndLeadsToItsAddress) {
    const std::string rtf =
        R"({\rtf1\ansi see {\field{\*\fldinst{HYPERLINK "https://example.com/a?b=1" \\o "tip"}}{\fldrslt{\ul the )"
        R"({\b page}}}} now {\field{\*\fldinst HYPERLINK \\l "top"}{\fldrslt top}} )"
        R"({\field{\*\fldinst HYPERLINK "file:///etc/passwd"}{\fldrslt file}} {\field{\*\fldinst PAGE}{\fldrslt 3}} )"
        R"({\field{\*\fldinst{HYPERL}{INK mailto:ann@example.org}}{\fldrslt ann}}\par})";
    const TRichDocument doc = TRtfReader::Read(rtf);
    EXPECT_EQ(plaintext::Utf8(doc), "see the page now top file 3 ann\n");
    EXPECT_EQ(Utf8(TRtfText::Of(rtf)), "see the page now top file 3 ann\n");
    std::vector<std::string> links;
    for (const auto& r : doc.paragraphs.at(0).runs) links.push_back(Utf8(r.text) + "=" + r.format.link);
    EXPECT_EQ(links, (std::vector<std::string>{"see =", "the =https://example.com/a?b=1",
                                               "page=https://example.com/a?b=1", " now top file 3 =",
                                               "ann=mailto:ann@example.org"}));
    EXPECT_TRUE(doc.paragraphs[0].runs[2].format.bold);
    EXPECT_TRUE(doc.paragraphs[0].markFormat.link.empty());
    const std::string written = TRtfWriter::Write(doc);
    EXPECT_NE(written.find("{\\field{\\*\\fldinst{HYPERLINK \"https://example.com/a?b=1\"}}{\\fldrslt{\\ul the \\b "
                           "page}}}"),
              std::string::npos)
        << written;
    TRichDocument again = TRtfReader::Read(written);
    again.Normalize();
    TRichDocument expected = doc;
    expected.Normalize();
    EXPECT_EQ(again.paragraphs, expected.paragraphs);
}

TEST(RtfReader, UnicodeDestinationOfUprIsPreferred) {
    EXPECT_EQ(TextOf(R"({\rtf1 {\upr{ansi text}{\*\ud{\u1078?}}}!})"), "\xD0\xB6!\n");
}

TEST(RtfReader, ReadingStopsWhereTheDocumentCloses) {
    EXPECT_EQ(TextOf("{\\rtf1 one\\par } garbage {\\rtf1 two}"), "one\n");
    // A fragment without an opening group is read whole.
    EXPECT_EQ(TextOf("x{\\b y}z\\par }"), "xyz\n");
}

TEST(RtfReader, EmptyDocumentsAndTrailingText) {
    EXPECT_TRUE(TRtfReader::Read("").Empty());
    EXPECT_TRUE(TRtfReader::Read("{\\rtf1\\ansi\\f0\\fs30 }").Empty());
    EXPECT_EQ(TRtfReader::Read("{\\rtf1\\ansi\\f0\\fs30 }").defaultChar.halfPoints, 30);
    // Text after the last \par is a paragraph of its own; an empty one is not.
    EXPECT_EQ(TRtfReader::Read("{\\rtf1 a\\par b}").paragraphs.size(), 2u);
    EXPECT_EQ(TRtfReader::Read("{\\rtf1 a\\par }").paragraphs.size(), 1u);
    // An empty paragraph keeps the format of its mark.
    const auto doc = TRtfReader::Read("{\\rtf1\\b\\fs40\\par }");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    EXPECT_TRUE(doc.paragraphs[0].runs.empty());
    EXPECT_TRUE(doc.paragraphs[0].markFormat.bold);
    EXPECT_EQ(doc.paragraphs[0].markFormat.halfPoints, 40);
}

TEST(RtfReader, MalformedInputYieldsWhatCouldBeRead) {
    EXPECT_EQ(TextOf("{\\rtf1 trunc{\\b ated"), "truncated\n");
    EXPECT_EQ(TextOf("{\\rtf1 a}}}}"), "a\n");
    EXPECT_EQ(TextOf("}}}{\\rtf1 a}"), "a\n");
    EXPECT_EQ(TextOf("{\\rtf1 a\\"), "a\n");
    EXPECT_EQ(TextOf("{\\rtf1 a\\'"), "a\n");
    EXPECT_EQ(TextOf("{\\rtf1 a\\'4"), "a\n");  // a control character is no text
    EXPECT_EQ(TextOf(std::string("{\\rtf1 a\0b\\'zz}", 16)), "abzz\n");
    // Absurd parameters are clamped.
    const auto doc =
        TRtfReader::Read("{\\rtf1\\fs99999999999999999999\\li-99999999999\\fi77777777777\\uc-5\\u99999999?x}");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    EXPECT_EQ(doc.paragraphs[0].runs[0].format.halfPoints, 3276);
    EXPECT_EQ(doc.paragraphs[0].format.leftIndent, -31680);
    EXPECT_EQ(doc.paragraphs[0].format.firstIndent, 31680);
    EXPECT_EQ(doc.paragraphs[0].Text(), U"\uFFFD?x");
    // A control word of absurd length is no word.
    EXPECT_EQ(TextOf("{\\rtf1 \\" + std::string(5000, 'b') + " x}"), "x\n");
}

TEST(RtfReader, DeepNestingIsBounded) {
    std::string rtf = "{\\rtf1 ";
    for (int i = 0; i < 100000; ++i) rtf += "{\\b ";
    rtf += "deep";
    for (int i = 0; i < 100000; ++i) rtf += "}";
    rtf += "after}";
    const auto doc = TRtfReader::Read(rtf);
    EXPECT_EQ(plaintext::Utf8(doc), "deepafter\n");
    EXPECT_TRUE(doc.paragraphs[0].runs[0].format.bold);
    EXPECT_FALSE(doc.paragraphs[0].runs.back().format.bold);
}

TEST(RtfReader, OnlyTheOneRunWhenFormatDoesNotChange) {
    const auto doc = TRtfReader::Read(R"({\rtf1\b a{\b b}\b c})");
    EXPECT_EQ(OnlyRun(doc).text, U"abc");
}

TEST(RtfReader, MultiByteCharacterKeepsTheFormatItWasWrittenIn) {
    const auto doc = TRtfReader::Read(R"({\rtf1{\fonttbl{\f0\fcharset128 Gothic;}}\f0\'82\'a0\b\'82\'a2})");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    const auto& runs = doc.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, U"\u3042");
    EXPECT_FALSE(runs[0].format.bold);
    EXPECT_EQ(runs[1].text, U"\u3044");
    EXPECT_TRUE(runs[1].format.bold);
}

TEST(RtfReader, OldDosAndMacCodePages) {
    EXPECT_EQ(TextOf(R"({\rtf1\pc \'82})"), "\xC3\xA9\n");
    EXPECT_EQ(TextOf(R"({\rtf1\mac \'8e})"), "\xC3\xA9\n");
    EXPECT_EQ(TextOf(R"({\rtf1\pca \'82})"), "\xC3\xA9\n");
}
