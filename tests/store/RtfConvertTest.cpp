#include <gtest/gtest.h>

#include "common/Windows1252.h"
#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfText.h"
#include "richtext/RtfWriter.h"
#include "store/RtfConvert.h"

namespace {
using Lines = std::vector<std::string>;

Lines Html(Lines lines) {
    rtfconvert::HtmlToRtf(lines, 20);
    return lines;
}
Lines Enriched(Lines lines) {
    rtfconvert::EnrichedToRtf(lines, 16);
    return lines;
}
// The document a message body makes behind the test data's format file.
std::string Body(const Lines& lines) {
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    for (const auto& l : lines) rtf += l + "\r\n";
    return rtf;
}
std::string Utf8(const std::u32string& text) {
    std::string out;
    for (const char32_t c : text) cp1252::AppendUtf8(out, c);
    return out;
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

TEST(HtmlToRtf, StyleTagsAndLineBreaks) {
    EXPECT_EQ(Html({"x<B>y</B>z"}), (Lines{"x{\\b y}z", "\\par }"}));
    EXPECT_EQ(Html({"a<BR>b"}), (Lines{"a", "\\par b", "\\par }"}));
    // Every form of the line break breaks the line; a second one in a row
    // makes the empty line, more make no more.
    EXPECT_EQ(Html({"a<br/>b<BR />c<br clear=all>d"}), (Lines{"a", "\\par b", "\\par c", "\\par d", "\\par }"}));
    EXPECT_EQ(Html({"a<br><br><br><br>b"}), (Lines{"a", "\\par ", "\\par b", "\\par }"}));
    // An element left open ends with the document; nested styles make one group.
    EXPECT_EQ(Html({"<b>open"}), (Lines{"{\\b open}", "\\par }"}));
    EXPECT_EQ(Html({"<b><i><u>x</u></i></b> <s>y</s> <big>z</big>"}),
              (Lines{"{\\b\\i\\ul x} {\\strike y} {\\fs24 z}", "\\par }"}));
    // Styles an inline style attribute gives.
    EXPECT_EQ(Html({"<span style=\"font-weight: bold\">b</span><span style=\"FONT-STYLE:italic\">i</span>"}),
              (Lines{"{\\b b}{\\i i}", "\\par }"}));
    // Misnested tags as a browser mends them; a "<" that opens no tag is text.
    EXPECT_EQ(Html({"<b>a<i>b</b>c</i> <>x tail <"}), (Lines{"{\\b a}{\\b\\i b}{\\i c} <>x tail <", "\\par }"}));
    // A tag may spread over lines; a line end inside text is a blank.
    EXPECT_EQ(Html({"a<b", ">c</b>", "d<font", "color=red", ">e"}), (Lines{"a{\\b c} de", "\\par }"}));
    EXPECT_EQ(Html({"end<b"}), (Lines{"end", "\\par }"}));
    // The text's braces and backslashes are escaped: unescaped, "}" ended the
    // document and "\temp" was read as a control word.
    EXPECT_EQ(Html({"<b>C:\\temp\\new</b> {x} } after"}), (Lines{"{\\b C:\\\\temp\\\\new} \\{x\\} \\} after", "\\par }"}));
    EXPECT_EQ(Html({}), (Lines{"\\par }"}));
}

// Mail generated on one line keeps its paragraphs: a block begins a line,
// a paragraph, heading or list has one empty line around it, and nothing
// makes two empty lines in a row or any at the start or the end.
TEST(HtmlToRtf, BlocksBecomeParagraphsAsABrowserShowsThem) {
    EXPECT_EQ(Html({"<html><body><h1>News</h1><p>Some <b>bold</b> text.</p><ul><li>One</li><li>Two</li></ul>"
                    "<div>a</div> <div>b</div></body></html>"}),
              (Lines{"{\\b\\fs40 News}", "\\par ", "\\par Some {\\b bold} text.", "\\par ",
                     "\\par \\pard\\li360 \\'95 One", "\\par \\'95 Two", "\\par ", "\\par \\pard a", "\\par b",
                     "\\par }"}));
    EXPECT_EQ(Html({"one<p>two", "<p>three</p><p>&nbsp;</p><p> </p><p>&nbsp;</p><div>four</div>"}),
              (Lines{"one", "\\par ", "\\par two", "\\par ", "\\par three", "\\par ", "\\par four", "\\par }"}));
    // Headings grow from the format file's size, and are bold.
    EXPECT_EQ(Html({"<h2>T</h2><h3>U</h3><h4>V</h4>"}),
              (Lines{"{\\b\\fs30 T}", "\\par ", "\\par {\\b\\fs26 U}", "\\par ", "\\par {\\b\\fs20 V}", "\\par }"}));
}

// One bullet per list item, however many tags the item holds (the item
// used to get a bullet again each time a tag inside it reopened the style
// group: "••Gardening in winter• – tips"); numbers for ordered lists, from
// their start and values; nested lists indent further.
TEST(HtmlToRtf, OneBulletPerListItemAndNumbersForOrderedLists) {
    EXPECT_EQ(Html({"<ul><li><a href=\"https://example.com/a\"><b>Gardening</b> in winter</a> &ndash; <i>tips</i>"
                    "</li><li>two<ul><li>inner</li></ul></li></ul>"}),
              (Lines{"\\pard\\li360 \\'95 {\\field{\\*\\fldinst{HYPERLINK \"https://example.com/a\"}}{\\fldrslt{\\ul\\b "
                     "Gardening}}} {\\field{\\*\\fldinst{HYPERLINK \"https://example.com/a\"}}{\\fldrslt{\\ul in "
                     "winter}}} \\'96 {\\i tips}",
                     "\\par \\'95 two", "\\par \\pard\\li720 \\'95 inner", "\\par }"}));
    EXPECT_EQ(Html({"<ol start=3><li>c<li>d<li value=9>i<li>j</ol><li>stray"}),
              (Lines{"\\pard\\li360 3. c", "\\par 4. d", "\\par 9. i", "\\par 10. j", "\\par ", "\\par \\pard \\'95 stray",
                     "\\par }"}));
}

TEST(HtmlToRtf, EveryCharacterReference) {
    EXPECT_EQ(Html({"&lt;b&gt; &amp; &nbsp;x"}), (Lines{"<b> &  x", "\\par }"}));
    EXPECT_EQ(Html({"&eacute;&Eacute;&#233;&#xE9;&#8364;&quot;&apos;&LT;"}),
              (Lines{"\\'e9\\'c9\\'e9\\'e9\\'80\"'<", "\\par }"}));
    // Beyond Windows-1252, and beyond the first plane.
    EXPECT_EQ(Html({"Shop the sale &rarr; &le;&check;&hearts;&#x1F512;&NotEqualTilde;"}),
              (Lines{"Shop the sale \\u8594? \\u8804?\\u10003?\\u9829?\\u-10179?\\u-8942?\\u8770?\\u824?", "\\par }"}));
    // Numbers 128-159 are Windows-1252's; a zero or a surrogate is no character.
    EXPECT_EQ(Html({"&#150;&#x80;&#0;&#xD800;"}), (Lines{"\\'96\\'80\\u-3?\\u-3?", "\\par }"}));
    // Translated once, and a reference's braces and backslashes are text.
    EXPECT_EQ(Html({"&amp;lt; &#123;&#92; &bogus; & &#; &amp"}), (Lines{"&lt; \\{\\\\ &bogus; & &#; &", "\\par }"}));
    EXPECT_EQ(Html({"\xc3\xa9t\xc3\xa9 \xd0\x96"}), (Lines{"\\'e9t\\'e9 \\u1046?", "\\par }"}));
}

// What a browser does not show is no text: the head, styles, scripts,
// templates, comments (conditional ones too) and elements hidden by their
// attribute or inline style, such as a newsletter's preview text.
TEST(HtmlToRtf, OnlyVisibleTextIsKept) {
    const Lines in = {"<html><head><title>T</title>",
                      "<style>", "p { color: red; }", "</style>", "</head>",
                      "<body><script>if (a<b) x();</script>Hello <b>you</b>",
                      "<!--[if mso]><p>Outlook only</p><![endif]--><!-- note -->",
                      "<div style=\"display:none;max-height:0\">preview</div>",
                      "<span style=\"visibility: hidden\">v</span><p hidden>h</p>",
                      "<div style=\"max-height:0px; overflow:hidden\">m</div>",
                      "<div style=\"max-height:10px;overflow:hidden\">shown</div>",
                      "<template><p>t</p></template><![CDATA[c]]>",
                      "<img src=logo.png alt=\"Logo\"><img src=pixel.gif alt=\"\"> end</body></html>"};
    EXPECT_EQ(Html(in), (Lines{"Hello {\\b you}", "\\par shown", "\\par Logo end", "\\par }"}));
    // A head the writer never ends ends where the body begins.
    EXPECT_EQ(Html({"<html><head><title>T</title>", "<p>Hello</p>"}), (Lines{"Hello", "\\par }"}));
}

// A newsletter with its hidden preview text, a logo, a heading, a list of
// links behind tracking addresses, characters beyond Windows-1252, spacer
// paragraphs and a tracking pixel reads as its plain twin would; the links
// lead to their addresses and only to web and mail addresses; the text the
// reader shows is the text find and the spell checker see.
TEST(HtmlToRtf, ANewsletterReadsAsItsPlainTwin) {
    const std::string track =
        "https://click.example.com/ls/click?upn=aHR0cHM6Ly9leGFtcGxlLmNvbS9hcnRpY2xlcy9mcm9zdA-3D-3D_abcdefghijklmnop";
    const Lines in = {
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>body{font-family:Arial}</style></head>",
        "<body><div style=\"display:none;font-size:1px;max-height:0px;opacity:0;overflow:hidden;\">Frost is "
        "coming: five jobs for this weekend &zwnj;&nbsp;&zwnj;&nbsp;</div>",
        "<table role=\"presentation\" width=\"100%\"><tr><td align=\"center\"><table width=\"600\">",
        "<tr><td><img src=\"https://cdn.example.com/logo.png\" alt=\"Garden Post\"></td></tr><tr><td>",
        "<h1>Gardening in winter</h1><p>Hello Ann,</p><p>The first frost is near. Here is what to do&nbsp;now:</p>",
        "<ul><li><a href=\"" + track + "\">Gardening in winter</a> &ndash; tips</li>",
        "<li>Cover the <b>roses</b></li></ul>",
        "<p>Shop the sale &rarr; prices &le; &euro;10 &check;</p><p>&nbsp;</p><p>&nbsp;</p>",
        "<p>Cheers,<br>The Garden Post team</p></td></tr>",
        "<tr><td><img src=\"https://t.example.com/open.gif\" width=\"1\" height=\"1\" alt=\"\"></td></tr>",
        "</table></td></tr></table>",
        "<p><a href=\"https://example.com/unsubscribe?u=1\">Unsubscribe</a> | <a href=\"javascript:alert(1)\">Go</a>"
        " | <a href=\" file:///etc/passwd\">File</a></p></body></html>"};
    const Lines out = Html(in);
    const std::string rtf = Body(out);
    const TRichDocument doc = TRtfReader::Read(rtf);
    EXPECT_EQ(plaintext::Utf8(doc),
              "Garden Post\n\nGardening in winter\n\nHello Ann,\n\nThe first frost is near. Here is what to do now:\n\n"
              "\xe2\x80\xa2 Gardening in winter \xe2\x80\x93 tips\n\xe2\x80\xa2 Cover the roses\n\n"
              "Shop the sale \xe2\x86\x92 prices \xe2\x89\xa4 \xe2\x82\xac"
              "10 \xe2\x9c\x93\n\nCheers,\nThe Garden Post team\n\nUnsubscribe | Go | File\n");
    EXPECT_EQ(Utf8(TRtfText::Of(rtf)), plaintext::Utf8(doc));
    // The heading is bold and larger than the text.
    const auto& heading = doc.paragraphs[2].runs.at(0);
    EXPECT_TRUE(heading.format.bold);
    EXPECT_GT(heading.format.halfPoints, doc.paragraphs[4].runs.at(0).format.halfPoints);
    // The tracking address is not spelled out, yet the item leads to it.
    EXPECT_EQ(rtf.find(track), rtf.find("HYPERLINK \"" + track) + 11);
    std::vector<std::pair<std::string, std::string>> links;
    for (const auto& p : doc.paragraphs)
        for (const auto& r : p.runs)
            if (!r.format.link.empty()) links.emplace_back(Utf8(r.text), r.format.link);
    EXPECT_EQ(links, (std::vector<std::pair<std::string, std::string>>{
                         {"Gardening in winter", track}, {"Unsubscribe", "https://example.com/unsubscribe?u=1"}}));
    EXPECT_TRUE(doc.paragraphs[8].runs.at(1).format.underline);
    // Written back as a rich edit control writes, the links stay.
    EXPECT_NE(TRtfWriter::Write(doc).find("{\\field{\\*\\fldinst{HYPERLINK \"" + track + "\"}}{\\fldrslt{"),
              std::string::npos);
    EXPECT_EQ(TRtfReader::Read(TRtfWriter::Write(doc)).paragraphs[8].runs.at(1).format.link, track);
}

// A receipt: each table row a line, its cells apart by a tab, header cells
// bold; a layout table's empty cells put no tab in front of the text.
TEST(HtmlToRtf, AReceiptTableKeepsItsCellsApart) {
    const Lines in = {
        "<table><tr><td></td><td><h2>Your receipt</h2></td></tr></table>",
        "<table cellpadding=\"4\"><tr><th>Item</th><th>Qty</th><th>Price</th></tr>",
        "<tr><td>Garden gloves</td><td>1</td><td>&euro;19.99</td></tr>",
        "<tr><td>Seed mix &quot;Winter&quot;</td><td>2</td><td>\xe2\x82\xac" "7.50</td></tr>",
        "<tr><td colspan=\"2\"><b>Total</b></td><td><b>&#8364;34.99</b></td></tr></table>",
        "<p>Questions? Write to <a href=\"mailto:help@shop.example\">help@shop.example</a>.</p>"};
    EXPECT_EQ(Html(in), (Lines{"{\\b\\fs30 Your receipt}", "\\par ", "\\par {\\b Item}\\tab {\\b Qty}\\tab {\\b Price}",
                               "\\par Garden gloves\\tab 1\\tab \\'8019.99",
                               "\\par Seed mix \"Winter\"\\tab 2\\tab \\'807.50", "\\par {\\b Total}\\tab {\\b \\'8034.99}",
                               "\\par ",
                               "\\par Questions? Write to {\\field{\\*\\fldinst{HYPERLINK "
                               "\"mailto:help@shop.example\"}}{\\fldrslt{\\ul help@shop.example}}}.",
                               "\\par }"}));
}

// A webmail reply: the quoted message indented, the runs of line breaks
// the writer's mailer left made one empty line, preformatted text kept
// with its blanks and its empty line.
TEST(HtmlToRtf, AWebmailReplyIndentsTheQuoteAndKeepsPreformattedText) {
    const Lines in = {
        "<div dir=\"ltr\">Sounds good, see you at 7.<div><br></div><div>Ben</div></div><br>"
        "<div class=\"gmail_quote\"><div dir=\"ltr\" class=\"gmail_attr\">On Mon, 7 Dec 2026 at 18:02, Ann &lt;<a "
        "href=\"mailto:ann@example.org\">ann@example.org</a>&gt; wrote:<br></div><blockquote class=\"gmail_quote\" "
        "style=\"margin:0px 0px 0px 0.8ex\"><div dir=\"ltr\">Dinner   on\tFriday?<br><br><br><br>Ann</div>"
        "<blockquote>Older</blockquote></blockquote></div>",
        "<pre>",
        "  code   {line} 1",
        "",
        "",
        "end</pre>after"};
    EXPECT_EQ(Html(in), (Lines{"Sounds good, see you at 7.", "\\par ", "\\par Ben", "\\par ",
                               "\\par On Mon, 7 Dec 2026 at 18:02, Ann <{\\field{\\*\\fldinst{HYPERLINK "
                               "\"mailto:ann@example.org\"}}{\\fldrslt{\\ul ann@example.org}}}> wrote:",
                               "\\par ", "\\par \\pard\\li720 Dinner on Friday?", "\\par ", "\\par Ann", "\\par ",
                               "\\par \\pard\\li1440 Older", "\\par ", "\\par \\pard   code   \\{line\\} 1", "\\par ",
                               "\\par ", "\\par end", "\\par ", "\\par after", "\\par }"}));
}

// A notification whose button is a link: the button's text, leading to its
// long address; the steps numbered.
TEST(HtmlToRtf, ANotificationButtonLeadsToItsAddress) {
    const std::string review =
        "https://accounts.example.com/security/review?token=eyJhbGciOiJIUzI1NiJ9.eyJzdWIiOiIxMjM0NTY3ODkwIn0.abc";
    const Lines in = {"<table width=\"100%\"><tr><td><p>Hi Ann,</p>",
                      "<p>Someone signed in from a new device.</p>",
                      "<table><tr><td style=\"background:#0366d6\"><a href=\"" + review +
                          "\" style=\"color:#fff;text-decoration:none\"><img src=x.png alt=\"\"> Review activity</a>"
                          "</td></tr></table>",
                      "<ol><li>Check the device</li><li>Change your password</li></ol></td></tr></table>"};
    EXPECT_EQ(Html(in), (Lines{"Hi Ann,", "\\par ", "\\par Someone signed in from a new device.", "\\par ",
                               "\\par {\\field{\\*\\fldinst{HYPERLINK \"" + review +
                                   "\"}}{\\fldrslt{\\ul Review activity}}}",
                               "\\par ", "\\par \\pard\\li360 1. Check the device", "\\par 2. Change your password",
                               "\\par }"}));
}

// Nesting beyond what any browser keeps is flattened before the parser
// sees it, so that a hostile message converts in linear time; a long
// one-line document converts whole.
TEST(HtmlToRtf, DeepNestingAndLongLinesConvertWhole) {
    std::string deep;
    for (int i = 0; i < 50000; ++i) deep += "<div><font color=\"#" + std::to_string(i) + "\">";
    deep += "bottom";
    EXPECT_EQ(Html({deep}), (Lines{"bottom", "\\par }"}));
    std::string line;
    for (int i = 0; i < 20000; ++i) line += "<b>w" + std::to_string(i) + "</b><br>";
    const Lines out = Html({line});
    ASSERT_EQ(out.size(), 20001u);
    EXPECT_EQ(out[0], "{\\b w0}");
    EXPECT_EQ(out[19999], "\\par {\\b w19999}");
}

TEST(EnrichedToRtf, CommandsLineEndsAndParameters) {
    EXPECT_EQ(Enriched({"x<bold>y</bold>z <italic>i</italic> <underline>u</underline>"}),
              (Lines{"x{\\b y}z {\\i i} {\\ul u}", "\\par }"}));
    // One line end is a blank, n of them n - 1 line breaks; "<<" is a "<".
    EXPECT_EQ(Enriched({"Hello", "there,", "", "next <<para>", "", "", "last"}),
              (Lines{"Hello there,", "\\par next <para>", "\\par ", "\\par last", "\\par }"}));
    // Inside nofill every line end breaks; a parameter is no text.
    EXPECT_EQ(Enriched({"<nofill>a", "b</nofill> <color><param>red</param>c</color> <fontfamily><param>Times",
                        "</param>d</fontfamily>"}),
              (Lines{"a", "\\par b c d", "\\par }"}));
    // Sizes step by a point from the format file's and stop at two points.
    std::string tags;
    for (int i = 0; i < 9; ++i) tags += "<smaller>";
    EXPECT_EQ(Enriched({"<bigger>B</bigger><smaller>s</smaller>" + tags + "x"}),
              (Lines{"{\\fs18 B}{\\fs14 s}{\\fs4 x}", "\\par }"}));
    EXPECT_EQ(Enriched({"<excerpt>quoted", "</excerpt>", "after", "<b>{x}\\"}),
              (Lines{"\\pard\\li720 quoted", "\\par \\pard after \\{x\\}\\\\", "\\par }"}));
}
