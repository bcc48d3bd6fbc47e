#include <gtest/gtest.h>

#include <filesystem>

#include "common/BusyFlag.h"
#include "common/FileUtil.h"
#include "config/AccountList.h"
#include "config/IniFile.h"
#include "incoming/ProcessThread.h"
#include "mail/MailCheck.h"
#include "support/TempDir.h"
#include "transport/DialUp.h"
#include "transport/NoDialUp.h"
#include "transport/Notifier.h"
#include "transport/TransferRig.h"

namespace {

struct TRecordingNotifier : INotifier {
    std::vector<std::string> calls;
    void Beep() override { calls.push_back("beep"); }
    void RunProgram(const std::string& path) override { calls.push_back("run " + path); }
    void PlaySound(const std::string& path) override { calls.push_back("play " + path); }
};

// A dial-up that connects after a few passes.
struct TSlowDialUp : IDialUp {
    int polls = 0;
    std::vector<std::string> calls;
    void ListEntries(std::vector<std::string>&) override {}
    bool GetCredentials(const std::string&, std::string& user, std::string&) override {
        user = "isp";
        return true;
    }
    bool Dial(const std::string& entry, const std::string& user, const std::string&, long& handle) override {
        calls.push_back("dial " + entry + " " + user);
        handle = 7;
        return true;
    }
    void HangUp(long handle) override { calls.push_back("hangup " + std::to_string(handle)); }
    bool Done() const override { return const_cast<TSlowDialUp*>(this)->polls++ >= 3; }
    std::string StatusText() const override { return "Connected"; }
};

class MailCheckTest : public ::testing::Test {
protected:
    TTransferRig rig;
    TQueuedPasswordPrompt passwords;
    TNoDialUp noDialUp;
    TRecordingNotifier notifier;
    TTempDir dir;
    TIniFile config{dir.File("Internet.ini")};
    TAccountList accounts{dir.Path()};

