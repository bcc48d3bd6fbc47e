#include <filesystem>

#include "common/FileUtil.h"
#include "mail/MessageDestroyer.h"
#include "mail/MessageMover.h"
#include "mail/RecordBody.h"
#include "store/MailboxOperations.h"
#include "store/RawStoreAccess.h"
#include "store/StoreFixture.h"

namespace {

// Records what the store's listeners are told of records leaving.
class TRecordLog : public IStoreObserver {
public:
    void StoreChanged(const TStoreEvent& e) override {
        if (e.change == TStoreChange::RecordRemoved) events.push_back("removed " + std::to_string(e.handle));
        if (e.change == TStoreChange::RecordMoved)
            events.push_back("moved " + std::to_string(e.handle) + " from " + e.from);
    }
    std::vector<std::string> events;
};

class Services : public StoreFixture {
protected:
    void SetUp() override {
        Reopen(true);
        ASSERT_TRUE(TMailboxOperations(*store).CreateMailbox("Work", -1));
        store->AddObserver(&log);
    }
    void TearDown() override { store->RemoveObserver(&log); }
    int CountAfterRestart(const std::string& mailbox) {
        TIniFile ini(dir.File(cfg::kConfigFile), &prompt);
        TMailStore next(dir.Path(), ini, prompt, pump);
        next.LoadTree();
        return next.Headers().Count(mailbox);
    }
    TRecordLog log;
};

}  // namespace

TEST_F(Services, MoveToMailboxCompactsTheSourceSavesBothIndexesAndTellsTheObservers) {
    const THeaderItem& a = AddWithBody("In Box", "a", "first body", mfNew);
    const THeaderItem& b = AddWithBody("In Box", "b", "second body");
    const THeaderItem& stays = AddWithBody("In Box", "c", "third body");
    store->RefreshMark("In Box");
    store->ShowMailbox("In Box");
    ASSERT_EQ(store->Rows().Count(), 3);
    const auto report = TMessageMover(*store).MoveToMailbox({HandleOf(a), HandleOf(b), 999}, "Work");
    EXPECT_EQ(report.moved, 2);
    EXPECT_EQ(report.stayed, 0);
    EXPECT_TRUE(report.compacted);
    EXPECT_EQ(store->Rows().Count(), 1);
    EXPECT_EQ(Body(a), "first body");
    EXPECT_EQ(Body(stays), "third body");
    // The source holds only what stayed: compacted.
    EXPECT_EQ(ReadFileOrEmpty(dir.File("In Box.msg")), "third body" + std::string(100, '\0'));
    EXPECT_TRUE(store->Tree().At(store->Tree().IndexOf("Work")).bold);
    EXPECT_FALSE(store->Tree().At(store->Tree().IndexOf("In Box")).bold);
    EXPECT_EQ(log.events, (std::vector<std::string>{"moved " + std::to_string(HandleOf(a)) + " from In Box",
                                                    "moved " + std::to_string(HandleOf(b)) + " from In Box"}));
    EXPECT_EQ(CountAfterRestart("Work"), 2);
    EXPECT_EQ(CountAfterRestart("In Box"), 1);
    EXPECT_TRUE(prompt.Texts().empty());
    EXPECT_TRUE(FlagsFree());
}

TEST_F(Services, MoveWhoseSourceCannotBeCompactedStillSavesTheSourceIndex) {
    const THeaderItem& moved = AddWithBody("In Box", "goes", "body");
    THeaderItem& broken = TRawStoreAccess::Record(*store, HandleOf(Add("In Box", "broken")));
    broken.Offset = 5000;  // past the end of the message file
    broken.Size = 10;
    ASSERT_TRUE(store->SaveIndex("In Box"));
    const auto report = TMessageMover(*store).MoveToMailbox({HandleOf(moved)}, "Work");
    EXPECT_EQ(report.moved, 1);
    EXPECT_FALSE(report.compacted);
    EXPECT_EQ(prompt.Errors(), std::vector<std::string>{TMailboxOperations::CompactFailure("In Box")});
    // Without the separate save the moved record would come back in both.
    EXPECT_EQ(CountAfterRestart("In Box"), 1);
    EXPECT_EQ(CountAfterRestart("Work"), 1);
}

TEST_F(Services, MoveToTrashReportsAnUnreadableBodyAndMovesTheOthers) {
    const THeaderItem& good = AddWithBody("In Box", "good", "body", mfNew);
    const THeaderItem& lost = Add("In Box", "lost");  // no body
    const THeaderItem& trashed = AddWithBody("Trash Can", "already", "old");
    store->Tip().SetCount(1);
    const auto report = TMessageMover(*store).MoveToTrash({HandleOf(good), HandleOf(lost), HandleOf(trashed)});
    EXPECT_EQ(report.moved, 1);
    EXPECT_EQ(report.stayed, 2);
    EXPECT_EQ(good.Mailbox, "Trash Can");
    EXPECT_EQ(lost.Mailbox, "In Box");
    EXPECT_EQ(prompt.Errors(), std::vector<std::string>{TMessageMover::DeleteFailure()});
    EXPECT_EQ(store->Tree().At(store->Tree().IndexOf("Trash Can")).image, 1);  // the full can
    EXPECT_EQ(CountAfterRestart("Trash Can"), 2);
    EXPECT_EQ(CountAfterRestart("In Box"), 1);
}

