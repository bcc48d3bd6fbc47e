// An account's security mode and trusted certificates: kept in
// "Internet.ini" under its alias, implied from the server ports where never
// set, and following the account through rename and removal.
#include <gtest/gtest.h>

#include "common/BusyFlag.h"
#include "common/FileUtil.h"
#include "common/SleepPump.h"
#include "config/AccountList.h"
#include "config/IniFile.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"
#include "support/ToolRunner.h"
#include "transport/Fingerprint.h"

namespace {

constexpr const char* kPrint =
    "AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89";

TAccount Servers(const char* alias, const char* pop, const char* smtp = "") {
    TAccount a;
    a.alias = alias;
    a.popServer = pop;
    a.smtpServer = smtp;
    return a;
}

class AccountSecurityTest : public ::testing::Test {
protected:
    TTempDir dir;
    TAccountList list{dir.Path()};
    TBusyFlag listFill;
    TSleepPump pump;
    TRecordingPrompt prompt;
    TIniFile ini{dir.File("Internet.ini")};
};

TEST_F(AccountSecurityTest, AnAccountWithoutASettingIsTlsOnlyWhenItsServersNameTheTlsPorts) {
    const auto implied = [](const char* pop, const char* smtp) { return Servers("A", pop, smtp).Security(); };
    EXPECT_EQ(implied("pop.example.org", "smtp.example.org"), TSecurity::None);
    EXPECT_EQ(implied("pop.example.org:995", ""), TSecurity::Tls);
    EXPECT_EQ(implied("", "smtp.example.org:465"), TSecurity::Tls);
    EXPECT_EQ(implied("pop.example.org:110", "smtp.example.org:587"), TSecurity::None);
    EXPECT_EQ(implied("pop.example.org:9950", "smtp.example.org:46"), TSecurity::None);
    EXPECT_TRUE(Servers("A", "pop").PasswordInClearText());
    TAccount set = Servers("A", "pop.example.org:995");
    set.security = TSecurity::None;  // a setting outranks the port
    EXPECT_EQ(set.Security(), TSecurity::None);
    EXPECT_FALSE(Servers("A", "pop:995").PasswordInClearText());
    // A new account starts out for today's providers.
    EXPECT_EQ(list.AddNew().Security(), TSecurity::Tls);
}

TEST_F(AccountSecurityTest, SettingsLiveInTheIniUnderTheAliasAndFollowRenameAndRemove) {
    TAccount home{"Home", "pop.home", "smtp.home", "ann", "pw", "ann@home", "Ann"};
    home.security = TSecurity::StartTls;
    home.popFingerprint = kPrint;
    list.Add(home);
    list.Add(Servers("Old", "pop.old", "smtp.old"));
    ASSERT_TRUE(list.Save(listFill, pump));
    // "Internet.svr" keeps its seven fields for the programs that read it.
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Internet.svr")),
              "Home\x01pop.home\x01smtp.home\x01"
              "ann\x01pw\x01"
              "ann@home\x01"
              "Ann\x01\r\n"
              "Old\x01pop.old\x01smtp.old\x01\x01\x01\x01\x01\r\n");
    EXPECT_EQ(ini.ReadString("Server Security", "Home", "-"), "STARTTLS");
    EXPECT_EQ(ini.ReadString("Pop Certificates", "Home", "-"), kPrint);
    EXPECT_FALSE(ini.HasKey("Server Security", "Old"));  // unset stays unset
    EXPECT_FALSE(ini.HasKey("SMTP Certificates", "Home"));

    TAccountList again(dir.Path());
    again.Load();
    EXPECT_EQ(again.Accounts(), list.Accounts());

    ASSERT_TRUE(list.Rename("Home", "Cottage", prompt, listFill, pump));
    EXPECT_FALSE(ini.HasKey("Server Security", "Home"));
    EXPECT_FALSE(ini.HasKey("Pop Certificates", "Home"));
    EXPECT_EQ(ini.ReadString("Server Security", "Cottage", "-"), "STARTTLS");
    EXPECT_EQ(ini.ReadString("Pop Certificates", "Cottage", "-"), kPrint);
    // A renamed account's old settings must not pass to a new one of that name.
    list.Add(Servers("Home", "pop.new"));
    ASSERT_TRUE(list.Save(listFill, pump));
    again.Load();
    EXPECT_EQ(again.Find("Home")->security, std::nullopt);
    EXPECT_EQ(again.Find("Home")->popFingerprint, "");

    ASSERT_TRUE(list.Remove("Cottage", listFill, pump));
    EXPECT_FALSE(ini.HasKey("Server Security", "Cottage"));
    EXPECT_FALSE(ini.HasKey("Pop Certificates", "Cottage"));
}

