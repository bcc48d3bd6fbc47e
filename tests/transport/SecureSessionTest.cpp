// The secure sessions scripted byte for byte: implicit TLS, POP3 STLS, SMTP
// EHLO + STARTTLS and AUTH with each mechanism, the certificate question,
// and the cases where nothing secret may leave: no STARTTLS offered, bytes
// injected before the handshake, a refused or cancelled handshake.
#include <gtest/gtest.h>

#include "TransferRig.h"
#include "common/Base64.h"
#include "config/IniFile.h"
#include "support/TempDir.h"
#include "transport/CanceledError.h"
#include "transport/MailError.h"
#include "transport/MessageBuilder.h"
#include "transport/OutgoingMessage.h"
#include "transport/POP3.h"
#include "transport/SMTP.h"
#include "transport/TimedOutError.h"

namespace {

constexpr const char* kFingerprint =
    "AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89";

std::string B64(const std::string& s) {
    return base64::Encode(reinterpret_cast<const unsigned char*>(s.data()), s.size());
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The commands up to DATA: the message itself is another test's concern.
std::string Commands(const std::string& text) { return text.substr(0, text.find("DATA\r\n")); }

class Pop3SecureTest : public ::testing::Test {
protected:
    TTransferRig rig;
    TQueuedPasswordPrompt passwords;
    TPOP3 pop{rig.Env(), passwords};
    void SetUp() override {
        pop.Server = "mail.example.org";
        rig.net.hosts["mail.example.org"] = 0x0A000001;
        rig.net.services["pop3s"] = 995;
        pop.UserName = "ann";
        pop.Password = "s3cret";
        pop.TimeOut = 20;
    }
};

TEST_F(Pop3SecureTest, TlsStartsBeforeTheGreetingOnThePop3sPort) {
    pop.Security = TSecurity::Tls;
    TScript& s = rig.net.Next()
                     .Tls()
                     .Server("+OK ready\r\n")
                     .Client("USER ann\r\n")
                     .Server("+OK\r\n")
                     .Client("PASS s3cret\r\n")
                     .Server("+OK in\r\n");
    pop.Connect();
    pop.Login();
    EXPECT_TRUE(pop.Secure());
    EXPECT_EQ(s.port, 995);
    EXPECT_EQ(s.endpoint.host, "mail.example.org");
    EXPECT_EQ(s.endpoint.security, TSecurity::Tls);
    EXPECT_EQ(s.handshakes, 1);
    EXPECT_EQ(s.Written(), s.ClientText());
    EXPECT_TRUE(rig.prompt.Texts().empty());
}

TEST_F(Pop3SecureTest, StlsUpgradesOnPort110AndARefusalSendsNoName) {
    pop.Security = TSecurity::StartTls;
    TScript& ok = rig.net.Next()
                      .Server("+OK ready\r\n")
                      .Client("STLS\r\n")
                      .Server("+OK Begin TLS negotiation\r\n")
                      .Tls()
                      .Client("USER ann\r\n")
                      .Server("+OK\r\n")
                      .Client("PASS s3cret\r\n")
                      .Server("+OK in\r\n");
    pop.Connect();
    pop.Login();
    EXPECT_EQ(ok.port, 110);
    EXPECT_EQ(ok.handshakes, 1);
    EXPECT_EQ(ok.Written(), ok.ClientText());

    TPOP3 second(rig.Env(), passwords);
    second.Server = "mail.example.org";
    second.Security = TSecurity::StartTls;
    second.TimeOut = 20;
    TScript& refused = rig.net.Next().Server("+OK ready\r\n").Client("STLS\r\n").Server("-ERR unknown command\r\n");
    EXPECT_THROW(second.Connect(), EMailError);
    EXPECT_EQ(refused.Written(), "STLS\r\n");
    ASSERT_EQ(rig.prompt.Errors().size(), 1u);
    EXPECT_TRUE(Contains(rig.prompt.Errors()[0], "Reason: The server does not offer STARTTLS (-ERR unknown command)."));
}

TEST_F(Pop3SecureTest, ASecureCheckAsksForAllSizesOnceAndNoHeaderOfAnIdentifiedMessage) {
    TTempDir data;
    WriteFileOrDie(data.File("Internet.fmt"), "{\\rtf1 }");
    TIniFile config(data.File("Internet.ini"));
    pop.Security = TSecurity::Tls;
    TScript& s = rig.net.Next()
                     .Tls()
                     .Server("+OK ready\r\n")
                     .Client("USER ann\r\n")
                     .Server("+OK\r\n")
                     .Client("PASS s3cret\r\n")
                     .Server("+OK in\r\n")
                     .Client("STAT\r\n")
                     .Server("+OK 1 20\r\n")
                     .Client("UIDL\r\n")
                     .Server("+OK\r\n1 msg-1\r\n.\r\n")
                     .Client("LIST\r\n")
                     .Server("+OK 1 messages\r\n1 20\r\n.\r\n")
                     // Named by its id and not in the seen list: fetched without TOP.
                     .Client("RETR 1\r\n")
                     .Server("+OK\r\nReceived: x\r\n\r\nbody\r\n.\r\n")
                     .Client("QUIT\r\n")
                     .Server("+OK bye\r\n");
    pop.Connect();
    pop.Login();
    pop.Stat();
    bool gotNew = false;
    pop.Retrieve("Home", data.Path(), config, gotNew);
    pop.Logout();
    EXPECT_EQ(s.Written(), s.ClientText());
    ASSERT_EQ(pop.Downloaded().size(), 1u);
    EXPECT_EQ(ReadFileOrEmpty(pop.Downloaded()[0]), "Received: x\r\n\r\nbody\r\n.\r\n");
    EXPECT_EQ(ReadFileOrEmpty(data.File("Home.hf")), "UIDL msg-1\r\n");
    EXPECT_EQ(rig.display.progress.back(), 100);
}

TEST_F(Pop3SecureTest, BytesSentInClearBeforeTheHandshakeEndTheConnection) {
    pop.Security = TSecurity::StartTls;
    // A man in the middle adds a reply of his own behind the server's.
    TScript& s =
        rig.net.Next().Server("+OK ready\r\n").Client("STLS\r\n").Server("+OK Begin TLS\r\n+OK forged\r\n").Tls();
    EXPECT_THROW(pop.Connect(), EMailError);
    EXPECT_EQ(s.handshakes, 0);
    ASSERT_EQ(rig.prompt.Errors().size(), 1u);
    EXPECT_TRUE(Contains(rig.prompt.Errors()[0], "Reason: The server sent data before the TLS handshake."));
}

TEST_F(Pop3SecureTest, AnUntrustedCertificateIsAskedAboutOnceAndPinned) {
    pop.Security = TSecurity::Tls;
    const auto cert = TScript::Untrusted("The certificate was issued for another server name.", kFingerprint);
    rig.net.Next().Tls(cert).Server("+OK ready\r\n");
    rig.prompt.QueueAnswer(TPromptAnswer::Yes);
    pop.Connect();
    ASSERT_EQ(rig.prompt.Texts().size(), 1u);
    const std::string& question = rig.prompt.Texts()[0].text;
    EXPECT_EQ(question,
              std::string("Fenmarch Skiffpost can not verify the certificate of server \"mail.example.org\".\n\r"
                          "Reason: The certificate was issued for another server name.\n\r"
                          "SHA-256 fingerprint: ") +
                  kFingerprint + "\n\rDo you trust this certificate for this account?");
    EXPECT_TRUE(pop.TrustChanged());
    EXPECT_EQ(pop.TrustedFingerprint, kFingerprint);

    // The pinned certificate passes without a question; another asks again.
    TPOP3 again(rig.Env(), passwords);
    again.Server = "mail.example.org";
    again.Security = TSecurity::Tls;
    again.TrustedFingerprint = kFingerprint;
    rig.net.Next().Tls(cert).Server("+OK ready\r\n");
    again.Connect();
    EXPECT_FALSE(again.TrustChanged());
    EXPECT_EQ(rig.prompt.Texts().size(), 1u);

    TPOP3 changed(rig.Env(), passwords);
    changed.Server = "mail.example.org";
    changed.Security = TSecurity::Tls;
    changed.TrustedFingerprint = kFingerprint;
    TScript& s = rig.net.Next().Tls(TScript::Untrusted("The certificate has expired.", "00:01")).Server("+OK\r\n");
    EXPECT_THROW(changed.Connect(), EMailError);  // the queue answers No
    ASSERT_EQ(rig.prompt.Texts().size(), 3u);
    EXPECT_TRUE(Contains(rig.prompt.Texts()[1].text, "differs from the one you trusted before"));
    EXPECT_TRUE(Contains(rig.prompt.Texts()[2].text, "could not establish a secure connection with server"));
    EXPECT_EQ(changed.TrustedFingerprint, kFingerprint);
    EXPECT_EQ(s.Written(), "");
}

TEST_F(Pop3SecureTest, WithoutAUserToAskTheCertificateIsRefusedWithItsFingerprint) {
    TMailEnv env = rig.Env();
    env.mayTrustCertificates = false;
    TPOP3 tool(env, passwords);
    tool.Server = "mail.example.org";
    tool.Security = TSecurity::Tls;
    rig.prompt.QueueAnswer(TPromptAnswer::Yes);
    rig.net.Next().Tls(TScript::Untrusted("The certificate has expired.", kFingerprint));
    EXPECT_THROW(tool.Connect(), EMailError);
    ASSERT_EQ(rig.prompt.Texts().size(), 1u);
    EXPECT_EQ(rig.prompt.Texts()[0].kind, TRecordingPrompt::Shown::Kind::Error);
    EXPECT_TRUE(Contains(rig.prompt.Texts()[0].text, kFingerprint));
}

TEST_F(Pop3SecureTest, AFailedHandshakeShowsItsBoxAndStopEndsAWaitingOne) {
    pop.Security = TSecurity::Tls;
    rig.net.Next().TlsFails();
    EXPECT_THROW(pop.Connect(), EMailError);
    ASSERT_EQ(rig.prompt.Errors().size(), 1u);
    EXPECT_TRUE(Contains(rig.prompt.Errors()[0], "Reason: The TLS handshake failed"));

    // A server that never answers the handshake: the time-out ends the
    // wait, and so does Stop, each without a box.
    rig.prompt.Clear();
    for (const bool stop : {false, true}) {
        TPOP3 waiting(rig.Env(), passwords);
        waiting.Server = "mail.example.org";
        waiting.Security = TSecurity::StartTls;
        waiting.TimeOut = stop ? 1000 : 50;
        TScript& s = rig.net.Next().Server("+OK ready\r\n").Client("STLS\r\n").Server("+OK go\r\n").TlsStalls();
        const int start = rig.pump.passes;
        rig.pump.onPump = [&](int passes) {
            if (stop && passes == start + 40) waiting.Cancel();
        };
        if (stop)
            EXPECT_THROW(waiting.Connect(), ECanceledError);
        else
            EXPECT_THROW(waiting.Connect(), ETimedOutError);
        EXPECT_EQ(s.Written(), "STLS\r\n");
        EXPECT_FALSE(waiting.Connected());
    }
    EXPECT_TRUE(rig.prompt.Texts().empty());
}

class SmtpSecureTest : public ::testing::Test {
protected:
    TTransferRig rig;
    TSMTP smtp{rig.Env()};
    TOutgoingMessage message;
    void SetUp() override {
        smtp.Server = "smtp.example.org";
        rig.net.hosts["smtp.example.org"] = 0x0A000002;
        rig.net.services["submission"] = 587;
        rig.net.services["submissions"] = 465;
        message.From = "Ann <ann@example.org>";
        message.ToList = {"bob@example.net"};
        message.Body = {"hi"};
        message.BodyType = 1;
        smtp.UserName = "ann";
        smtp.Password = "s3cret";
        smtp.TimeOut = 20;
    }
    // The message built and handed to a session, as a send does.
    void Send(TSMTP& session) {
        session.Send(message.EnvelopeFrom(), message.EnvelopeRecipients(),
                     TMessageBuilder(rig.clock, rig.prompt, rig.display).Build(message));
    }
    static TScript& Rest(TScript& s) {
        return s.Client("MAIL FROM:<ann@example.org>\r\n")
            .Server("250 ok\r\n")
            .Client("RCPT TO:<bob@example.net>\r\n")
            .Server("250 ok\r\n")
            .Client("DATA\r\n")
            .Server("354 go\r\n")
            .ClientUntil("\r\n.\r\n")
            .Server("250 queued\r\n")
            .Client("QUIT\r\n")
            .Server("221 bye\r\n");
    }
};

TEST_F(SmtpSecureTest, StartTlsThenAuthPlainWithTheCapabilitiesFromInsideTls) {
    smtp.Security = TSecurity::StartTls;
    TScript& s = rig.net.Next()
                     .Server("220 mx ready\r\n")
                     .Client("EHLO smtp.example.org\r\n")
                     // Offered in clear, ignored: only what comes inside TLS counts.
                     .Server("250-mx\r\n250-AUTH CRAM-MD5\r\n250 STARTTLS\r\n")
                     .Client("STARTTLS\r\n")
                     .Server("220 go ahead\r\n")
                     .Tls()
                     .Client("EHLO smtp.example.org\r\n")
                     .Server("250-mx\r\n250-PIPELINING\r\n250 AUTH LOGIN PLAIN\r\n")
                     .Client("AUTH PLAIN " + B64(std::string("\0ann\0s3cret", 11)) + "\r\n")
                     .Server("235 2.7.0 ok\r\n");
    Rest(s);
    Send(smtp);
    EXPECT_EQ(s.port, 587);
    EXPECT_EQ(s.handshakes, 1);
    EXPECT_TRUE(s.Finished());
    EXPECT_EQ(Commands(s.Written()), Commands(s.ClientText()));
    EXPECT_TRUE(rig.prompt.Texts().empty());
}

TEST_F(SmtpSecureTest, CramMd5IsPreferredAndLoginAnswersBothPrompts) {
    // RFC 2195's example.
    smtp.Security = TSecurity::Tls;
    smtp.UserName = "tim";
    smtp.Password = "tanstaaftanstaaf";
    TScript& cram = rig.net.Next()
                        .Tls()
                        .Server("220 mx\r\n")
                        .Client("EHLO smtp.example.org\r\n")
                        .Server("250-mx\r\n250 AUTH=LOGIN PLAIN CRAM-MD5\r\n")
                        .Client("AUTH CRAM-MD5\r\n")
                        .Server("334 PDE4OTYuNjk3MTcwOTUyQHBvc3RvZmZpY2UucmVzdG9uLm1jaS5uZXQ+\r\n")
                        .Client("dGltIGI5MTNhNjAyYzdlZGE3YTQ5NWI0ZTZlNzMzNGQzODkw\r\n")
                        .Server("235 ok\r\n");
    Rest(cram);
    Send(smtp);
    EXPECT_EQ(cram.port, 465);
    EXPECT_TRUE(cram.Finished());
    EXPECT_EQ(Commands(cram.Written()), Commands(cram.ClientText()));

    TSMTP login(rig.Env());
    login.Server = "smtp.example.org";
    login.Security = TSecurity::Tls;
    login.UserName = "ann";
    login.Password = "s3cret";
    TScript& s = rig.net.Next()
                     .Tls()
                     .Server("220 mx\r\n")
                     .Client("EHLO smtp.example.org\r\n")
                     .Server("250-mx\r\n250 AUTH LOGIN\r\n")
                     .Client("AUTH LOGIN\r\n")
                     .Server("334 VXNlcm5hbWU6\r\n")
                     .Client(B64("ann") + "\r\n")
                     .Server("334 UGFzc3dvcmQ6\r\n")
                     .Client(B64("s3cret") + "\r\n")
                     .Server("235 ok\r\n");
    Rest(s);
    Send(login);
    EXPECT_TRUE(s.Finished());
    EXPECT_EQ(Commands(s.Written()), Commands(s.ClientText()));
}

TEST_F(SmtpSecureTest, ARefusedLoginShowsTheServersReplyAndSendsNoMessage) {
    smtp.Security = TSecurity::Tls;
    TScript& s = rig.net.Next()
                     .Tls()
                     .Server("220 mx\r\n")
                     .Client("EHLO smtp.example.org\r\n")
                     .Server("250-mx\r\n250 AUTH PLAIN\r\n")
                     .ClientUntil("\r\n")
                     .Server("535-5.7.8 Username and Password\r\n535 5.7.8 not accepted\r\n");
    EXPECT_THROW(Send(smtp), EMailError);
    ASSERT_EQ(rig.prompt.Errors().size(), 1u);
    EXPECT_EQ(rig.prompt.Errors()[0],
              "Fenmarch Skiffpost could not log in to SMTP Server \"smtp.example.org\".\n\r"
              "Reason: 535 5.7.8 not accepted\n\r"
              "Fix: Check the user name and password of this account in the Control Center.");
    EXPECT_FALSE(Contains(s.Written(), "MAIL FROM"));
}

TEST_F(SmtpSecureTest, WithoutStartTlsOnOfferNeitherPasswordNorMessageLeaves) {
    smtp.Security = TSecurity::StartTls;
    TScript& s = rig.net.Next()
                     .Server("220 mx\r\n")
                     .Client("EHLO smtp.example.org\r\n")
                     .Server("250-mx\r\n250 AUTH PLAIN LOGIN\r\n");
    EXPECT_THROW(Send(smtp), EMailError);
    EXPECT_EQ(s.Written(), "EHLO smtp.example.org\r\n");
    ASSERT_EQ(rig.prompt.Errors().size(), 1u);
    EXPECT_TRUE(Contains(rig.prompt.Errors()[0], "Reason: The server does not offer STARTTLS."));
}

TEST_F(SmtpSecureTest, APlainAccountKeepsHeloAndNeverAuthenticates) {
    smtp.Server = "10.0.0.9";
    TScript& s = rig.net.Next().Server("220 mx\r\n").Client("HELO 10.0.0.9\r\n").Server("250 hi\r\n");
    Rest(s);
    Send(smtp);
    EXPECT_EQ(s.port, 25);
    EXPECT_EQ(s.endpoint.security, TSecurity::None);
    EXPECT_EQ(s.handshakes, 0);
    EXPECT_TRUE(s.Finished());
    EXPECT_EQ(Commands(s.Written()), Commands(s.ClientText()));
}

}  // namespace
