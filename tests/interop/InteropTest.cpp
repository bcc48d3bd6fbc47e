// The clients against real servers: Dovecot for POP3 and aiosmtpd for SMTP,
// each started on 127.0.0.1 for the test and stopped after it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "common/FileUtil.h"
#include "common/SleepPump.h"
#include "config/IniFile.h"
#include "support/LocalServers.h"
#include "support/RealRig.h"
#include "support/RecordingPrompt.h"
#include "support/TelnetRelay.h"
#include "support/TempDir.h"
#include "support/ToolRunner.h"
#include "support/TransferDoubles.h"
#include "transport/MailError.h"
#include "transport/MessageBuilder.h"
#include "transport/OutgoingMessage.h"
#include "transport/POP3.h"
#include "transport/PosixSocketFactory.h"
#include "transport/SMTP.h"

namespace {

class Pop3Interop : public ::testing::Test {
protected:
    TDovecotServer server{"ann", "s3cret"};
    TTempDir data;
    TIniFile config{data.File("Internet.ini")};
    TRealRig rig;
    std::vector<std::string> messages;

    void SetUp() override {
        WriteFileOrDie(data.File("Internet.fmt"), "{\\rtf1 }");
        messages = {
            "Received: from a.example by b.example; Mon, 7 Dec 2026 10:00:00 +0000\nSubject: one\n\nFirst body\n",
            "Received: from c.example by d.example; Mon, 7 Dec 2026 10:01:00 +0000\nSubject: two\n\n.leading dot\n"
            "..two dots\n.\nend\n",
            "Date: Mon, 7 Dec 2026 10:02:00 +0000\nSubject: three\n\n" + std::string(3000, 'x') + "\n",
        };
        for (const auto& m : messages) server.AddMessage(m);
        ASSERT_TRUE(server.Start()) << server.Failure();
    }

    // One account's check; the number of files downloaded.
    std::size_t Check(const std::string& password = "s3cret", std::function<void()> downloaded = {}) {
        TPOP3 pop(rig.Env(), rig.passwords);
        pop.MessageDownloaded = std::move(downloaded);
        pop.Server = "127.0.0.1:" + std::to_string(server.Port());
        pop.UserName = "ann";
        pop.Password = password;
        pop.TimeOut = 10;
        bool gotNew = false;
        pop.Connect();
        pop.Login();
        pop.Stat();
        if (pop.MessageCount() > 0) pop.Retrieve("Home", data.Path(), config, gotNew);
        pop.Logout();
        pop.Disconnect();
        return pop.Downloaded().size();
    }
};

TEST_F(Pop3Interop, ACheckDownloadsExactlyWhatTheServerHoldsAndThenSkipsIt) {
    EXPECT_EQ(Check(), 3u);
    std::vector<std::string> expected;
    for (const auto& m : messages) expected.push_back(TDovecotServer::WireForm(m));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(DownloadsIn(data.Path()), expected);
    EXPECT_EQ(TPOP3::ReadSeenFile(data.File("Home.hf")).size(), 3u);
    EXPECT_TRUE(rig.prompt.Texts().empty());

    for (const auto& e : std::filesystem::directory_iterator(data.Path()))
        if (e.path().extension() == ".tsg") std::filesystem::remove(e.path());
    EXPECT_EQ(Check(), 0u);  // "Record Messages": all seen
    EXPECT_EQ(server.MessagesOnServer(), 3u);

    config.Write(cfg::RecordMessages, false);
    config.Write(cfg::DeleteMessages, true);
    EXPECT_EQ(Check(), 3u);
    EXPECT_EQ(server.MessagesOnServer(), 0u);
}

// A check killed half-way never sent QUIT, so the server still holds what it
// was told to delete; the next check takes none of those twice and deletes
// them, although no seen file records messages.
TEST_F(Pop3Interop, ACheckKilledHalfWayIsFollowedByOneThatTakesNothingTwice) {
    for (int i = 0; i < 7; ++i)
        server.AddMessage("Subject: more " + std::to_string(i) + "\n\nBody " + std::to_string(i) + "\n");
    config.Write(cfg::RecordMessages, false);
    config.Write(cfg::DeleteMessages, true);
    const std::string journal = data.File("Home.taken");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Check("s3cret", [] { ::usleep(200 * 1000); });
        ::_exit(0);
    }
    // Killed once three messages are taken, in the middle of the fourth.
    const auto taken = [&] {
        const std::string lines = ReadFileOrEmpty(journal);
        return std::count(lines.begin(), lines.end(), '\n');
    };
    for (int i = 0; i < 1000 && taken() < 3; ++i) ::usleep(10 * 1000);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::size_t first = DownloadsIn(data.Path()).size();
    ASSERT_GE(first, 3u);
    ASSERT_LT(first, 10u);
    EXPECT_EQ(server.MessagesOnServer(), 10u);

