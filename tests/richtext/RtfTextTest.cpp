// The text of RTF read without a document must be the text the reader's
// document gives, line for line, or a search would point at the wrong line
// of what the window shows.
#include <gtest/gtest.h>

#include <filesystem>

#include "RtfTestUtil.h"
#include "richtext/RtfText.h"
#include "support/TempDir.h"

namespace {

// The reader's text with every line followed by "\n".
std::u32string ReaderText(std::string_view rtf) {
    std::u32string out;
    for (const auto& line : plaintext::Lines(TRtfReader::Read(rtf))) out += line + U'\n';
    return out;
}

// Read in slices of the given size, complete lines taken off as they come.
std::u32string Sliced(std::string_view rtf, std::size_t slice) {
    TRtfText text(rtf);
    std::u32string out;
    bool more = true;
    while (more) {
        more = text.Read(slice);
        const std::size_t complete = text.Text().rfind(U'\n') + 1;
        out.append(text.Text(), 0, complete);
        text.Text().erase(0, complete);
    }
    return out + text.Text();
}

std::string Utf8Text(std::string_view rtf) { return Utf8(TRtfText::Of(rtf)); }

}  // namespace

TEST(RtfText, SampleFilesReadAsTheReaderReadsThem) {
    int samples = 0;
    for (const auto& e : std::filesystem::directory_iterator(std::string(SKFP_TEST_DATA) + "/rtf")) {
        const std::string rtf = ReadFileOrEmpty(e.path().string());
        ASSERT_FALSE(rtf.empty()) << e.path();
        const std::u32string expected = ReaderText(rtf);
        EXPECT_FALSE(expected.empty()) << e.path();
        EXPECT_EQ(TRtfText::Of(rtf), expected) << e.path();
        for (const std::size_t slice : {1u, 7u, 64u})
            EXPECT_EQ(Sliced(rtf, slice), expected) << e.path() << " " << slice;
        ++samples;
    }
    EXPECT_GE(samples, 5);
    // One spelled out, so that both cannot be wrong the same way unnoticed.
    EXPECT_EQ(Utf8Text(ReadFileOrEmpty(std::string(SKFP_TEST_DATA) + "/rtf/japanese.rtf")),
              "\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF Tokyo \xE6\x9D\xB1\xE4\xBA\xAC\n");
}

TEST(RtfText, TablesPicturesAndStarredGroupsAreNoText) {
    const std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}"
        "{\\*\\generator Msftedit 5.41;}{\\info{\\author Ann}}{\\stylesheet{\\s1 Heading;}}"
        "\\pard\\f0\\fs20 Hello {\\*\\unknowndest hidden}{\\pict\\pngblip 89504e47}world"
        "{\\*\\shppict{\\pict\\bin5 {}}\\}}}!\\par}";
    EXPECT_EQ(Utf8Text(rtf), "Hello world!\n");
    EXPECT_EQ(TRtfText::Of(rtf), ReaderText(rtf));
}

TEST(RtfText, SeparatorsAndSymbols) {
    const std::string rtf = "{\\rtf1 one\\line two\\tab x\\par\\par caf\\'e9 \\emdash \\~\\{\\}\\\\ \\u8364? end}";
    EXPECT_EQ(Utf8Text(rtf), "one\ntwo\tx\n\ncaf\xC3\xA9 \xE2\x80\x94\xC2\xA0{}\\ \xE2\x82\xAC end\n");
    EXPECT_EQ(TRtfText::Of(rtf), ReaderText(rtf));
}

TEST(RtfText, UnicodeFallbacksSurrogatesAndSkipCounts) {
    // \uc2 skips two fallback characters, a \'xx counting as one, until
    // the group ends; a pair of surrogates is one character, a lone half a
    // replacement character; negative values count from 65536.
    const std::string rtf =
        "{\\rtf1\\uc1 a\\u55357?\\u56832?b{\\uc2\\u233\\'3f\\'3fc}\\u55357?d\\u-4064?e{\\uc0\\u233 f}\\u233?g}";
    EXPECT_EQ(Utf8Text(rtf),
              "a\xF0\x9F\x98\x80"
              "b\xC3\xA9"
              "c\xEF\xBF\xBD"
              "d\xEF\x80\xA0"
              "e\xC3\xA9"
              "f\xC3\xA9"
              "g\n");
    EXPECT_EQ(TRtfText::Of(rtf), ReaderText(rtf));
}

TEST(RtfText, CodePagesOfFontsAndDocument) {
    // Shift-JIS bytes of a font with \fcharset128 are decoded in pairs, also
    // across a group; a font redefined with another charset decodes its
    // later bytes in the new code page.
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 Gothic;}{\\f1 Arial;}}\\f0\\'82\\'b1{\\b\\'82\\'f1}\\f1 \\'e9"
        "{\\fonttbl{\\f1\\fcharset204 Arial Cyr;}}\\'e9\\par}";
    EXPECT_EQ(Utf8Text(rtf), "\xE3\x81\x93\xE3\x82\x93\xC3\xA9\xD0\xB9\n");
    EXPECT_EQ(TRtfText::Of(rtf), ReaderText(rtf));
}

TEST(RtfText, DocumentEndsWithItsGroupAndFragmentsAtTheirEnd) {
    EXPECT_EQ(Utf8Text("{\\rtf1 body}trailing text"), "body\n");
    EXPECT_EQ(Utf8Text("x{\\b y}z} more"), "xyz more\n");
    EXPECT_EQ(Utf8Text("{\\rtf1 cut off in the mid"), "cut off in the mid\n");
    EXPECT_EQ(Utf8Text(""), "");
    EXPECT_EQ(Utf8Text("{\\rtf1 \\par}"), "\n");
    const std::string deep = "{\\rtf1 " + std::string(300, '{') + "deep\\par " + std::string(301, '}') + " after";
    EXPECT_EQ(TRtfText::Of(deep), ReaderText(deep));
    EXPECT_EQ(Utf8Text(deep), "deep\n");
}

TEST(RtfText, SlicesOfAnySizeGiveTheSameText) {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 G;}{\\f1 A;}}";
    for (int i = 0; i < 50; ++i)
        rtf +=
            "\\f1 line " + std::to_string(i) + " {\\b bold}\\'e9\\u8364?\\f0\\'82\\'b1\\line{\\*\\x skipped}\\par\r\n";
    rtf += "}";
    const std::u32string expected = ReaderText(rtf);
    for (std::size_t slice = 1; slice < 40; ++slice) ASSERT_EQ(Sliced(rtf, slice), expected) << slice;
    TRtfText whole(rtf);
    EXPECT_FALSE(whole.Read(rtf.size()));
    EXPECT_TRUE(whole.Done());
    EXPECT_FALSE(whole.Read(1));
    EXPECT_EQ(whole.Text(), expected);
}
