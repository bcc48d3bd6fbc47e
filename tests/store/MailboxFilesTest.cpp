#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "RawStoreAccess.h"
#include "StoreFixture.h"
#include "common/FileUtil.h"
#include "store/IndexLine.h"

namespace {
class MailboxFiles : public StoreFixture {
protected:
    TMailboxFiles& files() { return TRawStoreAccess::Files(*store); }
    THeaderItem& Add(const std::string& mailbox, const std::string& subject, std::uint8_t flags = 0) {
        return Raw(StoreFixture::Add(mailbox, subject, flags));
    }
    THeaderItem& AddWithBody(const std::string& mailbox, const std::string& subject, const std::string& body) {
        return Raw(StoreFixture::AddWithBody(mailbox, subject, body));
    }
    THeaderItem& Raw(const THeaderItem& item) { return TRawStoreAccess::Record(*store, HandleOf(item)); }
    std::string Mbx(const std::string& n) { return dir.File(n + ".Mbx"); }
    std::string Msg(const std::string& n) { return dir.File(n + ".msg"); }
};
}  // namespace

TEST_F(MailboxFiles, NewBodyIsAppendedWithOneHundredZeroBytes) {
    WriteFileOrDie(Msg("In Box"), "0123456789");
    THeaderItem& item = Add("In Box", "new");
    ASSERT_TRUE(files().SaveBody(item, "hello"));
    EXPECT_EQ(item.Offset, 10);
    EXPECT_EQ(item.Size, 5);
    EXPECT_EQ(item.Slack, 100);
    EXPECT_EQ(ReadFileOrEmpty(Msg("In Box")), "0123456789hello" + std::string(100, '\0'));
    // The index was saved with the record's place.
    EXPECT_EQ(ReadFileOrEmpty(Mbx("In Box")), TIndexLine::Format(item) + "\r\n");
    EXPECT_TRUE(FlagsFree());
}

TEST_F(MailboxFiles, RewriteStaysInPlaceWithinSlackThenMovesToTheEnd) {
    THeaderItem& item = AddWithBody("In Box", "grow", std::string(100, 'a'));
    THeaderItem& other = AddWithBody("In Box", "other", "zz");
    ASSERT_EQ(item.Offset, 0);
    ASSERT_TRUE(files().SaveBody(item, std::string(150, 'b')));
    EXPECT_EQ(item.Offset, 0);
    EXPECT_EQ(item.Size, 150);
    EXPECT_EQ(item.Slack, 50);
    EXPECT_EQ(Body(other), "zz");  // the neighbour is untouched
    const auto length = ReadFileOrEmpty(Msg("In Box")).size();
    ASSERT_TRUE(files().SaveBody(item, std::string(400, 'c')));
    EXPECT_EQ(item.Offset, static_cast<int>(length));
    EXPECT_EQ(item.Slack, 100);
    EXPECT_EQ(Body(item), std::string(400, 'c'));
    EXPECT_EQ(ReadFileOrEmpty(Msg("In Box")).size(), length + 500);
    // A shorter rewrite keeps the region's extent and zeroes what it frees.
    ASSERT_TRUE(files().SaveBody(item, "short"));
    EXPECT_EQ(item.Offset, static_cast<int>(length));
    EXPECT_EQ(item.Slack, 495);
    EXPECT_EQ(ReadFileOrEmpty(Msg("In Box")).substr(length), "short" + std::string(495, '\0'));
}

