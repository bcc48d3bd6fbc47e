#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "app/gui/CheckAccounts.h"
#include "app/gui/ControlCenter.h"
#include "app/gui/FMListView.h"
#include "app/gui/LeftoverProcessing.h"
#include "app/gui/ListPages.h"
#include "app/gui/MailCheckController.h"
#include "app/gui/MailCommands.h"
#include "app/gui/MailPage.h"
#include "app/gui/MainActions.h"
#include "app/gui/MainToolbar.h"
#include "app/gui/MessageListModel.h"
#include "app/gui/PasswordDlg.h"
#include "app/gui/SendRunner.h"
#include "common/BusyFlag.h"
#include "common/FileUtil.h"
#include "common/gui/QtEventPump.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "config/gui/FrmAccounts.h"
#include "incoming/ProcessThread.h"
#include "support/LocalServers.h"
#include "support/TelnetRelay.h"
#include "support/TempDir.h"
#include "support/gui/WhenShown.h"
#include "support/gui/WindowFixture.h"

namespace {

// The window as the program builds it, over a real store, the real
// processing thread and a real Dovecot server.
class MailCheckWindowTest : public WindowFixture<TQtEventPump> {
protected:
    TDovecotServer server{"ann", "s3cret"};

    void SetUp() override {
        WriteFileOrDie(dir.File("Internet.fmt"), "{\\rtf1 }");
        ini.Write(cfg::PopNotify, "Run Program");
        ini.Write(cfg::PopFileName, Script());
    }
    // The notify program: a script that leaves a line per run.
    std::string Script() {
        const std::string path = dir.File("notify.sh");
        WriteFileOrDie(path, "#!/bin/sh\necho ran >> '" + dir.File("notified") + "'\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }
    int NotifyRuns() {
        const std::string text = ReadFileOrEmpty(dir.File("notified"));
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }
    void AddMessages(int count, std::size_t bodySize = 40) {
        for (int i = 0; i < count; ++i)
            server.AddMessage("Date: Mon, 7 Dec 2026 10:0" + std::to_string(i % 10) +
                              ":00 +0000\nFrom: Bob <bob@example.org>\nSubject: note " + std::to_string(i) + "\n\n" +
                              std::string(bodySize, 'x') + "\n");
    }
    void Accounts(const std::vector<std::string>& aliases, const std::string& serverName) {
        TAccountList list(dir.Path());
        for (const auto& alias : aliases) list.Add({alias, serverName, "", "ann", "s3cret", "ann@example.org", "Ann"});
        TBusyFlag flag;
        ASSERT_TRUE(list.Save(flag, pump));
    }
    std::string Local() { return "127.0.0.1:" + std::to_string(server.Port()); }
    // Checks go through the relay (one connection), which lets at most bytes
    // through per 20 ms.
    void ThroughRelay(TTelnetRelay& relay, std::size_t bytes) {
        relay.Throttle(bytes);
        ini.Write(cfg::ProxyServer, "127.0.0.1:" + std::to_string(relay.Port()));
        ini.Write(cfg::ProxyUse, true);
    }
    void Open() {
        Build();
        ProcessLeftovers();
        Start();
        w->Commands()->SelectMailbox("In Box");
    }
    TMailCheckController& Ops() { return w->MailOperations(); }
    int InBoxRows() { return w->Commands()->ListModel()->rowCount(); }
    bool WaitForRows(int rows) {
        return QTest::qWaitFor([&] { return InBoxRows() == rows && processing->Idle(); }, 20000);
    }
};

TEST_F(MailCheckWindowTest, TheCheckButtonWithOneAccountFetchesNotifiesAndFillsTheInBox) {
    AddMessages(3);
    ASSERT_TRUE(server.Start()) << server.Failure();
    Accounts({"Home"}, Local());
    Open();
    QToolButton* check = w->Toolbar()->MailCheck;
    EXPECT_EQ(check->menu(), nullptr);  // one account: a click checks
    EXPECT_FALSE(w->Toolbar()->CancelMail->defaultAction()->isEnabled());

    bool busyDuringCheck = false;
    bool stopDuringCheck = false;
    QObject::connect(&Ops(), &TMailCheckController::CheckStarted, [&] {
        busyDuringCheck = !check->defaultAction()->isEnabled() && !w->Actions().checkMail->isEnabled();
        stopDuringCheck = w->Toolbar()->CancelMail->defaultAction()->isEnabled();
    });
    check->defaultAction()->trigger();
    EXPECT_TRUE(busyDuringCheck);
    EXPECT_TRUE(stopDuringCheck);
    EXPECT_EQ(Ops().LastNewMessages(), 3);
    ASSERT_TRUE(WaitForRows(3)) << InBoxRows();
    EXPECT_TRUE(check->defaultAction()->isEnabled());
    EXPECT_TRUE(w->Actions().checkMail->isEnabled());
    EXPECT_FALSE(w->Toolbar()->CancelMail->defaultAction()->isEnabled());
    EXPECT_FALSE(w->Progress()->isVisible());
    EXPECT_EQ(w->Progress()->value(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return NotifyRuns() == 1; }, 5000));

    // The same messages are not fetched twice, and nothing new means no notice.
    check->defaultAction()->trigger();
    EXPECT_EQ(Ops().LastNewMessages(), 0);
    QTest::qWait(300);
    EXPECT_EQ(InBoxRows(), 3);
    EXPECT_EQ(NotifyRuns(), 1);
}

TEST_F(MailCheckWindowTest, AMissingPasswordIsAskedForByTheServerThatWantsIt) {
    AddMessages(2);
    ASSERT_TRUE(server.Start()) << server.Failure();
    {
        TAccountList list(dir.Path());
        list.Add({"Home", Local(), "", "ann", "", "ann@example.org", "Ann"});
        TBusyFlag flag;
        ASSERT_TRUE(list.Save(flag, pump));
    }
    Open();
    QString title, line, user;
    WhenShown<TPasswordDlg>([&](TPasswordDlg* d) {
        title = d->windowTitle();
        if (auto* caption = d->findChild<QLabel*>(QStringLiteral("Caption"))) line = caption->text();
        user = d->UserName()->text();
        d->Password()->setText(QStringLiteral("s3cret"));
        d->accept();
    });
    w->Toolbar()->MailCheck->defaultAction()->trigger();
    const QString asks = QStringLiteral("Validation required for ") + QString::fromStdString(Local());
    EXPECT_EQ(title, asks);
    EXPECT_EQ(line, asks);
    EXPECT_EQ(user, QStringLiteral("ann"));
    EXPECT_EQ(Ops().LastNewMessages(), 2);
    EXPECT_TRUE(WaitForRows(2)) << InBoxRows();
}

TEST_F(MailCheckWindowTest, TwoAccountsGiveTheMenuAndTheChooserChecksOnlyTheChosen) {
    AddMessages(2);
    ASSERT_TRUE(server.Start()) << server.Failure();
    Accounts({"Work", "Home"}, Local());
    Open();
    QToolButton* check = w->Toolbar()->MailCheck;
    ASSERT_EQ(check->menu(), Ops().MCPopup());
    QStringList items;
    for (QAction* a : Ops().MCPopup()->actions()) items << a->text();
    EXPECT_EQ(items, (QStringList{"All Servers", "Work", "Home"}));
    EXPECT_EQ(Ops().MCPopup()->defaultAction(), Ops().AllServers());

    check->defaultAction()->trigger();  // a plain click does nothing of its own
    EXPECT_EQ(Ops().Chooser(), nullptr);
    EXPECT_EQ(Ops().LastNewMessages(), 0);

    w->Actions().checkMail->trigger();
    TCheckAccounts* chooser = Ops().Chooser();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Fenmarch Skiffpost Mail Check"));
    ASSERT_EQ(chooser->AccountsBox()->count(), 2);
    EXPECT_EQ(chooser->AccountsBox()->item(0)->text(), QStringLiteral("Home"));  // sorted
    EXPECT_TRUE(chooser->CloseButton()->isDefault());
    chooser->AccountsBox()->item(1)->setSelected(true);  // "Work"
    chooser->StartButton()->click();
    EXPECT_EQ(Ops().LastNewMessages(), 2);
    ASSERT_TRUE(WaitForRows(2));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Ops().Chooser() == nullptr; }, 2000));  // freed when closed
    EXPECT_FALSE(fileutil::Exists(dir.File("Home.hf")));

    // A per-account item checks that account; "Home" has not seen them yet.
    Ops().MCPopup()->actions().at(2)->trigger();
    EXPECT_EQ(Ops().LastNewMessages(), 2);
    ASSERT_TRUE(WaitForRows(4));

    // A change of the account list rebuilds the menu.
    Accounts({"Work", "Home", "Third"}, Local());
    Ops().AccountsChanged();
    EXPECT_EQ(Ops().MCPopup()->actions().size(), 4);
    Accounts({"Home"}, Local());
    Ops().AccountsChanged();
    EXPECT_EQ(check->menu(), nullptr);
    EXPECT_EQ(Ops().MCPopup()->actions().size(), 2);
}

