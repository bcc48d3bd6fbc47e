#include <gtest/gtest.h>

#include <filesystem>

#include "common/FileUtil.h"
#include "support/TempDir.h"
#include "support/ToolRunner.h"

namespace {

// A data folder made by hand, as a user of the tool would have it.
class StoreTool : public ::testing::Test {
protected:
    TTempDir dir;
    std::string Data(const std::string& name = "") const { return dir.File("data/" + name); }
    TToolResult Run(std::vector<std::string> args) const {
        std::vector<std::string> all{"--program-folder", dir.File("prog"), "--data", Data()};
        all.insert(all.end(), args.begin(), args.end());
        return RunTool(all);
    }
    void SetUp() override {
        std::filesystem::create_directories(dir.File("prog"));
        std::filesystem::create_directories(Data());
        WriteFileOrDie(Data("Category.Stk"), "Trash Can\r\nIn Box\r\n\tBills\r\nOut Box\r\n");
        // Two received messages with bodies of 10 and 5 bytes, and one without.
        WriteFileOrDie(Data("In Box.Mbx"),
                       "Hello\x01Jane Doe\x01"
                       "05/07/96 02:15 PM\x01-1\x01jane@example.com\x01\x01NR ATT\x01\x01\x01\x01\x01"
                       "0\x01"
                       "10\x01"
                       "100\x01\x01\x01\r\n"
                       "Caf\xE9\x01"
                       "Bob\x01"
                       "05/08/96 09:00 AM\x01-1\x01\x01\x01R\x01\x01\x01\x01\x01"
                       "110\x01"
                       "5\x01"
                       "100\x01\x01\x01\r\n"
                       "No body\x01\x01\x01\x01\x01\x01Q\x01\r\n");
        WriteFileOrDie(Data("In Box.msg"), "0123456789" + std::string(100, '\0') + "abcde" + std::string(100, '\0'));
    }
};

}  // namespace

