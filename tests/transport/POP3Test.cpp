#include <gtest/gtest.h>

#include "TransferRig.h"
#include "common/FileUtil.h"
#include "config/IniFile.h"
#include "support/TempDir.h"
#include "transport/CanceledError.h"
#include "transport/MailError.h"
#include "transport/POP3.h"
#include "transport/TimedOutError.h"

namespace {

const std::string kMsg1 = "Received: from a by b\r\nSubject: one\r\n\r\nBody one\r\n..dotted\r\n.\r\n";
const std::string kMsg2 = "Received: from c by d\r\nSubject: two\r\n\r\nBody two\r\n.\r\n";

class POP3Test : public ::testing::Test {
protected:
    TTransferRig rig;
    TQueuedPasswordPrompt passwords;
    TTempDir dir;
    TIniFile config{dir.File("Internet.ini")};
    TPOP3 pop{rig.Env(), passwords};

    void SetUp() override {
        pop.Server = "10.0.0.9";
        pop.UserName = "ann";
        pop.Password = "secret";
        pop.TimeOut = 20;
        WriteFileOrDie(dir.File("Internet.fmt"), "{\\rtf1 }");
    }
    // Greeting and login of every conversation.
    TScript& LoggedIn() {
        return rig.net.Next()
            .Server("+OK POP3 ready\r\n")
            .Client("USER ann\r\n")
            .Server("+OK\r\n")
            .Client("PASS secret\r\n")
            .Server("+OK logged in\r\n");
    }
    void Check(bool& gotNew) {
        pop.Connect();
        pop.Login();
        pop.Stat();
        if (pop.MessageCount() > 0) pop.Retrieve("Home", dir.Path(), config, gotNew);
        pop.Logout();
        pop.Disconnect();
    }
};

TEST_F(POP3Test, ACheckDownloadsEveryMessageByteForByteAndRecordsThem) {
    auto& s = LoggedIn()
                  .Client("STAT\r\n")
                  .Server("+OK 2 320\r\n")
                  .Client("TOP 1 0\r\n")
                  .Server("+OK\r\nReceived: from a by b\r\nSubject: one\r\n\r\n.\r\n")
                  .Client("LIST 1\r\n")
                  .Server("+OK 1 " + std::to_string(kMsg1.size()) + "\r\n")
                  .Client("RETR 1\r\n")
                  .Server("+OK message follows\r\n" + kMsg1.substr(0, 20))  // status and data in one receive
                  .Server(kMsg1.substr(20))
                  .Client("TOP 2 0\r\n")
                  .Server("+OK\r\nReceived: from c by d\r\n")
                  .Server("Subject: two\r\n\r\n.\r\n")
                  .Client("LIST 2\r\n")
                  .Server("+OK 2 oops\r\n")
                  .Client("RETR 2\r\n")
                  .Server("+OK\r\n")
                  .Server(kMsg2)
                  .Client("QUIT\r\n")
                  .Server("+OK bye\r\n");
    bool gotNew = false;
    Check(gotNew);
    EXPECT_EQ(s.Written(), s.ClientText());
    EXPECT_TRUE(s.Finished());
    EXPECT_TRUE(gotNew);
    EXPECT_EQ(pop.TotalSize(), 320);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home1.tsg")), kMsg1);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home2.tsg")), kMsg2);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home.hf")), "Received: from a by b\r\nReceived: from c by d\r\n");
    EXPECT_TRUE(rig.display.Saw("Retrieving message 2 of 2."));
    EXPECT_TRUE(rig.display.Saw("Logout Successful."));
    EXPECT_EQ(rig.display.progress.back(), 100);
    EXPECT_TRUE(rig.prompt.Texts().empty());
}

TEST_F(POP3Test, SeenMessagesAreOnlyInspectedAndMessagesGoneFromTheServerDropOut) {
    WriteFileOrDie(dir.File("Home.hf"), "Received: gone\r\nReceived: from a by b\r\n");
    auto& s = LoggedIn()
                  .Client("STAT\r\n")
                  .Server("+OK 1 100\r\n")
                  .Client("TOP 1 0\r\n")
                  .Server("+OK\r\nReceived: from a by b\r\n\r\n.\r\n")
                  .Client("QUIT\r\n")
                  .Server("+OK\r\n");
    bool gotNew = false;
    Check(gotNew);
    EXPECT_EQ(s.Written(), s.ClientText());
    EXPECT_FALSE(gotNew);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home.hf")), "Received: from a by b\r\n");
}

