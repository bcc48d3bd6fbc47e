#include <gtest/gtest.h>

#include "RtfTestUtil.h"
#include "richtext/CodePage.h"

namespace {
std::u32string Decode(int cp, std::string_view bytes) {
    std::u32string out;
    TCodePage(cp).Decode(bytes, out);
    return out;
}
}  // namespace

TEST(CodePage, SingleByteCodePages) {
    EXPECT_EQ(Decode(1252, "\x80\xE9\x81"), U"\u20AC\u00E9\u0081");
    EXPECT_EQ(Decode(1251, "\xC0\xFF"), U"\u0410\u044F");
    EXPECT_EQ(Decode(437, "\x82"), U"\u00E9");
    EXPECT_EQ(Decode(10000, "\x8E"), U"\u00E9");
    EXPECT_FALSE(TCodePage(1251).MultiByte());
    EXPECT_EQ(TCodePage(1251).Byte(0xC0), U'\u0410');
}

TEST(CodePage, UnknownCodePagesDecodeAsWindows1252) {
    EXPECT_EQ(TCodePage(4711).Number(), 1252);
    EXPECT_EQ(TCodePage(0).Number(), 1252);
    EXPECT_EQ(TCodePage(-3).Number(), 1252);
    EXPECT_EQ(Decode(4711, "\xE9"), U"\u00E9");
}

TEST(CodePage, MultiByteCodePagesDecodeTogetherAndReplaceBrokenBytes) {
    EXPECT_TRUE(TCodePage(932).MultiByte());
    EXPECT_EQ(Decode(932,
                     "\x82\xA0"
                     "a\x83"
                     "e"),
              U"\u3042a\u30C6");
    EXPECT_EQ(Decode(936, "\xC4\xE3"), U"\u4F60");
    EXPECT_EQ(Decode(949, "\xC7\xD1"), U"\uD55C");
    EXPECT_EQ(Decode(950, "\xA4\xA4"), U"\u4E2D");
    EXPECT_EQ(Decode(65001, "\xC3\xA9"), U"\u00E9");
    // A lead byte without its trail, and a byte that is no character.
    EXPECT_EQ(Decode(932, "a\x82"), U"a\uFFFD");
    EXPECT_EQ(Decode(65001,
                     "\xFF"
                     "b"),
              U"\uFFFDb");
}

TEST(CodePage, CharsetsNameTheirCodePages) {
    EXPECT_EQ(TCodePage::FromCharset(0), 0);
    EXPECT_EQ(TCodePage::FromCharset(1), 0);
    EXPECT_EQ(TCodePage::FromCharset(2), 0);
    EXPECT_EQ(TCodePage::FromCharset(128), 932);
    EXPECT_EQ(TCodePage::FromCharset(204), 1251);
    EXPECT_EQ(TCodePage::FromCharset(238), 1250);
}
