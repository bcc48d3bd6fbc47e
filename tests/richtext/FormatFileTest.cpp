#include <gtest/gtest.h>

#include <filesystem>

#include "RtfTestUtil.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "richtext/FormatFile.h"
#include "support/TempDir.h"
#include "support/ToolRunner.h"

namespace {

class FormatFileTest : public ::testing::Test {
protected:
    TTempDir dir;
    TIniFile config{dir.File("Internet.ini")};

    // Lines as a stored body is written: each followed by CR LF.
    static std::string Stored(const std::vector<std::string>& lines) {
        std::string s;
        for (const auto& l : lines) s += l + "\r\n";
        return s;
    }
    // Received text: the header joined without separator as the first line,
    // then the converted lines.
    std::string Received(const std::vector<std::string>& converted) const {
        std::vector<std::string> body{TFormatFile::Joined(TFormatFile::Lines(config))};
        body.insert(body.end(), converted.begin(), converted.end());
        return Stored(body);
    }
};

}  // namespace

TEST_F(FormatFileTest, DefaultsGiveTheEmptyDocumentWithoutItsLastLine) {
    const auto lines = TFormatFile::Lines(config);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}}");
    EXPECT_EQ(lines[1], "{\\colortbl ;\\red0\\green0\\blue0;}");
    EXPECT_EQ(lines[2], "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs16 ");
    EXPECT_EQ(TFormatFile::NewBody(lines).back(), "\\par }");
}

TEST_F(FormatFileTest, NewBodyReadsAsOneEmptyParagraphInTheDefaultFont) {
    config.Write(cfg::FontName, "Arial");
    config.Write(cfg::FontSize, 12);
    config.Write(cfg::FontColor, 0x0000FF);
    config.Write(cfg::FontBold, true);
    config.Write(cfg::Align, 2);
    const auto doc = TRtfReader::Read(Stored(TFormatFile::NewBody(TFormatFile::Lines(config))));
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    const auto& p = doc.paragraphs[0];
    EXPECT_TRUE(p.runs.empty());
    EXPECT_EQ(p.markFormat, (TCharFormat{"Arial", 24, 0x0000FF, true, false, false, false, {}}));
    EXPECT_EQ(p.format, (TParaFormat{TAlignment::Center, false, 0, 0}));
    EXPECT_EQ(doc.defaultChar, p.markFormat);
}

TEST_F(FormatFileTest, BulletsTakeTheBulletIndentInPoints) {
    config.Write(cfg::Bullets, true);
    config.Write(cfg::BulletIndent, 15);
    config.Write(cfg::Align, 3);
    const auto doc = TRtfReader::Read(Stored(TFormatFile::NewBody(TFormatFile::Lines(config))));
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    EXPECT_EQ(doc.paragraphs[0].format, (TParaFormat{TAlignment::Right, true, 300, 0}));
    // Typed text after the header is bulleted too.
    const auto typed = TRtfReader::Read(Received({"one", "\\par two", "\\par }"}));
    ASSERT_EQ(typed.paragraphs.size(), 2u);
    EXPECT_TRUE(typed.paragraphs[1].format.bullet);
    EXPECT_EQ(plaintext::Utf8(typed), "one\ntwo\n");
}

TEST_F(FormatFileTest, ConvertedPlainTextAfterTheHeader) {
    config.Write(cfg::FontName, "Courier New");
    // The plain conversion of the lines a{b and c\d.
    const auto doc = TRtfReader::Read(Received({"a\\{b", "\\par c\\\\d", "\\par }"}));
    EXPECT_EQ(plaintext::Utf8(doc), "a{b\nc\\d\n");
    for (const auto& p : doc.paragraphs) EXPECT_EQ(p.runs.at(0).format.fontName, "Courier New");
    // An empty body converts to the single line "\par }".
    const auto empty = TRtfReader::Read(Received({"\\par }"}));
    ASSERT_EQ(empty.paragraphs.size(), 1u);
    EXPECT_EQ(empty.paragraphs[0].markFormat.fontName, "Courier New");
    // A first line starting with a blank or a digit keeps it.
    EXPECT_EQ(plaintext::Utf8(TRtfReader::Read(Received({" 42 apples", "\\par }"}))), " 42 apples\n");
}