TEST_F(StoreTool, MailboxesListsTheTreeWithCounts) {
    const auto r = Run({"mailboxes"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Trash Can\t0\t0\nIn Box\t3\t1\n\tBills\t0\t0\nSent Box\t0\t0\nOut Box\t0\t0\n");
    // The missing "Sent Box" was put back in fourth place and saved, once.
    EXPECT_EQ(ReadFileOrEmpty(Data("Category.Stk")), "Trash Can\r\nIn Box\r\n\tBills\r\nSent Box\r\nOut Box\r\n");
    EXPECT_EQ(Run({"mailboxes"}).out, r.out);
}

TEST_F(StoreTool, ListShowsNewestFirstAndShowPrintsTheBytes) {
    auto r = Run({"list", "In Box"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "2\tQ\t\t\tNo body\n1\tR\t05/08/96 09:00 AM\tBob\tCaf\xC3\xA9\n"
              "0\tNR ATT\t05/07/96 02:15 PM\tJane Doe\tHello\n");
    r = Run({"show", "1"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "abcde");
    EXPECT_EQ(Run({"show", "2"}).exitCode, 1);
    r = Run({"show", "9"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(
        r.err.find(
            "Fenmarch Skiffpost encountered and error in Module FILESYS.\r\nReason: HandleToHeader conversion error."),
        std::string::npos);
    EXPECT_EQ(Run({"list", "Nowhere"}).exitCode, 1);
    EXPECT_EQ(Run({"show", "x"}).exitCode, 2);
}

TEST_F(StoreTool, MoveCompactsTheSourceAndDestroySavesTheIndex) {
    ASSERT_EQ(Run({"move", "0", "Bills"}).exitCode, 0);
    EXPECT_EQ(ReadFileOrEmpty(Data("Bills.msg")), "0123456789" + std::string(100, '\0'));
    EXPECT_EQ(ReadFileOrEmpty(Data("In Box.msg")), "abcde" + std::string(100, '\0'));
    auto r = Run({"mailboxes"});
    EXPECT_NE(r.out.find("In Box\t2\t0\n\tBills\t1\t1\n"), std::string::npos) << r.out;
    // Handles follow the tree: "Bills" comes after "In Box" now holding two.
    EXPECT_EQ(Run({"show", "2"}).out, "0123456789");
    EXPECT_EQ(Run({"show", "0"}).out, "abcde");
    EXPECT_EQ(Run({"move", "0", "In Box"}).exitCode, 1);  // the same mailbox

    ASSERT_EQ(Run({"destroy", "0"}).exitCode, 0);
    r = Run({"list", "In Box"});
    EXPECT_EQ(r.out, "0\tQ\t\t\tNo body\n");
    ASSERT_EQ(Run({"compact", "In Box"}).exitCode, 0);
    EXPECT_EQ(ReadFileOrEmpty(Data("In Box.msg")), "");
}

TEST_F(StoreTool, CompactionFailureExitsOneWithTheMessage) {
    WriteFileOrDie(Data("In Box.msg"), "short");  // the bodies point past its end
    const auto r = Run({"compact", "In Box"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("could not finish optimizing Mailbox \"In Box\"."), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileOrEmpty(Data("In Box.msg")), "short");
}

TEST_F(StoreTool, MailboxesAreMadeRenamedAndRemoved) {
    auto r = Run({"mkbox", "Work"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Work\n");
    EXPECT_EQ(Run({"mkbox", "work"}).out, "work (2)\n");
    EXPECT_EQ(Run({"mkbox", "Old", "Bills"}).out, "Old\n");
    EXPECT_EQ(Run({"mkbox", "a/b"}).exitCode, 1);
    EXPECT_EQ(Run({"mkbox", "x", "Nowhere"}).exitCode, 1);
    EXPECT_EQ(ReadFileOrEmpty(Data("Category.Stk")),
              "Trash Can\r\nIn Box\r\n\tBills\r\n\t\tOld\r\nSent Box\r\nOut Box\r\nWork\r\nwork (2)\r\n");
    EXPECT_NE(ReadFileOrEmpty(Data("Internet.ini")).find("Work=" + Data()), std::string::npos);

    r = Run({"rename-box", "Work", "IN BOX"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "A mail box already exists with this name. Please specify a different name.\n");
    r = Run({"rename-box", "Work", "W:2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "A mailbox cannot contain any of the following characters:\r\n\\ / : * ? \" < > | \n");
    EXPECT_EQ(Run({"rename-box", "In Box", "Inbox"}).exitCode, 1);
    ASSERT_EQ(Run({"move", "1", "Work"}).exitCode, 0);
    ASSERT_EQ(Run({"rename-box", "Work", "Play"}).exitCode, 0);
    EXPECT_TRUE(fileutil::Exists(Data("Play.Mbx")));
    EXPECT_TRUE(fileutil::Exists(Data("Play.msg")));
    EXPECT_FALSE(fileutil::Exists(Data("Work.Mbx")));
    EXPECT_EQ(Run({"list", "Play"}).out.substr(2), "R\t05/08/96 09:00 AM\tBob\tCaf\xC3\xA9\n");

    // Never a system mailbox, never one with children, and a full one only when confirmed.
    EXPECT_EQ(Run({"rmbox", "Trash Can"}).exitCode, 1);
    r = Run({"--yes", "rmbox", "Bills"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "This Mail box has sub mail boxes. Please delete these first.\n");
    r = Run({"rmbox", "Play"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("This Mailbox has 1 item(s) in it"), std::string::npos);
    EXPECT_TRUE(fileutil::Exists(Data("Play.Mbx")));
    ASSERT_EQ(Run({"--yes", "rmbox", "Play"}).exitCode, 0);
    EXPECT_FALSE(fileutil::Exists(Data("Play.Mbx")));
    ASSERT_EQ(Run({"rmbox", "Old"}).exitCode, 0);
    EXPECT_EQ(ReadFileOrEmpty(Data("Category.Stk")),
              "Trash Can\r\nIn Box\r\n\tBills\r\nSent Box\r\nOut Box\r\nwork (2)\r\n");
}

TEST_F(StoreTool, TrashEmptyTrashAndShowTextGoThroughTheServices) {
    auto r = Run({"show", "--text", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "abcde\n");
    ASSERT_EQ(Run({"trash", "0"}).exitCode, 0);
    EXPECT_EQ(ReadFileOrEmpty(Data("In Box.msg")), "abcde" + std::string(100, '\0'));
    EXPECT_EQ(ReadFileOrEmpty(Data("Trash Can.msg")), "0123456789" + std::string(100, '\0'));
    r = Run({"mailboxes"});
    EXPECT_NE(r.out.find("Trash Can\t1\t1\nIn Box\t2\t0\n"), std::string::npos) << r.out;
    // Handles follow the tree: the trash comes first now. The record
    // without a body cannot go: reported, and it stays.
    r = Run({"trash", "2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("could not delete this message."), std::string::npos) << r.err;
    r = Run({"empty-trash"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1\n");
    EXPECT_EQ(ReadFileOrEmpty(Data("Trash Can.msg")), "");
    EXPECT_NE(Run({"mailboxes"}).out.find("Trash Can\t0\t0\n"), std::string::npos);
}

// A sender's escape sequences never reach the terminal: control characters
// of received fields and text are shown as "?".
TEST_F(StoreTool, ReceivedControlCharactersAreShownAsQuestionMarks) {
    WriteFileOrDie(Data("In Box.Mbx"),
                   "Hi\x1b]0;owned\x07\x01"
                   "Eve\x9d"
                   "2J\x01"
                   "05/07/96 02:15 PM\x01-1\x01\x01\x01R\x01\x01\x01\x01\x01"
                   "0\x01"
                   "16\x01"
                   "100\x01\x01\x01\r\n");
    WriteFileOrDie(Data("In Box.msg"), "red \x1b[31mtext\r\n" + std::string(100, '\0'));
    auto r = Run({"list", "In Box"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "0\tR\t05/07/96 02:15 PM\tEve?2J\tHi?]0;owned?\n");
    r = Run({"show", "--text", "0"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("red ?[31mtext"), std::string::npos) << r.out;
}