TEST_F(MailboxFiles, CompactionGivesOffsetsZeroAndOneHundredTen) {
    THeaderItem& a = AddWithBody("Work", "a", std::string(10, 'a'));
    AddWithBody("In Box", "elsewhere", "x");
    THeaderItem& dead = AddWithBody("Work", "dead", std::string(50, 'd'));
    THeaderItem& b = AddWithBody("Work", "b", std::string(20, 'b'));
    THeaderItem& unstored = Add("Work", "no body");
    TRawStoreAccess::Drop(*store, HandleOf(dead));
    ASSERT_TRUE(files().SaveBody(a, std::string(10, 'A')));  // in place, slack stays 100
    ASSERT_TRUE(files().Compact("Work"));
    EXPECT_EQ(a.Offset, 0);
    EXPECT_EQ(b.Offset, 110);
    EXPECT_EQ(a.Slack, 100);
    EXPECT_EQ(b.Slack, 100);
    EXPECT_EQ(unstored.Offset, -1);
    const std::string content = ReadFileOrEmpty(Msg("Work"));
    EXPECT_EQ(content.size(), 230u);
    EXPECT_EQ(content, std::string(10, 'A') + std::string(100, '\0') + std::string(20, 'b') + std::string(100, '\0'));
    EXPECT_EQ(ReadFileOrEmpty(Mbx("Work")),
              TIndexLine::Format(a) + "\r\n" + TIndexLine::Format(b) + "\r\n" + TIndexLine::Format(unstored) + "\r\n");
    EXPECT_FALSE(fileutil::Exists(dir.File("Work.tmp")));
    EXPECT_FALSE(fileutil::Exists(dir.File("Work.Bak")));
    EXPECT_TRUE(FlagsFree());
}

TEST_F(MailboxFiles, CompactionOfAMissingFileCreatesItEmpty) {
    ASSERT_TRUE(files().Compact("Empty"));
    EXPECT_TRUE(fileutil::Exists(Msg("Empty")));
    EXPECT_EQ(ReadFileOrEmpty(Msg("Empty")), "");
}

TEST_F(MailboxFiles, FailedCompactionLeavesFilesAndRecordsAsTheyWere) {
    THeaderItem& a = AddWithBody("Work", "a", "first body");
    THeaderItem& b = AddWithBody("Work", "b", "second");
    THeaderItem& broken = Add("Work", "points outside");
    broken.Offset = 5000;
    broken.Size = 10;
    ASSERT_TRUE(files().SaveIndex("Work"));
    const std::string msgBefore = ReadFileOrEmpty(Msg("Work")), mbxBefore = ReadFileOrEmpty(Mbx("Work"));
    const THeaderItem aBefore = a, bBefore = b;
    EXPECT_FALSE(files().Compact("Work"));
    EXPECT_EQ(ReadFileOrEmpty(Msg("Work")), msgBefore);
    EXPECT_EQ(ReadFileOrEmpty(Mbx("Work")), mbxBefore);
    EXPECT_EQ(a, aBefore);
    EXPECT_EQ(b, bBefore);
    EXPECT_FALSE(fileutil::Exists(dir.File("Work.tmp")));
    EXPECT_FALSE(fileutil::Exists(dir.File("Work.Bak")));
    EXPECT_TRUE(FlagsFree());
}

TEST_F(MailboxFiles, RegionsOutsideTheFileAreNeverRead) {
    THeaderItem& item = AddWithBody("In Box", "x", "0123456789");
    std::string body = "unchanged";
    for (auto [offset, size] : {std::pair{-1, 5}, {-7, 3}, {0, -1}, {105, 6}, {200, 1}, {2147483647, 2147483647}}) {
        item.Offset = offset;
        item.Size = size;
        EXPECT_FALSE(files().ReadBody(item, body)) << offset << " " << size;
        EXPECT_EQ(body, "unchanged");
    }
    item.Offset = 4;
    item.Size = 6;
    ASSERT_TRUE(files().ReadBody(item, body));
    EXPECT_EQ(body, "456789");
    item.Size = 0;
    ASSERT_TRUE(files().ReadBody(item, body));
    EXPECT_EQ(body, "");
    // A missing message file.
    THeaderItem& lost = Add("Nowhere", "y");
    lost.Offset = 0;
    EXPECT_FALSE(files().ReadBody(lost, body));
}

TEST_F(MailboxFiles, SavingIntoARegionOutsideTheFileAppendsInstead) {
    THeaderItem& item = AddWithBody("In Box", "x", "0123456789");
    item.Offset = 9999;  // a damaged index
    ASSERT_TRUE(files().SaveBody(item, "abc"));
    EXPECT_EQ(item.Offset, 110);
    EXPECT_EQ(item.Slack, 100);
    EXPECT_EQ(ReadFileOrEmpty(Msg("In Box")).size(), 213u);
    item.Offset = -40;
    ASSERT_TRUE(files().SaveBody(item, "def"));
    EXPECT_EQ(item.Offset, 213);
}

