#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>
#include <filesystem>

#include "app/gui/ControlCenter.h"
#include "app/gui/FMListView.h"
#include "app/gui/HelpWindow.h"
#include "app/gui/MailPage.h"
#include "app/gui/MainActions.h"
#include "app/gui/MainToolbar.h"
#include "app/gui/PasswordDlg.h"
#include "app/gui/PopupMenus.h"
#include "app/gui/TrayIcon.h"
#include "common/gui/QtPrompt.h"
#include "common/gui/QtText.h"
#include "compose/gui/SRichEdit.h"
#include "config/ConfigKeys.h"
#include "support/gui/DataFolderFixture.h"
#include "support/gui/WhenShown.h"

namespace {
// The window on its own, without a store.
class ControlCenterTest : public DataFolderFixture {};

QStringList VisibleMenus(QMainWindow& w) {
    QStringList titles;
    for (QAction* a : w.menuBar()->actions())
        if (a->isVisible()) titles << a->text();
    return titles;
}
}  // namespace

TEST_F(ControlCenterTest, PagesCaptionAndStatusLine) {
    TControlCenter w(ini, folders, prompt);
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
        TControlCenter w(ini, folders, prompt);
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

TEST_F(ControlCenterTest, HintsStaySevenSecondsAndTheStateIsWrittenOnEveryResize) {
    TControlCenter w(ini, folders, prompt);
    w.Initialise();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QToolButton* view = w.Toolbar()->BView;
    QHelpEvent hint(QEvent::ToolTip, QPoint(5, 5), view->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(view, &hint);
    EXPECT_EQ(view->toolTipDuration(), 7000);
    QToolTip::hideText();
    // A state the file holds from elsewhere is put right by a resize, not
    // only by a change of state.
    ini.Write(cfg::WindowState, 7);
    w.resize(650, 450);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ini.Read(cfg::WindowState) == 0; }, 5000));
}

TEST_F(ControlCenterTest, ClosingShowsShuttingDownAndMaximizedIsKept) {
    TControlCenter w(ini, folders, prompt);
    w.Initialise();
    w.showMaximized();
    QApplication::processEvents();
    w.close();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Shutting down..."));
    EXPECT_EQ(ini.Read(cfg::WindowState), 2);
}

TEST_F(ControlCenterTest, MinimizedAtCloseStartsNormal) {
    TControlCenter w(ini, folders, prompt);
    w.Initialise();
    w.showMinimized();
    QApplication::processEvents();
    w.close();
    EXPECT_EQ(ini.Read(cfg::WindowState), 0);
}

TEST_F(ControlCenterTest, CommandRequestIsActedOnAndCleared) {
    ini.Write(cfg::Command, "jane@example.com");
    TControlCenter w(ini, folders, prompt);
    w.Initialise();
    EXPECT_EQ(w.StatusText(), QStringLiteral("Writing a new message to jane@example.com"));
    EXPECT_EQ(ini.Read(cfg::Command), "");
    EXPECT_TRUE(ini.HasKey("Control Center", "Command"));
    w.close();
}

TEST_F(ControlCenterTest, HiddenWhenVisibleIsOffLivesInTheTray) {
    ini.Write(cfg::Visible, false);
    TControlCenter w(ini, folders, prompt);
    w.Tray().SetAvailable(true);
    w.Initialise();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.Tray().Active());
    w.close();
    EXPECT_FALSE(ini.Read(cfg::Visible));
    EXPECT_FALSE(w.Tray().Active());
}

TEST_F(ControlCenterTest, WithoutATrayAHiddenStartStillShowsTheWindow) {
    ini.Write(cfg::Visible, false);
    TControlCenter w(ini, folders, prompt);
    w.Tray().SetAvailable(false);
    w.Initialise();
    EXPECT_TRUE(w.isVisible());
    // Minimizing with "Hide CC" on keeps the window where the user can find it.
    w.showMinimized();
    QTest::qWait(50);
    EXPECT_TRUE(w.isVisible());
    w.close();
}

TEST_F(ControlCenterTest, TrayFollowsHideCCAndHideTray) {
    TControlCenter w(ini, folders, prompt);
    w.Tray().SetAvailable(true);
    w.Initialise();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.Tray().Active());  // "Hide Tray" on: no icon beside a shown window
    w.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 2000));  // "Hide CC" on
    EXPECT_TRUE(w.Tray().Active());
    w.ShowFromTray();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
    EXPECT_FALSE(w.Tray().Active());

    ini.Write(cfg::HideTray, false);
    ini.Write(cfg::HideCC, false);
    w.hide();
    w.show();
    EXPECT_TRUE(w.Tray().Active());
    w.showMinimized();
    QTest::qWait(50);
    EXPECT_TRUE(w.isVisible());  // "Hide CC" off: minimized stays on the task bar

    QStringList items;
    for (QAction* a : w.TrayPopup()->actions()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items, (QStringList{"Show", "Check Mail", "-", "Import", "Find Message", "-", "Close"}));
    EXPECT_EQ(w.TrayPopup()->defaultAction()->text(), QStringLiteral("Show"));
    w.Tray().SetToolTip(QString(70, QLatin1Char('t')));
    EXPECT_EQ(w.Tray().ToolTip().size(), 62);
    w.TrayPopup()->actions().last()->trigger();  // "Close"
    EXPECT_FALSE(w.Tray().Active());
}