    EXPECT_EQ(Check(), 10u - first);
    auto all = DownloadsIn(data.Path());
    EXPECT_EQ(all.size(), 10u);
    EXPECT_EQ(std::unique(all.begin(), all.end()), all.end());
    EXPECT_EQ(server.MessagesOnServer(), 0u);
    EXPECT_FALSE(fileutil::Exists(journal));
}

TEST_F(Pop3Interop, ACheckRunsThroughATelnetStyleProxy) {
    TTelnetRelay relay;
    TPOP3 pop(rig.Env(), rig.passwords);
    pop.Server = "127.0.0.1:" + std::to_string(server.Port());
    pop.UserName = "ann";
    pop.Password = "s3cret";
    pop.TimeOut = 10;
    pop.UseProxy = true;
    // The proxy's port comes from the services database ("telnet"); a
    // proxy elsewhere carries its port in the host field.
    pop.ProxyServer = "127.0.0.1:" + std::to_string(relay.Port());
    pop.Connect();
    pop.Login();
    pop.Stat();
    EXPECT_EQ(pop.MessageCount(), 3);
    pop.Logout();
    pop.Disconnect();
    EXPECT_EQ(relay.OpenLine(), "open 127.0.0.1 " + std::to_string(server.Port()));
}

TEST(ProxyInterop, AProxyThatCannotReachTheServerShowsItsBox) {
    TTelnetRelay relay;
    TRealRig rig;
    TPOP3 pop(rig.Env(), rig.passwords);
    pop.Server = "127.0.0.1:" + std::to_string(FreeLoopbackPort());
    pop.TimeOut = 10;
    pop.UseProxy = true;
    pop.ProxyServer = "127.0.0.1:" + std::to_string(relay.Port());
    EXPECT_THROW(pop.Connect(), EMailError);
    ASSERT_EQ(rig.prompt.Texts().size(), 1u);
    EXPECT_NE(rig.prompt.Texts()[0].text.find("could not establish a connection with POP3.\n\rReason: telnet: Unable "
                                              "to connect to remote host: Connection refused"),
              std::string::npos);
}

TEST_F(Pop3Interop, SkfpToolCheckStoresTheDownloadsInTheInBox) {
    const std::string folder = data.File("tool");
    const std::vector<std::string> global = {"--data", folder, "--attach", data.File("attach")};
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), global.begin(), global.end());
        return RunTool(args);
    };
    const std::string pop = "127.0.0.1:" + std::to_string(server.Port());
    ASSERT_EQ(run({"account", "add", "Home", "--pop", pop, "--user", "ann", "--pass", "s3cret", "--security", "none"})
                  .exitCode,
              0);
    ASSERT_EQ(
        run({"account", "add", "Bad", "--pop", pop, "--user", "ann", "--pass", "nope", "--security", "none"}).exitCode,
        0);
    WriteFileOrDie(folder + "/Internet.fmt", "{\\rtf1 }");
    const auto ok = run({"check", "Home"});
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
    // Each downloaded message is stored into the In Box and its file goes.
    // The stored subject keeps the blank the incoming header rules leave on it.
    EXPECT_EQ(ok.out, "0\tIn Box\tone \n1\tIn Box\ttwo \n2\tIn Box\tthree \n");
    EXPECT_TRUE(DownloadsIn(folder).empty());
    const auto listed = run({"list", "In Box"});
    EXPECT_NE(listed.out.find("three"), std::string::npos) << listed.out;
    EXPECT_NE(ok.err.find("Logout Successful."), std::string::npos);
    const auto bad = run({"check", "Bad"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("Reason: Invalid Passord."), std::string::npos);
}