TEST_F(POP3Test, WithoutRecordingEveryMessageIsFetchedAndDeletionIsAsked) {
    config.Write(cfg::RecordMessages, false);
    config.Write(cfg::DeleteMessages, true);
    WriteFileOrDie(dir.File("Home.hf"), "Received: from a by b\r\n");
    auto& s = LoggedIn()
                  .Client("STAT\r\n")
                  .Server("+OK 1 100\r\n")
                  .Client("TOP 1 0\r\n")
                  .Server("+OK\r\nReceived: from a by b\r\n\r\n.\r\n")
                  .Client("LIST 1\r\n")
                  .Server("+OK 1\r\n")  // no size: progress against 1
                  .Client("RETR 1\r\n")
                  .Server("+OK\r\n")
                  .Server(kMsg1)
                  .Client("DELE 1\r\n")
                  .Server("+OK deleted\r\n")
                  .Client("QUIT\r\n")
                  .Server("+OK\r\n");
    bool gotNew = false;
    Check(gotNew);
    EXPECT_EQ(s.Written(), s.ClientText());
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home1.tsg")), kMsg1);
    EXPECT_TRUE(rig.display.Saw("Deleting message 1 of 1."));
}

TEST_F(POP3Test, AnEmptyMailboxLeavesTheSeenFileAlone) {
    WriteFileOrDie(dir.File("Home.hf"), "Received: x\r\n");
    auto& s = LoggedIn().Client("STAT\r\n").Server("+OK 0 0\r\n").Client("QUIT\r\n").Server("+OK\r\n");
    bool gotNew = false;
    Check(gotNew);
    EXPECT_EQ(s.Written(), s.ClientText());
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home.hf")), "Received: x\r\n");
}

TEST_F(POP3Test, AMessageTheServerRefusesIsSkippedAndNotRecorded) {
    auto& s = LoggedIn()
                  .Client("STAT\r\n")
                  .Server("+OK 2 100\r\n")
                  .Client("TOP 1 0\r\n")
                  .Server("+OK\r\nReceived: from a by b\r\n\r\n.\r\n")
                  .Client("LIST 1\r\n")
                  .Server("+OK 1 50\r\n")
                  .Client("RETR 1\r\n")
                  .Server("-ERR message is locked\r\n")
                  .Client("TOP 2 0\r\n")
                  .Server("+OK\r\nReceived: from c by d\r\n\r\n.\r\n")
                  .Client("LIST 2\r\n")
                  .Server("+OK 2 50\r\n")
                  .Client("RETR 2\r\n")
                  .Server("+OK\r\n" + kMsg2)
                  .Client("QUIT\r\n")
                  .Server("+OK\r\n");
    bool gotNew = false;
    Check(gotNew);
    EXPECT_EQ(s.Written(), s.ClientText());
    EXPECT_FALSE(fileutil::Exists(dir.File("Home1.tsg")));
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home2.tsg")), kMsg2);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home.hf")), "Received: from c by d\r\n");
}

TEST_F(POP3Test, AFailurePartWayKeepsWhatWasDownloadedRecordedAndDropsTheHalfMessage) {
    WriteFileOrDie(dir.File("Home.hf"), "Received: old\r\n");
    LoggedIn()
        .Client("STAT\r\n")
        .Server("+OK 2 100\r\n")
        .Client("TOP 1 0\r\n")
        .Server("+OK\r\nReceived: from a by b\r\n\r\n.\r\n")
        .Client("LIST 1\r\n")
        .Server("+OK 1 50\r\n")
        .Client("RETR 1\r\n")
        .Server("+OK\r\n" + kMsg1)
        .Client("TOP 2 0\r\n")
        .Server("+OK\r\nReceived: from c by d\r\n\r\n.\r\n")
        .Client("LIST 2\r\n")
        .Server("+OK 2 50\r\n")
        .Client("RETR 2\r\n")
        .Server("+OK\r\nReceived: from c by d\r\nSubj")
        .Close();
    bool gotNew = false;
    pop.Connect();
    pop.Login();
    pop.Stat();
    EXPECT_THROW(pop.Retrieve("Home", dir.Path(), config, gotNew), EMailError);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home.hf")), "Received: old\r\nReceived: from a by b\r\n");
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home1.tsg")), kMsg1);
    EXPECT_FALSE(fileutil::Exists(dir.File("Home2.tsg")));
    EXPECT_FALSE(fileutil::Exists(dir.File("Home2.tsg.part")));
}

