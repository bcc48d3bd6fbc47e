// Passwords in a keyring: with one that answers, "Internet.svr" keeps its
// password fields empty (older readers ask for the password) and the
// keyring follows every rename and removal; switched off, or without a
// keyring, the passwords are in the file as always.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/BusyFlag.h"
#include "common/FileUtil.h"
#include "common/SleepPump.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "support/MemorySecretStore.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

namespace {

class AccountKeyringTest : public ::testing::Test {
protected:
    TTempDir dir;
    TMemorySecretStore keyring;
    TBusyFlag listFill;
    TSleepPump pump;
    TRecordingPrompt prompt;

    std::string File() const { return ReadFileOrEmpty(dir.File("Internet.svr")); }
    TAccountList Saved(std::vector<TAccount> accounts) {
        TAccountList list(dir.Path(), &keyring);
        for (auto& a : accounts) list.Add(std::move(a));
        EXPECT_TRUE(list.Save(listFill, pump));
        return list;
    }
};

TEST_F(AccountKeyringTest, PasswordsGoToTheKeyringFollowTheirAccountAndComeBackWhenSwitchedOff) {
    TAccountList list = Saved({{"Home", "pop.home", "smtp.home", "ann", "pw one", "ann@home", "Ann"},
                               {"Work", "pop.work", "smtp.work", "bob", "pw two", "bob@work", "Bob"},
                               {"Open", "pop.open", "", "eve", "", "", ""}});
    EXPECT_TRUE(list.PasswordsInStore());
    EXPECT_EQ(File(),
              "Home\x01pop.home\x01smtp.home\x01"
              "ann\x01\x01"
              "ann@home\x01"
              "Ann\x01\r\n"
              "Work\x01pop.work\x01smtp.work\x01"
              "bob\x01\x01"
              "bob@work\x01"
              "Bob\x01\r\n"
              "Open\x01pop.open\x01\x01"
              "eve\x01\x01\x01\x01\r\n");
    EXPECT_EQ(keyring.secrets, (std::map<std::string, std::string>{{dir.Path() + "Home", "pw one"},
                                                                   {dir.Path() + "Work", "pw two"}}));
    // Read back with the keyring: whole. Without (an older reader): the
    // password is asked for.
    EXPECT_EQ(TAccountList::Read(dir.Path(), &keyring).Find("Home")->popPassword, "pw one");
    EXPECT_EQ(TAccountList::Read(dir.Path()).Find("Home")->popPassword, "");

    // A save that changed no password asks the keyring nothing; a changed
    // one is written; a cleared one leaves it.
    TAccountList again = TAccountList::Read(dir.Path(), &keyring);
    const int before = keyring.writes;
    ASSERT_TRUE(again.Save(listFill, pump));
    EXPECT_EQ(keyring.writes, before);
    again.Find("Work")->popPassword = "pw three";
    again.Find("Home")->popPassword.clear();
    ASSERT_TRUE(again.Save(listFill, pump));
    EXPECT_EQ(keyring.secrets, (std::map<std::string, std::string>{{dir.Path() + "Work", "pw three"}}));

    // The password follows a rename and goes with a removal.
    ASSERT_TRUE(again.Rename("Work", "Office", prompt, listFill, pump));
    EXPECT_EQ(keyring.secrets, (std::map<std::string, std::string>{{dir.Path() + "Office", "pw three"}}));
    EXPECT_EQ(TAccountList::Read(dir.Path(), &keyring).Find("Office")->popPassword, "pw three");
    again.Find("Home")->popPassword = "pw four";
    ASSERT_TRUE(again.Save(listFill, pump));
    ASSERT_TRUE(again.Remove("Office", listFill, pump));
    EXPECT_EQ(keyring.secrets, (std::map<std::string, std::string>{{dir.Path() + "Home", "pw four"}}));

    // Switched off: the next save writes them back and empties the keyring.
    TIniFile(dir.File("Internet.ini")).Write(cfg::PasswordsInKeyring, false);
    TAccountList off = TAccountList::Read(dir.Path(), &keyring);
    EXPECT_FALSE(off.PasswordsInStore());
    EXPECT_EQ(off.Find("Home")->popPassword, "pw four");
    ASSERT_TRUE(off.Save(listFill, pump));
    EXPECT_TRUE(keyring.secrets.empty());
    EXPECT_NE(File().find("ann\x01pw four\x01"), std::string::npos) << File();
    EXPECT_EQ(TAccountList::Read(dir.Path()).Find("Home")->popPassword, "pw four");
}

TEST_F(AccountKeyringTest, WithoutAKeyringOrWhenItRefusesThePasswordStaysInTheFileAt0600) {
    keyring.answers = false;
    TAccountList list = Saved({{"Home", "pop.home", "smtp.home", "ann", "pw one", "ann@home", "Ann"}});
    EXPECT_FALSE(list.PasswordsInStore());
    EXPECT_NE(File().find("ann\x01pw one\x01"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat(dir.File("Internet.svr").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // A keyring that answers but will not take it: never lost.
    keyring.answers = true;
    keyring.refuseWrites = true;
    TAccountList refused = TAccountList::Read(dir.Path(), &keyring);
    ASSERT_TRUE(refused.Save(listFill, pump));
    EXPECT_NE(File().find("ann\x01pw one\x01"), std::string::npos);
    // Once it takes it, the file's copy goes.
    keyring.refuseWrites = false;
    ASSERT_TRUE(refused.Save(listFill, pump));
    EXPECT_EQ(File().find("pw one"), std::string::npos);
    EXPECT_EQ(keyring.secrets[dir.Path() + "Home"], "pw one");
}

}  // namespace