// The smallest base64 decoder, to read back what the server stored.
std::string DecodeBase64(const std::string& text) {
    std::string out;
    unsigned value = 0;
    int bits = 0;
    for (const char c : text) {
        int v;
        if (c >= 'A' && c <= 'Z')
            v = c - 'A';
        else if (c >= 'a' && c <= 'z')
            v = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            v = c - '0' + 52;
        else if (c == '+')
            v = 62;
        else if (c == '/')
            v = 63;
        else
            continue;
        value = (value << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<char>((value >> bits) & 0xFF));
        }
    }
    return out;
}

// The content of the MIME part that names a file, up to the next boundary.
std::string PartBody(const std::string& message, const std::string& boundary, const std::string& name) {
    const auto header = message.find("filename=\"" + name + "\"");
    if (header == std::string::npos) return "(part missing)";
    const auto start = message.find("\r\n\r\n", header) + 4;
    const auto end = message.find("\r\n--" + boundary, start);
    return message.substr(start, end - start);
}

// Messages from one relay whose folded "Received:" fields share their first
// line, as real relays write them.
std::string Relayed(const std::string& id, const std::string& subject) {
    return "Received: from relay.example.net (relay.example.net [192.0.2.1])\n\tby mx.example.org (Postfix) with "
           "ESMTP id " +
           id + "\n\tfor <ann@example.org>; Mon, 7 Dec 2026 10:00:00 +0000\nSubject: " + subject + "\n\n" + subject +
           " body\n";
}

class Pop3RelayInterop : public ::testing::Test {
protected:
    TDovecotServer server{"ann", "s3cret"};
    TTempDir data;
    TIniFile config{data.File("Internet.ini")};
    TRealRig rig;

    void SetUp() override { WriteFileOrDie(data.File("Internet.fmt"), "{\\rtf1 }"); }
    std::vector<std::string> CheckAndTake() {
        TPOP3 pop(rig.Env(), rig.passwords);
        pop.Server = "127.0.0.1:" + std::to_string(server.Port());
        pop.UserName = "ann";
        pop.Password = "s3cret";
        pop.TimeOut = 10;
        bool gotNew = false;
        pop.Connect();
        pop.Login();
        pop.Stat();
        if (pop.MessageCount() > 0) pop.Retrieve("Home", data.Path(), config, gotNew);
        pop.Logout();
        pop.Disconnect();
        std::vector<std::string> got = DownloadsIn(data.Path());
        for (const auto& e : std::filesystem::directory_iterator(data.Path()))
            if (e.path().extension() == ".tsg") std::filesystem::remove(e.path());
        return got;
    }
};

TEST_F(Pop3RelayInterop, ThreeMessagesFromOneRelayAllArriveWithACheckBetween) {
    server.AddMessage(Relayed("4AB1C2", "one"));
    ASSERT_TRUE(server.Start()) << server.Failure();
    EXPECT_EQ(CheckAndTake(), std::vector<std::string>{TDovecotServer::WireForm(Relayed("4AB1C2", "one"))});
    server.AddMessage(Relayed("5DE3F4", "two"));
    server.AddMessage(Relayed("6A7B8C", "three"));
    std::vector<std::string> expected = {TDovecotServer::WireForm(Relayed("5DE3F4", "two")),
                                         TDovecotServer::WireForm(Relayed("6A7B8C", "three"))};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(CheckAndTake(), expected);
    EXPECT_TRUE(CheckAndTake().empty());
    EXPECT_TRUE(rig.prompt.Texts().empty());
}

