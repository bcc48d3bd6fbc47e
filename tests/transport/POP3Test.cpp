#include <gtest/gtest.h>

#include <filesystem>

#include "TransferRig.h"
#include "common/FileUtil.h"
#include "config/IniFile.h"
#include "support/TempDir.h"
#include "transport/CanceledError.h"
#include "transport/MailError.h"
#include "transport/MessageIdentity.h"
#include "transport/POP3.h"
#include "transport/SeenList.h"
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
    // A check's conversation over messages given by their header: the ones
    // marked are expected to be downloaded. uidl is the server's UIDL answer
    // ("" for a server without the command). The first `inspected` messages
    // are asked for their header (by default all of them without UIDL, none
    // with it).
    struct TOnServer {
        std::string header;
        bool fetched;
    };
    static constexpr std::size_t kByUidl = std::size_t(-1);
    TScript& Conversation(const std::vector<TOnServer>& messages, const std::string& uidl = "",
                          std::size_t inspected = kByUidl) {
        if (inspected == kByUidl) inspected = uidl.empty() ? messages.size() : 0;
        auto& s = LoggedIn()
                      .Client("STAT\r\n")
                      .Server("+OK " + std::to_string(messages.size()) + " 100\r\n")
                      .Client("UIDL\r\n")
                      .Server(uidl.empty() ? "-ERR unknown command\r\n" : "+OK\r\n" + uidl + ".\r\n");
        std::string sizes;
        for (std::size_t i = 0; i < messages.size(); ++i) sizes += std::to_string(i + 1) + " 10\r\n";
        s.Client("LIST\r\n").Server("+OK\r\n" + sizes + ".\r\n");
        for (std::size_t i = 0; i < messages.size(); ++i) {
            const std::string n = std::to_string(i + 1);
            if (i < inspected) s.Client("TOP " + n + " 0\r\n").Server("+OK\r\n" + messages[i].header + "\r\n.\r\n");
            if (!messages[i].fetched) continue;
            s.Client("RETR " + n + "\r\n").Server("+OK\r\n" + messages[i].header + "\r\nbody " + n + "\r\n.\r\n");
        }
        return s.Client("QUIT\r\n").Server("+OK\r\n");
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
                  .Client("UIDL\r\n")
                  .Server("-ERR unknown command\r\n")
                  .Client("LIST\r\n")
                  .Server("+OK\r\n1 " + std::to_string(kMsg1.size()) + "\r\n2 oops\r\n.\r\n")
                  .Client("TOP 1 0\r\n")
                  .Server("+OK\r\nReceived: from a by b\r\nSubject: one\r\n\r\n.\r\n")
                  .Client("RETR 1\r\n")
                  .Server("+OK message follows\r\n" + kMsg1.substr(0, 20))  // status and data in one receive
                  .Server(kMsg1.substr(20))
                  .Client("TOP 2 0\r\n")
                  .Server("+OK\r\nReceived: from c by d\r\n")
                  .Server("Subject: two\r\n\r\n.\r\n")
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
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home.hf")), "HEAD Received: from a by b\r\nHEAD Received: from c by d\r\n");
    // Downloaded mail and the seen list are the user's alone.
    constexpr auto kPrivate = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    for (const char* name : {"Home1.tsg", "Home2.tsg", "Home.hf"})
        EXPECT_EQ(std::filesystem::status(dir.File(name)).permissions(), kPrivate) << name;
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
                  .Client("UIDL\r\n")
                  .Server("-ERR unknown command\r\n")
                  .Client("LIST\r\n")
                  .Server("+OK\r\n.\r\n")
                  .Client("TOP 1 0\r\n")
                  .Server("+OK\r\nReceived: from a by b\r\n\r\n.\r\n")
                  .Client("QUIT\r\n")
                  .Server("+OK\r\n");
    bool gotNew = false;
    Check(gotNew);
    EXPECT_EQ(s.Written(), s.ClientText());
    EXPECT_FALSE(gotNew);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home.hf")), "HEAD Received: from a by b\r\n");
}

