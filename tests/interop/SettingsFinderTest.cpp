// Settings found from an address: the built-in table, DNS SRV answers, and
// probes of real servers (Dovecot, aiosmtpd) on 127.0.0.1 that read only
// greeting and capabilities; the settings found then fetch and send mail.
#include <arpa/nameser.h>
#include <gtest/gtest.h>

#include <map>

#include "common/Clock.h"
#include "common/SleepPump.h"
#include "config/IniFile.h"
#include "config/ProviderTable.h"
#include "mail/SettingsFinder.h"
#include "support/LocalServers.h"
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
#include "transport/SrvAnswer.h"

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool AnyStepHolds(const TFoundSettings& found, const std::string& part) {
    for (const auto& s : found.steps)
        if (Contains(s, part)) return true;
    return false;
}

std::string Steps(const TFoundSettings& found) {
    std::string out;
    for (const auto& s : found.steps) out += s + "\n";
    return out;
}

// ---- DNS answers built byte by byte ----

void Put16(std::vector<unsigned char>& m, unsigned v) {
    m.push_back(static_cast<unsigned char>(v >> 8));
    m.push_back(static_cast<unsigned char>(v & 0xFF));
}

void PutName(std::vector<unsigned char>& m, const std::string& dotted) {
    std::size_t start = 0;
    while (start < dotted.size()) {
        const auto dot = dotted.find('.', start);
        const std::string label = dotted.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        m.push_back(static_cast<unsigned char>(label.size()));
        m.insert(m.end(), label.begin(), label.end());
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    m.push_back(0);
}

struct TRr {
    unsigned type = ns_t_srv;
    unsigned priority, weight, port;
    std::vector<unsigned char> target;  // wire form
};

std::vector<unsigned char> Wire(const std::string& dotted) {
    std::vector<unsigned char> m;
    if (dotted != ".") PutName(m, dotted);
    else m.push_back(0);
    return m;
}

// A response to a question about name, its answers named by a pointer to
// the question's name (offset 12), as resolvers send them.
std::vector<unsigned char> Answer(const std::string& name, const std::vector<TRr>& rrs) {
    std::vector<unsigned char> m;
    Put16(m, 0x1234);
    Put16(m, 0x8180);
    Put16(m, 1);
    Put16(m, static_cast<unsigned>(rrs.size()));
    Put16(m, 0);
    Put16(m, 0);
    PutName(m, name);
    Put16(m, ns_t_srv);
    Put16(m, ns_c_in);
    for (const TRr& rr : rrs) {
        Put16(m, 0xC00C);
        Put16(m, rr.type);
        Put16(m, ns_c_in);
        Put16(m, 0);
        Put16(m, 300);
        Put16(m, static_cast<unsigned>(6 + rr.target.size()));
        Put16(m, rr.priority);
        Put16(m, rr.weight);
        Put16(m, rr.port);
        m.insert(m.end(), rr.target.begin(), rr.target.end());
    }
    return m;
}

std::vector<TSrvRecord> Parse(const std::vector<unsigned char>& m) { return srvanswer::Parse(m.data(), m.size()); }

}  // namespace

TEST(SrvAnswer, RecordsAreReadWithCompressedNamesAndTheBestIsTheLowestPriorityThenTheHeaviest) {
    const std::string name = "_pop3s._tcp.example.org";
    // The third target is "mail" + a pointer to "example.org" inside the
    // question (offset 12 + the labels "_pop3s" and "_tcp").
    std::vector<unsigned char> compressed{4, 'm', 'a', 'i', 'l', 0xC0, static_cast<unsigned char>(12 + 7 + 5)};
    const auto m = Answer(name, {{ns_t_srv, 20, 0, 995, Wire("backup.example.org")},
                                 {ns_t_srv, 10, 5, 1995, Wire("pop.example.org")},
                                 {ns_t_srv, 10, 60, 995, compressed},
                                 {ns_t_a, 0, 0, 0, {127, 0}},  // another type passes by
                                 {ns_t_srv, 0, 0, 0, Wire(".")}});
    const auto records = Parse(m);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0], (TSrvRecord{20, 0, 995, "backup.example.org"}));
    EXPECT_EQ(records[2], (TSrvRecord{10, 60, 995, "mail.example.org"}));
    EXPECT_EQ(records[3].target, "");  // "." : not offered
    EXPECT_EQ(srvanswer::Best(records), (TSrvRecord{10, 60, 995, "mail.example.org"}));

    // "." alone says the domain has no such service.
    const auto none = Parse(Answer(name, {{ns_t_srv, 0, 0, 0, Wire(".")}}));
    ASSERT_EQ(none.size(), 1u);
    EXPECT_FALSE(srvanswer::Best(none));

    // Damaged answers give nothing and read nothing beyond their end: cut
    // short, a pointer that points at itself, a record too short for its
    // fields, a target running past its record.
    auto cut = m;
    cut.resize(cut.size() - 3);
    EXPECT_LE(Parse(cut).size(), 3u);
    for (std::size_t n = 0; n < m.size(); ++n) {
        const std::vector<unsigned char> prefix(m.begin(), m.begin() + static_cast<std::ptrdiff_t>(n));
        (void)Parse(prefix);
    }
    const auto loop = Answer(name, {{ns_t_srv, 1, 1, 995, {0xC0, 0x00}}});
    auto selfPointer = loop;
    const std::size_t at = selfPointer.size() - 2;
    selfPointer[at + 1] = static_cast<unsigned char>(at);
    EXPECT_TRUE(Parse(selfPointer).empty());
    auto shortRr = Answer(name, {{ns_t_srv, 1, 1, 995, {}}});
    EXPECT_TRUE(Parse(shortRr).empty());
    EXPECT_TRUE(Parse(Answer(name, {{ns_t_srv, 1, 1, 995, {9, 'p', 'o', 'p'}}})).empty());
}