TEST_F(ControlCenterTest, ToolbarHasTwelveButtonsInOrder) {
    TControlCenter w(ini, folders, prompt);
    QStringList captions;
    for (QToolButton* b : w.Toolbar()->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        if (!b->text().isEmpty()) captions << b->text();
    EXPECT_EQ(captions, (QStringList{"Message", "View", "Print", "Rename", "Delete", "Import", "Export", "Search",
                                     "Check", "Stop", "Empty", "Setup"}));
    EXPECT_EQ(w.Toolbar()->BView->toolTip(), QStringLiteral("View selected message"));
    EXPECT_TRUE(w.Toolbar()->BDelete->toolTip().isEmpty());
}

TEST_F(ControlCenterTest, HintsOffKeepsOnlyTheStopHint) {
    ini.Write(cfg::Hints, false);
    TControlCenter w(ini, folders, prompt);
    w.Initialise();
    EXPECT_TRUE(w.Toolbar()->BView->toolTip().isEmpty());
    EXPECT_EQ(w.Toolbar()->CancelMail->toolTip(), QStringLiteral("Stop Mail Operations"));
    w.close();
}

TEST_F(ControlCenterTest, MenuSystemOffLeavesUtilitiesAndView) {
    {
        TControlCenter w(ini, folders, prompt);
        w.Initialise();
        EXPECT_EQ(VisibleMenus(w), (QStringList{"&File", "&Edit", "Utilities", "&Setup", "&View", "&Help"}));
        w.close();
    }
    ini.Write(cfg::MenuSystem, false);
    TControlCenter w(ini, folders, prompt);
    w.Initialise();
    EXPECT_EQ(VisibleMenus(w), (QStringList{"Utilities", "&View"}));
    w.close();
}

TEST_F(ControlCenterTest, AFreshConfigurationKeepsTheInitialColumnWidthsAndASavedWidthWins) {
    ini.WriteInteger("Filters Box", "3", 180);
    {
        TControlCenter w(ini, folders, prompt);
        w.Initialise();
        int columns = 0;
        for (const auto& [list, section] : w.Lists()) columns += list->ColumnCount();
        EXPECT_EQ(columns, 5 + 4 + 1 + 6 + 3);
        const auto [messages, messageSection] = w.Lists()[0];
        EXPECT_GT(messages->columnWidth(0), 50) << "Subject";
        const auto widths = [](TFMListView* list) {
            QList<int> out;
            for (int i = 0; i < list->ColumnCount(); ++i) out << list->columnWidth(i);
            return out;
        };
        EXPECT_EQ(widths(w.Lists()[1].first), (QList<int>{200, 200, 100, 100}));
        EXPECT_EQ(widths(w.Lists()[2].first), (QList<int>{300}));
        EXPECT_EQ(widths(w.Lists()[3].first), (QList<int>{200, 50, 50, 180, 100, 100}));
        EXPECT_EQ(widths(w.Lists()[4].first), (QList<int>{200, 200, 200}));
        w.MailPage()->StickitLB->setColumnWidth(0, 222);
        w.close();
    }
    EXPECT_EQ(ini.ReadInteger("Stickit Titles Box", "0", 0), 222);
    EXPECT_EQ(ini.ReadInteger("Filters Box", "3", 0), 180);
    EXPECT_EQ(ini.ReadInteger("Internet Servers", "2", 0), 200);
    TControlCenter again(ini, folders, prompt);
    again.Initialise();
    EXPECT_EQ(again.MailPage()->StickitLB->columnWidth(0), 222);
    again.close();
}

TEST_F(ControlCenterTest, PreviewSwitchIsWrittenAndApplied) {
    TControlCenter w(ini, folders, prompt);
    w.Initialise();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_TRUE(w.MailPage()->STextBox->isVisible());
    w.Actions().previewer->trigger();
    EXPECT_FALSE(ini.Read(cfg::PreviewVisible));
    EXPECT_FALSE(w.MailPage()->STextBox->isVisible());
    w.close();
    TControlCenter again(ini, folders, prompt);
    again.Initialise();
    EXPECT_FALSE(again.Actions().previewer->isChecked());
    again.close();
}

TEST_F(ControlCenterTest, TopicsWithoutHelpFileSaysSo) {
    TControlCenter w(ini, folders, prompt);
    w.Actions().topics->trigger();
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0], "No Online Help was found. Please reinstall.");
}

