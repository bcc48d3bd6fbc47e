#include <filesystem>

#include "StoreFixture.h"
#include "common/FileUtil.h"
#include "store/IndexLine.h"
#include "store/MailboxName.h"

namespace {

std::string Line(const std::string& subject, const std::string& status) {
    THeaderItem h;
    h.Subject = subject;
    h.Flags = THeaderItem::FlagsFromStatusWord(status);
    h.Offset = -1;
    return TIndexLine::Format(h) + "\r\n";
}

struct TProgress : IShowProgress {
    int begins = 0, steps = 0, ends = 0, maximum = -1, last = -1;
    std::vector<std::string> status;
    void Begin(int max) override { ++begins, maximum = max; }
    void Step(int position) override { ++steps, last = position; }
    void End() override { ++ends; }
    void Status(const std::string& t) override { status.push_back(t); }
};

class MailStore : public StoreFixture {
protected:
    std::vector<std::string> Names() { return store->Tree().Names(); }
};

}  // namespace

TEST_F(MailStore, WithoutATreeFileTheFourSystemMailboxesAppear) {
    store->LoadTree();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Trash Can", "In Box", "Out Box", "Sent Box"}));
    for (const auto& n : store->Tree().Nodes()) EXPECT_EQ(n.depth, 0);
    EXPECT_FALSE(fileutil::Exists(store->TreePath()));
    EXPECT_EQ(store->Tree().At(0).image, 1);
    EXPECT_EQ(store->Tree().At(0).selectedImage, 1);
    EXPECT_EQ(store->Tree().At(2).image, 2);
    EXPECT_EQ(store->Tree().At(2).selectedImage, 3);
    ASSERT_TRUE(store->SaveTree());
    EXPECT_EQ(ReadFileOrEmpty(store->TreePath()), "Trash Can\r\nIn Box\r\nOut Box\r\nSent Box\r\n");
}

TEST_F(MailStore, SentBoxIsPutBackInFrontOfTheFourthNode) {
    WriteFileOrDie(store->TreePath(), "Trash Can\r\nIn Box\r\n\tWork\r\nOut Box\r\n");
    store->LoadTree();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Trash Can", "In Box", "Work", "Sent Box", "Out Box"}));
    EXPECT_EQ(store->Tree().At(3).depth, 0);  // it takes the depth of the node it goes before
    EXPECT_EQ(ReadFileOrEmpty(store->TreePath()), "Trash Can\r\nIn Box\r\n\tWork\r\nSent Box\r\nOut Box\r\n");
    // A "Sent Box" elsewhere in the tree stays the only one.
    WriteFileOrDie(store->TreePath(), "Trash Can\r\nIn Box\r\nOut Box\r\nWork\r\n\tSent Box\r\n");
    WriteFileOrDie(dir.File("Sent Box.Mbx"), Line("sent", "S"));
    Reopen();
    Reopen();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Trash Can", "In Box", "Out Box", "Work", "Sent Box"}));
    EXPECT_EQ(store->Headers().Count("Sent Box"), 1);
    // A mailbox named twice in a hand-edited tree loads its records once.
    WriteFileOrDie(store->TreePath(), "Trash Can\r\nIn Box\r\nOut Box\r\nSent Box\r\nSent Box\r\n");
    Reopen();
    EXPECT_EQ(store->Headers().Count("Sent Box"), 1);
    // Three nodes need no repair.
    WriteFileOrDie(store->TreePath(), "Trash Can\r\nIn Box\r\nOut Box\r\n");
    Reopen();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Trash Can", "In Box", "Out Box"}));
}

TEST_F(MailStore, LevelErrorIsShownAndTheNodesBeforeItAreLoaded) {
    WriteFileOrDie(store->TreePath(), "Trash Can\r\nIn Box\r\n\t\tDeep\r\nOut Box\r\nSent Box\r\n");
    WriteFileOrDie(dir.File("In Box.Mbx"), Line("kept", "NR") + Line("also", "R"));
    WriteFileOrDie(dir.File("Out Box.Mbx"), Line("not reached", "Q"));
    store->LoadTree();
    ASSERT_EQ(prompt.Errors(), std::vector<std::string>{"Invalid item level assignment"});
    EXPECT_EQ(Names(), (std::vector<std::string>{"Trash Can", "In Box"}));
    EXPECT_EQ(store->Headers().Count("In Box"), 2);
    EXPECT_EQ(store->Headers().Count("Out Box"), 0);
    EXPECT_EQ(store->Tip().Count(), 1);
    // The file keeps the nodes the reading did not reach.
    EXPECT_EQ(ReadFileOrEmpty(store->TreePath()), "Trash Can\r\nIn Box\r\n\t\tDeep\r\nOut Box\r\nSent Box\r\n");
}