TEST_F(MailboxFiles, MoveAppendsToTheTargetAndAnUnreadableBodyStays) {
    THeaderItem& item = AddWithBody("In Box", "moving", "the body");
    AddWithBody("Work", "resident", "0123456789");
    ASSERT_TRUE(files().MoveMessage(item, "Work"));
    EXPECT_EQ(item.Mailbox, "Work");
    EXPECT_EQ(item.Offset, 110);
    EXPECT_EQ(Body(item), "the body");
    EXPECT_EQ(store->Headers().Count("Work"), 2);

    THeaderItem& unreadable = Add("In Box", "no body");
    unreadable.Offset = 40;
    unreadable.Size = 900;
    EXPECT_TRUE(files().MoveMessage(unreadable, "Work"));
    EXPECT_EQ(unreadable.Mailbox, "In Box");
    EXPECT_EQ(unreadable.Offset, 40);
    EXPECT_TRUE(prompt.Texts().empty());
}

TEST_F(MailboxFiles, FailedMoveKeepsTheRecordInItsMailbox) {
    THeaderItem& item = AddWithBody("In Box", "moving", "the body");
    // The target's folder does not exist, so its message file cannot be made.
    config->WriteString(cfg::kMailBoxesSection, "Far", dir.File("missing/folder"));
    const THeaderItem before = item;
    EXPECT_FALSE(files().MoveMessage(item, "Far"));
    EXPECT_EQ(item, before);
    EXPECT_EQ(Body(item), "the body");
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0],
              "Fenmarch Skiffpost did not properly save a message to mailbox \"Far\".\nReason: Write message failed");
    EXPECT_TRUE(FlagsFree());
}

TEST_F(MailboxFiles, MissingAndEmptyIndexes) {
    WriteFileOrDie(Mbx("Work"), "");
    Add("Other", "new one", mfNew);
    EXPECT_EQ(files().Load("Work"), 0);
    EXPECT_EQ(files().Load("Absent"), 0);
    EXPECT_EQ(store->Headers().Length(), 1);
    EXPECT_TRUE(prompt.Texts().empty());
    // An index of a mailbox without records is an empty file.
    ASSERT_TRUE(files().SaveIndex("Absent"));
    EXPECT_TRUE(fileutil::Exists(Mbx("Absent")));
    EXPECT_EQ(ReadFileOrEmpty(Mbx("Absent")), "");
}

TEST_F(MailboxFiles, LoadReadsEveryLineInOrder) {
    WriteFileOrDie(Mbx("In Box"),
                   "One\x01\x01\x01\x01\x01\x01NR\x01\r\nTwo\x01\x01\x01\x01\x01\x01R\x01\r\nThree\nFour");
    EXPECT_EQ(files().Load("In Box"), 1);
    ASSERT_EQ(store->Headers().Length(), 4);
    EXPECT_EQ(store->Headers().At(0)->Subject, "One");
    EXPECT_EQ(store->Headers().At(2)->Subject, "Three");
    EXPECT_EQ(store->Headers().At(3)->Subject, "Four");
    EXPECT_EQ(store->Headers().At(3)->Mailbox, "In Box");
}

TEST_F(MailboxFiles, UnreadableIndexIsReported) {
    std::filesystem::create_directory(Mbx("Odd"));  // exists, but cannot be read as a file
    EXPECT_EQ(files().Load("Odd"), 0);
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0], "Fenmarch Skiffpost could not retreive messages from file:\r\n\"" + Mbx("Odd") +
                                      "\" could not be opened. Please try again later.");
}

TEST_F(MailboxFiles, FailedIndexSaveKeepsTheOldIndex) {
    AddWithBody("In Box", "kept", "body");
    const std::string before = ReadFileOrEmpty(Mbx("In Box"));
    std::filesystem::create_directory(dir.File("In Box.Bak"));  // the backup cannot be written
    Add("In Box", "second");
    EXPECT_FALSE(files().SaveIndex("In Box"));
    EXPECT_EQ(ReadFileOrEmpty(Mbx("In Box")), before);
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0], "Fenmarch Skiffpost has failed to save headers to disk.");
    EXPECT_TRUE(FlagsFree());
}