TEST_F(POP3Test, WithoutRecordingEveryMessageIsFetchedAndDeletionIsAsked) {
    config.Write(cfg::RecordMessages, false);
    config.Write(cfg::DeleteMessages, true);
    WriteFileOrDie(dir.File("Home.hf"), "Received: from a by b\r\n");
    auto& s = LoggedIn()
                  .Client("STAT\r\n")
                  .Server("+OK 1 100\r\n")
                  .Client("UIDL\r\n")
                  .Server("-ERR unknown command\r\n")
                  .Client("LIST\r\n")
                  .Server("-ERR no listing\r\n")  // no sizes: progress against 1
                  .Client("TOP 1 0\r\n")
                  .Server("+OK\r\nReceived: from a by b\r\n\r\n.\r\n")
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
                  .Client("UIDL\r\n")
                  .Server("-ERR unknown command\r\n")
                  .Client("LIST\r\n")
                  .Server("+OK\r\n1 50\r\n2 50\r\n.\r\n")
                  .Client("TOP 1 0\r\n")
                  .Server("+OK\r\nReceived: from a by b\r\n\r\n.\r\n")
                  .Client("RETR 1\r\n")
                  .Server("-ERR message is locked\r\n")
                  .Client("TOP 2 0\r\n")
                  .Server("+OK\r\nReceived: from c by d\r\n\r\n.\r\n")
                  .Client("RETR 2\r\n")
                  .Server("+OK\r\n" + kMsg2)
                  .Client("QUIT\r\n")
                  .Server("+OK\r\n");
    bool gotNew = false;
    Check(gotNew);
    EXPECT_EQ(s.Written(), s.ClientText());
    EXPECT_FALSE(fileutil::Exists(dir.File("Home1.tsg")));
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home2.tsg")), kMsg2);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home.hf")), "HEAD Received: from c by d\r\n");
}

TEST_F(POP3Test, AFailurePartWayKeepsWhatWasDownloadedRecordedAndDropsTheHalfMessage) {
    WriteFileOrDie(dir.File("Home.hf"), "Received: old\r\n");
    LoggedIn()
        .Client("STAT\r\n")
        .Server("+OK 2 100\r\n")
        .Client("UIDL\r\n")
        .Server("-ERR unknown command\r\n")
        .Client("LIST\r\n")
        .Server("+OK\r\n1 50\r\n2 50\r\n.\r\n")
        .Client("TOP 1 0\r\n")
        .Server("+OK\r\nReceived: from a by b\r\n\r\n.\r\n")
        .Client("RETR 1\r\n")
        .Server("+OK\r\n" + kMsg1)
        .Client("TOP 2 0\r\n")
        .Server("+OK\r\nReceived: from c by d\r\n\r\n.\r\n")
        .Client("RETR 2\r\n")
        .Server("+OK\r\nReceived: from c by d\r\nSubj")
        .Close();
    bool gotNew = false;
    pop.Connect();
    pop.Login();
    pop.Stat();
    EXPECT_THROW(pop.Retrieve("Home", dir.Path(), config, gotNew), EMailError);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home.hf")), "Received: old\r\nHEAD Received: from a by b\r\n");
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home1.tsg")), kMsg1);
    EXPECT_FALSE(fileutil::Exists(dir.File("Home2.tsg")));
    EXPECT_FALSE(fileutil::Exists(dir.File("Home2.tsg.part")));
}