    void SetUp() override {
        WriteFileOrDie(dir.File("Internet.fmt"), "{\\rtf1 }");
        accounts.Add({"Home", "10.0.0.1", "", "ann", "pw", "", ""});
        accounts.Add({"NoPop", "", "smtp", "", "", "", ""});
        accounts.Add({"Work", "10.0.0.2", "", "bob", "pw", "", ""});
    }
    TScript& OneMessage(const std::string& user) {
        return rig.net.Next()
            .Server("+OK\r\n")
            .Client("USER " + user + "\r\n")
            .Server("+OK\r\n")
            .Client("PASS pw\r\n")
            .Server("+OK\r\n")
            .Client("STAT\r\n")
            .Server("+OK 1 10\r\n")
            .Client("UIDL\r\n")
            .Server("-ERR unknown command\r\n")
            .Client("LIST\r\n")
            .Server("+OK\r\n1 10\r\n.\r\n")
            .Client("TOP 1 0\r\n")
            .Server("+OK\r\nReceived: " + user + "\r\n\r\n.\r\n")
            .Client("RETR 1\r\n")
            .Server("+OK\r\nReceived: " + user + "\r\n\r\nhi\r\n.\r\n")
            .Client("QUIT\r\n")
            .Server("+OK\r\n");
    }
};

TEST_F(MailCheckTest, EveryAccountWithAPopServerIsCheckedInOrderAndTheUserIsTold) {
    auto& home = OneMessage("ann");
    auto& work = OneMessage("bob");
    TMailCheck check(rig.Env(), passwords, noDialUp, notifier, config, accounts, dir.Path());
    EXPECT_TRUE(check.CheckAccounts({"Home", "NoPop", "Gone", "Work"}));
    EXPECT_EQ(home.Written(), home.ClientText());
    EXPECT_EQ(work.Written(), work.ClientText());
    EXPECT_EQ(check.NewMessages(), 2);
    EXPECT_EQ(notifier.calls, std::vector<std::string>{"beep"});
    EXPECT_EQ(TProcessQueue::DownloadedFiles(dir.Path()),
              (std::vector<std::string>{dir.File("Home1.tsg"), dir.File("Work1.tsg")}));
}

TEST_F(MailCheckTest, AFailingAccountEndsTheCheckWithoutNotice) {
    rig.net.Next().Server("+OK\r\n").Client("USER ann\r\n").Server("-ERR go away\r\n");
    TMailCheck check(rig.Env(), passwords, noDialUp, notifier, config, accounts, dir.Path());
    EXPECT_FALSE(check.CheckAccounts({"Home", "Work"}));
    EXPECT_TRUE(notifier.calls.empty());
    EXPECT_EQ(rig.prompt.Errors().size(), 1u);
    EXPECT_FALSE(check.Running());
}

TEST_F(MailCheckTest, NothingNewMakesNoSoundAndAMissingSoundFileIsNotPlayed) {
    config.Write(cfg::PopNotify, "Play Sound");
    config.Write(cfg::PopFileName, dir.File("missing.wav"));
    rig.net.Next()
        .Server("+OK\r\n")
        .Client("USER ann\r\n")
        .Server("+OK\r\n")
        .Client("PASS pw\r\n")
        .Server("+OK\r\n")
        .Client("STAT\r\n")
        .Server("+OK 0 0\r\n")
        .Client("QUIT\r\n")
        .Server("+OK\r\n");
    TMailCheck quiet(rig.Env(), passwords, noDialUp, notifier, config, accounts, dir.Path());
    EXPECT_TRUE(quiet.CheckAccounts({"Home"}));
    EXPECT_FALSE(rig.display.Saw("Playing notify sound."));
    OneMessage("ann");
    TMailCheck check(rig.Env(), passwords, noDialUp, notifier, config, accounts, dir.Path());
    EXPECT_TRUE(check.CheckAccounts({"Home"}));
    EXPECT_TRUE(rig.display.Saw("Playing notify sound."));
    EXPECT_TRUE(notifier.calls.empty());
}

TEST_F(MailCheckTest, AutoDialDialsFirstWaitsAndHangsUpAfterwards) {
    config.Write(cfg::AutoDial, true);
    config.Write(cfg::AutoHangup, true);
    config.Write(cfg::DialupServerCheck, "My ISP");
    TSlowDialUp dial;
    OneMessage("ann");
    TMailCheck check(rig.Env(), passwords, dial, notifier, config, accounts, dir.Path());
    EXPECT_TRUE(check.CheckAccounts({"Home"}));
    EXPECT_EQ(dial.calls, (std::vector<std::string>{"dial My ISP isp", "hangup 7"}));
    EXPECT_GE(dial.polls, 4);
}

TEST_F(MailCheckTest, AConfiguredAutoDialWithoutADialUpServiceNeitherBlocksNorBreaks) {
    config.Write(cfg::AutoDial, true);
    config.Write(cfg::DialupServerCheck, "My ISP");
    OneMessage("ann");
    TMailCheck check(rig.Env(), passwords, noDialUp, notifier, config, accounts, dir.Path());
    EXPECT_TRUE(check.CheckAccounts({"Home"}));
    EXPECT_EQ(check.NewMessages(), 1);
}

TEST_F(MailCheckTest, ATimeOutOfZeroOrLessWaitsTheDefaultInsteadOfFailingAtOnce) {
    config.Write(cfg::RecordMessages, false);
    for (const int timeOut : {0, -5}) {
        config.Write(cfg::PopTimeOut, timeOut);
        OneMessage("ann");
        TMailCheck check(rig.Env(), passwords, noDialUp, notifier, config, accounts, dir.Path());
        EXPECT_TRUE(check.CheckAccounts({"Home"})) << timeOut;
        EXPECT_EQ(check.NewMessages(), 1);
    }
    EXPECT_TRUE(rig.prompt.Texts().empty());
}

// A dial-up whose dial never reports its end (a safety stop keeps a test of
// an unlimited wait finite).
struct THangingDialUp : TSlowDialUp {
    bool Done() const override { return const_cast<THangingDialUp*>(this)->polls++ >= 100000; }
};

TEST_F(MailCheckTest, ADialThatNeverEndsIsGivenUpAfterItsLimitAndTheCheckGoesOn) {
    config.Write(cfg::AutoDial, true);
    config.Write(cfg::DialupServerCheck, "My ISP");
    THangingDialUp dial;
    OneMessage("ann");
    TMailCheck check(rig.Env(), passwords, dial, notifier, config, accounts, dir.Path());
    const std::time_t start = rig.clock.now;
    EXPECT_TRUE(check.CheckAccounts({"Home"}));
    EXPECT_LE(dial.polls, TMailCheck::kDialWaitSeconds + 2);
    EXPECT_GE(rig.clock.now - start, TMailCheck::kDialWaitSeconds);
    EXPECT_EQ(dial.calls, (std::vector<std::string>{"dial My ISP isp", "hangup 7"}));
    EXPECT_TRUE(rig.display.Saw(TMailCheck::kDialGivenUp));
    EXPECT_EQ(check.NewMessages(), 1);
}

TEST_F(MailCheckTest, FixedFilesAreFoundInAnyLetterCase) {
    // A data folder copied from a system that spells them otherwise.
    TBusyFlag listFill;
    ASSERT_TRUE(accounts.Save(listFill, rig.pump));
    std::filesystem::rename(dir.File("Internet.fmt"), dir.File("Internet.Fmt"));
    std::filesystem::rename(dir.File("Internet.svr"), dir.File("INTERNET.SVR"));
    TAccountList copied(dir.Path());
    copied.Load();
    ASSERT_NE(copied.Find("Home"), nullptr);
    OneMessage("ann");
    TMailCheck check(rig.Env(), passwords, noDialUp, notifier, config, copied, dir.Path());
    EXPECT_TRUE(check.CheckAccounts({"Home"}));
    EXPECT_EQ(check.NewMessages(), 1);
    EXPECT_TRUE(rig.prompt.Texts().empty());
    // The exact spelling wins; a file not there keeps the spelling asked for.
    WriteFileOrDie(dir.File("Internet.fmt"), "{\\rtf1 }");
    EXPECT_EQ(fileutil::FindNoCase(dir.Path(), "Internet.fmt"), dir.File("Internet.fmt"));
    EXPECT_EQ(fileutil::FindNoCase(dir.Path(), "internet.svr"), dir.File("INTERNET.SVR"));
    EXPECT_EQ(fileutil::FindNoCase(dir.Path(), "Internet.pab"), dir.File("Internet.pab"));
}

TEST_F(MailCheckTest, TheAccountsSecurityIsUsedAndACertificateTrustedDuringTheCheckIsKept) {
    const std::string print =
        "12:34:56:78:9A:BC:DE:F0:12:34:56:78:9A:BC:DE:F0:12:34:56:78:9A:BC:DE:F0:12:34:56:78:9A:BC:DE:F0";
    accounts.Find("Home")->security = TSecurity::StartTls;
    TScript& s = rig.net.Next()
                     .Server("+OK\r\n")
                     .Client("STLS\r\n")
                     .Server("+OK go\r\n")
                     .Tls(TScript::Untrusted("The certificate has expired.", print))
                     .Client("USER ann\r\n")
                     // The check fails after the question; the trust stays.
                     .Server("-ERR go away\r\n");
    rig.prompt.QueueAnswer(TPromptAnswer::Yes);
    TMailCheck check(rig.Env(), passwords, noDialUp, notifier, config, accounts, dir.Path());
    EXPECT_FALSE(check.CheckAccounts({"Home"}));
    EXPECT_EQ(s.handshakes, 1);
    EXPECT_EQ(accounts.Find("Home")->popFingerprint, print);
    EXPECT_EQ(config.ReadString("Pop Certificates", "Home", ""), print);
    EXPECT_EQ(accounts.Find("Work")->popFingerprint, "");
}

}  // namespace
