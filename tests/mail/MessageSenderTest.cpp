#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "book/FilterActions.h"
#include "book/FilterFields.h"
#include "config/AccountList.h"
#include "config/IniFile.h"
#include "mail/MessageCreator.h"
#include "mail/MessageSender.h"
#include "store/MailStore.h"
#include "store/MailboxOperations.h"
#include "support/TempDir.h"
#include "transport/RecipientList.h"
#include "transport/TransferRig.h"

namespace {

TListRow Member(const std::string& name, const std::string& kind, const std::string& addresses) {
    TListRow row{name, {}};
    row.SetSubItem(4, kind);
    row.SetSubItem(6, addresses);
    return row;
}

using List = std::vector<std::string>;

TEST(RecipientList, SplitSkipsBlanksAndCommasAndTrimsEachEntry) {
    EXPECT_EQ(TRecipientList::Split(" ,Bob <b@x.net> ,  c@x.net,,  Dora (d)  "),
              (List{"Bob <b@x.net>", "c@x.net", "Dora (d)"}));
    EXPECT_TRUE(TRecipientList::Split(" , ,").empty());
    EXPECT_TRUE(TRecipientList::Split("").empty());
}

TEST(RecipientList, MembersAreReplacedByTheirAddressesByListKind) {
    const std::vector<TListRow> book = {Member("Single", "0", "s1@x.net\x02s2@x.net"),
                                        Member("Team", "1", "t1@x.net\x02t2@x.net"),
                                        Member("Hidden", "2", "h1@x.net\x02h2@x.net")};
    TRecipientList r;
    r.to = {"team", "a@x.net", "SINGLE", "Hidden"};
    r.cc = {"Single"};
    r.bcc = {"Team"};
    r.ExpandBook(book);
    EXPECT_EQ(r.to, (List{"a@x.net", "s1@x.net"}));
    EXPECT_EQ(r.cc, (List{"t1@x.net", "t2@x.net", "s1@x.net", "s2@x.net"}));
    EXPECT_EQ(r.bcc, (List{"h1@x.net", "h2@x.net", "t1@x.net", "t2@x.net"}));
}

TEST(RecipientList, AMemberNamedInToAndInCCAddsToBothAndARepeatInOneListAddsNothingNew) {
    const std::vector<TListRow> book = {Member("Jane", "0", "jane@x.net\x02jane@home.net"),
                                        Member("Team", "1", "t1@x.net\x02t2@x.net")};
    TRecipientList r;
    r.to = {"Jane", "Team"};
    r.cc = {"jane", "Team"};
    r.bcc = {"Team", "JANE"};
    r.ExpandBook(book);
    EXPECT_EQ(r.to, (List{"jane@x.net"}));
    // Team named in To goes to CC; named again in CC it adds the same
    // addresses to the same list, which it need not do twice.
    EXPECT_EQ(r.cc, (List{"t1@x.net", "t2@x.net", "jane@x.net", "jane@home.net"}));
    EXPECT_EQ(r.bcc, (List{"t1@x.net", "t2@x.net", "jane@x.net", "jane@home.net"}));
}

TEST(RecipientList, ListsThatNameThemselvesOrEachOtherEnd) {
    const std::vector<TListRow> book = {Member("Loop", "1", "Loop\x02l@x.net"),
                                        Member("A", "1",
                                               "B\x02"
                                               "a@x.net"),
                                        Member("B", "1",
                                               "A\x02"
                                               "b@x.net")};
    TRecipientList r;
    r.to = {"Loop", "A"};
    r.ExpandBook(book);
    EXPECT_TRUE(r.to.empty());
    EXPECT_EQ(r.cc, (List{"l@x.net", "a@x.net", "b@x.net"}));
}

TEST(RecipientList, AMemberAddedByAnotherIsExpandedInItsTurn) {
    const std::vector<TListRow> book = {Member("Outer", "1", "Inner\x02o@x.net"), Member("Inner", "0", "i@x.net")};
    TRecipientList r;
    r.to = {"Outer"};
    r.ExpandBook(book);
    // "Inner" leaves its place and its address joins the end of the list.
    EXPECT_EQ(r.cc, (List{"o@x.net", "i@x.net"}));
}

struct TNoActions : IFilterActions {
    bool IsMailbox(const std::string& name) const override {
        return name == "Sent Box" || name == "Archive" || name == "Out Box";
    }
    void RunProgram(const std::string&) override {}
    void PlaySound(const std::string&) override {}
    void Print(const std::string&, const std::string&, const std::string&) override {}
};

class MessageSenderTest : public ::testing::Test {
protected:
    TTransferRig rig;
    TTempDir dir;
    TIniFile config{dir.File("Internet.ini")};
    TMailStore store{dir.Path() + "/", config, rig.prompt, rig.pump};
    TAccountList accounts{dir.Path()};
    TNoActions actions;
    TMessageSender::TLists lists;
    int handle = -1;

    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
        store.LoadTree();
        accounts.Add({"Home", "pop.x", "10.0.0.9", "ann", "pw", "ann@example.org", "Ann Smith"});
    }
    const THeaderItem& Create(const std::vector<std::string>& body, const std::string& to = "Bob <bob@example.net>") {
        TMessageCreator creator(store, lists.filters, actions);
        TNewMessage m;
        m.subject = "Report";
        m.to = to;
        m.flags = mfQueued;
        m.body = body;
        m.date = "01/02/03 04:05 AM";
        handle = creator.CreateMessage(m);
        store.ChangeRecord(handle, [](THeaderItem& item) { item.Server = "Home"; });
        return *store.Headers().At(handle);
    }
    bool Send(const THeaderItem& item) {
        TMessageSender sender(rig.Env(), store, accounts, lists, actions);
        return sender.SendMessage(item, {});
    }
    TScript& Accepting(const std::string& rcpt = "bob@example.net") {
        return rig.net.Next()
            .Server("220 mx\r\n")
            .Client("HELO 10.0.0.9\r\n")
            .Server("250 hi\r\n")
            .Client("MAIL FROM:<ann@example.org>\r\n")
            .Server("250 ok\r\n")
            .Client("RCPT TO:<" + rcpt + ">\r\n")
            .Server("250 ok\r\n")
            .Client("DATA\r\n")
            .Server("354 go\r\n")
            .ClientUntil("\r\n.\r\n")
            .Server("250 queued\r\n")
            .Client("QUIT\r\n")
            .Server("221 bye\r\n");
    }
    static std::string Data(const TScript& s) {
        const std::string w = s.Written();
        const auto start = w.find("\r\n\r\n", w.find("DATA\r\n")) + 4;
        return w.substr(start, w.find("\r\n.\r\n", start) + 2 - start);
    }
    std::string Body(const THeaderItem& item) {
        std::string body;
        EXPECT_TRUE(store.Files().ReadBody(item, body));
        return body;
    }
};

