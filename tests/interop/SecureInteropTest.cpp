// TLS, STARTTLS, SMTP AUTH and certificate checks against real servers:
// Dovecot (POP3S and STLS) and aiosmtpd (implicit TLS, STARTTLS, AUTH),
// with certificates from a throwaway authority made by the openssl command
// line and handed to the client through SSL_CERT_FILE for the test only.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "common/FileUtil.h"
#include "common/SleepPump.h"
#include "config/IniFile.h"
#include "support/LocalServers.h"
#include "support/RealRig.h"
#include "support/RecordingPrompt.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/TestCertificates.h"
#include "support/ToolRunner.h"
#include "support/TransferDoubles.h"
#include "transport/MailError.h"
#include "transport/MessageBuilder.h"
#include "transport/OutgoingMessage.h"
#include "transport/POP3.h"
#include "transport/PosixSocketFactory.h"
#include "transport/SMTP.h"

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// One authority and the certificates of the cases, made once for the file.
TTestCertificates& Certificates() {
    static TTestCertificates certs;
    return certs;
}

class SecureInterop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Certificates().Ok()) << Certificates().Failure();
        good = Certificates().Issue("good", "DNS:localhost,IP:127.0.0.1");
        otherHost = Certificates().Issue("otherhost", "DNS:mail.other.example");
        unknownCa = Certificates().Issue("unknownca", "DNS:localhost,IP:127.0.0.1", false);
        ASSERT_FALSE(good.cert.empty() || otherHost.cert.empty() || unknownCa.cert.empty()) << Certificates().Failure();
    }
    TScopedEnv caFile{"SSL_CERT_FILE", Certificates().CaFile()};
    TTestCertificates::TPair good, otherHost, unknownCa;
};

class Pop3SecureInterop : public SecureInterop {
protected:
    TDovecotServer server{"ann", "s3cret"};
    TTempDir data;
    TIniFile config{data.File("Internet.ini")};
    TRealRig rig;

    void Serve(const TTestCertificates::TPair& pair) {
        WriteFileOrDie(data.File("Internet.fmt"), "{\\rtf1 }");
        server.AddMessage("Received: from a by b; Mon, 7 Dec 2026 10:00:00 +0000\nSubject: one\n\n.dot\nbody\n");
        server.AddMessage("Date: Mon, 7 Dec 2026 10:02:00 +0000\nSubject: two\n\n" + std::string(200000, 'y') + "\n");
        if (!pair.cert.empty()) server.EnableTls(pair.cert, pair.key);
        ASSERT_TRUE(server.Start()) << server.Failure();
    }

    // One check; the files downloaded. Throws what the client throws.
    std::size_t Check(TSecurity security, std::uint16_t port, std::string* trusted = nullptr) {
        TPOP3 pop(rig.Env(), rig.passwords);
        pop.Server = "127.0.0.1:" + std::to_string(port);
        pop.UserName = "ann";
        pop.Password = "s3cret";
        pop.TimeOut = 10;
        pop.Security = security;
        if (trusted) pop.TrustedFingerprint = *trusted;
        bool gotNew = false;
        pop.Connect();
        EXPECT_TRUE(pop.Secure());
        pop.Login();
        pop.Stat();
        pop.Retrieve("Home", data.Path(), config, gotNew);
        pop.Logout();
        pop.Disconnect();
        if (trusted && pop.TrustChanged()) *trusted = pop.TrustedFingerprint;
        return pop.Downloaded().size();
    }
};

TEST_F(Pop3SecureInterop, ACheckRunsOverPop3sAndOverStls) {
    Serve(good);
    config.Write(cfg::RecordMessages, false);
    EXPECT_EQ(Check(TSecurity::Tls, server.TlsPort()), 2u);
    EXPECT_EQ(Check(TSecurity::StartTls, server.Port()), 2u);
    EXPECT_TRUE(rig.prompt.Texts().empty());
    // What came through TLS is byte for byte what the server holds.
    bool sawLong = false;
    for (const auto& e : std::filesystem::directory_iterator(data.Path()))
        if (e.path().extension() == ".tsg" && std::filesystem::file_size(e.path()) > 200000) sawLong = true;
    EXPECT_TRUE(sawLong);
    const std::string log = server.Log();
    EXPECT_TRUE(Contains(log, "TLS")) << log;
}

