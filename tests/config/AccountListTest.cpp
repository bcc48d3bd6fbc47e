#include <gtest/gtest.h>

#include <filesystem>

#include "common/BusyFlag.h"
#include "common/FileUtil.h"
#include "common/SleepPump.h"
#include "config/AccountList.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

namespace {

class AccountListTest : public ::testing::Test {
protected:
    TTempDir dir;
    TAccountList list{dir.Path()};
    TBusyFlag listFill;
    TSleepPump pump;
    TRecordingPrompt prompt;
};

TEST_F(AccountListTest, TheFileHoldsSevenTerminatedFieldsPerLine) {
    list.Add({"Home", "pop.home", "smtp.home", "ann", "pw", "ann@home", "Ann"});
    list.Add({"Work", "pop.work:2110", "", "", "", "", ""});
    ASSERT_TRUE(list.Save(listFill, pump));
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Internet.svr")),
              "Home\x01pop.home\x01smtp.home\x01"
              "ann\x01pw\x01"
              "ann@home\x01"
              "Ann\x01\r\n"
              "Work\x01pop.work:2110\x01\x01\x01\x01\x01\x01\r\n");
    TAccountList again(dir.Path());
    again.Load();
    EXPECT_EQ(again.Accounts(), list.Accounts());
}

TEST_F(AccountListTest, ShortLinesGiveEmptyFieldsAndAMissingFileNoAccounts) {
    list.Load();
    EXPECT_TRUE(list.Accounts().empty());
    WriteFileOrDie(dir.File("Internet.svr"), "Home\x01pop\x01smtp\x01\r\n");
    list.Load();
    ASSERT_EQ(list.Accounts().size(), 1u);
    EXPECT_EQ(list.Accounts()[0], (TAccount{"Home", "pop", "smtp", "", "", "", ""}));
}

TEST_F(AccountListTest, LookupIgnoresCaseAndNewAccountsGetFreeNames) {
    list.Add({"Home", "", "", "", "", "", ""});
    ASSERT_NE(list.Find("hOME"), nullptr);
    EXPECT_EQ(list.Find("hOME")->alias, "Home");
    EXPECT_EQ(list.Find("Away"), nullptr);
    EXPECT_EQ(list.AddNew().alias, "New Account");
    EXPECT_EQ(list.AddNew().alias, "New Account (2)");
    EXPECT_EQ(list.Aliases(), (std::vector<std::string>{"Home", "New Account", "New Account (2)"}));
}

TEST_F(AccountListTest, ARenameTakesTheSeenFileAlongAndATakenAliasIsRefused) {
    list.Add({"Home", "", "", "", "", "", ""});
    list.Add({"Work", "", "", "", "", "", ""});
    WriteFileOrDie(dir.File("Home.hf"), "seen\r\n");
    EXPECT_FALSE(list.Rename("Home", "WORK", prompt, listFill, pump));
    EXPECT_EQ(prompt.Errors(), std::vector<std::string>{"Fenmarch Skiffpost can not rename this account.\n\rReason: "
                                                        "Alias (Name) already in list\n\rFix: Choose another Alias."});
    EXPECT_EQ(list.Accounts()[0].alias, "Home");
    ASSERT_TRUE(list.Rename("Home", "Cottage", prompt, listFill, pump));
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Cottage.hf")), "seen\r\n");
    EXPECT_FALSE(fileutil::Exists(dir.File("Home.hf")));
    TAccountList again(dir.Path());
    again.Load();
    EXPECT_EQ(again.Aliases(), (std::vector<std::string>{"Cottage", "Work"}));
    // On a case-sensitive file system the seen file follows a change of case too.
    ASSERT_TRUE(list.Rename("Cottage", "cottage", prompt, listFill, pump));
    EXPECT_EQ(ReadFileOrEmpty(dir.File("cottage.hf")), "seen\r\n");
    // Aliases that would break the file or name a file outside the data
    // folder are refused with a box each.
    prompt.Clear();
    for (const std::string bad : {"", "../evil", "..", "a/b", "two\nlines",
                                  "a\x01"
                                  "b"})
        EXPECT_FALSE(list.Rename("cottage", bad, prompt, listFill, pump)) << bad;
    EXPECT_EQ(prompt.Errors().size(), 6u);
    EXPECT_EQ(prompt.Errors()[1].substr(0, 47), "Fenmarch Skiffpost can not rename this account.");
    EXPECT_NE(prompt.Errors()[1].find("Reason: An account name names a file in the data folder"), std::string::npos);
    EXPECT_EQ(list.Aliases(), (std::vector<std::string>{"cottage", "Work"}));
    EXPECT_FALSE(fileutil::Exists(dir.Path() + "../evil.hf"));
}