TEST_F(POP3Test, TheDownloadFileNameIsChosenFreeWhenTaken) {
    WriteFileOrDie(dir.File("Work12.tsg"), "earlier");
    LoggedIn()
        .Client("STAT\r\n")
        .Server("+OK 1 100\r\n")
        .Client("UIDL\r\n")
        .Server("-ERR unknown command\r\n")
        .Client("LIST\r\n")
        .Server("+OK\r\n1 5\r\n.\r\n")
        .Client("TOP 1 0\r\n")
        .Server("+OK\r\nReceived: x\r\n\r\n.\r\n")
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
        .Client("UIDL\r\n")
        .Server("-ERR unknown command\r\n")
        .Client("LIST\r\n")
        .Server("+OK\r\n1 5\r\n.\r\n")
        .Client("TOP 1 0\r\n")
        .Server("+OK\r\nReceived: y\r\n\r\n.\r\n")
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
                  .Client("UIDL\r\n")
                  .Server("-ERR unknown command\r\n")
                  .Client("LIST\r\n")
                  .Server("+OK\r\n1 3000000000\r\n.\r\n")
                  .Client("TOP 1 0\r\n")
                  .Server("+OK\r\nReceived: z\r\n\r\n.\r\n")
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
                  .Client("UIDL\r\n")
                  .Server("-ERR unknown command\r\n")
                  .Client("LIST\r\n")
                  .Server("+OK\r\n1 3\r\n.\r\n")
                  .Client("TOP 1 0\r\n")
                  .Server("+OK\r\n.\r\n")
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
        .Client("UIDL\r\n")
        .Server("-ERR unknown command\r\n")
        .Client("LIST\r\n")
        .Server("+OK\r\n1 3\r\n.\r\n")
        .Client("TOP 1 0\r\n")
        .Server("+OK\r\nReceived: q\r\n\r\n.\r\n")
        .Client("RETR 1\r\n")
        .Server("+OK\r\nReceived: q\r\n");
    pop.Connect();
    pop.Login();
    pop.Stat();
    bool gotNew = false;
    EXPECT_THROW(pop.Retrieve("Home", dir.Path(), config, gotNew), ETimedOutError);
    EXPECT_FALSE(fileutil::Exists(dir.File("Home1.tsg")));
}

// A listing or header that runs on far beyond what the mailbox can mean
// ends the check with an error instead of filling the memory.
TEST_F(POP3Test, AnEndlessListingOrHeaderFailsTheCheck) {
    std::string endless;
    for (int i = 0; i < 2000; ++i) endless += std::to_string(i + 1) + " uid-" + std::string(60, 'x') + "\r\n";
    LoggedIn().Client("STAT\r\n").Server("+OK 2 30\r\n").Client("UIDL\r\n").Server("+OK\r\n" + endless);
    pop.Connect();
    pop.Login();
    pop.Stat();
    bool gotNew = false;
    EXPECT_THROW(pop.Retrieve("Home", dir.Path(), config, gotNew), EMailError);
    EXPECT_TRUE(rig.display.Saw("The server sent a far longer answer than it can mean."));
}