TEST_F(Services, DestroyAndEmptyTheTrashRemoveRecordsRowsAndBodies) {
    const THeaderItem& keep = AddWithBody("In Box", "keep", "k");
    const THeaderItem& gone = AddWithBody("In Box", "gone", "g", mfNew);
    const int goneHandle = HandleOf(gone);
    store->Tip().SetCount(1);
    store->ShowMailbox("In Box");
    EXPECT_EQ(TMessageDestroyer(*store).Destroy({goneHandle, 999}), 1);
    EXPECT_EQ(store->Rows().Count(), 1);
    EXPECT_EQ(store->Tip().Count(), 0);
    EXPECT_EQ(log.events, std::vector<std::string>{"removed " + std::to_string(goneHandle)});
    EXPECT_EQ(CountAfterRestart("In Box"), 1);

    AddWithBody("Trash Can", "t1", "one");
    AddWithBody("Trash Can", "t2", "two");
    ASSERT_GT(ReadFileOrEmpty(dir.File("Trash Can.msg")).size(), 0u);
    bool compacted = false;
    EXPECT_EQ(TMessageDestroyer(*store).EmptyTrash(&compacted), 2);
    EXPECT_TRUE(compacted);
    EXPECT_EQ(store->Headers().Count("Trash Can"), 0);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Trash Can.msg")), "");
    EXPECT_EQ(store->Tree().At(store->Tree().IndexOf("Trash Can")).image, 0);
    EXPECT_EQ(CountAfterRestart("Trash Can"), 0);
    EXPECT_EQ(Body(keep), "k");
    EXPECT_TRUE(prompt.Texts().empty());
}

TEST_F(Services, BodyOfARecordAsDocumentAndAsText) {
    const TRecordBody bodies(*store);
    const THeaderItem& plain = AddWithBody("In Box", "plain", "Caf\xE9 line\r\nsecond\rthird\n");
    const THeaderItem& rich = AddWithBody("In Box", "rich", "{\\rtf1\\ansi {\\b bold} words\\par second\\par }");
    const THeaderItem& none = Add("In Box", "none");
    EXPECT_EQ(bodies.Text(HandleOf(plain)), "Caf\xC3\xA9 line\nsecond\nthird\n");
    const auto doc = bodies.Document(HandleOf(rich));
    ASSERT_TRUE(doc);
    ASSERT_GE(doc->paragraphs.size(), 2u);
    EXPECT_EQ(doc->paragraphs[0].Text(), U"bold words");
    EXPECT_TRUE(doc->paragraphs[0].runs[0].format.bold);
    EXPECT_EQ(bodies.Text(HandleOf(rich)).value_or("").substr(0, 18), "bold words\nsecond\n");
    EXPECT_FALSE(bodies.Stored(HandleOf(none)));
    EXPECT_FALSE(bodies.Document(HandleOf(none)));
    EXPECT_FALSE(bodies.Text(12345));
    EXPECT_EQ(bodies.Stored(HandleOf(plain)), "Caf\xE9 line\r\nsecond\rthird\n");
    // The message type does not make a body rich text: only its opening does.
    const THeaderItem& typed = AddWithBody("In Box", "typed", "Use {\\rtf1 to begin\r\n{\\b not bold}\r\n");
    store->ChangeRecord(HandleOf(typed), [](THeaderItem& r) { r.MsgType = "RTF"; });
    EXPECT_EQ(bodies.Text(HandleOf(typed)), "Use {\\rtf1 to begin\n{\\b not bold}\n");
}

// A box runs an event loop; while it is up no flag may be held, or any
// command of that loop that takes the flag would wait for ever.
TEST_F(Services, NoBoxIsShownWhileAFlagIsHeld) {
    const THeaderItem& item = AddWithBody("In Box", "mail", "body");
    std::vector<bool> freeWhileShown;
    prompt.whileShown = [&](const TRecordingPrompt::Shown&) { freeWhileShown.push_back(FlagsFree()); };
    // The index cannot be replaced: its backup's place is taken by a folder.
    std::filesystem::create_directories(dir.File("In Box.Bak/inside"));
    EXPECT_FALSE(store->SaveIndex("In Box"));
    EXPECT_TRUE(store->RewriteBody(HandleOf(item), "a longer body than before"));
    THeaderItem& fresh = TRawStoreAccess::Record(*store, HandleOf(Add("In Box", "fresh")));
    const std::string body = "new";
    EXPECT_EQ(TRawStoreAccess::Files(*store).AppendBodies({{&fresh, body}}), std::vector<bool>{false});
    store->ChangeRecord(HandleOf(item), [](THeaderItem& r) { r.Subject = "mail, read"; });
    EXPECT_EQ(prompt.Errors().size(), 4u);
    EXPECT_EQ(freeWhileShown, std::vector<bool>(4, true));
    EXPECT_TRUE(FlagsFree());
}