TEST_F(MailStore, LoadingInNodeOrderMarksNewMailAndCountsIt) {
    WriteFileOrDie(store->TreePath(), "Trash Can\r\nIn Box\r\nOut Box\r\nSent Box\r\nWork\r\n");
    WriteFileOrDie(dir.File("Work.Mbx"), Line("w1", "NR ATT") + Line("w2", "NR"));
    WriteFileOrDie(dir.File("In Box.Mbx"), Line("i1", "R") + Line("i2", "NR"));
    std::vector<std::string> tips;
    store->Tip().AddListener(
        [&](const std::string& tip, const std::string& icon) { tips.push_back(tip + "|" + icon); });
    store->LoadTree();
    ASSERT_EQ(store->Headers().Length(), 4);
    EXPECT_EQ(store->Headers().At(0)->Subject, "i1");  // handles follow the nodes
    EXPECT_EQ(store->Headers().At(3)->Subject, "w2");
    EXPECT_TRUE(store->Tree().At(1).bold);
    EXPECT_FALSE(store->Tree().At(2).bold);
    EXPECT_TRUE(store->Tree().At(4).bold);
    EXPECT_EQ(store->Tip().Count(), 3);
    EXPECT_EQ(tips.back(), "You have 3 new messages.|NEWMAIL");

    // Removing new records lowers the count; the last one clears the mark.
    store->DestroyRecord(2);
    EXPECT_TRUE(store->Tree().At(4).bold);
    store->DestroyRecord(3);
    EXPECT_FALSE(store->Tree().At(4).bold);
    EXPECT_EQ(tips.back(), "You have one new message.|NEWMAIL");
    store->DestroyRecord(1);
    EXPECT_FALSE(store->Tree().At(1).bold);
    EXPECT_EQ(tips.back(), "You have no new mail.|MAINICON");
}

TEST_F(MailStore, AMailboxWithoutIndexLeavesTheCountOfTheOthers) {
    WriteFileOrDie(dir.File("In Box.Mbx"), Line("a", "NR") + Line("b", "NR"));
    store->LoadTree();
    EXPECT_EQ(store->Tip().Count(), 2);
    store->LoadMailbox("Nothing Here");
    EXPECT_EQ(store->Tip().Count(), 2);
}

TEST_F(MailStore, TipTexts) {
    EXPECT_EQ(TNewMailTip::TipFor(0), "You have no new mail.");
    EXPECT_EQ(TNewMailTip::TipFor(-2), "You have no new mail.");
    EXPECT_EQ(TNewMailTip::TipFor(1), "You have one new message.");
    EXPECT_EQ(TNewMailTip::TipFor(7), "You have 7 new messages.");
    EXPECT_EQ(TNewMailTip::IconFor(0), "MAINICON");
    EXPECT_EQ(TNewMailTip::IconFor(2), "NEWMAIL");
}

TEST_F(MailStore, ShowMailboxFillsNewestFirstWithBoundedProgress) {
    for (int i = 0; i < 1000; ++i)
        Add(i % 3 ? "In Box" : "Work", "m" + std::to_string(i), i == 999 ? mfNew | mfAttach : mfRead);
    TProgress progress;
    store->ShowMailbox("In Box", &progress);
    const auto& rows = store->Rows();
    ASSERT_EQ(rows.Count(), 666);
    EXPECT_EQ(rows.At(0).handle, 998);
    EXPECT_EQ(rows.At(665).handle, 1);
    EXPECT_EQ(rows.At(0).cells.caption, "m998");
    EXPECT_EQ(rows.At(0).cells.SubItem(TMessageRows::kHandle), "998");
    EXPECT_EQ(rows.At(0).cells.SubItem(TMessageRows::kStatus), " ");
    EXPECT_EQ(progress.begins, 1);
    EXPECT_EQ(progress.ends, 1);
    EXPECT_EQ(progress.maximum, 1000);
    EXPECT_GE(progress.steps, 50);
    EXPECT_LE(progress.steps, 101);
    EXPECT_EQ(progress.status, (std::vector<std::string>{"Loading messages for mailbox \"In Box\". Please wait...",
                                                         "Loaded 666 message(s) for mailbox \"In Box\"."}));
    store->ShowMailbox("Work");
    EXPECT_EQ(store->Rows().At(0).cells.SubItem(TMessageRows::kStatus), "NR");
    EXPECT_EQ(store->Rows().At(0).cells.SubItem(TMessageRows::kAttach), "  ");
    EXPECT_TRUE(FlagsFree());
}