TEST_F(MessageSenderTest, ASentMessageIsMarkedSentDatedAndMovedToTheSentBoxWhichLeavesTheOutBoxCompact) {
    rig.clock.now = 1'800'000'000;  // 01/15/27 08:00 AM UTC
    const THeaderItem& item = Create({"{\\rtf1 ", "Hello\\par ", "\\par }"});
    store.ChangeRecord(handle, [](THeaderItem& r) { r.MsgType = "RTF"; });
    auto& s = Accepting();
    ASSERT_TRUE(Send(item));
    EXPECT_TRUE(s.Finished());
    EXPECT_EQ(Data(s), "{\\rtf1 \r\nHello\\par \r\n\\par }\r\n");
    EXPECT_NE(s.Written().find("From:     Ann Smith <ann@example.org>\r\n"), std::string::npos);
    EXPECT_NE(s.Written().find("Content-Type: text/rtf;"), std::string::npos);
    EXPECT_EQ(item.Mailbox.str(), "Sent Box");
    EXPECT_EQ(item.Flags & (mfSent | mfQueued), mfSent);
    EXPECT_EQ(item.Date.str(), "01/15/27 08:00 AM");
    EXPECT_EQ(Body(item), "{\\rtf1 \r\nHello\\par \r\n\\par }\r\n");
    EXPECT_EQ(store.Headers().Count("Out Box"), 0);
    EXPECT_EQ(ReadFileOrEmpty(store.Files().MessagePath("Out Box")), "");
    // A fresh load finds it sent in the Sent Box.
    TRecordingPrompt prompt2;
    TIniFile config2{dir.File("Internet.ini")};
    TMailStore again{dir.Path() + "/", config2, prompt2, rig.pump};
    again.LoadTree();
    ASSERT_EQ(again.Headers().Count("Sent Box"), 1);
}

