#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

namespace {
class IniFileTest : public ::testing::Test {
protected:
    TTempDir dir;
    TRecordingPrompt prompt;
    std::string path = dir.File("Internet.ini");
    TIniFile ini{path, &prompt};
};
}  // namespace

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(ini.ReadString("Pop Settings", "Notify", "Beep"), "Beep");
    EXPECT_EQ(ini.Read(cfg::Width), 593);
    EXPECT_TRUE(ini.Read(cfg::Visible));
    WriteFileOrDie(path, "[Pop Settings]\r\nTimeOut=60\r\n");
    EXPECT_EQ(ini.Read(cfg::PopInterval), 0);
    EXPECT_EQ(ini.Read(cfg::PopTimeOut), 60);
    EXPECT_EQ(ini.ReadString("Other", "TimeOut", "d"), "d");
}

TEST_F(IniFileTest, IntegersHexAndInvalid) {
    WriteFileOrDie(path, "[Pop Settings]\r\nInterval=0x1E\r\n[A]\r\nB=30 min\r\nC=0x\r\nD= 12 \r\nE=\r\n");
    EXPECT_EQ(ini.Read(cfg::PopInterval), 30);
    EXPECT_EQ(ini.ReadInteger("A", "B", 0), 0);
    EXPECT_EQ(ini.ReadInteger("A", "C", 7), 7);
    EXPECT_EQ(ini.ReadInteger("A", "D", 0), 12);  // blanks around a value are not part of it
    EXPECT_EQ(ini.ReadInteger("A", "E", 5), 5);
    EXPECT_EQ(ini.ReadString("A", "E", "default"), "");  // a present empty value is not the default
}

TEST_F(IniFileTest, BooleansReadAsIntegersAndWriteAsDigits) {
    WriteFileOrDie(path, "[Proxy Server]\r\nUse=2\r\n");
    EXPECT_TRUE(ini.Read(cfg::ProxyUse));
    ASSERT_TRUE(ini.Write(cfg::AutoDial, true));
    EXPECT_EQ(ini.ReadString("Dialup", "Auto Dial", ""), "1");
    ASSERT_TRUE(ini.Write(cfg::AutoDial, false));
    EXPECT_EQ(ini.ReadString("Dialup", "Auto Dial", ""), "0");
    EXPECT_FALSE(ini.Read(cfg::AutoDial));
}

TEST_F(IniFileTest, SectionsAndKeysIgnoreCase) {
    ASSERT_TRUE(ini.WriteString("Default Settings", "Font Name", "Arial"));
    EXPECT_EQ(ini.ReadString("default settings", "FONT NAME", ""), "Arial");
    ASSERT_TRUE(ini.WriteString("DEFAULT SETTINGS", "font name", "Courier"));
    // The existing line was changed, not a second one added.
    EXPECT_EQ(ReadFileOrEmpty(path), "[Default Settings]\r\nFont Name=Courier\r\n");
}

TEST_F(IniFileTest, WritesKeepEveryOtherLine) {
    const std::string original =
        "; my settings\r\n"
        "garbage line without equals\r\n"
        "[Control Center]\r\n"
        "Top=10\r\n"
        "\r\n"
        "Unknown Key = kept\r\n"
        "[Pop Settings]\n"  // a hand-edited line with a bare LF
        "Interval=5";       // and no final line end
    WriteFileOrDie(path, original);
    ASSERT_TRUE(ini.Write(cfg::Top, 20));
    ASSERT_TRUE(ini.Write(cfg::Left, 3));
    ASSERT_TRUE(ini.Write(cfg::PopTimeOut, 90));
    ASSERT_TRUE(ini.WriteString("New Section", "K", "v"));
    EXPECT_EQ(ReadFileOrEmpty(path),
              "; my settings\r\n"
              "garbage line without equals\r\n"
              "[Control Center]\r\n"
              "Top=20\r\n"
              "\r\n"
              "Unknown Key = kept\r\n"
              "Left=3\r\n"
              "[Pop Settings]\n"
              "Interval=5\r\n"
              "TimeOut=90\r\n"
              "[New Section]\r\n"
              "K=v\r\n");
    EXPECT_EQ(ini.ReadString("Control Center", "unknown key", ""), "kept");
}