TEST_F(MailboxFiles, MailboxFolderComesFromTheConfiguration) {
    std::filesystem::create_directory(dir.File("elsewhere"));
    config->WriteString(cfg::kMailBoxesSection, "Work", dir.File("elsewhere"));
    EXPECT_EQ(files().Folder("Work"), dir.File("elsewhere/"));
    EXPECT_EQ(files().Folder("In Box"), dir.Path());
    AddWithBody("Work", "x", "y");
    EXPECT_TRUE(fileutil::Exists(dir.File("elsewhere/Work.msg")));
    EXPECT_TRUE(fileutil::Exists(dir.File("elsewhere/Work.Mbx")));
}

TEST_F(MailboxFiles, LoadFinishesAReplaceACrashInterrupted) {
    // The index had been written as its backup, the rename had not happened.
    THeaderItem& item = AddWithBody("In Box", "x", "body");
    const std::string line = TIndexLine::Format(item);
    WriteFileOrDie(dir.File("In Box.Bak"), line + "\r\n" + line + "\r\n");
    WriteFileOrDie(dir.File("In Box.Mbx.abc123"), "half a line");
    Reopen(false);
    EXPECT_EQ(files().Load("In Box"), 0);
    EXPECT_EQ(store->Headers().Length(), 2);
    EXPECT_FALSE(fileutil::Exists(dir.File("In Box.Bak")));
    EXPECT_FALSE(fileutil::Exists(dir.File("In Box.Mbx.abc123")));

    // A compaction that had written its file and its index, but swapped neither.
    WriteFileOrDie(dir.File("Work.msg"), "old old old");
    WriteFileOrDie(dir.File("Work.Mbx"), "stale\r\n");
    WriteFileOrDie(dir.File("Work.tmp"), "new" + std::string(100, '\0'));
    THeaderItem fresh;
    fresh.Subject = "fresh";
    fresh.Size = 3;
    fresh.Offset = 0;
    WriteFileOrDie(dir.File("Work.Bak"), TIndexLine::Format(fresh) + "\r\n");
    files().Load("Work");
    const THeaderItem* loaded = store->Headers().At(2);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Subject, "fresh");
    EXPECT_EQ(Body(*loaded), "new");

    // A compaction cut short before its index existed: its file is dropped.
    WriteFileOrDie(dir.File("Play.msg"), "keep");
    WriteFileOrDie(dir.File("Play.tmp"), "partial");
    files().Load("Play");
    EXPECT_FALSE(fileutil::Exists(dir.File("Play.tmp")));
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Play.msg")), "keep");
}

TEST_F(MailboxFiles, SaveBodyWaitsWhileAnotherThreadHoldsTheMessageFileFlag) {
    THeaderItem& item = Add("In Box", "waiting");
    std::atomic<bool> taken{false}, released{false};
    std::thread holder([&] {
        while (!store->Flags().messageFile.TryTake()) std::this_thread::yield();
        taken = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        released = true;
        store->Flags().messageFile.Release();
    });
    while (!taken) std::this_thread::yield();
    ASSERT_TRUE(files().SaveBody(item, "after the other"));
    EXPECT_TRUE(released);  // it did not write while the other held the flag
    holder.join();
    EXPECT_EQ(Body(item), "after the other");
    EXPECT_TRUE(FlagsFree());
}