TEST_F(MailCheckWindowTest, TheTimerChecksAllAccountsAndAZeroIntervalNeverFires) {
    AddMessages(1);
    ASSERT_TRUE(server.Start()) << server.Failure();
    Accounts({"Home"}, Local());
    Open();
    EXPECT_FALSE(Ops().InternetTimer.isActive());  // "Interval" 0
    ini.Write(cfg::PopInterval, 5);
    Ops().ApplyInterval();
    EXPECT_TRUE(Ops().InternetTimer.isActive());
    EXPECT_EQ(Ops().InternetTimer.interval(), 5 * 60000);
    Ops().InternetTimer.start(20);  // the minutes of a real run are too long to wait for
    ASSERT_TRUE(WaitForRows(1));
    EXPECT_TRUE(Ops().InternetTimer.isActive());  // enabled again after the check
    ini.Write(cfg::PopInterval, -3);
    Ops().ApplyInterval();
    EXPECT_FALSE(Ops().InternetTimer.isActive());
}

TEST_F(MailCheckWindowTest, StopDuringASlowDownloadEndsTheCheckAndKeepsWhatArrived) {
    AddMessages(4, 20000);
    ASSERT_TRUE(server.Start()) << server.Failure();
    TTelnetRelay relay;
    ThroughRelay(relay, 512);  // about 25 KB a second: each message takes nearly a second
    Accounts({"Home"}, Local());
    Open();
    // Stop is pressed once the first message has come through; the window
    // keeps running meanwhile (the timer below fires inside the check).
    int ticks = 0;
    QTimer stopper;
    QObject::connect(&stopper, &QTimer::timeout, [&] {
        ++ticks;
        if (relay.Relayed() > 25000 && w->Toolbar()->CancelMail->defaultAction()->isEnabled())
            w->Toolbar()->CancelMail->defaultAction()->trigger();
    });
    stopper.start(10);
    w->Toolbar()->MailCheck->defaultAction()->trigger();
    stopper.stop();
    EXPECT_GT(ticks, 20);
    EXPECT_LT(Ops().LastNewMessages(), 4);
    EXPECT_EQ(w->StatusText(), QStringLiteral("Mail check operation canceled at your request."));
    EXPECT_EQ(NotifyRuns(), 0);  // a failed check tells nothing
    EXPECT_TRUE(w->Toolbar()->MailCheck->defaultAction()->isEnabled());
    EXPECT_FALSE(w->Progress()->isVisible());
    EXPECT_TRUE(WaitForRows(Ops().LastNewMessages()));
}