TEST_F(Pop3SecureInterop, ACertificateForAnotherHostIsRefusedBeforeThePasswordAndTrustedAfterAYes) {
    Serve(otherHost);
    const std::string fingerprint = Certificates().Fingerprint(otherHost);
    ASSERT_FALSE(fingerprint.empty());
    std::string trusted;
    rig.prompt.QueueAnswer(TPromptAnswer::No);
    EXPECT_THROW(Check(TSecurity::Tls, server.TlsPort(), &trusted), EMailError);
    ASSERT_EQ(rig.prompt.Texts().size(), 2u);
    EXPECT_EQ(rig.prompt.Texts()[0].kind, TRecordingPrompt::Shown::Kind::YesNo);
    EXPECT_TRUE(Contains(rig.prompt.Texts()[0].text, "can not verify the certificate of server \"127.0.0.1\""));
    EXPECT_TRUE(Contains(rig.prompt.Texts()[0].text, "issued for another server name"));
    EXPECT_TRUE(Contains(rig.prompt.Texts()[0].text, fingerprint));
    EXPECT_TRUE(Contains(rig.prompt.Texts()[1].text, "could not establish a secure connection"));
    EXPECT_TRUE(trusted.empty());
    // The server saw no login at all.
    EXPECT_FALSE(Contains(server.Log(), "user=<ann>")) << server.Log();

    rig.prompt.Clear();
    rig.prompt.QueueAnswer(TPromptAnswer::Yes);
    EXPECT_EQ(Check(TSecurity::StartTls, server.Port(), &trusted), 2u);
    EXPECT_EQ(trusted, fingerprint);
    // Pinned: no second question.
    rig.prompt.Clear();
    EXPECT_EQ(Check(TSecurity::Tls, server.TlsPort(), &trusted), 0u);
    EXPECT_TRUE(rig.prompt.Texts().empty());
}

TEST_F(Pop3SecureInterop, ACertificateFromAnUnknownAuthorityIsRefusedBeforeThePassword) {
    Serve(unknownCa);
    rig.prompt.QueueAnswer(TPromptAnswer::No);
    EXPECT_THROW(Check(TSecurity::StartTls, server.Port()), EMailError);
    ASSERT_FALSE(rig.prompt.Texts().empty());
    EXPECT_TRUE(Contains(rig.prompt.Texts()[0].text, "issued by an authority this computer does not trust"));
    EXPECT_TRUE(Contains(rig.prompt.Texts()[0].text, Certificates().Fingerprint(unknownCa)));
    EXPECT_FALSE(Contains(server.Log(), "user=<ann>")) << server.Log();
    // A changed certificate asks again, saying so.
    std::string pinned = Certificates().Fingerprint(good);
    rig.prompt.Clear();
    EXPECT_THROW(Check(TSecurity::Tls, server.TlsPort(), &pinned), EMailError);
    ASSERT_FALSE(rig.prompt.Texts().empty());
    EXPECT_TRUE(Contains(rig.prompt.Texts()[0].text, "differs from the one you trusted before"));
}

TEST_F(Pop3SecureInterop, AServerWithoutStlsNeverGetsThePassword) {
    Serve({});  // no TLS at all
    EXPECT_THROW(Check(TSecurity::StartTls, server.Port()), EMailError);
    ASSERT_EQ(rig.prompt.Errors().size(), 1u);
    EXPECT_TRUE(Contains(rig.prompt.Errors()[0], "Reason: The server does not offer STARTTLS"))
        << rig.prompt.Errors()[0];
    EXPECT_FALSE(Contains(server.Log(), "user=<ann>")) << server.Log();
}

class SmtpSecureInterop : public SecureInterop {
protected:
    TRealRig rig;
    void Send(TSmtpSink& sink, TSecurity security, const std::string& password = "s3cret") {
        TSMTP smtp(rig.Env());
        TOutgoingMessage message;
        TMessageBuilder builder(rig.clock, rig.prompt, rig.display);
        smtp.Server = "127.0.0.1:" + std::to_string(sink.Port());
        smtp.TimeOut = 10;
        smtp.Security = security;
        smtp.UserName = "ann";
        smtp.Password = password;
        message.From = "Ann <ann@example.org>";
        message.ToList = {"bob@example.net"};
        message.Subject = "Secure";
        message.BodyType = 1;
        message.Body = {"Hello Bob,", ".dot"};
        smtp.Send(message.EnvelopeFrom(), message.EnvelopeRecipients(), builder.Build(message));
    }
};

