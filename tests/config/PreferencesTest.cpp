#include <gtest/gtest.h>

#include "app/CheckInterval.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "config/Preferences.h"
#include "support/TempDir.h"

using TNotify = TPreferences::TNotify;

TEST(Preferences, FirstRunDefaults) {
    TTempDir dir;
    TIniFile config(dir.File("Internet.ini"));
    const auto p = TPreferences::Load(config, "/opt/skfp/");
    EXPECT_EQ(p.popTimeOut, 120);
    EXPECT_EQ(p.smtpTimeOut, 120);
    EXPECT_TRUE(p.recordMessages);
    EXPECT_EQ(p.width, 600);
    EXPECT_EQ(p.height, 400);
    EXPECT_EQ(p.fontName, "MS Sans Serif");
    EXPECT_EQ(p.fontSize, 8);
    EXPECT_EQ(p.padColor, 16777215);
    EXPECT_EQ(p.mailNotify, TNotify::Beep);
    EXPECT_EQ(p.mailFile, "");
    EXPECT_FALSE(p.richText);
    EXPECT_EQ(p.defaultServer, "No server present");
    EXPECT_EQ(p.priority, 1);
    EXPECT_EQ(p.align, 1);
    EXPECT_EQ(p.bulletIndent, 5);
    EXPECT_TRUE(p.showMessage);
    EXPECT_EQ(p.firstName, "");
    // Reading wrote nothing.
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Internet.ini")), "");

    // Play Sound without a file offers the sound beside the program.
    config.WriteString("Pop Settings", "Notify", "Play Sound");
    EXPECT_EQ(TPreferences::Load(config, "/opt/skfp/").mailFile, "/opt/skfp/NewMail.Wav");
    config.WriteString("Pop Settings", "Notify", "Flash");
    EXPECT_EQ(TPreferences::Load(config, "/opt/skfp/").mailNotify, TNotify::None);
    config.WriteInteger("SMTP Settings", "Priority", 7);
    EXPECT_EQ(TPreferences::Load(config, "/opt/skfp/").priority, 1);
}

TEST(Preferences, WrittenKeys) {
    TTempDir dir;
    TIniFile config(dir.File("Internet.ini"));
    auto p = TPreferences::Load(config, "/opt/skfp/");
    p.firstName = "Ann";
    p.interval = 5;
    p.richText = true;
    p.align = 0;  // no button checked
    p.fontBold = TPreferences::FontBoldKey(true, true);
    p.mailNotify = TNotify::None;
    p.alarmNotify = TNotify::RunProgram;
    p.alarmFile = "/usr/bin/true";
    ASSERT_TRUE(p.Save(config));
    EXPECT_EQ(config.ReadString("Default Settings", "Font Bold", "?"), "0");
    EXPECT_EQ(config.ReadString("Default Settings", "Message Type", "?"), "RTF");
    EXPECT_EQ(config.ReadString("Default Settings", "Align", "?"), "3");
    EXPECT_FALSE(config.HasKey("Pop Settings", "Notify"));  // none chosen: not written
    EXPECT_EQ(config.ReadString("Alarms", "Notify", "?"), "Run Program");
    EXPECT_EQ(config.ReadString("User", "First", "?"), "Ann");
    EXPECT_EQ(checkinterval::Milliseconds(config.Read(cfg::PopInterval)), 300000);
    EXPECT_TRUE(TPreferences::FontBoldKey(true, false));
    EXPECT_FALSE(TPreferences::FontBoldKey(false, true));

    const auto back = TPreferences::Load(config, "/opt/skfp/");
    EXPECT_EQ(back.firstName, "Ann");
    EXPECT_TRUE(back.richText);
    EXPECT_EQ(back.alarmFile, "/usr/bin/true");

    // A file the system refuses to write: the save says so.
    TIniFile locked(dir.File("no/such/Internet.ini"));
    EXPECT_FALSE(p.Save(locked));
}
