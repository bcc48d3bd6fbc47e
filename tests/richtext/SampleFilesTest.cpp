// RTF as other programs write it: a rich edit control (WordPad), a word
// processor, a mail server's text-to-RTF converter, a macOS text editor and a
// Japanese rich edit control.
#include <gtest/gtest.h>

#include "RtfTestUtil.h"
#include "support/TempDir.h"

namespace {
TRichDocument Sample(const std::string& name) {
    const std::string data = ReadFileOrEmpty(std::string(SKFP_TEST_DATA) + "/rtf/" + name);
    EXPECT_FALSE(data.empty()) << name;
    return TRtfReader::Read(data);
}
}  // namespace

TEST(RtfSamples, RichEditControlWithBulletsColoursAndCyrillic) {
    const auto doc = Sample("wordpad.rtf");
    EXPECT_EQ(plaintext::Utf8(doc),
              "Meeting notes\n"
              "Agenda for Monday, caf\xC3\xA9 at 10:00 \xE2\x80\x93 bring the report.\n"
              "Budget\nHiring\n"
              "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x82\xAC 5\n");
    ASSERT_EQ(doc.paragraphs.size(), 5u);
    const auto& title = doc.paragraphs[0];
    EXPECT_EQ(title.format.alignment, TAlignment::Center);
    EXPECT_TRUE(title.runs[0].format.bold);
    EXPECT_EQ(title.runs[0].format.halfPoints, 28);
    EXPECT_EQ(title.runs[0].format.fontName, "Calibri");
    EXPECT_EQ(title.markFormat.halfPoints, 22);
    EXPECT_TRUE(doc.paragraphs[1].runs[1].format.italic);
    EXPECT_TRUE(doc.paragraphs[1].runs[3].format.underline);
    EXPECT_FALSE(doc.paragraphs[1].format.bullet);
    for (int i : {2, 3}) {
        EXPECT_TRUE(doc.paragraphs[i].format.bullet) << i;
        EXPECT_EQ(doc.paragraphs[i].format.leftIndent, 720);
        EXPECT_EQ(doc.paragraphs[i].format.firstIndent, -360);
    }
    EXPECT_EQ(doc.paragraphs[2].runs[0].format.color, 0x0000FFu);
    EXPECT_EQ(doc.paragraphs[3].runs[0].format.color, 0xBB4D00u);
    EXPECT_TRUE(doc.paragraphs[3].runs[0].format.strikeOut);
    EXPECT_FALSE(doc.paragraphs[4].format.bullet);
}

TEST(RtfSamples, WordProcessorWithListsFieldsAndHiddenDestinations) {
    const auto doc = Sample("word.rtf");
    EXPECT_EQ(plaintext::Utf8(doc),
              "Dear colleagues,\n"
              "the figures are up 12% \xE2\x80\x9C"
              "as planned\xE2\x80\x9D.\n"
              "Sales\n"
              "Na\xC3\xAFve caf\xC3\xA9s\n"
              "example.com\xE6\x97\xA5\xE6\x9C\xAC\n");
    ASSERT_EQ(doc.paragraphs.size(), 5u);
    EXPECT_EQ(doc.paragraphs[0].runs[0].format.fontName, "Arial");
    EXPECT_EQ(doc.paragraphs[1].format.alignment, TAlignment::Justify);
    EXPECT_EQ(doc.paragraphs[1].runs[0].format.color, 0xFF0000u);
    EXPECT_TRUE(doc.paragraphs[1].runs[1].format.bold);
    EXPECT_EQ(doc.paragraphs[1].runs[1].format.color, 0x000080u);
    EXPECT_TRUE(doc.paragraphs[2].format.bullet);
    EXPECT_TRUE(doc.paragraphs[3].format.bullet);
    EXPECT_FALSE(doc.paragraphs[4].format.bullet);
    EXPECT_TRUE(doc.paragraphs[4].runs[0].format.underline);
}

TEST(RtfSamples, MailServerConversionOfPlainText) {
    const auto doc = Sample("exchange.rtf");
    EXPECT_EQ(plaintext::Utf8(doc),
              "Hello Ann,\n\nsee http://example.org/a?b=1 for details {draft}.\n\n"
              "> quoted line with a back\\slash\n-- \nRen\xC3\xA9 Z\xC3\xBCrcher\n");
    // A colour table without the leading "auto" entry counts from 0.
    EXPECT_EQ(doc.paragraphs[2].runs[1].format.color, 0xFF0000u);
    EXPECT_EQ(doc.paragraphs[2].runs[1].format.fontName, "Arial");
}

TEST(RtfSamples, MacTextEditorWithBackslashLineEnds) {
    const auto doc = Sample("textedit.rtf");
    EXPECT_EQ(plaintext::Utf8(doc),
              "Hi Bob,\n\nImportant: the caf\xC3\xA9 opens at 9\xC2\xA0"
              "am\nCheers \xE2\x98\x83\n");
    ASSERT_EQ(doc.paragraphs.size(), 4u);
    EXPECT_EQ(doc.paragraphs[2].runs[0].format.fontName, "Helvetica-Bold");
    EXPECT_TRUE(doc.paragraphs[2].runs[0].format.bold);
    EXPECT_EQ(doc.paragraphs[2].runs[0].format.color, 0x3C14DCu);
}

TEST(RtfSamples, JapaneseRichEditDocumentInShiftJis) {
    const auto doc = Sample("japanese.rtf");
    EXPECT_EQ(plaintext::Utf8(doc),
              "\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF Tokyo \xE6\x9D\xB1\xE4\xBA\xAC\n");
    // The font name is in the font's code page too.
    EXPECT_EQ(doc.paragraphs[0].runs[0].format.fontName,
              "\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF");
}