TEST_F(SmtpSecureInterop, AMessageGoesOutOverImplicitTlsAndOverStartTlsWithAuth) {
    using TMode = TSmtpSinkOptions::TMode;
    for (const auto& [mode, security] :
         {std::pair{TMode::ImplicitTls, TSecurity::Tls}, std::pair{TMode::StartTls, TSecurity::StartTls}}) {
        TSmtpSink sink({mode, good.cert, good.key, "ann", "s3cret"});
        ASSERT_TRUE(sink.Start()) << sink.Failure();
        Send(sink, security);
        EXPECT_TRUE(rig.prompt.Texts().empty());
        EXPECT_EQ(sink.AuthLog(), "PLAIN ann ok\n");
        EXPECT_EQ(ReadFileOrEmpty(sink.Folder() + "env1.txt"), "ann@example.org\nbob@example.net\n");
        EXPECT_TRUE(Contains(ReadFileOrEmpty(sink.Folder() + "msg1.eml"), "\r\n\r\nHello Bob,\r\n.dot\r\n"));
    }
}

TEST_F(SmtpSecureInterop, AWrongPasswordFailsWithTheServersReply) {
    TSmtpSink sink({TSmtpSinkOptions::TMode::StartTls, good.cert, good.key, "ann", "s3cret"});
    ASSERT_TRUE(sink.Start()) << sink.Failure();
    EXPECT_THROW(Send(sink, TSecurity::StartTls, "wrong"), EMailError);
    ASSERT_EQ(rig.prompt.Errors().size(), 1u);
    EXPECT_TRUE(Contains(rig.prompt.Errors()[0], "could not log in to SMTP Server")) << rig.prompt.Errors()[0];
    EXPECT_TRUE(Contains(rig.prompt.Errors()[0], "Reason: 535")) << rig.prompt.Errors()[0];
    EXPECT_EQ(sink.AuthLog(), "PLAIN ann refused\n");
    EXPECT_FALSE(fileutil::Exists(sink.Folder() + "msg1.eml"));
}

TEST_F(SmtpSecureInterop, NoLoginIsTriedWhereStartTlsIsNotOfferedOrTheCertificateIsRefused) {
    TSmtpSink plain({TSmtpSinkOptions::TMode::Plain, "", "", "ann", "s3cret"});
    ASSERT_TRUE(plain.Start()) << plain.Failure();
    EXPECT_THROW(Send(plain, TSecurity::StartTls), EMailError);
    ASSERT_EQ(rig.prompt.Errors().size(), 1u);
    EXPECT_TRUE(Contains(rig.prompt.Errors()[0], "Reason: The server does not offer STARTTLS."));
    EXPECT_EQ(plain.AuthLog(), "");

    rig.prompt.Clear();
    TSmtpSink stranger({TSmtpSinkOptions::TMode::ImplicitTls, unknownCa.cert, unknownCa.key, "ann", "s3cret"});
    ASSERT_TRUE(stranger.Start()) << stranger.Failure();
    EXPECT_THROW(Send(stranger, TSecurity::Tls), EMailError);
    EXPECT_EQ(stranger.AuthLog(), "");
    EXPECT_FALSE(fileutil::Exists(stranger.Folder() + "msg1.eml"));
}

// A TLS server that goes away while a large attachment streams to it: the
// send fails as a lost connection; the broken pipe must not end the program.
TEST_F(SmtpSecureInterop, AServerThatHangsUpDuringTheDataOverTlsIsALostConnection) {
    TTempDir dir;
    const std::string script = dir.File("hangup.py");
    WriteFileOrDie(script, R"(import socket, ssl, sys
ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
ctx.load_cert_chain(sys.argv[1], sys.argv[2])
listener = socket.socket()
listener.bind(('127.0.0.1', 0))
listener.listen(1)
open(sys.argv[3], 'w').write(str(listener.getsockname()[1]))
conn, _ = listener.accept()
tls = ctx.wrap_socket(conn, server_side=True)
tls.sendall(b'220 hi\r\n')
reader = tls.makefile('rb')
for line in reader:
    if line.startswith(b'DATA'):
        tls.sendall(b'354 go\r\n')
        break
    tls.sendall(b'250 ok\r\n')
reader.close()
tls.close()
conn.close()
)");
    const std::string portFile = dir.File("port");
    const std::string command =
        "/usr/bin/python3 '" + script + "' '" + good.cert + "' '" + good.key + "' '" + portFile + "' >/dev/null 2>&1 &";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string port;
    for (int i = 0; i < 500 && port.empty(); ++i) {
        port = ReadFileOrEmpty(portFile);
        if (port.empty()) ::usleep(20000);
    }
    ASSERT_FALSE(port.empty());
    std::string big(8 * 1024 * 1024, 'x');
    WriteFileOrDie(dir.File("big.bin"), big);
    TSMTP smtp(rig.Env());
    TOutgoingMessage message;
    TMessageBuilder builder(rig.clock, rig.prompt, rig.display);
    smtp.Server = "127.0.0.1:" + port;
    smtp.TimeOut = 10;
    smtp.Security = TSecurity::Tls;
    message.From = "Ann <ann@example.org>";
    message.ToList = {"bob@example.net"};
    message.Body = {"hi"};
    message.Attachments = {dir.File("big.bin")};
    EXPECT_ANY_THROW(smtp.Send(message.EnvelopeFrom(), message.EnvelopeRecipients(), builder.Build(message)));
    EXPECT_FALSE(smtp.Connected());
}