TEST_F(AccountListTest, DeletingRemovesTheSeenFile) {
    list.Add({"Home", "", "", "", "", "", ""});
    list.Add({"Work", "", "", "", "", "", ""});
    WriteFileOrDie(dir.File("Work.hf"), "seen\r\n");
    ASSERT_TRUE(list.Remove("work", listFill, pump));
    EXPECT_FALSE(fileutil::Exists(dir.File("Work.hf")));
    EXPECT_EQ(list.Aliases(), std::vector<std::string>{"Home"});
    EXPECT_FALSE(list.Remove("Work", listFill, pump));
}

TEST_F(AccountListTest, AnAliasNamingAPathNeverReachesOutsideTheDataFolder) {
    // A hand-edited alias: deleting the account must not delete "../x.hf".
    TTempDir data;
    const std::string outside = data.Path() + "x.hf";
    WriteFileOrDie(outside, "another program's file");
    std::filesystem::create_directories(data.File("sub"));
    TAccountList nested{data.File("sub/")};
    nested.Add({"../x", "", "", "", "", "", ""});
    EXPECT_EQ(nested.SeenPath("../x"), data.File("sub/.._x.hf"));
    WriteFileOrDie(data.File("sub/.._x.hf"), "seen\r\n");
    ASSERT_TRUE(nested.Remove("../x", listFill, pump));
    EXPECT_EQ(ReadFileOrEmpty(outside), "another program's file");
    EXPECT_FALSE(fileutil::Exists(data.File("sub/.._x.hf")));
}

TEST_F(AccountListTest, TheDialogNeedsBothServersOfASingleAccount) {
    EXPECT_EQ(list.CheckClose(prompt), TAccountsCloseRefusal::None);
    list.Add({"Home", "", "", "", "", "", ""});
    EXPECT_EQ(list.CheckClose(prompt), TAccountsCloseRefusal::NeedsSmtpServer);
    list.Find("Home")->smtpServer = "smtp";
    EXPECT_EQ(list.CheckClose(prompt), TAccountsCloseRefusal::NeedsPopServer);
    list.Find("Home")->popServer = "pop";
    EXPECT_EQ(list.CheckClose(prompt), TAccountsCloseRefusal::None);
    EXPECT_EQ(prompt.Errors(),
              (std::vector<std::string>{"Fenmarch Skiffpost needs a SMTP Server for only one account.",
                                        "Fenmarch Skiffpost needs a POP3 Server for only one account."}));
    list.AddNew();
    EXPECT_EQ(list.CheckClose(prompt), TAccountsCloseRefusal::None);
}

TEST(AccountFields, LineBreaksAndFieldEndsCannotBeStored) {
    EXPECT_TRUE(TAccountList::IsStorableField("pop.example:110"));
    EXPECT_FALSE(
        TAccountList::IsStorableField("a\x01"
                                      "b"));
    EXPECT_FALSE(TAccountList::IsStorableField("a\nb"));
    EXPECT_FALSE(TAccountList::IsUsableAlias(" "));
    EXPECT_FALSE(TAccountList::IsUsableAlias("a/b"));
    EXPECT_TRUE(TAccountList::IsUsableAlias("Home (2)"));
}

}  // namespace