TEST_F(MailboxFiles, ARewriteInPlaceCutShortIsPutBackAtTheNextLoad) {
    THeaderItem& item = AddWithBody("In Box", "rewritten", std::string(100, 'o'));
    THeaderItem& next = AddWithBody("In Box", "neighbour", "n");
    // What a crash leaves after the old bytes were kept and the new body
    // half written, the index still naming the old one.
    WriteFileOrDie(dir.File("In Box.jnl"), "0 100 150\n" + std::string(100, 'o') + std::string(100, '\0'));
    std::string content = ReadFileOrEmpty(Msg("In Box"));
    content.replace(0, 120, std::string(120, 'N'));
    WriteFileOrDie(Msg("In Box"), content);
    Reopen(false);
    files().Load("In Box");
    ASSERT_EQ(store->Headers().Length(), 2);
    EXPECT_EQ(Body(*store->Headers().At(0)), std::string(100, 'o'));
    EXPECT_EQ(Body(*store->Headers().At(1)), "n");
    EXPECT_FALSE(fileutil::Exists(dir.File("In Box.jnl")));
    (void)item;
    (void)next;

    // When the index was saved with the new size, the new body stays.
    THeaderItem& loaded = Raw(*store->Headers().At(0));
    ASSERT_TRUE(files().SaveBody(loaded, std::string(150, 'N')));
    EXPECT_FALSE(fileutil::Exists(dir.File("In Box.jnl")));  // a finished rewrite keeps nothing aside
    WriteFileOrDie(dir.File("In Box.jnl"), "0 100 150\n" + std::string(100, 'o') + std::string(100, '\0'));
    Reopen(false);
    files().Load("In Box");
    EXPECT_EQ(Body(*store->Headers().At(0)), std::string(150, 'N'));
    EXPECT_FALSE(fileutil::Exists(dir.File("In Box.jnl")));
}

// The index save after a rewrite in place fails (a full disk): the journal
// stays until an index names the new body, so a restart finds the old body
// whole, never the new bytes under the old size; nothing else writes the
// mailbox's files until that index is saved.
TEST_F(MailboxFiles, ARewriteWhoseIndexCannotBeSavedKeepsItsJournalUntilOneIs) {
    THeaderItem& item = AddWithBody("In Box", "rewritten", std::string(100, 'o'));
    AddWithBody("In Box", "neighbour", "n");
    std::filesystem::create_directory(dir.File("In Box.Bak"));
    EXPECT_TRUE(files().SaveBody(item, std::string(150, 'N')));
    EXPECT_EQ(prompt.Errors(), (std::vector<std::string>{"Fenmarch Skiffpost has failed to save headers to disk."}));
    EXPECT_TRUE(fileutil::Exists(dir.File("In Box.jnl")));
    // Neither a second rewrite, nor new bodies, nor a compaction while it waits.
    EXPECT_FALSE(files().SaveBody(item, std::string(120, 'X')));
    THeaderItem& fresh = Add("In Box", "fresh");
    EXPECT_EQ(files().AppendBodies({{&fresh, "f"}}), (std::vector<bool>{false}));
    EXPECT_FALSE(files().Compact("In Box"));
    EXPECT_TRUE(FlagsFree());
    Reopen(false);
    files().Load("In Box");
    ASSERT_EQ(store->Headers().Length(), 2);
    EXPECT_EQ(Body(*store->Headers().At(0)), std::string(100, 'o'));
    EXPECT_EQ(Body(*store->Headers().At(1)), "n");
    EXPECT_FALSE(fileutil::Exists(dir.File("In Box.jnl")));

    // Once an index is saved the journal goes and the new body stays.
    THeaderItem& again = Raw(*store->Headers().At(0));
    EXPECT_TRUE(files().SaveBody(again, std::string(150, 'N')));
    EXPECT_TRUE(fileutil::Exists(dir.File("In Box.jnl")));
    std::filesystem::remove(dir.File("In Box.Bak"));
    EXPECT_TRUE(files().SaveIndex("In Box"));
    EXPECT_FALSE(fileutil::Exists(dir.File("In Box.jnl")));
    Reopen(false);
    files().Load("In Box");
    EXPECT_EQ(Body(*store->Headers().At(0)), std::string(150, 'N'));
}