TEST_F(MailCheckWindowTest, ASendThatEndsDuringACheckLeavesTheCheckItsBarAndStop) {
    AddMessages(4, 20000);
    ASSERT_TRUE(server.Start()) << server.Failure();
    TSmtpSink sink;
    ASSERT_TRUE(sink.Start()) << sink.Failure();
    TTelnetRelay relay;
    ThroughRelay(relay, 512);  // nearly a second a message
    {
        TAccountList list(dir.Path());
        list.Add(
            {"Home", Local(), "127.0.0.1:" + std::to_string(sink.Port()), "ann", "s3cret", "ann@example.org", "Ann"});
        TBusyFlag flag;
        ASSERT_TRUE(list.Save(flag, pump));
    }
    Open();
    auto queued = Record("Out Box", "sent during a check");
    queued->Flags = mfQueued;
    queued->Address = "bob@example.net";
    queued->Server = "Home";
    const int h = Put(std::move(queued), "Hello Bob\r\n");
    QAction* stop = w->Toolbar()->CancelMail->defaultAction();
    QProgressBar* bar = w->Progress();
    // Once the check's bar shows, the composer's send runs to its end inside
    // the check's wait; then Stop is pressed, which is the check's.
    bool sent = false, checkRunsOn = false, barKept = false, stopKept = false;
    QTimer sender;
    QObject::connect(&sender, &QTimer::timeout, [&] {
        if (bar->isHidden() || relay.Relayed() < 5000) return;
        sender.stop();
        // The relay serves the check's one connection; the send goes straight.
        ini.Write(cfg::ProxyUse, false);
        TAccountList accounts = TAccountList::Read(dir.Path());
        sent = w->Sender()->Send(h, {}, accounts);
        checkRunsOn = Ops().Running();
        barKept = !bar->isHidden();
        stopKept = stop->isEnabled();
        if (stopKept) stop->trigger();
    });
    sender.start(10);
    w->Toolbar()->MailCheck->defaultAction()->trigger();
    sender.stop();
    EXPECT_TRUE(sent);
    EXPECT_EQ(store.Headers().At(h)->Mailbox.str(), "Sent Box");
    ASSERT_TRUE(checkRunsOn);
    EXPECT_TRUE(barKept);
    EXPECT_TRUE(stopKept);
    EXPECT_LT(Ops().LastNewMessages(), 4);
    EXPECT_EQ(w->StatusText(), QStringLiteral("Mail check operation canceled at your request."));
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(bar->value(), 0);
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_TRUE(w->Toolbar()->MailCheck->defaultAction()->isEnabled());
    EXPECT_TRUE(WaitForRows(Ops().LastNewMessages()));
}