// A server that sends far more than LIST said (a lie, or data without end)
// loses the connection at once: nothing of the message is kept, nothing
// recorded, and without QUIT it stays on the server for a later check.
TEST_F(POP3Test, AMessageFarLongerThanItsListedSizeIsLeftOnTheServer) {
    std::string endless = "+OK\r\nReceived: q\r\n\r\n";
    while (endless.size() < 400'000) endless += std::string(70, 'x') + "\r\n";
    LoggedIn()
        .Client("STAT\r\n")
        .Server("+OK 1 1000\r\n")
        .Client("UIDL\r\n")
        .Server("+OK\r\n1 u1\r\n.\r\n")
        .Client("LIST\r\n")
        .Server("+OK\r\n1 1000\r\n.\r\n")
        .Client("RETR 1\r\n")
        .Server(endless);
    pop.Connect();
    pop.Login();
    pop.Stat();
    bool gotNew = false;
    EXPECT_THROW(pop.Retrieve("Home", dir.Path(), config, gotNew), EMailError);
    EXPECT_TRUE(
        rig.display.Saw("The server sent message 1 far longer than the 1000 bytes it gave as its size; it stays on "
                        "the server."));
    EXPECT_FALSE(gotNew);
    EXPECT_FALSE(fileutil::Exists(dir.File("Home1.tsg")));
    EXPECT_FALSE(fileutil::Exists(dir.File("Home1.tsg.part")));
    EXPECT_FALSE(fileutil::Exists(dir.File("Home.taken")) && !ReadFileOrEmpty(dir.File("Home.taken")).empty());
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
    rig.net.Next()
        .Server("+OK\r\n")
        .Client("USER ann\r\n")
        .Server("+OK\r\n")
        .Client("PASS secret\r\n")
        .Server("-ERR no\r\n");
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

// Three messages from one relay: their folded "Received:" fields share the
// first line.
const std::string kRelayed[3] = {
    "Received: from relay.example.net (relay [192.0.2.1])\r\n\tby mx id A1; Mon, 7 Dec 2026 10:00:00 +0000\r\n",
    "Received: from relay.example.net (relay [192.0.2.1])\r\n\tby mx id B2; Mon, 7 Dec 2026 10:05:00 +0000\r\n",
    "Received: from relay.example.net (relay [192.0.2.1])\r\n\tby mx id C3; Mon, 7 Dec 2026 10:06:00 +0000\r\n",
};

TEST_F(POP3Test, MessagesFromOneRelayAreToldApartByTheirWholeReceivedField) {
    bool gotNew = false;
    auto& first = Conversation({{kRelayed[0], true}});
    Check(gotNew);
    EXPECT_TRUE(first.Finished()) << first.Written();
    auto& second = Conversation({{kRelayed[0], false}, {kRelayed[1], true}, {kRelayed[2], true}});
    Check(gotNew);
    EXPECT_TRUE(second.Finished()) << second.Written();
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home3.tsg")), kRelayed[2] + "\r\nbody 3\r\n.\r\n");
    auto& third = Conversation({{kRelayed[0], false}, {kRelayed[1], false}, {kRelayed[2], false}});
    Check(gotNew);
    EXPECT_TRUE(third.Finished()) << third.Written();
}

TEST_F(POP3Test, TheServersUniqueIdsAreTheIdentityWhereItOffersThem) {
    bool gotNew = false;
    // The same header twice: only the ids tell the copies apart.
    auto& first = Conversation({{kRelayed[0], true}, {kRelayed[0], true}}, "1 id-one\r\n2 id-two\r\n");
    Check(gotNew);
    EXPECT_TRUE(first.Finished()) << first.Written();
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home.hf")), "UIDL id-one\r\nUIDL id-two\r\n");
    auto& second = Conversation({{kRelayed[0], false}, {kRelayed[1], true}}, "1 id-two\r\n2 id-three\r\n");
    Check(gotNew);
    EXPECT_TRUE(second.Finished()) << second.Written();
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home.hf")), "UIDL id-two\r\nUIDL id-three\r\n");
}

TEST_F(POP3Test, ASeenFileOfAnOlderVersionKeepsItsMeaningAtTheFirstCheck) {
    // The older version recorded the first line of each message's first
    // Received field; messages 1 and 3 were fetched then. Messages 2 and 4
    // arrived since (4 from the same relay as 1). Once both old lines are
    // matched, message 4 is named by its id alone: no header asked.
    const std::string other = "Received: from elsewhere by mx id Q9\r\n";
    WriteFileOrDie(dir.File("Home.hf"), messageidentity::Legacy(kRelayed[0]) + "\r\nDate: Mon, 7 Dec 2026\r\n");
    bool gotNew = false;
    auto& s = Conversation(
        {{kRelayed[0], false}, {other, true}, {"Date: Mon, 7 Dec 2026\r\nX: 1\r\n", false}, {kRelayed[1], true}},
        "1 u1\r\n2 u2\r\n3 u3\r\n4 u4\r\n", 3);
    Check(gotNew);
    EXPECT_TRUE(s.Finished()) << s.Written();
    // From now on the file holds the current form only.
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Home.hf")), "UIDL u1\r\nUIDL u2\r\nUIDL u3\r\nUIDL u4\r\n");
}

TEST_F(POP3Test, ASeenFileThatCannotBeWrittenIsReported) {
    std::filesystem::create_directory(dir.File("Home.hf"));
    bool gotNew = false;
    Conversation({{kRelayed[0], true}});
    Check(gotNew);
    ASSERT_EQ(rig.prompt.Errors().size(), 1u);
    EXPECT_NE(rig.prompt.Errors()[0].find("could not record which messages it has downloaded"), std::string::npos);
    EXPECT_NE(rig.prompt.Errors()[0].find(dir.File("Home.hf")), std::string::npos);
}

TEST_F(POP3Test, AnAliasNamingAPathKeepsItsFilesInTheDataFolder) {
    const TTempDir outside;
    const std::string alias = "../" + std::filesystem::path(outside.Path()).parent_path().filename().string() + "/x";
    Conversation({{kRelayed[0], true}});
    bool gotNew = false;
    pop.Connect();
    pop.Login();
    pop.Stat();
    pop.Retrieve(alias, dir.Path(), config, gotNew);
    ASSERT_EQ(pop.Downloaded().size(), 1u);
    EXPECT_EQ(std::filesystem::path(pop.Downloaded()[0]).parent_path(),
              std::filesystem::path(dir.Path()).parent_path());
    EXPECT_TRUE(fileutil::Exists(dir.File(".._" + alias.substr(3, alias.size() - 5) + "_x.hf")));
    EXPECT_TRUE(std::filesystem::is_empty(outside.Path()));
}

TEST(MessageIdentity, TheLegacyFormFollowsReceivedThenDateThenTheWholeHeader) {
    using messageidentity::Legacy;
    EXPECT_EQ(Legacy("X: 1\r\nReceived: by x\r\nDate: y\r\n"), "Received: by x");
    EXPECT_EQ(Legacy("X: 1\r\nDate: Mon\r\n"), "Date: Mon");
    EXPECT_EQ(Legacy("X: 1\r\nUpdated: Mon\r\n"), "dated: Mon");
    EXPECT_EQ(Legacy("X: 1\r\nSubject: s\r\n"), "X: 1Subject: s");
    EXPECT_EQ(Legacy("Received: no line end"), "");
}

TEST(MessageIdentity, TheHeaderFormTakesTheWholeFoldedReceivedFieldAndTheMessageId) {
    using messageidentity::FromHeader;
    const std::string first =
        "Received: from relay.example.net (relay [192.0.2.1])\r\n\tby mx.example.org with ESMTP id "
        "AB12;\r\n\tMon, 7 Dec 2026 10:00:00 +0000\r\nReceived: from inner\r\nMessage-ID:\r\n "
        "<1@x>\r\nSubject: s\r\n\r\n.\r\n";
    std::string second = first;
    second.replace(second.find("AB12"), 4, "CD34");
    EXPECT_EQ(FromHeader(first),
              "HEAD Received: from relay.example.net (relay [192.0.2.1])\tby mx.example.org with "
              "ESMTP id AB12;\tMon, 7 Dec 2026 10:00:00 +0000 Message-ID: <1@x>");
    EXPECT_NE(FromHeader(first), FromHeader(second));
    EXPECT_EQ(messageidentity::Legacy(first), messageidentity::Legacy(second));  // what lost mail before
    EXPECT_EQ(FromHeader("received: a\r\nDATE: b\r\n"), "HEAD received: a");
    EXPECT_EQ(FromHeader("X: 1\r\nDate: Mon,\r\n 7 Dec\r\n"), "HEAD Date: Mon, 7 Dec");
    EXPECT_EQ(FromHeader("X: 1\r\nY: 2\r\n\r\n.\r\n"), "HEAD X: 1Y: 2");
    EXPECT_EQ(messageidentity::FromUid("abc"), "UIDL abc");
}

TEST(SeenList, EachLineStandsForOneMessageAndOldLinesMatchTheLegacyIdentity) {
    TSeenList seen({"Received: from relay", "HEAD Received: x", "UIDL 7"});
    EXPECT_TRUE(seen.Take("UIDL 7", "whatever"));
    EXPECT_FALSE(seen.Take("UIDL 7", "whatever"));
    EXPECT_TRUE(seen.Take("UIDL 8", "Received: from relay"));
    // A second message with the same first line is new.
    EXPECT_FALSE(seen.Take("UIDL 9", "Received: from relay"));
    // A line of the current form never stands for a legacy identity.
    EXPECT_FALSE(seen.Take("HEAD y", "HEAD Received: x"));
    // Headers are needed while a line recorded by header is left.
    EXPECT_TRUE(seen.NeedsHeaders());
    EXPECT_TRUE(seen.Take("HEAD Received: x", ""));
    EXPECT_FALSE(seen.NeedsHeaders());
    EXPECT_FALSE(TSeenList({"UIDL 1", "UIDL 2"}).NeedsHeaders());
    EXPECT_TRUE(TSeenList({"UIDL 1", "Received: old"}).NeedsHeaders());
}

}  // namespace