TEST(ProviderTable, TheLargeProvidersAreKnownAndTheirSettingsFillAnAccount) {
    for (const char* domain : {"gmail.com", "googlemail.com", "outlook.com", "hotmail.com", "live.com", "hotmail.co.uk",
                               "yahoo.com", "icloud.com", "me.com", "aol.com", "gmx.net", "gmx.de", "web.de",
                               "fastmail.com", "zoho.com", "yandex.ru", "mail.ru", "inbox.ru"})
        EXPECT_NE(TProviderTable::Find(domain), nullptr) << domain;
    EXPECT_EQ(TProviderTable::Find("notgmail.com"), nullptr);
    EXPECT_EQ(TProviderTable::Find("gmail.com.evil.example"), nullptr);
    EXPECT_EQ(TProviderTable::Find(""), nullptr);
    EXPECT_EQ(TProviderTable::Find("GMail.COM.")->name, "Gmail");

    // No network is asked for a provider of the table.
    TPosixSocketFactory net;
    TSleepPump pump;
    TSystemClock clock;
    TRecordingPrompt prompt;
    TRecordingDisplay display;
    TSettingsFinder finder({net, pump, clock, prompt, display});
    finder.popCandidates = finder.smtpCandidates = [](const std::string&) -> std::vector<TServerSettings> {
        ADD_FAILURE() << "probed a provider of the table";
        return {};
    };
    const TFoundSettings found = finder.Find(" Ann.Smith@Hotmail.co.uk ");
    EXPECT_EQ(found.provider, "Outlook.com");
    EXPECT_EQ(found.signIn, TSignIn::OAuth2);
    EXPECT_EQ(found.steps.size(), 1u);

    // Outlook.com: POP3 over TLS, submission with STARTTLS on 587; both the
    // usual ports, so the server fields name the hosts alone.
    TAccount account;
    account.security = TSecurity::Tls;
    found.ApplyTo(account);
    EXPECT_EQ(account.popServer, "outlook.office365.com");
    EXPECT_EQ(account.smtpServer, "smtp-mail.outlook.com");
    EXPECT_EQ(account.Security(), TSecurity::Tls);
    EXPECT_EQ(account.SmtpSecurity(), TSecurity::StartTls);
    EXPECT_EQ(account.popUserName, "Ann.Smith@Hotmail.co.uk");
    EXPECT_EQ(account.returnAddress, "Ann.Smith@Hotmail.co.uk");

    EXPECT_FALSE(finder.Find("no address").Found());
    EXPECT_FALSE(finder.Find("ann@").Found());

    // The tool prints the same.
    const auto tool = RunTool({"account", "detect", "ann@gmail.com"});
    EXPECT_EQ(tool.exitCode, 0) << tool.err;
    EXPECT_EQ(tool.out,
              "provider\tGmail\n"
              "pop\tpop.gmail.com\t995\tTLS\tbuilt-in table\n"
              "smtp\tsmtp.gmail.com\t465\tTLS\tbuilt-in table\n"
              "user\tann@gmail.com\n"
              "sign-in\tOAuth2 or app password\n"
              "note\tPOP must be turned on in Gmail's settings (Forwarding and POP/IMAP).\n");
    EXPECT_EQ(RunTool({"account", "detect"}).exitCode, 2);
}

