#include <gtest/gtest.h>

#include "store/RtfConvert.h"

namespace {
using Lines = std::vector<std::string>;

Lines Html(Lines lines) {
    rtfconvert::HtmlToRtf(lines);
    return lines;
}
Lines Plain(Lines lines) {
    rtfconvert::PlainToRtf(lines);
    return lines;
}
}  // namespace

TEST(PlainToRtf, EscapesAndParagraphs) {
    EXPECT_EQ(Plain({"a{b", "c\\d"}), (Lines{"a\\{b", "\\par c\\\\d", "\\par }"}));
    EXPECT_EQ(Plain({}), (Lines{"\\par }"}));
    EXPECT_EQ(Plain({"", ""}), (Lines{"", "\\par ", "\\par }"}));
}

TEST(PlainToRtf, CharactersBeyondAsciiBecomeEscapes) {
    EXPECT_EQ(Plain({"Caf\xc3\xa9 \xe2\x82\xac"}), (Lines{"Caf\\'e9 \\'80", "\\par }"}));
    EXPECT_EQ(Plain({"\xd0\x96"}), (Lines{"\\u1046?", "\\par }"}));
    EXPECT_EQ(Plain({"\xef\xbf\xbd"}), (Lines{"\\u-3?", "\\par }"}));
    EXPECT_EQ(Plain({"\xf0\x9f\x98\x80"}), (Lines{"\\u-10179?\\u-8704?", "\\par }"}));
    // Escapes of both kinds side by side, and a stray byte read as Windows-1252.
    EXPECT_EQ(Plain({"{\xc3\xa9}\\\xe9x"}), (Lines{"\\{\\'e9\\}\\\\\\'e9x", "\\par }"}));
}

TEST(HtmlToRtf, StyleTagsAndGroups) {
    EXPECT_EQ(Html({"x<B>y</B>z"}), (Lines{"x{\\b y}z", "\\par }"}));
    EXPECT_EQ(Html({"a<BR>b"}), (Lines{"a", "\\par b", "\\par }"}));
    EXPECT_EQ(Html({"a<br>b<Br>c"}), (Lines{"a", "\\par b", "\\par c", "\\par }"}));
    // Every form of the line break breaks the line.
    EXPECT_EQ(Html({"a<br/>b<BR />c<br clear=all>d"}), (Lines{"a", "\\par b", "\\par c", "\\par d", "\\par }"}));
    EXPECT_EQ(Html({"<b>open"}), (Lines{"{\\b open", "\\par }", "\\par }"}));
    EXPECT_EQ(Html({"<b><i><u>x</u></i></b>"}), (Lines{"{\\b }{\\b\\i }{\\b\\i\\ul x}{\\b\\i }{\\b }", "\\par }"}));
    EXPECT_EQ(Html({"<li>item</li>"}), (Lines{"{\\bullet item}", "\\par }"}));
    EXPECT_EQ(Html({"<p>para</p>"}), (Lines{"para", "\\par }"}));
    EXPECT_EQ(Html({"<>x"}), (Lines{"x", "\\par }"}));
    EXPECT_EQ(Html({"tail <"}), (Lines{"tail <", "\\par }"}));
}

// Mail generated on one line: its blocks become paragraphs, with no empty
// paragraph for end tags that only close what is open.
TEST(HtmlToRtf, BlocksOnOneLineKeepTheirParagraphs) {
    EXPECT_EQ(
        Html({"<html><body><h1>News</h1><p>Some <b>bold</b> text.</p><ul><li>One</li><li>Two</li></ul>"
              "</body></html>"}),
        (Lines{"News", "\\par Some {\\b bold} text.", "\\par {\\bullet One}", "\\par {\\bullet Two}", "\\par }"}));
    // A block that starts after text on its line begins a new one; one that
    // starts a line does not make an empty paragraph before it.
    EXPECT_EQ(Html({"one<p>two", "<p>three</p>"}), (Lines{"one", "\\par two", "\\par three", "\\par }"}));
    EXPECT_EQ(Html({"<div>a</div> <div>b</div>"}), (Lines{"a", "\\par  b", "\\par }"}));
    // What the head holds is no text of the body.
    EXPECT_EQ(Html({"<head><title>T</title></head><body><p>x</p>"}), (Lines{"x", "\\par }"}));
    // Inline tags and an unclosed "<" split nothing.
    EXPECT_EQ(Html({"a <i>b</i> c"}), (Lines{"a {\\i b} c", "\\par }"}));
    EXPECT_EQ(Html({"x</p"}), (Lines{"x", "\\par }"}));
}