TEST_F(MailCheckWindowTest, AnAccountDeletedWhileItsOwnItemChecksItEndsCleanly) {
    AddMessages(2, 20000);
    ASSERT_TRUE(server.Start()) << server.Failure();
    TTelnetRelay relay;
    ThroughRelay(relay, 2048);  // slow enough for the list to change during the check
    Accounts({"Work", "Home"}, Local());
    Open();
    // Once bytes flow, "Home" goes from the list and the menu is rebuilt
    // under the item whose check is running.
    bool changed = false;
    QTimer changer;
    QObject::connect(&changer, &QTimer::timeout, [&] {
        if (changed || relay.Relayed() == 0) return;
        changed = true;
        Accounts({"Work"}, Local());
        Ops().AccountsChanged();
    });
    changer.start(5);
    QPointer<QAction> item = Ops().MCPopup()->actions().at(2);
    ASSERT_EQ(item->text(), QStringLiteral("Home"));
    item->trigger();
    changer.stop();
    EXPECT_TRUE(changed);
    EXPECT_EQ(Ops().LastNewMessages(), 2);
    ASSERT_TRUE(WaitForRows(2));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(item.isNull());
    EXPECT_EQ(w->Toolbar()->MailCheck->menu(), nullptr);
    EXPECT_TRUE(w->Toolbar()->MailCheck->defaultAction()->isEnabled());
}

TEST_F(MailCheckWindowTest, RowsComeInWhileTheRestOfASlowCheckDownloads) {
    AddMessages(3, 20000);
    ASSERT_TRUE(server.Start()) << server.Failure();
    TTelnetRelay relay;
    ThroughRelay(relay, 512);  // nearly a second a message
    Accounts({"Home"}, Local());
    Open();
    // The rows shown while the third message has not begun to come.
    int rowsBeforeTheLast = 0;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (relay.Relayed() < 40000) rowsBeforeTheLast = std::max(rowsBeforeTheLast, InBoxRows());
    });
    watcher.start(10);
    w->Toolbar()->MailCheck->defaultAction()->trigger();
    watcher.stop();
    EXPECT_EQ(Ops().LastNewMessages(), 3);
    EXPECT_GE(rowsBeforeTheLast, 1);
    ASSERT_TRUE(WaitForRows(3));
    // Every download file is gone once stored, none taken twice.
    EXPECT_TRUE(TProcessQueue::DownloadedFiles(dir.Path()).empty());
}