TEST_F(MailStore, ChangedRecordsRedrawTheirRowsAndAreSaved) {
    const THeaderItem& a = Add("In Box", "a");
    const THeaderItem& b = Add("In Box", "b");
    const THeaderItem& w = AddWithBody("Work", "w", "body of w");
    store->ShowMailbox("In Box");
    EXPECT_EQ(store->FindRow(HandleOf(a)), 1);
    EXPECT_EQ(store->FindRow(HandleOf(w)), -1);
    store->ChangeRecord(HandleOf(a), [](THeaderItem& r) {
        r.Subject = "changed";
        r.Flags = mfSent;
    });
    EXPECT_EQ(store->Rows().At(1).cells.caption, "changed");
    EXPECT_EQ(store->Rows().At(1).cells.SubItem(TMessageRows::kStatus), "S");
    EXPECT_EQ(ReadFileOrEmpty(dir.File("In Box.Mbx")), TIndexLine::Format(a) + "\r\n" + TIndexLine::Format(b) + "\r\n");
    // A record that came into the viewed mailbox gets a row at the top.
    EXPECT_EQ(store->MoveRecord(HandleOf(w), "In Box"), TMoveResult::Moved);
    EXPECT_EQ(store->Rows().Count(), 3);
    EXPECT_EQ(store->Rows().At(0).handle, 2);
    EXPECT_EQ(store->FindRow(HandleOf(w)), 0);
    // Another mailbox's record is only saved.
    const THeaderItem& x = Add("Other", "x");
    store->ChangeRecord(HandleOf(x), [](THeaderItem& r) { r.Subject = "y"; });
    EXPECT_EQ(store->Rows().Count(), 3);
    EXPECT_TRUE(fileutil::Exists(dir.File("Other.Mbx")));
    EXPECT_TRUE(FlagsFree());
}

TEST_F(MailStore, RenameMovesFilesAndRecordsButNotTheIndexContent) {
    const THeaderItem& a = AddWithBody("Work", "a", "body of a");
    Add("In Box", "stays");
    config->WriteString(cfg::kMailBoxesSection, "Work", dir.Path());
    const std::string index = ReadFileOrEmpty(dir.File("Work.Mbx"));
    store->RenameMailboxFiles("Work", "Play");
    EXPECT_FALSE(fileutil::Exists(dir.File("Work.Mbx")));
    EXPECT_FALSE(fileutil::Exists(dir.File("Work.msg")));
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Play.Mbx")), index);
    EXPECT_EQ(a.Mailbox, "Play");
    EXPECT_EQ(Body(a), "body of a");
    EXPECT_EQ(store->Headers().Count("In Box"), 1);
    EXPECT_FALSE(config->HasKey(cfg::kMailBoxesSection, "Work"));
    EXPECT_EQ(config->ReadString(cfg::kMailBoxesSection, "Play", ""), dir.Path());
}

TEST_F(MailStore, RenameInAnotherFolderKeepsFindingTheFiles) {
    std::filesystem::create_directory(dir.File("far"));
    config->WriteString(cfg::kMailBoxesSection, "Work", dir.File("far"));
    const THeaderItem& a = AddWithBody("Work", "a", "far body");
    store->RenameMailboxFiles("Work", "Play");
    EXPECT_TRUE(fileutil::Exists(dir.File("far/Play.msg")));
    EXPECT_EQ(Body(a), "far body");
}

TEST(MailboxName, ColonIsRefusedAndTheOldNameReturns) {
    TRecordingPrompt prompt;
    std::string name = "Bills: 2026";
    EXPECT_TRUE(TMailboxName::Check(name, "Bills", prompt));
    EXPECT_EQ(name, "Bills");
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0], "A mailbox cannot contain any of the following characters:\r\n\\ / : * ? \" < > | ");
    for (char c : std::string("\\/:*?\"<>|")) {
        std::string n = std::string("a") + c;
        EXPECT_TRUE(TMailboxName::Check(n, "old", prompt));
    }
    std::string fine = "Bills (2026) & more";
    EXPECT_FALSE(TMailboxName::Check(fine, "old", prompt));
    EXPECT_EQ(fine, "Bills (2026) & more");
}