TEST(HtmlToRtf, Sizes) {
    EXPECT_EQ(Html({"<smaller>s"}), (Lines{"{\\fs14 s", "\\par }", "\\par }"}));
    EXPECT_EQ(Html({"<bigger>s</bigger>"}), (Lines{"{\\fs18 s}", "\\par }"}));
    std::string tags;
    for (int i = 0; i < 6; ++i) tags += "<smaller>";  // 8 -> 2
    EXPECT_EQ(Html({tags + "x"}).front().substr(Html({tags + "x"}).front().size() - 6), "\\fs4 x");
    EXPECT_EQ(Html({tags + "<bigger>x"}).front().substr(Html({tags + "<bigger>x"}).front().size() - 6), "\\fs8 x");
}

TEST(HtmlToRtf, TagsSplitOverLinesAndUnclosed) {
    EXPECT_EQ(Html({"a<b", ">c"}), (Lines{"a{\\b c", "\\par }", "\\par }"}));
    EXPECT_EQ(Html({"a<font", "color=red", ">c"}), (Lines{"a<fontcolor=red", "\\par >c", "\\par }"}));
    EXPECT_EQ(Html({"end<b"}), (Lines{"end{\\b ", "\\par }", "\\par }"}));
}

TEST(HtmlToRtf, EveryCharacterReference) {
    EXPECT_EQ(Html({"&lt;b&gt; &amp; &nbsp;x"}), (Lines{"<b> &  x", "\\par }"}));
    EXPECT_EQ(Html({"&LT;&NBSP;"}), (Lines{"< ", "\\par }"}));
    EXPECT_EQ(Html({"&eacute;&Eacute;&#233;&#xE9;&#8364;&quot;&apos;"}),
              (Lines{"\\'e9\\'c9\\'e9\\'e9\\'80\"'", "\\par }"}));
    // Translated once: "&amp;lt;" is the text "&lt;".
    EXPECT_EQ(Html({"&amp;lt;"}), (Lines{"&lt;", "\\par }"}));
    EXPECT_EQ(Html({"&#123;&#92;"}), (Lines{"\\{\\\\", "\\par }"}));
    EXPECT_EQ(Html({"&bogus; & &#;"}), (Lines{"&bogus; & &#;", "\\par }"}));
    EXPECT_EQ(Html({"\xc3\xa9t\xc3\xa9"}), (Lines{"\\'e9t\\'e9", "\\par }"}));
}

TEST(HtmlToRtf, HeadStyleAndScriptContentDropped) {
    const Lines in = {"<html><head>",
                      "<title>T</title>",
                      "<style>",
                      "p { color: red; }",
                      "</style>",
                      "</head>",
                      "<body><script>if (a<b) x();</script>Hello <b>you</b></body></html>"};
    EXPECT_EQ(Html(in), (Lines{"", "\\par ", "\\par Hello {\\b you}", "\\par }"}));
}

TEST(HtmlToRtf, TheTextsBracesAndBackslashesAreEscaped) {
    // Unescaped, "}" ended the document and "\temp" was read as a control word.
    EXPECT_EQ(Html({"<b>C:\\temp\\new</b> {x} } after"}),
              (Lines{"{\\b C:\\\\temp\\\\new} \\{x\\} \\} after", "\\par }"}));
    EXPECT_EQ(Html({"a{", "}b"}), (Lines{"a\\{", "\\par \\}b", "\\par }"}));
}

TEST(HtmlToRtf, AHeadWithoutItsEndTagEndsAtTheBodyOrIsKept) {
    EXPECT_EQ(Html({"<html><head><title>T</title>", "<body>Hello <b>you</b>"}),
              (Lines{"", "\\par Hello {\\b you}", "\\par }"}));
    EXPECT_EQ(Html({"<head><meta charset=utf-8><BODY>x"}), (Lines{"x", "\\par }"}));
    // Neither "</head>" nor "<body>": the text is the message, not a head.
    EXPECT_EQ(Html({"<html><head><title>T</title>", "<p>Hello</p>"}), (Lines{"T", "\\par Hello", "\\par }"}));
    // A style inside such a head is still dropped.
    EXPECT_EQ(Html({"<head><style>p{}</style>text"}), (Lines{"text", "\\par }"}));
}

TEST(HtmlToRtf, ALongOneLineDocumentConvertsWhole) {
    std::string line, expected;
    for (int i = 0; i < 20000; ++i) {
        line += "<b>w" + std::to_string(i) + "</b><br>";
        expected += "{\\b w" + std::to_string(i) + "}";
    }
    const Lines out = Html({line});
    ASSERT_EQ(out.size(), 20002u);
    EXPECT_EQ(out[0], "{\\b w0}");
    EXPECT_EQ(out[19999], "\\par {\\b w19999}");
    std::string oneLine;
    for (int i = 0; i < 20000; ++i) oneLine += "<i>" + std::string(1, static_cast<char>('a' + i % 26)) + "</i>";
    const Lines single = Html({oneLine});
    ASSERT_EQ(single.size(), 2u);
    EXPECT_EQ(single[0].size(), 20000u * 6);
}