TEST_F(POP3Test, TheDownloadFileNameIsChosenFreeWhenTaken) {
    WriteFileOrDie(dir.File("Work12.tsg"), "earlier");
    LoggedIn()
        .Client("STAT\r\n")
        .Server("+OK 1 100\r\n")
        .Client("TOP 1 0\r\n")
        .Server("+OK\r\nReceived: x\r\n\r\n.\r\n")
        .Client("LIST 1\r\n")
        .Server("+OK 1 5\r\n")
        .Client("RETR 1\r\n")
        .Server("+OK\r\n" + kMsg2)
        .Client("QUIT\r\n")
        .Server("+OK\r\n");
    bool gotNew = false;
    pop.Connect();
    pop.Login();
    pop.Stat();
    pop.Retrieve("Work1", dir.Path(), config, gotNew);
    pop.Logout();
    ASSERT_EQ(pop.Downloaded().size(), 1u);
    EXPECT_EQ(pop.Downloaded()[0], dir.File("Work11.tsg"));
    WriteFileOrDie(dir.File("Work11.tsg"), "taken as well");
    // A second account spelling the same name gets "(2)".
    LoggedIn()
        .Client("STAT\r\n")
        .Server("+OK 1 100\r\n")
        .Client("TOP 1 0\r\n")
        .Server("+OK\r\nReceived: y\r\n\r\n.\r\n")
        .Client("LIST 1\r\n")
        .Server("+OK 1 5\r\n")
        .Client("RETR 1\r\n")
        .Server("+OK\r\n" + kMsg1)
        .Client("QUIT\r\n")
        .Server("+OK\r\n");
    TPOP3 other(rig.Env(), passwords);
    other.Server = "10.0.0.9";
    other.UserName = "ann";
    other.Password = "secret";
    other.Connect();
    other.Login();
    other.Stat();
    other.Retrieve("Work1", dir.Path(), config, gotNew);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Work11.tsg")), "taken as well");
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Work11 (2).tsg")), kMsg1);
}

TEST_F(POP3Test, TheEndOfDataIsFoundAcrossReceivesButNotInsideOne) {
    const std::string tricky = "Received: z\r\n\r\nline\r\n.\r\nmore\r\n";
    auto& s = LoggedIn()
                  .Client("STAT\r\n")
                  .Server("+OK 1 100\r\n")
                  .Client("TOP 1 0\r\n")
                  .Server("+OK\r\nReceived: z\r\n\r\n.\r\n")
                  .Client("LIST 1\r\n")
                  .Server("+OK 1 3000000000\r\n")  // beyond 32-bit progress arithmetic
                  .Client("RETR 1\r\n")
                  .Server("+OK\r\n")
                  .Server(tricky + "\r\n.")
                  .Server("\r\n")
                  .Client("QUIT\r\n")
                  .Server("+OK\r\n");
    bool gotNew = false;
    Check(gotNew);
    EXPECT_EQ(s.Written(), s.ClientText());
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home1.tsg")), tricky + "\r\n.\r\n");
    for (int p : rig.display.progress) EXPECT_GE(p, 0);
}

TEST_F(POP3Test, AnEmptyMessageEndsRightAfterItsStatusLine) {
    auto& s = LoggedIn()
                  .Client("STAT\r\n")
                  .Server("+OK 1 3\r\n")
                  .Client("TOP 1 0\r\n")
                  .Server("+OK\r\n.\r\n")
                  .Client("LIST 1\r\n")
                  .Server("+OK 1 3\r\n")
                  .Client("RETR 1\r\n")
                  .Server("+OK\r\n.\r\n")
                  .Client("QUIT\r\n")
                  .Server("+OK\r\n");
    bool gotNew = false;
    Check(gotNew);
    EXPECT_EQ(s.Written(), s.ClientText());
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home1.tsg")), ".\r\n");
}

TEST_F(POP3Test, ASilentServerDuringADownloadTimesOut) {
    LoggedIn()
        .Client("STAT\r\n")
        .Server("+OK 1 3\r\n")
        .Client("TOP 1 0\r\n")
        .Server("+OK\r\nReceived: q\r\n\r\n.\r\n")
        .Client("LIST 1\r\n")
        .Server("+OK 1 3\r\n")
        .Client("RETR 1\r\n")
        .Server("+OK\r\nReceived: q\r\n");
    pop.Connect();
    pop.Login();
    pop.Stat();
    bool gotNew = false;
    EXPECT_THROW(pop.Retrieve("Home", dir.Path(), config, gotNew), ETimedOutError);
    EXPECT_FALSE(fileutil::Exists(dir.File("Home1.tsg")));
}

TEST_F(POP3Test, WithoutTheFormatFileTheCheckStopsWithItsBox) {
    std::remove(dir.File("Internet.fmt").c_str());
    LoggedIn().Client("STAT\r\n").Server("+OK 1 3\r\n");
    pop.Connect();
    pop.Login();
    pop.Stat();
    bool gotNew = false;
    EXPECT_THROW(pop.Retrieve("Home", dir.Path(), config, gotNew), ECanceledError);
    EXPECT_EQ(rig.prompt.Errors(),
              std::vector<std::string>{"Fenmarch Skiffpost can not check your internet mail.\n\rReason: Rich Text "
                                       "Format Header not present.\n\nSolution: Configure your creation options in "
                                       "preferences."});
}