namespace {

// The machine's network with the DNS SRV answers of the test.
class TSrvNetwork : public TPosixSocketFactory {
public:
    std::map<std::string, std::vector<TSrvRecord>> answers;
    std::vector<std::string> asked;
    std::unique_ptr<ISrvLookup> LookupSrv(const std::string& name) override {
        asked.push_back(name);
        struct TDone : ISrvLookup {
            std::vector<TSrvRecord> records;
            bool Done() const override { return true; }
            std::vector<TSrvRecord> Records() const override { return records; }
        };
        auto lookup = std::make_unique<TDone>();
        if (const auto it = answers.find(name); it != answers.end()) lookup->records = it->second;
        return lookup;
    }
};

TTestCertificates& Certificates() {
    static TTestCertificates certs;
    return certs;
}

class SettingsFinderInterop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Certificates().Ok()) << Certificates().Failure();
        pair = Certificates().Issue("local", "DNS:localhost,IP:127.0.0.1");
        dovecot.EnableTls(pair.cert, pair.key);
        dovecot.AddMessage("Subject: found\n\nThe settings work.\n");
        ASSERT_TRUE(dovecot.Start()) << dovecot.Failure();
        sink.emplace(TSmtpSinkOptions{TSmtpSinkOptions::TMode::StartTls, pair.cert, pair.key, "ann@example.test",
                                      "s3cret"});
        ASSERT_TRUE(sink->Start()) << sink->Failure();
    }
    TMailEnv Env() { return {net, pump, clock, prompt, display}; }

    TScopedEnv caFile{"SSL_CERT_FILE", Certificates().CaFile()};
    TTestCertificates::TPair pair;
    TDovecotServer dovecot{"ann@example.test", "s3cret"};
    std::optional<TSmtpSink> sink;
    TSrvNetwork net;
    TSleepPump pump;
    TSystemClock clock;
    TRecordingPrompt prompt;
    TRecordingDisplay display;
};

}  // namespace

TEST_F(SettingsFinderInterop, SrvRecordsNameTheServersAndAProbeOfEachTellsItsSignIn) {
    net.answers["_pop3s._tcp.example.test"] = {{0, 0, dovecot.TlsPort(), "127.0.0.1."}};
    net.answers["_submissions._tcp.example.test"] = {{0, 0, 0, ""}};  // "." : not offered
    net.answers["_submission._tcp.example.test"] = {{5, 0, 9, "nowhere.example.test"},
                                                    {1, 0, sink->Port(), "127.0.0.1"}};
    TSettingsFinder finder(Env());
    finder.popCandidates = finder.smtpCandidates = [](const std::string&) -> std::vector<TServerSettings> {
        ADD_FAILURE() << "probed beyond the SRV records";
        return {};
    };
    const TFoundSettings found = finder.Find("ann@Example.Test");
    EXPECT_EQ(net.asked, (std::vector<std::string>{"_pop3s._tcp.example.test", "_submissions._tcp.example.test",
                                                   "_submission._tcp.example.test"}));
    EXPECT_EQ(found.pop, (TServerSettings{"127.0.0.1", dovecot.TlsPort(), TSecurity::Tls})) << Steps(found);
    EXPECT_EQ(found.smtp, (TServerSettings{"127.0.0.1", sink->Port(), TSecurity::StartTls})) << Steps(found);
    EXPECT_EQ(found.popSource, "DNS SRV record");
    EXPECT_EQ(found.signIn, TSignIn::Password);
    EXPECT_TRUE(AnyStepHolds(found, "DNS _submissions._tcp.example.test: not offered.")) << Steps(found);
    EXPECT_TRUE(prompt.Texts().empty());
    // Nobody signed in anywhere.
    EXPECT_FALSE(Contains(dovecot.Log(), "user=<ann")) << dovecot.Log();
    EXPECT_EQ(sink->AuthLog(), "");
}

