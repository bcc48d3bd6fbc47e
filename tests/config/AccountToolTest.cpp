#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/ToolRunner.h"

namespace {

class AccountToolTest : public ::testing::Test {
protected:
    TTempDir dir;
    TToolResult Run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--data", dir.File("data"), "--attach", dir.File("attach")});
        return RunTool(args);
    }
};

TEST_F(AccountToolTest, AccountsAreAddedListedRenamedAndRemoved) {
    EXPECT_EQ(Run({"account", "add", "Home", "--pop", "127.0.0.1:2110", "--smtp", "mail.example", "--user", "ann",
                   "--pass", "pw", "--return", "ann@example.org", "--nick", "Ann \xC3\x96"})
                  .exitCode,
              0);
    EXPECT_EQ(Run({"account", "add", "Work", "--pop", "pop.work"}).exitCode, 0);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("data/Internet.svr")),
              "Home\x01"
              "127.0.0.1:2110\x01mail.example\x01"
              "ann\x01pw\x01"
              "ann@example.org\x01"
              "Ann \xD6\x01\r\n"
              "Work\x01pop.work\x01\x01\x01\x01\x01\x01\r\n");
    EXPECT_EQ(Run({"accounts"}).out, "Home\t127.0.0.1:2110\tmail.example\tTLS\nWork\tpop.work\t\tTLS\n");

    const auto dup = Run({"account", "add", "home"});
    EXPECT_EQ(dup.exitCode, 1);
    EXPECT_NE(dup.err.find("exists already"), std::string::npos);

    WriteFileOrDie(dir.File("data/Home.hf"), "seen\r\n");
    const auto taken = Run({"account", "rename", "Home", "WORK"});
    EXPECT_EQ(taken.exitCode, 1);
    EXPECT_NE(taken.err.find("Reason: Alias (Name) already in list"), std::string::npos);
    EXPECT_EQ(Run({"account", "rename", "home", "Cottage"}).exitCode, 0);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("data/Cottage.hf")), "seen\r\n");
    EXPECT_EQ(Run({"account", "rm", "Cottage"}).exitCode, 0);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("data/Cottage.hf")), "");
    EXPECT_EQ(Run({"accounts"}).out, "Work\tpop.work\t\tTLS\n");
    EXPECT_EQ(Run({"account", "rm", "Nope"}).exitCode, 1);
}

TEST_F(AccountToolTest, WrongCommandLinesAreUsageErrors) {
    EXPECT_EQ(Run({"account"}).exitCode, 2);
    EXPECT_EQ(Run({"account", "add", "X", "--pop"}).exitCode, 2);
    EXPECT_EQ(Run({"account", "add", "X", "--port", "1"}).exitCode, 2);
    EXPECT_EQ(Run({"account", "rename", "X"}).exitCode, 2);
    EXPECT_EQ(Run({"accounts", "extra"}).exitCode, 2);
    EXPECT_EQ(Run({"account", "add", "a/b"}).exitCode, 1);
}

}  // namespace
