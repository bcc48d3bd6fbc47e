// What the decoder hands its sink: both readers build on it, so a word
// reaching the sink from text that is not read, or a group that does not
// give back its format, would show in the windows and the search alike.
#include <gtest/gtest.h>

#include <string>

#include "RtfTestUtil.h"
#include "richtext/RtfDecoder.h"

namespace {

// Writes down every call; its format is the last \fs of the group, so that
// saving and restoring with the groups shows.
struct TLogSink {
    using TDecoder = TRtfDecoder<TLogSink, int>;

    TDecoder* decoder = nullptr;
    std::string log;

    void Char(char32_t c) { log += Utf8(std::u32string(1, c)); }
    void Text(std::string_view ascii) { log += ascii; }
    void Paragraph() { log += "|" + std::to_string(decoder->Format()) + "/" + std::to_string(decoder->FontNumber()); }
    void FormatChanged() {}
    void Font(int number, const std::u32string& name) { log += "[f" + std::to_string(number) + "=" + Utf8(name) + "]"; }
    void ColorEnd() { log += ";"; }
    void Link(const std::string& url) { log += "<link=" + url + ">"; }
    void Word(rtfwords::TWord w, bool hasParam, std::int64_t param) {
        using rtfwords::TWord;
        switch (w) {
            case TWord::B:
                log += "<b";
                break;
            case TWord::I:
                log += "<i";
                break;
            case TWord::Fs:
                log += "<fs";
                decoder->Format() = static_cast<int>(param);
                break;
            case TWord::Plain:
                log += "<plain";
                break;
            case TWord::Pn:
                log += decoder->OuterFormat() ? "<pn^" : "<pn";
                break;
            case TWord::ColorTable:
                log += "<colortbl";
                break;
            case TWord::Red:
                log += "<red";
                break;
            case TWord::Green:
                log += "<green";
                break;
            case TWord::Blue:
                log += "<blue";
                break;
            default:
                log += "<?";
                break;
        }
        log += (hasParam ? std::to_string(param) : "") + ">";
    }
};

std::string Log(std::string_view rtf) {
    TLogSink sink;
    TLogSink::TDecoder decoder(rtf, sink);
    sink.decoder = &decoder;
    EXPECT_FALSE(decoder.Read(rtf.size()));
    return sink.log;
}

}  // namespace

TEST(RtfDecoder, TextThatIsNotReadGivesTheSinkNothing) {
    // Starred and known skipped groups, the fallback after \u (a control
    // word counts as one character) and the text of a numbering.
    EXPECT_EQ(Log("{\\rtf1 a{\\*\\x \\b b}{\\pict\\b c}{\\info{\\title t}}\\u8364\\b d\\par"
                  "\\'e9 {\\*\\pn\\pnlvlblt{\\pntxtb x}}\\i e}after"),
              "a\xE2\x82\xAC"
              "d|0/0\xC3\xA9 <pn^><i>e");
}

TEST(RtfDecoder, FontAndColourTablesReachTheSinkEntryByEntry) {
    // The name is decoded in the font's charset; a number defined again
    // without a name keeps its font and tells the sink nothing.
    EXPECT_EQ(Log("{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fcharset204 \\'c0\\'c1;}{\\f0;}}"
                  "{\\colortbl ;\\red255\\green0\\blue9;}x}"),
              "[f0=Arial][f1=\xD0\x90\xD0\x91]<colortbl>;<red255><green0><blue9>;x");
}

TEST(RtfDecoder, GroupsGiveBackTheSinksFormatAndTheFont) {
    // \plain goes back to the \deff font; a closing group restores both.
    EXPECT_EQ(Log("{\\rtf1\\deff2\\fs1 a\\par{\\fs2\\f3 b\\par{\\fs3\\plain c\\par}d\\par}e\\par}"),
              "<fs1>a|1/2<fs2>b|2/3<fs3><plain>c|3/2d|2/3e|1/2");
    // Groups past the depth limit share their parent's state and have no
    // outer format of their own.
    const std::string deep = "{\\rtf1" + std::string(TRtfReader::kMaxDepth - 2, '{') + "{\\pn}{{\\pn}}" +
                             std::string(TRtfReader::kMaxDepth - 2, '}') + "}";
    EXPECT_EQ(Log(deep), "<pn^><pn>");
}

TEST(RtfDecoder, SlicesStopBetweenWordsAndFinishTheLastCharacter) {
    // A Shift-JIS pair waits for its second byte across the slice, and the
    // last pair of an unclosed document is decoded when the input ends.
    const std::string rtf = "{\\rtf1{\\fonttbl{\\f0\\fcharset128 G;}}\\f0\\'82\\'b1\\'82\\'f1";
    TLogSink sink;
    TLogSink::TDecoder decoder(rtf, sink);
    sink.decoder = &decoder;
    std::size_t reads = 0;
    while (decoder.Read(3)) ++reads;
    EXPECT_GT(reads, rtf.size() / 8);
    EXPECT_EQ(sink.log, "[f0=G]\xE3\x81\x93\xE3\x82\x93");
}