TEST_F(MessageSenderTest, APlainTextMessageGoesOutAsTextWithItsSignatureAfterAnEmptyLine) {
    lists.signatures = {{"Work",
                         {"Ann\x02"
                          "Fenmarch Ltd"}},
                        {"Default Signature", {""}}};
    const THeaderItem& item = Create({"{\\rtf1 ", "First\\par ", "Second", "\\par }"});
    store.ChangeRecord(handle, [](THeaderItem& r) { r.MsgType = "rtf"; });  // not exactly "RTF": sent as text
    store.ChangeRecord(handle, [](THeaderItem& r) { r.Signature = "Work"; });
    auto& s = Accepting();
    ASSERT_TRUE(Send(item));
    EXPECT_NE(s.Written().find("Content-Type: text/plain;"), std::string::npos);
    EXPECT_EQ(Data(s), "First\r\nSecond\r\n\r\nAnn\r\nFenmarch Ltd\r\n");
}

TEST_F(MessageSenderTest, ARichTextSignatureIsEscapedAndPutInsideTheDocument) {
    std::vector<std::string> body = {"{\\rtf1 ", "Hi", "\\par }"};
    TMessageSender::AppendRtfSignature(body, {"a\\b {c}", ""});
    EXPECT_EQ(body, (List{"{\\rtf1 ", "Hi", "\\pard ", "\\par a\\\\b \\{c\\}", "\\par ", "\\par }"}));
    std::vector<std::string> one = {"x"};
    TMessageSender::AppendRtfSignature(one, {"s"});
    EXPECT_EQ(one, (List{"x", "\\pard ", "\\par s", "\\par }"}));
    // Names are matched exactly; "No Signature" finds nothing.
    const std::vector<TListRow> sigs = {{"Work", {"w"}}};
    EXPECT_NE(TMessageSender::FindSignature(sigs, "Work"), nullptr);
    EXPECT_EQ(TMessageSender::FindSignature(sigs, "work"), nullptr);
    EXPECT_EQ(TMessageSender::FindSignature(sigs, "No Signature"), nullptr);
}

TEST_F(MessageSenderTest, ARefusedRecipientLeavesTheMessageQueuedInTheOutBoxAndTheOperationEnded) {
    const THeaderItem& item = Create({"x"});
    store.ChangeRecord(handle, [](THeaderItem& r) { r.Flags = mfQueued | mfSent; });
    rig.net.Next()
        .Server("220 mx\r\n")
        .Client("HELO 10.0.0.9\r\n")
        .Server("250 hi\r\n")
        .Client("MAIL FROM:<ann@example.org>\r\n")
        .Server("250 ok\r\n")
        .Client("RCPT TO:<bob@example.net>\r\n")
        .Server("550 no such user\r\n");
    EXPECT_FALSE(Send(item));
    EXPECT_EQ(item.Mailbox.str(), "Out Box");
    EXPECT_EQ(item.Flags & (mfSent | mfQueued), mfQueued);
    EXPECT_EQ(item.Date.str(), "01/02/03 04:05 AM");
    // The reply is shown while the send ends; the status line then says the
    // operation is over, whatever ended it.
    EXPECT_NE(std::find(rig.display.statuses.begin(), rig.display.statuses.end(), "550 no such user"),
              rig.display.statuses.end());
    EXPECT_EQ(rig.display.statuses.back(), TMessageSender::kCanceled);
    EXPECT_EQ(Body(item), "x\r\n");
}

