#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>
#include <QTest>

#include "app/gui/ControlCenter.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

namespace {
class ControlCenterTest : public ::testing::Test {
protected:
    TTempDir dir;
    TRecordingPrompt prompt;
    TIniFile ini{dir.File("Internet.ini"), &prompt};
};
}  // namespace

TEST_F(ControlCenterTest, PagesCaptionAndStatusLine) {
    TControlCenter w(ini, prompt);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Fenmarch Skiffpost"));
    const QStringList expected{"Mail Messages", "Address Book", "Signature Files", "Message Filters",
                               "Internet Servers"};
    ASSERT_EQ(w.Pages()->count(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(w.Pages()->tabText(i), expected[i]);
    EXPECT_FALSE(w.Progress()->isVisible());
}

TEST_F(ControlCenterTest, GeometryRoundTripsThroughTheConfiguration) {
    ini.Write(cfg::Left, 40);
    ini.Write(cfg::Top, 30);
    ini.Write(cfg::Width, 640);
    ini.Write(cfg::Height, 480);
    {
        TControlCenter w(ini, prompt);
        w.Initialise();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        EXPECT_EQ(w.width(), 640);
        EXPECT_EQ(w.height(), 480);
        w.resize(700, 500);
        w.move(55, 66);
        QTest::qWait(400);  // the geometry is written once a burst of moves is over
        w.close();
    }
    EXPECT_EQ(ini.Read(cfg::Width), 700);
    EXPECT_EQ(ini.Read(cfg::Height), 500);
    EXPECT_EQ(ini.Read(cfg::Left), 55);
    EXPECT_EQ(ini.Read(cfg::Top), 66);
    EXPECT_TRUE(ini.Read(cfg::Visible));
    EXPECT_EQ(ini.Read(cfg::WindowState), 0);
    EXPECT_TRUE(ini.HasKey("Control Center", "Visible"));
}

TEST_F(ControlCenterTest, ClosingShowsShuttingDownAndMaximizedIsKept) {
    TControlCenter w(ini, prompt);
    w.Initialise();
    w.showMaximized();
    QApplication::processEvents();
    w.close();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Shutting down..."));
    EXPECT_EQ(ini.Read(cfg::WindowState), 2);
}

TEST_F(ControlCenterTest, MinimizedAtCloseStartsNormal) {
    TControlCenter w(ini, prompt);
    w.Initialise();
    w.showMinimized();
    QApplication::processEvents();
    w.close();
    EXPECT_EQ(ini.Read(cfg::WindowState), 0);
}

TEST_F(ControlCenterTest, CommandRequestIsActedOnAndCleared) {
    ini.Write(cfg::Command, "jane@example.com");
    TControlCenter w(ini, prompt);
    w.Initialise();
    EXPECT_EQ(w.findChild<QLabel*>("StatusBar")->text(), QStringLiteral("Writing a new message to jane@example.com"));
    EXPECT_EQ(ini.Read(cfg::Command), "");
    EXPECT_TRUE(ini.HasKey("Control Center", "Command"));
    w.close();
}

TEST_F(ControlCenterTest, HiddenWhenVisibleIsOff) {
    ini.Write(cfg::Visible, false);
    TControlCenter w(ini, prompt);
    w.Initialise();
    EXPECT_FALSE(w.isVisible());
    w.close();
    EXPECT_FALSE(ini.Read(cfg::Visible));
}