TEST_F(FormatFileTest, ConvertedHtmlAfterTheHeader) {
    config.Write(cfg::FontSize, 10);
    const auto doc = TRtfReader::Read(Received({"x{\\b y}z", "\\par }"}));
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    const auto& runs = doc.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, U"x");
    EXPECT_EQ(runs[1].text, U"y");
    EXPECT_EQ(runs[2].text, U"z");
    EXPECT_FALSE(runs[0].format.bold);
    EXPECT_TRUE(runs[1].format.bold);
    EXPECT_FALSE(runs[2].format.bold);
    for (const auto& r : runs) {
        EXPECT_EQ(r.format.fontName, "MS Sans Serif");
        EXPECT_EQ(r.format.halfPoints, 20);
    }
    // A line break: "a" and "\par b".
    EXPECT_EQ(plaintext::Utf8(TRtfReader::Read(Received({"a", "\\par b", "\\par }"}))), "a\nb\n");
    // A bold tag left open: its group is closed by the first of two "\par }",
    // the second adds an empty paragraph.
    const auto open = TRtfReader::Read(Received({"{\\b bold", "\\par }", "\\par }"}));
    EXPECT_EQ(plaintext::Utf8(open), "bold\n\n");
    EXPECT_TRUE(open.paragraphs.at(0).runs.at(0).format.bold);
    // The smaller size of the converter: \fs14 at size 8.
    const auto small = TRtfReader::Read(Received({"{\\fs14 s}", "\\par }"}));
    EXPECT_EQ(small.paragraphs.at(0).runs.at(0).format.halfPoints, 14);
}

TEST_F(FormatFileTest, WriteReplacesTheFileWithCrLfLines) {
    const std::string path = dir.File("Internet.fmt");
    WriteFileOrDie(path, "old content that is longer than the new one ..................................");
    ASSERT_TRUE(TFormatFile::Write(config, path));
    const std::string data = ReadFileOrEmpty(path);
    EXPECT_EQ(data, Stored(TFormatFile::Lines(config)));
    EXPECT_EQ(TFormatFile::Read(path), TFormatFile::Lines(config));
    EXPECT_FALSE(TFormatFile::Read(dir.File("missing.fmt")));
    WriteFileOrDie(dir.File("afile"), "");
    EXPECT_FALSE(TFormatFile::Write(config, dir.File("afile/Internet.fmt")));
}

TEST_F(FormatFileTest, FontNameOutsideAsciiSurvives) {
    config.Write(cfg::FontName, "Sch\xF6n");  // stored as Windows-1252
    const auto doc = TRtfReader::Read(Stored(TFormatFile::NewBody(TFormatFile::Lines(config))));
    EXPECT_EQ(doc.paragraphs.at(0).markFormat.fontName, "Sch\xC3\xB6n");
}

TEST_F(FormatFileTest, OutOfRangeSettingsAreClamped) {
    config.Write(cfg::FontSize, -5);
    config.Write(cfg::FontColor, -1);
    config.Write(cfg::Align, 9);
    const auto doc = TFormatFile::DefaultDocument(config);
    EXPECT_EQ(doc.defaultChar.halfPoints, 2);
    EXPECT_EQ(doc.defaultChar.color, 0xFFFFFFu);
    EXPECT_EQ(doc.defaultPara.alignment, TAlignment::Left);
}

TEST_F(FormatFileTest, ToolWritesTheFormatFileIntoTheDataFolder) {
    std::filesystem::create_directories(dir.File("prog/Data"));
    WriteFileOrDie(dir.File("prog/Data/Internet.ini"), "[Default Settings]\r\nFont Name=Arial\r\nFont Size=11\r\n");
    const auto r = RunTool({"--program-folder", dir.File("prog"), "fmt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, dir.File("prog/Data/Internet.fmt") + "\n");
    const auto lines = TFormatFile::Read(dir.File("prog/Data/Internet.fmt"));
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->at(0), "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}");
    EXPECT_EQ(lines->at(2), "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs22 ");
    EXPECT_EQ(RunTool({"--program-folder", dir.File("prog"), "fmt", "extra"}).exitCode, 2);
}