TEST_F(MessageSenderTest, ATlsAccountLogsInWithItsPopCredentialsAndAWrongPasswordLeavesTheMessageQueued) {
    const std::string print =
        "12:34:56:78:9A:BC:DE:F0:12:34:56:78:9A:BC:DE:F0:12:34:56:78:9A:BC:DE:F0:12:34:56:78:9A:BC:DE:F0";
    accounts.Find("Home")->security = TSecurity::Tls;
    const THeaderItem& item = Create({"x"});
    TScript& s = rig.net.Next()
                     .Tls(TScript::Untrusted("The certificate has expired.", print))
                     .Server("220 mx\r\n")
                     .Client("EHLO 10.0.0.9\r\n")
                     .Server("250-mx\r\n250 AUTH PLAIN\r\n")
                     .Client("AUTH PLAIN AGFubgBwdw==\r\n")
                     .Server("535 5.7.8 Authentication credentials invalid\r\n");
    rig.prompt.QueueAnswer(TPromptAnswer::Yes);
    EXPECT_FALSE(Send(item));
    EXPECT_EQ(s.port, 465);
    EXPECT_EQ(s.Written(), s.ClientText());
    EXPECT_EQ(item.Mailbox.str(), "Out Box");
    EXPECT_EQ(item.Flags & (mfSent | mfQueued), mfQueued);
    ASSERT_EQ(rig.prompt.Errors().size(), 1u);
    EXPECT_NE(rig.prompt.Errors()[0].find("Reason: 535 5.7.8 Authentication credentials invalid"), std::string::npos);
    // The certificate the user trusted on the way stays trusted.
    EXPECT_EQ(accounts.Find("Home")->smtpFingerprint, print);
    EXPECT_EQ(config.ReadString("SMTP Certificates", "Home", ""), print);
}

TEST_F(MessageSenderTest, ACancelledSendSaysSo) {
    const THeaderItem& item = Create({"x"});
    rig.net.Next().Server("220 mx\r\n").Client("HELO 10.0.0.9\r\n");
    TMessageSender sender(rig.Env(), store, accounts, lists, actions);
    rig.pump.onPump = [&](int passes) {
        if (passes == 5) sender.Cancel();
    };
    EXPECT_FALSE(sender.SendMessage(item, {}));
    EXPECT_EQ(rig.display.statuses.back(), TMessageSender::kCanceled);
    EXPECT_EQ(item.Mailbox.str(), "Out Box");
}

TEST_F(MessageSenderTest, AMessageOfADeletedAccountHasNoSenderAndFailsAtConnect) {
    const THeaderItem& item = Create({"x"});
    store.ChangeRecord(handle, [](THeaderItem& r) { r.Server = "Gone"; });
    EXPECT_FALSE(Send(item));
    EXPECT_EQ(item.Mailbox.str(), "Out Box");
    EXPECT_TRUE(item.Has(mfQueued));
}

TEST_F(MessageSenderTest, AnOutgoingFilterChoosesAnotherMailboxAndBookMembersBecomeCC) {
    ASSERT_TRUE(TMailboxOperations(store).CreateMailbox("Archive", -1));
    TListRow filter{"To archive", {}};
    filter.SetSubItem(filterfield::Out, "Yes");
    filter.SetSubItem(filterfield::MoveTo, "Archive");
    filter.SetSubItem(filterfield::Term3, "Report");
    filter.SetSubItem(filterfield::Term4, "Report");
    filter.SetSubItem(filterfield::Op2, "0");
    lists.book = {Member("Team", "1", "t1@x.net\x02t2@x.net")};
    const THeaderItem& item = Create({"x"}, "Team");
    store.ChangeRecord(handle, [](THeaderItem& r) { r.MsgType = "Text"; });
    lists.filters = {filter};
    auto& s = rig.net.Next()
                  .Server("220 mx\r\n")
                  .Client("HELO 10.0.0.9\r\n")
                  .Server("250 hi\r\n")
                  .Client("MAIL FROM:<ann@example.org>\r\n")
                  .Server("250 ok\r\n")
                  .Client("RCPT TO:<t1@x.net>\r\n")
                  .Server("250 ok\r\n")
                  .Client("RCPT TO:<t2@x.net>\r\n")
                  .Server("250 ok\r\n")
                  .Client("DATA\r\n")
                  .Server("354 go\r\n")
                  .ClientUntil("\r\n.\r\n")
                  .Server("250 queued\r\n")
                  .Client("QUIT\r\n")
                  .Server("221 bye\r\n");
    ASSERT_TRUE(Send(item));
    EXPECT_NE(s.Written().find("CC:       \"t1@x.net\" <t1@x.net>,\r\n          \"t2@x.net\" <t2@x.net>\r\n"),
              std::string::npos);
    EXPECT_EQ(s.Written().find("\r\nTO:"), std::string::npos);
    EXPECT_EQ(item.Mailbox.str(), "Archive");
}

}  // namespace