TEST_F(AccountSecurityTest, AHandEditedValueIsReadWithoutRegardToCaseAndNonsenseIsIgnored) {
    list.Add(Servers("Home", "pop.home:995"));
    list.Add(Servers("Work", "pop.work"));
    ASSERT_TRUE(list.Save(listFill, pump));
    ini.WriteString("Server Security", "home", "starttls");
    ini.WriteString("Server Security", "Work", "very safe");
    list.Load();
    EXPECT_EQ(list.Find("Home")->Security(), TSecurity::StartTls);
    EXPECT_EQ(list.Find("Work")->security, std::nullopt);
    EXPECT_EQ(list.Find("Work")->Security(), TSecurity::None);
}

// The alias is the settings' key: an alias the file's reader would trim,
// split or skip still keeps its mode, so no account drops to clear text.
TEST_F(AccountSecurityTest, EveryAliasKeepsItsSettingsWhateverItsCharacters) {
    const char* aliases[] = {"Work ", " Lead", "a=b", ";comment", "[section]", "%odd", "#hash", "Home"};
    const TSecurity modes[] = {TSecurity::Tls, TSecurity::StartTls};
    int i = 0;
    for (const char* alias : aliases) {
        TAccount a = Servers(alias, "pop.example.org");
        a.security = modes[i++ % 2];
        a.smtpFingerprint = kPrint;
        list.Add(a);
    }
    ASSERT_TRUE(list.Save(listFill, pump));
    // A plain alias keeps the key older versions wrote.
    EXPECT_EQ(ini.ReadString("Server Security", "Home", "-"), "STARTTLS");
    TAccountList again(dir.Path());
    again.Load();
    EXPECT_EQ(again.Accounts(), list.Accounts());

    // Renaming and removing one leaves the others' settings alone.
    ASSERT_TRUE(list.Rename("Work ", "Work", prompt, listFill, pump));
    ASSERT_TRUE(list.Remove("a=b", listFill, pump));
    again.Load();
    EXPECT_EQ(again.Find("Work")->security, TSecurity::Tls);
    EXPECT_EQ(again.Find(" Lead")->security, TSecurity::StartTls);
    EXPECT_EQ(again.Find(";comment")->security, TSecurity::StartTls);
    EXPECT_EQ(again.Accounts(), list.Accounts());

    // An alias starting with "%" that an older version kept plainly.
    TIniFile(dir.File("Internet.ini")).WriteString("Server Security", "%legacy", "TLS");
    list.Add(Servers("%legacy", "pop.example.org"));
    ASSERT_TRUE(list.Save(listFill, pump));
    again.Load();
    EXPECT_EQ(again.Find("%legacy")->security, TSecurity::Tls);
}

TEST(FingerprintTest, FingerprintsAreComparedInOneForm) {
    const std::string bare(64, 'a');
    EXPECT_EQ(fingerprint::Normalize(bare),
              "AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:"
              "AA:AA:AA:AA:AA:AA");
    EXPECT_EQ(fingerprint::Normalize(kPrint), kPrint);
    EXPECT_EQ(fingerprint::Normalize(std::string(62, 'a')), "");
    EXPECT_EQ(fingerprint::Normalize(std::string(66, 'a')), "");
    EXPECT_EQ(fingerprint::Normalize(std::string(63, 'a') + "g"), "");
}

TEST(AccountSecurityToolTest, AccountAddTakesTheSecurityAndATrustedFingerprint) {
    TTempDir dir;
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--data", dir.File("data"), "--attach", dir.File("attach")});
        return RunTool(args);
    };
    const std::string lower =
        "ab:cd:ef:01:23:45:67:89:ab:cd:ef:01:23:45:67:89:ab:cd:ef:01:23:45:67:89:ab:cd:ef:01:23:"
        "45:67:89";
    EXPECT_EQ(
        run({"account", "add", "Home", "--pop", "pop.home", "--security", "starttls", "--trust-fingerprint", lower})
            .exitCode,
        0);
    TIniFile ini(dir.File("data/Internet.ini"));
    EXPECT_EQ(ini.ReadString("Server Security", "Home", "-"), "STARTTLS");
    EXPECT_EQ(ini.ReadString("Pop Certificates", "Home", "-"), kPrint);
    EXPECT_EQ(ini.ReadString("SMTP Certificates", "Home", "-"), kPrint);
    EXPECT_EQ(run({"account", "add", "Bad", "--security", "ssl"}).exitCode, 2);
    // Without --security an account is set up for TLS, as the window does;
    // the password can come from standard input instead of the command line.
    EXPECT_EQ(RunTool({"--data", dir.File("data"), "--attach", dir.File("attach"), "account", "add", "Work",
                       "--pop", "pop.work", "--password-stdin", "--user", "ann"},
                      "s3cret pass\n")
                  .exitCode,
              0);
    EXPECT_EQ(ini.ReadString("Server Security", "Work", "-"), "TLS");
    EXPECT_EQ(TAccountList::Read(dir.File("data") + "/").Find("Work")->popPassword, "s3cret pass");
    EXPECT_EQ(run({"account", "add", "Bad", "--trust-fingerprint", "12:34"}).exitCode, 2);
    EXPECT_EQ(run({"accounts"}).out, "Home\tpop.home\t\tSTARTTLS\nWork\tpop.work\t\tTLS\n");
}

