// The accounts' passwords in a real desktop keyring: GNOME Keyring's Secret
// Service on a D-Bus session bus of the test's own, reached through
// QtKeychain by the client's list and by skfp-tool alike.
#include <gtest/gtest.h>

#include "common/BusyFlag.h"
#include "common/FileUtil.h"
#include "common/SleepPump.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "config/gui/KeychainStore.h"
#include "support/ScopedEnv.h"
#include "support/SecretService.h"
#include "support/TempDir.h"
#include "support/ToolRunner.h"

TEST(Keyring, PasswordsLiveInTheSecretServiceForTheClientAndTheToolAlike) {
    TSecretService service;
    ASSERT_TRUE(service.Start()) << service.Failure();
    TTempDir dir;
    const std::string data = dir.File("data") + "/";
    const std::vector<std::string> global{"--data", dir.File("data"), "--attach", dir.File("attach")};
    const auto tool = [&](std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), global.begin(), global.end());
        return RunTool(args, input);
    };

    // The tool puts a new account's password into the keyring.
    const auto added = tool({"account", "add", "Home", "--pop", "pop.home", "--user", "ann", "--password-stdin"},
                            "s3cret \xC3\xA9\n");
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(ReadFileOrEmpty(data + "Internet.svr"), "Home\x01pop.home\x01\x01"
                                                      "ann\x01\x01\x01\x01\r\n");
    EXPECT_EQ(tool({"account", "keyring", "status"}).out, "keyring\ton\tanswers\tin keyring\n");

    // The client's list finds it there, and changes it there.
    TKeychainStore keyring(cfg::kKeyringService);
    ASSERT_TRUE(keyring.Available());
    EXPECT_EQ(keyring.Read(data + "Home"), std::optional<std::string>("s3cret \xE9"));
    TAccountList list = TAccountList::Read(data, &keyring);
    ASSERT_NE(list.Find("Home"), nullptr);
    EXPECT_EQ(list.Find("Home")->popPassword, "s3cret \xE9");
    list.Find("Home")->popPassword = "changed";
    TBusyFlag listFill;
    TSleepPump pump;
    ASSERT_TRUE(list.Save(listFill, pump));
    EXPECT_EQ(ReadFileOrEmpty(data + "Internet.svr").find("changed"), std::string::npos);

    // Switched off, the tool writes it back into the file; the keyring
    // keeps nothing.
    ASSERT_EQ(tool({"account", "keyring", "off"}).exitCode, 0);
    EXPECT_EQ(ReadFileOrEmpty(data + "Internet.svr"), "Home\x01pop.home\x01\x01"
                                                      "ann\x01"
                                                      "changed\x01\x01\x01\r\n");
    EXPECT_EQ(keyring.Read(data + "Home"), std::nullopt);
    EXPECT_TRUE(keyring.Remove(data + "Home"));  // nothing there is no failure
    // And on again: back into the keyring.
    ASSERT_EQ(tool({"account", "keyring", "on"}).exitCode, 0);
    EXPECT_EQ(keyring.Read(data + "Home"), std::optional<std::string>("changed"));
    EXPECT_EQ(tool({"account", "rm", "Home"}).exitCode, 0);
    EXPECT_EQ(keyring.Read(data + "Home"), std::nullopt);
}

TEST(Keyring, WithoutASessionBusThereIsNoKeyringAndPasswordsStayInTheFile) {
    TScopedEnv noBus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    TTempDir dir;
    TKeychainStore keyring(cfg::kKeyringService);
    EXPECT_FALSE(keyring.Available());
    TAccountList list(dir.Path(), &keyring);
    list.Add({"Home", "pop.home", "", "ann", "pw", "", ""});
    TBusyFlag listFill;
    TSleepPump pump;
    ASSERT_TRUE(list.Save(listFill, pump));
    EXPECT_NE(ReadFileOrEmpty(dir.File("Internet.svr")).find("ann\x01pw\x01"), std::string::npos);
}
