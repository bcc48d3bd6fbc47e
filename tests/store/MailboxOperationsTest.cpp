#include "RawStoreAccess.h"
#include "StoreFixture.h"
#include "common/FileUtil.h"
#include "mail/MessageDestroyer.h"
#include "store/MailboxOperations.h"

namespace {
class Operations : public StoreFixture {
protected:
    void SetUp() override {
        Reopen(true);
        ops = std::make_unique<TMailboxOperations>(*store);
    }
    std::unique_ptr<TMailboxOperations> ops;
};
}  // namespace

TEST_F(Operations, NewMailboxesGetUniqueNamesAndAFolderEntry) {
    EXPECT_EQ(ops->CreateMailbox("New Mailbox", -1), "New Mailbox");
    EXPECT_EQ(ops->CreateMailbox("new mailbox", -1), "new mailbox (2)");
    const int parent = store->Tree().IndexOf("New Mailbox");
    EXPECT_EQ(ops->CreateMailbox("Child", parent), "Child");
    EXPECT_EQ(ops->CreateMailbox("Second", parent), "Second");
    EXPECT_EQ(store->Tree().Names(), (std::vector<std::string>{"Trash Can", "In Box", "Out Box", "Sent Box",
                                                               "New Mailbox", "Child", "Second", "new mailbox (2)"}));
    EXPECT_EQ(
        ReadFileOrEmpty(store->TreePath()),
        "Trash Can\r\nIn Box\r\nOut Box\r\nSent Box\r\nNew Mailbox\r\n\tChild\r\n\tSecond\r\nnew mailbox (2)\r\n");
    EXPECT_EQ(config->ReadString(cfg::kMailBoxesSection, "new mailbox (2)", ""), dir.Path());
    EXPECT_FALSE(ops->CreateMailbox("a|b", -1));
    EXPECT_FALSE(ops->CreateMailbox("   ", -1));
    EXPECT_EQ(prompt.Errors().size(), 1u);
}

TEST_F(Operations, RenameRefusesDuplicatesInAnyCaseAndSystemMailboxes) {
    ASSERT_TRUE(ops->CreateMailbox("Work", -1));
    EXPECT_FALSE(ops->RenameMailbox("Work", "in box"));
    EXPECT_EQ(prompt.Errors(),
              std::vector<std::string>{"A mail box already exists with this name. Please specify a different name."});
    EXPECT_EQ(store->Tree().IndexOf("Work"), 4);
    EXPECT_FALSE(ops->RenameMailbox("In Box", "Inbox"));
    EXPECT_FALSE(ops->RenameMailbox("Work", "a:b"));
    EXPECT_EQ(store->Tree().IndexOf("Work"), 4);
    EXPECT_TRUE(ops->RenameMailbox("Work", "  WORK  "));  // trimmed; its own name in another case is fine
    EXPECT_EQ(store->Tree().At(4).name, "WORK");
    EXPECT_EQ(ReadFileOrEmpty(store->TreePath()), "Trash Can\r\nIn Box\r\nOut Box\r\nSent Box\r\nWORK\r\n");
}

