#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"
#include "support/ToolRunner.h"

namespace {
class ToolTest : public ::testing::Test {
protected:
    TTempDir dir;
    std::vector<std::string> Global() const { return {"--program-folder", dir.File("prog")}; }
    TToolResult Run(std::vector<std::string> args) const {
        auto all = Global();
        all.insert(all.end(), args.begin(), args.end());
        return RunTool(all);
    }
    void SetUp() override { std::filesystem::create_directories(dir.File("prog")); }
};
}  // namespace

TEST_F(ToolTest, IniSetAndGetThroughTheDataFolder) {
    EXPECT_EQ(Run({"ini", "setint", "Internet.ini", "Pop Settings", "Interval", "30"}).exitCode, 0);
    auto r = Run({"ini", "getint", "Internet.ini", "pop settings", "INTERVAL", "0"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "30\n");
    EXPECT_EQ(ReadFileOrEmpty(dir.File("prog/Data/Internet.ini")), "[Pop Settings]\r\nInterval=30\r\n");

    EXPECT_EQ(Run({"ini", "setbool", "Internet.ini", "Proxy Server", "Use", "true"}).exitCode, 0);
    EXPECT_EQ(Run({"ini", "getbool", "Internet.ini", "Proxy Server", "Use", "0"}).out, "1\n");
    EXPECT_EQ(Run({"ini", "get", "Internet.ini", "User", "First", "Internet"}).out, "Internet\n");
    EXPECT_EQ(Run({"ini", "get", "Internet.ini", "User", "First"}).out, "\n");
}

TEST_F(ToolTest, TextIsStoredAsWindows1252AndPrintedAsUtf8) {
    const std::string path = dir.File("x.ini");
    EXPECT_EQ(Run({"ini", "set", path, "User", "First", "Ren\xC3\xA9"}).exitCode, 0);
    EXPECT_EQ(ReadFileOrEmpty(path), "[User]\r\nFirst=Ren\xE9\r\n");
    EXPECT_EQ(Run({"ini", "get", path, "User", "First"}).out, "Ren\xC3\xA9\n");
}

TEST_F(ToolTest, UsageErrorsExitTwo) {
    EXPECT_EQ(Run({}).exitCode, 2);
    EXPECT_EQ(Run({"nonsense"}).exitCode, 2);
    EXPECT_EQ(Run({"ini", "get", "Internet.ini"}).exitCode, 2);
    EXPECT_EQ(Run({"ini", "getint", "Internet.ini", "S", "K", "abc"}).exitCode, 2);
    EXPECT_EQ(Run({"ini", "setbool", "Internet.ini", "S", "K", "maybe"}).exitCode, 2);
    EXPECT_EQ(RunTool({"--data"}).exitCode, 2);
}

TEST_F(ToolTest, RefusedWriteExitsOneWithTheMessage) {
    WriteFileOrDie(dir.File("afile"), "");
    const auto r = Run({"ini", "set", dir.File("afile/sub.ini"), "S", "K", "v"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Unable to write to " + dir.File("afile/sub.ini") + "\n");
}

TEST_F(ToolTest, FoldersPrintsTheFoldersAndWritesTheCommand) {
    auto r = Run({"folders", "--command", "MailTo:jane@example.com"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string prog = dir.File("prog/");
    EXPECT_EQ(r.out, "program=" + prog + "\nresources=" + prog + "\ndata=" + prog + "Data/\nattach=" + prog +
                         "Attach/\nfirst-run=1\ncommand=jane@example.com\n");
    r = Run({"folders"});
    EXPECT_NE(r.out.find("first-run=0\ncommand=\n"), std::string::npos);
    // --data and --attach override the location file for one run.
    r = Run({"--data", dir.File("d"), "--attach", dir.File("a"), "folders"});
    EXPECT_NE(r.out.find("data=" + dir.File("d/") + "\nattach=" + dir.File("a/") + "\n"), std::string::npos);
}

TEST_F(ToolTest, UnwritableDataFolderGivesTheMessageNotACrash) {
    WriteFileOrDie(dir.File("blocker"), "");
    const auto r = Run({"--data", dir.File("blocker/Data"), "folders"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Fenmarch Skiffpost could not create the folder"), std::string::npos);
}
