#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/ToolRunner.h"

TEST(RtfTool, TextPrintsThePlainTextAsUtf8) {
    TTempDir dir;
    WriteFileOrDie(dir.File("a.rtf"), "{\\rtf1\\ansi caf\\'e9\\par \\u1078? two\\line three\\par}");
    const auto r = RunTool({"rtf", "text", dir.File("a.rtf")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "caf\xC3\xA9\n\xD0\xB6 two\nthree\n");
}

TEST(RtfTool, RoundtripPrintsTheRtfWeWrite) {
    TTempDir dir;
    WriteFileOrDie(dir.File("a.rtf"), "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 {\\b x}\\u1078?\\par}");
    const auto r = RunTool({"rtf", "roundtrip", dir.File("a.rtf")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
              "{\\colortbl ;\\red0\\green0\\blue0;}\r\n"
              "\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs20 \r\n"
              "x\\b0\\u1078?\\par \r\n"
              "}\r\n");
}

TEST(RtfTool, MissingFileAndWrongArguments) {
    TTempDir dir;
    const auto r = RunTool({"rtf", "text", dir.File("none.rtf")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Unable to read " + dir.File("none.rtf") + "\n");
    EXPECT_EQ(RunTool({"rtf"}).exitCode, 2);
    EXPECT_EQ(RunTool({"rtf", "print", "x"}).exitCode, 2);
    EXPECT_EQ(RunTool({"rtf", "text"}).exitCode, 2);
}
