#include <gtest/gtest.h>

#include "RtfTestUtil.h"

TEST(PlainText, ParagraphsAndLineBreaksAreLines) {
    TRichDocument doc;
    TCharFormat f;
    auto& p = doc.AddParagraph(U"one ", f);
    f.bold = true;
    p.runs.push_back({U"bold\u2028two\tx", f});
    doc.AddParagraph(U"", f);
    doc.AddParagraph(U"caf\u00E9 \u20AC \u0416", f);
    EXPECT_EQ(plaintext::Lines(doc),
              (std::vector<std::u32string>{U"one bold", U"two\tx", U"", U"caf\u00E9 \u20AC \u0416"}));
    EXPECT_EQ(plaintext::StoredLines(doc), (std::vector<std::string>{"one bold", "two\tx", "", "caf\xE9 \x80 ?"}));
    EXPECT_EQ(plaintext::Utf8(doc), "one bold\ntwo\tx\n\ncaf\xC3\xA9 \xE2\x82\xAC \xD0\x96\n");
}

TEST(PlainText, EmptyDocumentHasNoLines) {
    EXPECT_TRUE(plaintext::Lines(TRichDocument{}).empty());
    EXPECT_EQ(plaintext::Utf8(TRichDocument{}), "");
}