TEST_F(ControlCenterTest, TopicsShowsTheHelpFileAndASectionComesToTheTop) {
    // The shipped help, in another letter case, as the program folder may hold it.
    std::filesystem::copy_file(SKFP_SOURCE_DIR "/resources/help/Internet.hlp", dir.File("Internet.Hlp"));
    TControlCenter w(ini, folders, prompt);
    w.Actions().topics->trigger();
    EXPECT_TRUE(prompt.Errors().empty());
    auto* help = w.findChild<THelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->Browser()->toPlainText().startsWith(QStringLiteral("Fenmarch Skiffpost Help")));
    EXPECT_EQ(help->Browser()->textCursor().blockNumber(), 0);

    w.ShowHelp(QStringLiteral("Spelling"));
    EXPECT_EQ(w.findChildren<THelpWindow*>().size(), 1);  // the same window, raised
    const QTextBlock at = help->Browser()->textCursor().block();
    EXPECT_EQ(at.text(), QStringLiteral("Spelling"));
    EXPECT_GT(at.blockFormat().headingLevel(), 0);
    // The heading is in view: the browser scrolled down to it.
    EXPECT_GT(help->Browser()->verticalScrollBar()->value(), 0);

    // A help file that cannot be read is the same as none.
    std::filesystem::remove(dir.File("Internet.Hlp"));
    std::filesystem::create_directory(dir.File("Internet.hlp"));
    w.Actions().topics->trigger();
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0], "No Online Help was found. Please reinstall.");
    w.close();
}

TEST_F(ControlCenterTest, CommandsWithoutTheirWorkAreDisabled) {
    TControlCenter w(ini, folders, prompt);
    EXPECT_FALSE(w.Actions().view->isEnabled());
    EXPECT_FALSE(w.Actions().importMailbox->isEnabled());
    EXPECT_FALSE(w.Actions().plugins->isEnabled());
    EXPECT_TRUE(w.Actions().close->isEnabled());
    EXPECT_EQ(w.Actions().view->shortcut(), QKeySequence(QStringLiteral("Ctrl+V")));
    EXPECT_EQ(w.Actions().rename->shortcut(), QKeySequence(Qt::Key_F2));
}

TEST(PasswordDlg, LoginRefusedWhileTheUserNameIsBlank) {
    TPasswordDlg dlg;
    dlg.UserName()->setText(QStringLiteral("   "));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.Password()->echoMode(), QLineEdit::Password);
    dlg.UserName()->setText(QStringLiteral("jane"));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Password Dialog"));
    // The server that asks is named where the user reads it.
    dlg.SetCaption(QStringLiteral("Validation required for pop.example.org"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Validation required for pop.example.org"));
    auto* line = dlg.findChild<QLabel*>(QStringLiteral("Caption"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), QStringLiteral("Validation required for pop.example.org"));
    EXPECT_FALSE(line->isHidden());
}

TEST_F(ControlCenterTest, PreviewPopupCopiesAndSelectsAll) {
    TControlCenter w(ini, folders, prompt);
    QStringList captions;
    for (QAction* a : w.Popups()->STextBoxPopup->actions())
        if (!a->isSeparator()) captions << a->text() + (a->isEnabled() ? "" : "-");
    EXPECT_EQ(captions, (QStringList{"Undo-", "Cu&t-", "&Copy", "&Paste-", "&Delete-", "Select &All"}));
    w.MailPage()->STextBox->setPlainText(QStringLiteral("preview text"));
    w.Popups()->previewSelectAll->trigger();
    EXPECT_EQ(w.MailPage()->STextBox->textCursor().selectedText(), QStringLiteral("preview text"));
}

TEST_F(ControlCenterTest, ServerPopupHasAccessKeysAndEditAsDefault) {
    TControlCenter w(ini, folders, prompt);
    QStringList captions;
    for (QAction* a : w.Popups()->PopupAccounts->actions())
        if (!a->isSeparator()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{"&New", "&Edit", "&Rename", "&Delete"}));
    EXPECT_EQ(w.Popups()->PopupAccounts->defaultAction()->text(), QStringLiteral("&Edit"));
}

// A sender's subject that looks like markup stays text in every place the
// window shows received text: a box, the status line, a tool tip.
TEST_F(ControlCenterTest, ReceivedTextThatLooksLikeMarkupIsShownAsText) {
    const std::string bait = "<a href=https://x/>Mailbox full - click</a>";
    TQtPrompt boxes;
    Qt::TextFormat format = Qt::RichText;
    QString shown;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        format = box->textFormat();
        shown = box->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(boxes.YesNo("Destroy \"" + bait + "\"?"));
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_TRUE(shown.contains(QString::fromStdString(bait)));

    TControlCenter w(ini, folders, prompt);
    auto* status = w.findChild<QLabel*>(QStringLiteral("StatusBar"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->textFormat(), Qt::PlainText);
    EXPECT_EQ(QTextDocumentFragment::fromHtml(qttext::PlainTip(QString::fromStdString(bait))).toPlainText(),
              QString::fromStdString(bait));
}