TEST_F(Pop3RelayInterop, TheFirstCheckAfterAnUpgradeFetchesNothingTwiceAndMissesNothing) {
    // An older version checked when the first two messages were there and
    // recorded the first line of each first "Received:" field.
    const std::string dated = "Date: Mon, 7 Dec 2026 09:00:00 +0000\nSubject: dated\n\nbody\n";
    server.AddMessage(Relayed("4AB1C2", "one"));
    server.AddMessage(dated);
    ASSERT_TRUE(server.Start()) << server.Failure();
    {
        // A session that only counts makes the server number these two.
        TPOP3 pop(rig.Env(), rig.passwords);
        pop.Server = "127.0.0.1:" + std::to_string(server.Port());
        pop.UserName = "ann";
        pop.Password = "s3cret";
        pop.TimeOut = 10;
        pop.Connect();
        pop.Login();
        pop.Stat();
        ASSERT_EQ(pop.MessageCount(), 2);
        pop.Logout();
        pop.Disconnect();
    }
    server.AddMessage(Relayed("5DE3F4", "two"));
    WriteFileOrDie(data.File("Home.hf"),
                   "Received: from relay.example.net (relay.example.net [192.0.2.1])\r\n"
                   "Date: Mon, 7 Dec 2026 09:00:00 +0000\r\n");
    EXPECT_EQ(CheckAndTake(), std::vector<std::string>{TDovecotServer::WireForm(Relayed("5DE3F4", "two"))});
    EXPECT_TRUE(CheckAndTake().empty());
    const auto seen = TPOP3::ReadSeenFile(data.File("Home.hf"));
    ASSERT_EQ(seen.size(), 3u);
    for (const auto& line : seen) EXPECT_TRUE(line.starts_with("UIDL ")) << line;
}

TEST(SmtpInterop, AMessageWithAttachmentsArrivesWithItsExactLinesAndBytes) {
    TSmtpSink sink;
    ASSERT_TRUE(sink.Start()) << sink.Failure();
    TTempDir files;
    std::string binary;
    for (int i = 0; i < 100000; ++i) binary.push_back(static_cast<char>((i * 131) >> 3));
    WriteFileOrDie(files.File("data.bin"), binary);
    WriteFileOrDie(files.File("notes.txt"), "one\n.two = 2\n");
    TRealRig rig;
    TSMTP smtp(rig.Env());
    TOutgoingMessage message;
    TMessageBuilder builder(rig.clock, rig.prompt, rig.display);
    smtp.Server = "127.0.0.1:" + std::to_string(sink.Port());
    smtp.TimeOut = 10;
    message.From = "Ann <ann@example.org>";
    message.ToList = {"Bob <bob@example.net>", "carl@example.net"};
    message.CCList = {"Dora <dora@example.net>"};
    message.BCCList = {"eve@example.net"};
    message.Subject = "Report";
    message.BodyType = 1;
    message.Body = {"Hello Bob,", ".the dot stays", "Ann"};
    message.Attachments = {files.File("data.bin"), files.File("notes.txt")};
    smtp.Send(message.EnvelopeFrom(), message.EnvelopeRecipients(), builder.Build(message));
    EXPECT_TRUE(rig.prompt.Texts().empty());
    EXPECT_EQ(ReadFileOrEmpty(sink.Folder() + "env1.txt"),
              "ann@example.org\nbob@example.net\ncarl@example.net\ndora@example.net\neve@example.net\n");
    const std::string stored = ReadFileOrEmpty(sink.Folder() + "msg1.eml");
    EXPECT_TRUE(
        stored.starts_with("Subject:  Report\r\nFrom:     Ann <ann@example.org>\r\n"
                           "TO:       Bob <bob@example.net>,\r\n"
                           "          \"carl@example.net\" <carl@example.net>\r\n"
                           "CC:       Dora <dora@example.net>\r\n"
                           "X-Application: Fenmarch Skiffpost\r\n"))
        << stored.substr(0, 400);
    EXPECT_NE(stored.find("\r\nDate: "), std::string::npos);
    EXPECT_NE(stored.find("\r\nMessage-ID: <"), std::string::npos);
    EXPECT_NE(stored.find("Content-Transfer-Encoding: 7bit\r\n\r\nHello Bob,\r\n.the dot stays\r\nAnn\r\n"),
              std::string::npos);
    EXPECT_EQ(DecodeBase64(PartBody(stored, builder.Boundary(), "data.bin")), binary);
    EXPECT_EQ(PartBody(stored, builder.Boundary(), "notes.txt"), "one\r\n.two =3D 2\r\n");
    EXPECT_TRUE(stored.ends_with("--" + builder.Boundary() + "--\r\n"));
    EXPECT_TRUE(rig.display.Saw("Mail sucessfully sent."));
}