TEST_F(MailCheckWindowTest, CheckRequestsHandedOverDuringACheckGiveOneCheckOfAllAfterIt) {
    AddMessages(2, 20000);
    ASSERT_TRUE(server.Start()) << server.Failure();
    TTelnetRelay relay;
    ThroughRelay(relay, 4096);
    Accounts({"Work", "Home"}, Local());
    Open();
    int started = 0, finished = 0;
    QObject::connect(&Ops(), &TMailCheckController::CheckStarted, [&] { ++started; });
    QObject::connect(&Ops(), &TMailCheckController::CheckFinished, [&] { ++finished; });
    // Two "/c" requests come while "Home" alone is being checked.
    int handedOver = 0;
    QTimer requests;
    QObject::connect(&requests, &QTimer::timeout, [&] {
        if (handedOver == 2 || relay.Relayed() == 0) return;
        ini.Write(cfg::Command, "/c");
        w->TakeHandOver([&] { ++handedOver; });
        // The relay serves one connection: the next check goes straight.
        ini.Write(cfg::ProxyUse, false);
    });
    requests.start(5);
    Ops().MCPopup()->actions().at(2)->trigger();
    requests.stop();
    ASSERT_EQ(handedOver, 2);
    EXPECT_EQ(finished, 1);
    // One check of every account follows, and no more.
    QTRY_COMPARE_WITH_TIMEOUT(finished, 2, 20000);
    QTest::qWait(200);
    EXPECT_EQ(started, 2);
    EXPECT_EQ(finished, 2);
}

TEST_F(MailCheckWindowTest, MessagesDeletedWhileACheckStoresGoToTheTrashCleanly) {
    AddMessages(12, 20000);
    ASSERT_TRUE(server.Start()) << server.Failure();
    TTelnetRelay relay;
    ThroughRelay(relay, 2048);
    Accounts({"Home"}, Local());
    Open();
    // Every few milliseconds the newest row is deleted, refused or not,
    // while batches are written and settled.
    int deletes = 0;
    QTimer deleter;
    QObject::connect(&deleter, &QTimer::timeout, [&] {
        if (List()->model()->rowCount() == 0) return;
        SelectRows({0});
        C().DeleteKey();
        ++deletes;
    });
    deleter.start(3);
    w->Toolbar()->MailCheck->defaultAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return processing->Idle(); }, 20000));
    deleter.stop();
    EXPECT_GT(deletes, 0);
    for (const std::string& error : prompt.Errors()) EXPECT_EQ(error.find("Mailbox"), std::string::npos) << error;
    // Whatever went to the trash and whatever stayed add up, and every body reads.
    const int inBox = store.Headers().Count("In Box"), trash = store.Headers().Count("Trash Can");
    EXPECT_EQ(inBox + trash, 12);
    EXPECT_GT(trash, 0);
    for (int h = 0; h < store.Headers().Length(); ++h) {
        const THeaderItem* item = store.Headers().At(h);
        if (!item) continue;
        std::string body;
        EXPECT_TRUE(store.Files().ReadBody(*item, body)) << item->Subject.str();
    }
}

TEST_F(MailCheckWindowTest, NoAccountsShowsTheInternetServersPage) {
    Open();
    // The new-account editor opens on that page; it is left with an account.
    bool editorShown = false;
    QTimer editor;
    editor.setInterval(10);
    QObject::connect(&editor, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<TFrmAccounts*>(top); d && d->isVisible()) {
                editor.stop();
                editorShown = true;
                d->SMTPServer->setText(QStringLiteral("smtp.example.com"));
                d->POPSERVER->setText(QStringLiteral("pop.example.com"));
                for (auto* b : d->findChildren<QPushButton*>())
                    if (b->text() == QStringLiteral("&Close")) b->click();
                return;
            }
        }
    });
    editor.start();
    w->Actions().checkMail->trigger();
    EXPECT_EQ(w->Pages()->currentIndex(), 4);
    EXPECT_TRUE(editorShown);
    EXPECT_EQ(Ops().LastNewMessages(), 0);
}

}  // namespace