TEST_F(SettingsFinderInterop, ProbesFindLocalServersPastRefusedOnesAndTheSettingsFoundFetchAndSend) {
    const std::uint16_t closed = FreeLoopbackPort();
    TSettingsFinder finder(Env());
    finder.probeTimeOut = 10;
    std::vector<std::string> shown;
    finder.stepTaken = [&](const std::string& step) { shown.push_back(step); };
    std::vector<std::string> domains;
    finder.popCandidates = [&](const std::string& domain) {
        domains.push_back(domain);
        return std::vector<TServerSettings>{{"127.0.0.1", closed, TSecurity::Tls},
                                            {"127.0.0.1", dovecot.Port(), TSecurity::Tls},
                                            {"127.0.0.1", dovecot.Port(), TSecurity::StartTls}};
    };
    finder.smtpCandidates = [&](const std::string& domain) {
        domains.push_back(domain);
        return std::vector<TServerSettings>{{"127.0.0.1", sink->Port(), TSecurity::Tls},
                                            {"127.0.0.1", sink->Port(), TSecurity::StartTls}};
    };
    const TFoundSettings found = finder.Find("ann@example.test");
    EXPECT_EQ(domains, (std::vector<std::string>{"example.test", "example.test"}));
    EXPECT_EQ(found.pop, (TServerSettings{"127.0.0.1", dovecot.Port(), TSecurity::StartTls})) << Steps(found);
    EXPECT_EQ(found.smtp, (TServerSettings{"127.0.0.1", sink->Port(), TSecurity::StartTls})) << Steps(found);
    EXPECT_EQ(found.popSource, "probe");
    EXPECT_EQ(found.signIn, TSignIn::Password);
    EXPECT_EQ(shown, found.steps);
    // Each probe that failed says why.
    EXPECT_TRUE(AnyStepHolds(found, "Probe POP3 127.0.0.1 port " + std::to_string(closed) +
                                        ", TLS: Could not connect to server."))
        << Steps(found);
    EXPECT_TRUE(AnyStepHolds(found, "port " + std::to_string(dovecot.Port()) + ", TLS: The TLS handshake failed"))
        << Steps(found);
    EXPECT_TRUE(AnyStepHolds(found, "port " + std::to_string(sink->Port()) + ", STARTTLS: found.")) << Steps(found);
    EXPECT_FALSE(Contains(dovecot.Log(), "user=<ann")) << dovecot.Log();
    EXPECT_EQ(sink->AuthLog(), "");

    // The account made from what was found fetches and sends.
    TAccount account;
    account.security = TSecurity::Tls;
    found.ApplyTo(account);
    EXPECT_EQ(account.popServer, "127.0.0.1:" + std::to_string(dovecot.Port()));
    EXPECT_EQ(account.Security(), TSecurity::StartTls);
    EXPECT_EQ(account.SmtpSecurity(), TSecurity::StartTls);
    account.popPassword = "s3cret";
    TTempDir data;
    WriteFileOrDie(data.File("Internet.fmt"), "{\\rtf1 }");
    TIniFile config(data.File("Internet.ini"));
    TQueuedPasswordPrompt passwords;
    TPOP3 pop(Env(), passwords);
    pop.Server = account.popServer;
    pop.Security = account.Security();
    pop.UserName = account.popUserName;
    pop.Password = account.popPassword;
    pop.TimeOut = 10;
    bool gotNew = false;
    try {
        pop.Connect();
        pop.Login();
        pop.Stat();
        pop.Retrieve("Found", data.Path(), config, gotNew);
        pop.Logout();
        pop.Disconnect();
    } catch (...) {
        ADD_FAILURE() << (prompt.Texts().empty() ? "" : prompt.Texts().back().text) << dovecot.Log();
    }
    EXPECT_EQ(pop.Downloaded().size(), 1u);

    TSMTP smtp(Env());
    smtp.Server = account.smtpServer;
    smtp.Security = account.SmtpSecurity();
    smtp.UserName = account.popUserName;
    smtp.Password = account.popPassword;
    smtp.TimeOut = 10;
    TOutgoingMessage message;
    message.From = "Ann <ann@example.test>";
    message.ToList = {"bob@example.net"};
    message.Subject = "Found";
    message.BodyType = 1;
    message.Body = {"Sent with the settings found."};
    smtp.Send(message.EnvelopeFrom(), message.EnvelopeRecipients(),
              TMessageBuilder(clock, prompt, display).Build(message));
    EXPECT_EQ(sink->AuthLog(), "PLAIN ann@example.test ok\n");
    EXPECT_TRUE(prompt.Texts().empty());

    // TLS asked of the STARTTLS port: the box says to try the other mode.
    TSMTP wrong(Env());
    wrong.Server = account.smtpServer;
    wrong.Security = TSecurity::Tls;
    wrong.TimeOut = 10;
    EXPECT_THROW(wrong.Send("ann@example.test", {"bob@example.net"}, "Subject: x\r\n\r\nx\r\n"), EMailError);
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_TRUE(Contains(prompt.Errors()[0], "Reason: The TLS handshake failed")) << prompt.Errors()[0];
    EXPECT_TRUE(Contains(prompt.Errors()[0], "Fix: This port may expect STARTTLS: choose STARTTLS (port 587)"))
        << prompt.Errors()[0];
}