// skfp-tool with a data folder of its own and an account "Home" that
// sends through the local SMTP sink, without TLS.
class ToolSendTest : public ::testing::Test {
protected:
    TSmtpSink sink;
    TTempDir dir;

    TToolResult run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--data", dir.File("d"), "--attach", dir.File("a")});
        return RunTool(args);
    }
    void AddAccount(const std::string& nick) {
        ASSERT_TRUE(sink.Start()) << sink.Failure();
        const std::string smtp = "127.0.0.1:" + std::to_string(sink.Port());
        ASSERT_EQ(run({"account", "add", "Home", "--smtp", smtp, "--return", "ann@example.org", "--nick", nick,
                       "--security", "none"})
                      .exitCode,
                  0);
        WriteFileOrDie(dir.File("d/Internet.fmt"), "{\\rtf1\\ansi \r\n\\pard\\plain \r\n");
    }
};

TEST_F(ToolSendTest, SkfpToolComposeAndSendDeliverTheStoredMessage) {
    ASSERT_NO_FATAL_FAILURE(AddAccount("Ann"));
    WriteFileOrDie(dir.File("body.txt"), "Hello Bob,\n.dot\n");
    std::string binary;
    for (int i = 0; i < 300; ++i) binary.push_back(static_cast<char>(i * 7));
    WriteFileOrDie(dir.File("data.bin"), binary);
    const auto made =
        run({"compose", "--to", "Bob <bob@example.net>", "--subject", "Report", "--text", dir.File("body.txt"),
             "--attach", dir.File("data.bin"), "--server", "Home", "--type", "Text"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const auto sent = run({"send", made.out.substr(0, made.out.size() - 1)});
    ASSERT_EQ(sent.exitCode, 0) << sent.err;
    const std::string stored = ReadFileOrEmpty(sink.Folder() + "/msg1.eml");
    EXPECT_NE(stored.find("Subject:  Report\r\nFrom:     Ann <ann@example.org>\r\nTO:       Bob <bob@example.net>\r\n"),
              std::string::npos)
        << stored;
    EXPECT_NE(stored.find("\r\n\r\nHello Bob,\r\n.dot\r\n"), std::string::npos) << stored;
    const auto boundary = stored.find("boundary=\"") + 10;
    EXPECT_EQ(DecodeBase64(PartBody(stored, stored.substr(boundary, 8), "data.bin")), binary);
    EXPECT_NE(run({"list", "Sent Box"}).out.find("Report"), std::string::npos);
    EXPECT_EQ(run({"list", "Out Box"}).out, "");
}

// What Python's email package reads from a stored message: the To and CC
// addresses as (name, address) pairs, each attachment's file name, and the
// decoded text of the body, one item a line.
std::string ReadWithPythonEmail(const std::string& path) {
    TTempDir scratch;
    const std::string script = scratch.File("read.py");
    WriteFileOrDie(
        script,
        "import sys, email, email.policy, email.utils\n"
        "m = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=email.policy.default)\n"
        "out = []\n"
        "for h in ('From', 'TO', 'CC'):\n"
        "    for name, addr in email.utils.getaddresses([str(m[h])]):\n"
        "        out.append('%s: [%s] %s' % (h, name, addr))\n"
        "out.append('Subject: ' + str(m['Subject']))\n"
        "for part in m.walk():\n"
        "    if part.get_filename() is not None:\n"
        "        out.append('file: ' + repr(part.get_filename()) + ' ' + repr(part.get_payload(decode=True)))\n"
        "    elif part.get_content_maintype() == 'text':\n"
        "        out.append('text: %d %s' % (len(part.get_content()), part.get_content()[:20]))\n"
        "out.append('defects: %d' % sum(len(p.defects) for p in m.walk()))\n"
        "sys.stdout.write('\\n'.join(out) + '\\n')\n");
    const std::string command = "/usr/bin/python3 " + script + " '" + path + "'";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return "(python did not start)";
    std::string out;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

TEST(SmtpInterop, NamesFileNamesAndLongLinesArriveIntactAndReadableByOtherPrograms) {
    TSmtpSink sink;
    ASSERT_TRUE(sink.Start()) << sink.Failure();
    TTempDir files;
    // A Linux file name with a quote, a semicolon and 8-bit bytes (UTF-8).
    const std::string odd = "Jane's \"draft\"; r\xC3\xA9sum\xC3\xA9.bin";
    WriteFileOrDie(files.File(odd), "one\x01two");
    TRealRig rig;
    TSMTP smtp(rig.Env());
    TOutgoingMessage message;
    TMessageBuilder builder(rig.clock, rig.prompt, rig.display);
    smtp.Server = "127.0.0.1:" + std::to_string(sink.Port());
    smtp.TimeOut = 10;
    message.From = "Smith, Ann <ann@example.org>";
    message.ToList = {"Doe, Jane <jane@example.net>", "bob@example.net"};
    message.CCList = {"Team: Ops <ops@example.net>"};
    std::string subject;
    for (int i = 0; i < 30; ++i) subject += "part" + std::to_string(i) + " ";
    message.Subject = subject + "end";
    message.BodyType = 1;
    message.Body = {"Hello,", std::string(2000, 'a'), "Ann"};
    message.Attachments = {files.File(odd)};
    smtp.Send(message.EnvelopeFrom(), message.EnvelopeRecipients(), builder.Build(message));
    EXPECT_TRUE(rig.prompt.Texts().empty());
    EXPECT_EQ(ReadFileOrEmpty(sink.Folder() + "env1.txt"),
              "ann@example.org\njane@example.net\nbob@example.net\nops@example.net\n");
    const std::string stored = ReadFileOrEmpty(sink.Folder() + "msg1.eml");
    for (std::size_t start = 0; start < stored.size();) {
        const auto end = stored.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - start, 998u);
        start = end + 2;
    }
    EXPECT_EQ(ReadWithPythonEmail(sink.Folder() + "msg1.eml"),
              "From: [Smith, Ann] ann@example.org\n"
              "TO: [Doe, Jane] jane@example.net\n"
              "TO: [bob@example.net] bob@example.net\n"
              "CC: [Team: Ops] ops@example.net\n"
              "Subject: " +
                  subject +
                  "end\n"
                  "text: 2013 Hello,\naaaaaaaaaaaaa\n"
                  "file: 'Jane\\'s \"draft\"; r\xC3\xA9sum\xC3\xA9.bin' b'one\\x01two'\n"
                  "defects: 0\n");
}

TEST_F(ToolSendTest, TextInEveryScriptIsSentWholeAndWesternTextAsBefore) {
    ASSERT_NO_FATAL_FAILURE(AddAccount("Анна Смит"));
    WriteFileOrDie(dir.File("body.txt"), "Привет, Иван!\nΓειά σου — 日本語 🎉\n");
    WriteFileOrDie(dir.File("会議の議事録 🎉.txt"), "x");
    WriteFileOrDie(dir.File("western.txt"), "Caf\xc3\xa9\n");
    const auto made =
        run({"compose", "--to", "Иван Петров <ivan@example.ru>", "--subject", "Привет — café ✓ 日本 🎉", "--text",
             dir.File("body.txt"), "--attach", dir.File("会議の議事録 🎉.txt"), "--server", "Home", "--type", "Text"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    ASSERT_EQ(run({"send", made.out.substr(0, made.out.size() - 1)}).exitCode, 0);
    const std::string first = ReadFileOrEmpty(sink.Folder() + "msg1.eml");
    EXPECT_NE(first.find("Content-Type: text/plain; charset=\"utf-8\""), std::string::npos) << first;
    EXPECT_EQ(ReadWithPythonEmail(sink.Folder() + "msg1.eml"),
              "From: [Анна Смит] ann@example.org\n"
              "TO: [Иван Петров] ivan@example.ru\n"
              "CC: [] None\n"
              "Subject: Привет — café ✓ 日本 🎉\n"
              "text: 32 Привет, Иван!\nΓειά σ\n"
              "file: '会議の議事録 🎉.txt' b'x\\n'\n"
              "defects: 0\n");
    // Western text goes out in Windows-1252, as it always did.
    const auto western = run({"compose", "--to", "Zoë <zoe@example.net>", "--subject", "Café crème", "--text",
                              dir.File("western.txt"), "--server", "Home", "--type", "Text"});
    ASSERT_EQ(western.exitCode, 0) << western.err;
    ASSERT_EQ(run({"send", western.out.substr(0, western.out.size() - 1)}).exitCode, 0);
    const std::string second = ReadFileOrEmpty(sink.Folder() + "msg2.eml");
    EXPECT_NE(second.find("Subject:  =?windows-1252?Q?Caf=E9_cr=E8me?=\r\n"), std::string::npos) << second;
    EXPECT_NE(second.find("TO:       =?windows-1252?Q?Zo=EB?= <zoe@example.net>\r\n"), std::string::npos) << second;
    EXPECT_NE(second.find("charset=\"windows-1252\""), std::string::npos) << second;
}

TEST(SmtpInterop, AnAttachmentThatCannotBeReadLeavesNothingAtTheServer) {
    TSmtpSink sink;
    ASSERT_TRUE(sink.Start()) << sink.Failure();
    TTempDir files;
    // A folder by the name of a text file: it opens but cannot be read.
    std::filesystem::create_directories(files.File("notes.txt"));
    TRealRig rig;
    TSMTP smtp(rig.Env());
    TOutgoingMessage message;
    TMessageBuilder builder(rig.clock, rig.prompt, rig.display);
    smtp.Server = "127.0.0.1:" + std::to_string(sink.Port());
    smtp.TimeOut = 10;
    message.From = "Ann <ann@example.org>";
    message.ToList = {"bob@example.net"};
    message.Body = {"x"};
    message.Attachments = {files.File("notes.txt")};
    EXPECT_THROW(smtp.Send(message.EnvelopeFrom(), message.EnvelopeRecipients(), builder.Build(message)), EMailError);
    EXPECT_FALSE(rig.display.Saw("Mail sucessfully sent."));
    // The server saw the connection end inside the data and kept nothing.
    ::usleep(300000);
    EXPECT_FALSE(fileutil::Exists(sink.Folder() + "msg1.eml"));
}

TEST(SmtpInterop, ARefusedRecipientLeavesTheMessageUnsent) {
    TSmtpSink sink;
    ASSERT_TRUE(sink.Start()) << sink.Failure();
    TRealRig rig;
    TSMTP smtp(rig.Env());
    TOutgoingMessage message;
    TMessageBuilder builder(rig.clock, rig.prompt, rig.display);
    smtp.Server = "127.0.0.1:" + std::to_string(sink.Port());
    smtp.TimeOut = 10;
    message.From = "Ann <ann@example.org>";
    message.ToList = {"reject@example.net"};
    message.Body = {"x"};
    EXPECT_THROW(smtp.Send(message.EnvelopeFrom(), message.EnvelopeRecipients(), builder.Build(message)), EMailError);
    EXPECT_TRUE(rig.display.Saw("550 no such user here"));
    EXPECT_FALSE(fileutil::Exists(sink.Folder() + "msg1.eml"));
}

TEST(ConnectInterop, ARefusedPortFailsAtOnce) {
    TRealRig rig;
    TPOP3 pop(rig.Env(), rig.passwords);
    pop.Server = "127.0.0.1:" + std::to_string(FreeLoopbackPort());
    pop.TimeOut = 30;
    EXPECT_THROW(pop.Connect(), EMailError);
    EXPECT_EQ(rig.prompt.Errors().size(), 1u);
}

}  // namespace