TEST_F(POP3Test, AnEmptyPasswordAsksBeforeUserAndCancellingEndsSilently) {
    pop.Password.clear();
    auto& s = rig.net.Next().Server("+OK\r\n");
    pop.Connect();
    EXPECT_THROW(pop.Login(), ECanceledError);
    EXPECT_EQ(passwords.captions, std::vector<std::string>{"Validation required for 10.0.0.9"});
    EXPECT_EQ(passwords.offeredUsers, std::vector<std::string>{"ann"});
    EXPECT_EQ(s.Written(), "");
    EXPECT_TRUE(rig.prompt.Texts().empty());
    EXPECT_TRUE(rig.display.Saw("Mail check operation canceled at your request."));
}

TEST_F(POP3Test, ARejectedPasswordIsAskedForAgain) {
    passwords.Queue("ann", "wrong");
    passwords.Queue("bob", "right");
    auto& s = rig.net.Next()
                  .Server("+OK\r\n")
                  .Client("USER ann\r\n")
                  .Server("+OK\r\n")
                  .Client("PASS secret\r\n")
                  .Server("-ERR auth failed\r\n")
                  .Client("USER ann\r\nPASS wrong\r\n")
                  .Server("+OK\r\n")
                  .Server("-ERR auth failed\r\n")
                  .Client("USER bob\r\nPASS right\r\n")
                  .Server("+OK\r\n")
                  .Server("+OK welcome\r\n");
    pop.Connect();
    pop.Login();
    EXPECT_EQ(s.Written(), s.ClientText());
    EXPECT_EQ(pop.UserName, "ann");  // the typed names serve this check only
    EXPECT_EQ(passwords.captions.size(), 2u);
}

TEST_F(POP3Test, GivingUpOnTheDialogShowsTheInvalidPasswordBox) {
    rig.net.Next().Server("+OK\r\n").Client("USER ann\r\n").Server("+OK\r\n").Client("PASS secret\r\n").Server("-ERR no\r\n");
    pop.Connect();
    EXPECT_THROW(pop.Login(), EMailError);
    EXPECT_EQ(rig.prompt.Errors(),
              std::vector<std::string>{"Fenmarch Skiffpost could not login to POP Server \"10.0.0.9\".\n\rReason: "
                                       "Invalid Passord.\n\rFix: Enter your correct password for this POP Server."});
}

TEST_F(POP3Test, ARefusedUserShowsTheServersReasonOrTheTimingBox) {
    rig.net.Next().Server("+OK\r\n").Client("USER ann\r\n").Server("-ERR NULL pointer\r\n");
    pop.Connect();
    EXPECT_THROW(pop.Login(), ECanceledError);
    rig.net.Next().Server("+OK\r\n").Client("USER ann\r\n").Server("-ERR unknown\r\n");
    pop.Connect();
    EXPECT_THROW(pop.Login(), ECanceledError);
    const std::string start = "Fenmarch Skiffpost could not login to POP Server \"10.0.0.9\".\n\r";
    EXPECT_EQ(rig.prompt.Errors(),
              (std::vector<std::string>{
                  start + "Reason: Timing error while \"Login\" in module POPLogin\n\rFix: Conctact Fenmarch.",
                  start + "Reason: -ERR unknown\n\rFix: None available in this version."}));
}

TEST_F(POP3Test, AMalformedStatAnswerFails) {
    LoggedIn().Client("STAT\r\n").Server("+OK lots\r\n");
    pop.Connect();
    pop.Login();
    EXPECT_THROW(pop.Stat(), EMailError);
}

TEST_F(POP3Test, ASendThatFailsShowsTheSocketErrorBox) {
    auto& s = rig.net.Next().Server("+OK\r\n");
    pop.Connect();
    s.sendFails = true;
    EXPECT_THROW(pop.Login(), ECanceledError);
    EXPECT_EQ(rig.prompt.Errors(),
              std::vector<std::string>{
                  "Fenmarch Skiffpost could not communicate with POP Server \"10.0.0.9\"\n\rReason: Socket Error."});
}

TEST(MessageIdentity, FollowsReceivedThenDateThenTheWholeHeader) {
    EXPECT_EQ(TPOP3::MessageIdentity("X: 1\r\nReceived: by x\r\nDate: y\r\n"), "Received: by x");
    EXPECT_EQ(TPOP3::MessageIdentity("X: 1\r\nDate: Mon\r\n"), "Date: Mon");
    EXPECT_EQ(TPOP3::MessageIdentity("X: 1\r\nUpdated: Mon\r\n"), "dated: Mon");
    EXPECT_EQ(TPOP3::MessageIdentity("X: 1\r\nSubject: s\r\n"), "X: 1Subject: s");
    EXPECT_EQ(TPOP3::MessageIdentity("Received: no line end"), "");
}

}  // namespace