TEST_F(MailboxFiles, AppendBodiesWritesABatchPerMailboxAndSurvivesAReload) {
    WriteFileOrDie(Msg("In Box"), "0123456789");
    THeaderItem& a = Add("In Box", "a");
    THeaderItem& b = Add("Work", "b");
    THeaderItem& c = Add("In Box", "c");
    c.Slack = 7;
    const auto stored = files().AppendBodies({{&a, "first"}, {&b, "second"}, {&c, "third"}});
    EXPECT_EQ(stored, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(a.Offset, 10);
    EXPECT_EQ(a.Slack, 100);
    EXPECT_EQ(c.Offset, 115);
    EXPECT_EQ(c.Size, 5);
    EXPECT_EQ(b.Offset, 0);
    EXPECT_EQ(ReadFileOrEmpty(Msg("In Box")),
              "0123456789first" + std::string(100, '\0') + "third" + std::string(7, '\0'));
    EXPECT_TRUE(FlagsFree());

    Reopen(false);
    files().Load("In Box");
    files().Load("Work");
    ASSERT_EQ(store->Headers().Length(), 3);
    std::vector<std::string> bodies;
    for (int h = 0; h < 3; ++h)
        bodies.push_back(store->Headers().At(h)->Subject.str() + "=" + Body(*store->Headers().At(h)));
    EXPECT_EQ(bodies, (std::vector<std::string>{"a=first", "c=third", "b=second"}));
}

TEST_F(MailboxFiles, WrittenBodiesKeepTheFlagsAndTheOldIndexUntilSettledElsewhere) {
    AddWithBody("In Box", "old", "kept");
    const std::string oldIndex = ReadFileOrEmpty(Mbx("In Box"));
    THeaderItem& fresh = Add("In Box", "fresh");
    THeaderItem& other = Add("Work", "other");
    TBodyAppend written = files().WriteBodies({{&fresh, "new body"}, {&other, "work body"}});
    // The records have their regions and read back at once ...
    EXPECT_EQ(fresh.Offset, 104);
    EXPECT_EQ(Body(fresh), "new body");
    EXPECT_EQ(Body(other), "work body");
    // ... but no index on disk names them before the flush, and nothing else
    // may write meanwhile.
    EXPECT_EQ(ReadFileOrEmpty(Mbx("In Box")), oldIndex);
    EXPECT_FALSE(fileutil::Exists(Mbx("Work")));
    EXPECT_TRUE(store->Flags().messageFile.Disowned());
    EXPECT_TRUE(store->Flags().indexSave.Disowned());

    std::vector<bool> stored;
    std::thread settler([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stored = written.Settle();
    });
    // An index save here waits for the settling rather than being refused.
    EXPECT_TRUE(files().SaveIndex("In Box"));
    settler.join();
    EXPECT_EQ(stored, (std::vector<bool>{true, true}));
    EXPECT_FALSE(written.Failed());
    EXPECT_TRUE(FlagsFree());

    Reopen(false);
    files().Load("In Box");
    files().Load("Work");
    ASSERT_EQ(store->Headers().Length(), 3);
    EXPECT_EQ(Body(*store->Headers().At(1)), "new body");
    EXPECT_EQ(Body(*store->Headers().At(2)), "work body");
}

TEST_F(MailboxFiles, WrittenBodiesNeverSettledByHandAreSettledWhenDropped) {
    THeaderItem& fresh = Add("In Box", "fresh");
    {
        TBodyAppend written = files().WriteBodies({{&fresh, "body"}});
        TBodyAppend moved = std::move(written);  // settled once, by its last holder
    }
    EXPECT_TRUE(FlagsFree());
    EXPECT_EQ(ReadFileOrEmpty(Mbx("In Box")), TIndexLine::Format(fresh) + "\r\n");
}

TEST_F(MailboxFiles, AppendBodiesReportsEachMailboxThatFailed) {
    THeaderItem& kept = Add("In Box", "kept");
    THeaderItem& far = Add("Far", "far");
    THeaderItem& unsaved = Add("Work", "unsaved");
    // Far's folder does not exist; Work's index cannot be written.
    config->WriteString(cfg::kMailBoxesSection, "Far", dir.File("missing/folder"));
    std::filesystem::create_directory(dir.File("Work.Bak"));
    const auto stored = files().AppendBodies({{&kept, "k"}, {&far, "f"}, {&unsaved, "u"}});
    EXPECT_EQ(stored, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(Body(kept), "k");
    EXPECT_EQ(far.Offset, -1);
    // The body is on disk, but without a saved index the record is not
    // stored: whoever called must keep what it came from.
    EXPECT_EQ(Body(unsaved), "u");
    EXPECT_FALSE(fileutil::Exists(Mbx("Work")));
    EXPECT_EQ(prompt.Errors(), (std::vector<std::string>{"Fenmarch Skiffpost has failed to save headers to disk."}));
    EXPECT_TRUE(FlagsFree());
}

TEST_F(MailboxFiles, ADamagedLineAtTheFileEndLoadsAndASaveNeverTrustsIt) {
    AddWithBody("In Box", "whole", "0123456789");  // the file is 110 bytes long
    const std::string good = ReadFileOrEmpty(Mbx("In Box"));
    // Offset at the file's end with a negative size or slack, and lines cut
    // or filled with junk: every one loads.
    THeaderItem damaged;
    damaged.Subject = "damaged";
    damaged.Offset = 110;
    damaged.Size = -5;
    damaged.Slack = -3;
    WriteFileOrDie(Mbx("In Box"), good + TIndexLine::Format(damaged) +
                                      "\r\n\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01"
                                      "-99999999999999999999\x01-1\x01-2147483648\r\n\x01\r\n");
    Reopen(false);
    EXPECT_EQ(files().Load("In Box"), 0);
    ASSERT_EQ(store->Headers().Length(), 4);
    for (int h = 1; h < 4; ++h) {
        THeaderItem& item = Raw(*store->Headers().At(h));
        std::string body;
        EXPECT_FALSE(files().ReadBody(item, body) && !body.empty()) << h;
        ASSERT_TRUE(files().SaveBody(item, "new " + std::to_string(h))) << h;
        ASSERT_TRUE(files().ReadBody(item, body)) << h;
        EXPECT_EQ(body, "new " + std::to_string(h));
        EXPECT_GE(item.Slack, 0);
    }
    EXPECT_EQ(Body(*store->Headers().At(0)), "0123456789");
    EXPECT_TRUE(files().Compact("In Box"));
    for (int h = 0; h < 4; ++h) EXPECT_FALSE(Body(*store->Headers().At(h)).empty()) << h;
}

TEST_F(MailboxFiles, LoadingAMailboxLeavesTheFilesOfSimilarlyNamedMailboxesAlone) {
    AddWithBody("Work.Bak.01", "kept", "moved here");
    AddWithBody("Work.Mbx.12", "kept too", "also here");
    const std::vector<std::string> names = {"Work.Bak.01.Mbx", "Work.Bak.01.msg", "Work.Mbx.12.Mbx", "Work.Mbx.12.msg"};
    WriteFileOrDie(dir.File("Work.Bak.Xy12Zq"), "leftover of a cut-short index write");
    Reopen(false);
    files().Load("Work");
    for (const auto& n : names) EXPECT_TRUE(fileutil::Exists(dir.File(n))) << n;
    EXPECT_FALSE(fileutil::Exists(dir.File("Work.Bak.Xy12Zq")));
    files().Load("Work.Bak.01");
    ASSERT_EQ(store->Headers().Length(), 1);
    EXPECT_EQ(Body(*store->Headers().At(0)), "moved here");
}

TEST_F(MailboxFiles, RecoveryNeverInstallsAMessageFileCutShort) {
    THeaderItem& a = AddWithBody("Work", "a", "first body");
    AddWithBody("Work", "b", "second body");
    const std::string msg = ReadFileOrEmpty(Msg("Work"));
    // An index backup left behind by a rename that failed, and a compaction
    // that died while writing its new message file.
    WriteFileOrDie(dir.File("Work.Bak"), ReadFileOrEmpty(Mbx("Work")));
    WriteFileOrDie(dir.File("Work.tmp"), "first bo");
    Reopen(false);
    files().Load("Work");
    EXPECT_EQ(ReadFileOrEmpty(Msg("Work")), msg);
    EXPECT_FALSE(fileutil::Exists(dir.File("Work.tmp")));
    ASSERT_EQ(store->Headers().Length(), 2);
    EXPECT_EQ(Body(*store->Headers().At(0)), "first body");
    EXPECT_EQ(Body(*store->Headers().At(1)), "second body");
    (void)a;

    // A compaction that starts while such a backup lies about finishes it first.
    WriteFileOrDie(dir.File("Work.Bak"), ReadFileOrEmpty(Mbx("Work")));
    ASSERT_TRUE(files().Compact("Work"));
    Reopen(false);
    files().Load("Work");
    ASSERT_EQ(store->Headers().Length(), 2);
    EXPECT_EQ(Body(*store->Headers().At(1)), "second body");
}