TEST_F(IniFileTest, HandEditsAreSeenAtTheNextRead) {
    ASSERT_TRUE(ini.Write(cfg::PopTimeOut, 60));
    EXPECT_EQ(ini.Read(cfg::PopTimeOut), 60);
    WriteFileOrDie(path, "[Pop Settings]\r\nTimeOut=61\r\n");  // same length, another value
    EXPECT_EQ(ini.Read(cfg::PopTimeOut), 61);
    // A second object on the same file sees the first one's writes.
    TIniFile other(path);
    ASSERT_TRUE(other.Write(cfg::PopTimeOut, 62));
    EXPECT_EQ(ini.Read(cfg::PopTimeOut), 62);
}

TEST_F(IniFileTest, LongValuesAreCutAt1023Characters) {
    const std::string longValue(5000, 'v');
    ASSERT_TRUE(ini.WriteString("S", "K", longValue));
    EXPECT_EQ(ini.ReadString("S", "K", ""), std::string(1023, 'v'));
    EXPECT_NE(ReadFileOrEmpty(path).find(longValue), std::string::npos);  // stored whole
}

TEST_F(IniFileTest, GarbageAndNulBytesReadAndSurviveRewrite) {
    std::string junk("[S]\r\nA=1\r\n\x01\x02\xff\xfe\r\n", 16);
    junk += std::string("bin\0ary=x\r\n", 11);
    junk += std::string(100000, 'z') + "\r\n[";
    WriteFileOrDie(path, junk);
    EXPECT_EQ(ini.ReadInteger("S", "A", 0), 1);
    ASSERT_TRUE(ini.WriteInteger("S", "A", 2));
    const std::string after = ReadFileOrEmpty(path);
    EXPECT_EQ(after.size(), junk.size());
    EXPECT_EQ(after.substr(10), junk.substr(10));
    EXPECT_EQ(ini.ReadInteger("S", "A", 0), 2);
}

TEST_F(IniFileTest, FirstSectionAndFirstKeyWin) {
    WriteFileOrDie(path, "[S]\r\nK=first\r\nK=second\r\n[s]\r\nK=third\r\nOnly=later\r\n");
    EXPECT_EQ(ini.ReadString("S", "K", ""), "first");
    EXPECT_EQ(ini.ReadString("S", "Only", "none"), "none");
}

TEST_F(IniFileTest, ValuesStayOnOneLine) {
    ASSERT_TRUE(ini.WriteString("S", "K", "a\r\n[Evil]\r\nX=1"));
    EXPECT_EQ(ini.ReadString("Evil", "X", "absent"), "absent");
}

TEST_F(IniFileTest, DeleteKeyAndRemoveLine) {
    WriteFileOrDie(path, "[Mail Boxes]\r\nWork=/data/\r\nHome=/data/\r\n");
    ASSERT_TRUE(ini.DeleteKey("mail boxes", "work"));
    EXPECT_FALSE(ini.HasKey("Mail Boxes", "Work"));
    ASSERT_TRUE(ini.RemoveLine("Home=/data/"));
    EXPECT_EQ(ReadFileOrEmpty(path), "[Mail Boxes]\r\n");
    EXPECT_TRUE(ini.RemoveLine("not there"));
}

TEST_F(IniFileTest, ReadKeysInFileOrder) {
    WriteFileOrDie(path, "[Mail Boxes]\r\nIn Box=/d/\r\n; note\r\nWork=/w/\r\n[Other]\r\nX=1\r\n");
    EXPECT_EQ(ini.ReadKeys("MAIL BOXES"), (std::vector<std::string>{"In Box", "Work"}));
    EXPECT_TRUE(ini.ReadKeys("None").empty());
}

TEST_F(IniFileTest, RefusedWriteReportsTheFullPath) {
    if (::geteuid() == 0) {
        // root ignores folder permissions; a path below a file fails for everyone
        TIniFile bad(dir.File("file/Internet.ini"), &prompt);
        WriteFileOrDie(dir.File("file"), "");
        EXPECT_FALSE(bad.WriteString("S", "K", "v"));
        ASSERT_EQ(prompt.Errors().size(), 1u);
        EXPECT_EQ(prompt.Errors()[0], "Unable to write to " + dir.File("file/Internet.ini"));
        return;
    }
    WriteFileOrDie(path, "[S]\r\nK=old\r\n");
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);
    EXPECT_FALSE(ini.WriteString("S", "K", "new"));
    ::chmod(dir.Path().c_str(), 0755);
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0], "Unable to write to " + path);
    EXPECT_EQ(ini.ReadString("S", "K", ""), "old");
}