TEST(AccountSecurityToolTest, AccountSetChangesOnlyWhatItNamesAndTrustFollowsTheServer) {
    TTempDir dir;
    const std::vector<std::string> global{"--data", dir.File("data"), "--attach", dir.File("attach")};
    auto run = [&](std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), global.begin(), global.end());
        return RunTool(args, input);
    };
    const auto account = [&](const char* alias) { return *TAccountList::Read(dir.File("data") + "/").Find(alias); };
    ASSERT_EQ(run({"account", "add", "Home", "--pop", "pop.home:995", "--smtp", "smtp.home", "--user", "ann",
                   "--pass", "old", "--return", "ann@home", "--trust-fingerprint", kPrint})
                  .exitCode,
              0);
    // An account written by an older version: no mode stored, TLS implied by
    // its port.
    TIniFile ini(dir.File("data/Internet.ini"));
    ASSERT_TRUE(ini.DeleteKey("Server Security", "Home"));
    ASSERT_EQ(account("Home").Security(), TSecurity::Tls);

    // A provider with POP3 over TLS and submission with STARTTLS on 587; the
    // password read from standard input; the SMTP server's trust goes with
    // its old name, the POP3 server's stays.
    EXPECT_EQ(run({"account", "set", "home", "--smtp", "smtp.home:587", "--smtp-security", "starttls",
                   "--password-stdin"},
                  "new pass\n")
                  .exitCode,
              0);
    TAccount home = account("Home");
    EXPECT_EQ(home.smtpServer, "smtp.home:587");
    EXPECT_EQ(home.popPassword, "new pass");
    EXPECT_EQ(home.popUserName, "ann");
    EXPECT_EQ(home.returnAddress, "ann@home");
    EXPECT_EQ(home.Security(), TSecurity::Tls);
    EXPECT_EQ(home.SmtpSecurity(), TSecurity::StartTls);
    EXPECT_EQ(home.popFingerprint, kPrint);
    EXPECT_EQ(home.smtpFingerprint, "");
    EXPECT_EQ(ini.ReadString("SMTP Security", "Home", "-"), "STARTTLS");
    EXPECT_EQ(run({"accounts"}).out, "Home\tpop.home:995\tsmtp.home:587\tTLS/STARTTLS\n");

    // A new POP3 server: the mode it had stays, the certificate trusted for
    // the old one does not.
    EXPECT_EQ(run({"account", "set", "Home", "--pop", "pop.elsewhere"}).exitCode, 0);
    home = account("Home");
    EXPECT_EQ(home.Security(), TSecurity::Tls);
    EXPECT_EQ(home.popFingerprint, "");
    EXPECT_EQ(run({"account", "set", "Home", "--security", "starttls", "--trust-fingerprint", kPrint}).exitCode, 0);
    home = account("Home");
    EXPECT_EQ(home.Security(), TSecurity::StartTls);
    EXPECT_EQ(home.SmtpSecurity(), TSecurity::StartTls);
    EXPECT_EQ(home.popFingerprint, kPrint);
    EXPECT_EQ(home.smtpFingerprint, kPrint);

    // Mistakes change nothing.
    const std::string before = ReadFileOrEmpty(dir.File("data/Internet.svr"));
    EXPECT_EQ(run({"account", "set", "Nope", "--user", "x"}).exitCode, 1);
    EXPECT_EQ(run({"account", "set", "Home", "--smtp-security", "ssl"}).exitCode, 2);
    EXPECT_EQ(run({"account", "set", "Home", "--user"}).exitCode, 2);
    EXPECT_EQ(run({"account", "set"}).exitCode, 2);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("data/Internet.svr")), before);
    EXPECT_EQ(account("Home").popUserName, "ann");
}

}  // namespace