TEST_F(Operations, DeleteAsksWithTheCountAndNeverTakesAParent) {
    ASSERT_TRUE(ops->CreateMailbox("Work", -1));
    for (int i = 0; i < 3; ++i) AddWithBody("Work", "m" + std::to_string(i), "body", i == 0 ? mfNew : 0);
    store->Tip().SetCount(store->Headers().CountNewAll());
    prompt.QueueAnswer(TPromptAnswer::No);
    EXPECT_FALSE(ops->DeleteMailbox("Work"));
    ASSERT_EQ(prompt.Texts().size(), 1u);
    EXPECT_EQ(
        prompt.Texts()[0].text,
        "Are you sure you want to delete Mailbox Work?\rIf you choose yes you will destroy all message(s) in the "
        "cateogry forever.\rWe recommend that you move these messages to the Trash Can.\rThis Mailbox has 3 item(s) "
        "in it");
    EXPECT_EQ(store->Tree().IndexOf("Work"), 4);

    ASSERT_TRUE(ops->CreateMailbox("Child", 4));
    prompt.QueueAnswer(TPromptAnswer::Yes);
    EXPECT_FALSE(ops->DeleteMailbox("Work"));
    EXPECT_EQ(prompt.Texts().back().text, "This Mail box has sub mail boxes. Please delete these first.");
    EXPECT_TRUE(fileutil::Exists(dir.File("Work.Mbx")));

    EXPECT_TRUE(ops->DeleteMailbox("Child"));  // empty: no question
    prompt.QueueAnswer(TPromptAnswer::Yes);
    EXPECT_TRUE(ops->DeleteMailbox("Work"));
    EXPECT_EQ(store->Tree().IndexOf("Work"), -1);
    EXPECT_FALSE(fileutil::Exists(dir.File("Work.Mbx")));
    EXPECT_FALSE(fileutil::Exists(dir.File("Work.msg")));
    EXPECT_EQ(store->Headers().Count("Work"), 0);
    EXPECT_EQ(store->Tip().Count(), 0);
    EXPECT_FALSE(config->HasKey(cfg::kMailBoxesSection, "Work"));
    EXPECT_EQ(ReadFileOrEmpty(store->TreePath()), "Trash Can\r\nIn Box\r\nOut Box\r\nSent Box\r\n");
    // A mailbox of the same name later starts empty.
    ASSERT_TRUE(ops->CreateMailbox("Work", -1));
    EXPECT_EQ(store->Headers().Count("Work"), 0);
    for (const char* system : {"Trash Can", "In Box", "Out Box", "Sent Box"}) EXPECT_FALSE(ops->DeleteMailbox(system));
}

TEST_F(Operations, MoveAndCompactAsTheMainWindowDoes) {
    ASSERT_TRUE(ops->CreateMailbox("Work", -1));
    const THeaderItem& a = AddWithBody("In Box", "a", std::string(10, 'a'), mfNew);
    const THeaderItem& b = AddWithBody("In Box", "b", std::string(20, 'b'));
    store->RefreshMark("In Box");
    store->ShowMailbox("In Box");
    ASSERT_EQ(store->Rows().Count(), 2);
    ASSERT_EQ(store->MoveRecord(HandleOf(a), "Work"), TMoveResult::Moved);
    EXPECT_EQ(store->Rows().Count(), 1);
    EXPECT_EQ(store->Rows().At(0).handle, store->Headers().HandleOf(&b));
    EXPECT_TRUE(store->Tree().At(store->Tree().IndexOf("Work")).bold);
    EXPECT_FALSE(store->Tree().At(1).bold);
    ASSERT_TRUE(ops->CompactWithReport("In Box"));
    EXPECT_EQ(b.Offset, 0);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("In Box.msg")), std::string(20, 'b') + std::string(100, '\0'));

    Reopen();
    EXPECT_EQ(store->Headers().Count("In Box"), 1);
    EXPECT_EQ(store->Headers().Count("Work"), 1);
    const THeaderItem* moved = store->Headers().At(1);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->Subject, "a");
    EXPECT_EQ(Body(*moved), std::string(10, 'a'));
}

TEST_F(Operations, DestroyAndTrashIndicator) {
    EXPECT_FALSE(ops->RefreshTrashIndicator());
    EXPECT_EQ(store->Tree().At(0).image, 0);
    const THeaderItem& t = AddWithBody("Trash Can", "gone", "x", mfNew);
    store->Tip().SetCount(1);
    EXPECT_TRUE(ops->RefreshTrashIndicator());
    EXPECT_EQ(store->Tree().At(0).image, 1);
    store->ShowMailbox("Trash Can");
    TMessageDestroyer(*store).Destroy({store->Headers().HandleOf(&t)});
    EXPECT_EQ(store->Rows().Count(), 0);
    EXPECT_EQ(store->Tip().Count(), 0);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Trash Can.Mbx")), "");
    EXPECT_FALSE(ops->RefreshTrashIndicator());
}

TEST_F(Operations, CompactionFailureIsReportedAsOptimizing) {
    THeaderItem& a = TRawStoreAccess::Record(*store, HandleOf(Add("In Box", "broken")));
    WriteFileOrDie(dir.File("In Box.msg"), "abc");
    a.Offset = 100;
    a.Size = 10;
    EXPECT_FALSE(ops->CompactWithReport("In Box"));
    EXPECT_EQ(prompt.Errors(),
              std::vector<std::string>{
                  "Fenmarch Skiffpost could not finish optimizing Mailbox \"In Box\".\nReason: Not enough "
                  "disk resources or disk error.\nFix: Please run Scandisk or check that you have enough "
                  "disk space free"});
}