// skfp-tool end to end: the account's security and trusted certificate from
// the command line; a refused login leaves the message queued in the Out
// Box; an untrusted certificate fails with its fingerprint until it is
// given with --trust-fingerprint.
TEST_F(SmtpSecureInterop, SkfpToolSendsThroughTlsAccountsAndNeverTrustsOnItsOwn) {
    TSmtpSink sink({TSmtpSinkOptions::TMode::ImplicitTls, otherHost.cert, otherHost.key, "ann", "s3cret"});
    ASSERT_TRUE(sink.Start()) << sink.Failure();
    TTempDir dir;
    const std::vector<std::string> global = {"--data", dir.File("d"), "--attach", dir.File("a"), "--yes"};
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), global.begin(), global.end());
        return RunTool(args);
    };
    const std::string smtp = "127.0.0.1:" + std::to_string(sink.Port());
    const std::string fingerprint = Certificates().Fingerprint(otherHost);
    ASSERT_EQ(run({"account", "add", "Bad", "--smtp", smtp, "--user", "ann", "--pass", "wrong", "--return",
                   "ann@example.org", "--security", "tls", "--trust-fingerprint", fingerprint})
                  .exitCode,
              0);
    ASSERT_EQ(run({"account", "add", "Home", "--smtp", smtp, "--user", "ann", "--pass", "s3cret", "--return",
                   "ann@example.org", "--security", "tls"})
                  .exitCode,
              0);
    WriteFileOrDie(dir.File("d/Internet.fmt"), "{\\rtf1\\ansi \r\n\\pard\\plain \r\n");
    WriteFileOrDie(dir.File("body.txt"), "Hello Bob,\n");
    auto compose = [&](const std::string& account) {
        const auto made = run({"compose", "--to", "bob@example.net", "--subject", "Via " + account, "--text",
                               dir.File("body.txt"), "--server", account, "--type", "Text"});
        EXPECT_EQ(made.exitCode, 0) << made.err;
        return made.out.substr(0, made.out.size() - 1);
    };

    const auto refused = run({"send", compose("Bad")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(Contains(refused.err, "could not log in to SMTP Server")) << refused.err;
    EXPECT_EQ(sink.AuthLog(), "PLAIN ann refused\n");
    EXPECT_TRUE(Contains(run({"list", "Out Box"}).out, "Via Bad"));

    // --yes answers the tool's other questions, never this one.
    const auto untrusted = run({"send", compose("Home")});
    EXPECT_EQ(untrusted.exitCode, 1);
    EXPECT_TRUE(Contains(untrusted.err, fingerprint)) << untrusted.err;
    EXPECT_EQ(sink.AuthLog(), "PLAIN ann refused\n");
    EXPECT_TRUE(Contains(run({"list", "Out Box"}).out, "Via Home"));
    EXPECT_FALSE(fileutil::Exists(sink.Folder() + "msg1.eml"));

    ASSERT_EQ(run({"account", "add", "Pinned", "--smtp", smtp, "--user", "ann", "--pass", "s3cret", "--return",
                   "ann@example.org", "--security", "TLS", "--trust-fingerprint", fingerprint})
                  .exitCode,
              0);
    const auto sent = run({"send", compose("Pinned")});
    EXPECT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(sink.AuthLog(), "PLAIN ann refused\nPLAIN ann ok\n");
    EXPECT_TRUE(Contains(ReadFileOrEmpty(sink.Folder() + "msg1.eml"), "Via Pinned"));
    EXPECT_TRUE(Contains(run({"list", "Sent Box"}).out, "Via Pinned"));
}

}  // namespace
