#include <gtest/gtest.h>

#include "store/HeaderItem.h"
#include "store/MailboxTree.h"
#include "store/MessageRows.h"

namespace {

// Records what a view would be told, checking that every "about to" call
// sees the rows as they were and every other call sees them as they are.
struct TRowsLog : IMessageRowsObserver {
    const TMessageRows* rows = nullptr;
    std::vector<std::string> log;
    int countBefore = 0;
    void RowsAboutToBeReset() override { log.push_back("reset?"); }
    void RowsReset() override { log.push_back("reset " + std::to_string(rows->Count())); }
    void RowAboutToBeInserted(int p) override {
        countBefore = rows->Count();
        log.push_back("insert? " + std::to_string(p));
    }
    void RowInserted(int p) override {
        EXPECT_EQ(rows->Count(), countBefore + 1);
        log.push_back("insert " + std::to_string(p));
    }
    void RowAboutToBeRemoved(int p) override {
        countBefore = rows->Count();
        log.push_back("remove? " + std::to_string(p));
    }
    void RowRemoved(int p) override {
        EXPECT_EQ(rows->Count(), countBefore - 1);
        log.push_back("remove " + std::to_string(p));
    }
    void RowChanged(int p) override { log.push_back("change " + std::to_string(p)); }
};

TMessageRow Row(int handle) {
    THeaderItem h;
    h.Subject = "s" + std::to_string(handle);
    return TMessageRow::Of(h, handle);
}

}  // namespace

TEST(MessageRows, InsertAtTopFindUpdateRemove) {
    TMessageRows rows;
    TRowsLog log;
    log.rows = &rows;
    rows.AddObserver(&log);
    for (int h : {3, 5, 9}) rows.InsertTop(Row(h));
    EXPECT_EQ(rows.At(0).handle, 9);
    EXPECT_EQ(rows.At(2).handle, 3);
    EXPECT_EQ(rows.Find(5), 1);
    EXPECT_EQ(rows.Find(4), -1);
    EXPECT_EQ(rows.Find(-1), -1);
    EXPECT_EQ(rows.Find(1000), -1);
    rows.RemoveAt(0);  // 9 goes; 5 and 3 move up
    EXPECT_EQ(rows.Find(9), -1);
    EXPECT_EQ(rows.Find(5), 0);
    EXPECT_EQ(rows.Find(3), 1);
    rows.RemoveAt(1);
    EXPECT_EQ(rows.Find(3), -1);
    EXPECT_EQ(rows.Find(5), 0);
    rows.InsertTop(Row(1));
    EXPECT_EQ(rows.Find(1), 0);
    EXPECT_EQ(rows.Find(5), 1);
    TMessageRow changed = Row(5);
    changed.cells.caption = "new subject";
    rows.Update(1, changed);
    EXPECT_EQ(rows.At(1).cells.caption, "new subject");
    EXPECT_EQ(log.log, (std::vector<std::string>{"insert? 0", "insert 0", "insert? 0", "insert 0", "insert? 0",
                                                 "insert 0", "remove? 0", "remove 0", "remove? 1", "remove 1",
                                                 "insert? 0", "insert 0", "change 1"}));
}

TEST(MessageRows, ResetFromOldestMatchesInsertingEachAtTheTop) {
    TMessageRows bulk, single;
    std::vector<TMessageRow> oldest;
    for (int h = 0; h < 50; h += 2) {
        oldest.push_back(Row(h));
        single.InsertTop(Row(h));
    }
    TRowsLog log;
    log.rows = &bulk;
    bulk.AddObserver(&log);
    bulk.ResetFromOldest(oldest);
    ASSERT_EQ(bulk.Count(), single.Count());
    for (int i = 0; i < bulk.Count(); ++i) EXPECT_EQ(bulk.At(i), single.At(i));
    for (int h = 0; h < 50; ++h) EXPECT_EQ(bulk.Find(h), single.Find(h));
    EXPECT_EQ(log.log, (std::vector<std::string>{"reset?", "reset 25"}));
    bulk.Clear();
    EXPECT_EQ(bulk.Count(), 0);
    EXPECT_EQ(bulk.Find(10), -1);
}

TEST(MessageRows, RowContentFollowsTheRecord) {
    THeaderItem h;
    h.Subject = "Hi";
    h.Who = "Jane";
    h.Date = "05/07/96 02:15 PM";
    h.Flags = mfNew | mfAttach;
    const TMessageRow r = TMessageRow::Of(h, 42);
    EXPECT_EQ(r.cells.caption, "Hi");
    EXPECT_EQ(r.cells.subItems, (std::vector<std::string>{"Jane", "05/07/96 02:15 PM", "NR", "  ", "42"}));
}

TEST(MailboxTree, ShapeQueriesAndSubtreeRemoval) {
    TMailboxTree tree;
    tree.Reset({{"A", 0}, {"B", 1}, {"C", 2}, {"D", 1}, {"E", 0}});
    EXPECT_EQ(tree.Parent(2), 1);
    EXPECT_EQ(tree.Parent(3), 0);
    EXPECT_EQ(tree.Parent(4), -1);
    EXPECT_EQ(tree.Children(0), (std::vector<int>{1, 3}));
    EXPECT_EQ(tree.Children(-1), (std::vector<int>{0, 4}));
    EXPECT_TRUE(tree.HasChildren(1));
    EXPECT_FALSE(tree.HasChildren(2));
    EXPECT_EQ(tree.AppendChild(0, "F"), 4);
    EXPECT_EQ(tree.At(4).depth, 1);
    EXPECT_EQ(tree.AppendChild(-1, "G"), 6);
    EXPECT_EQ(tree.IndexOf("e"), -1);
    EXPECT_EQ(tree.IndexOfNoCase("e"), 5);
    tree.Remove(1);  // B with C
    EXPECT_EQ(tree.Names(), (std::vector<std::string>{"A", "D", "F", "E", "G"}));
}

TEST(MailboxTree, MovingASubtreeKeepsItsShape) {
    TMailboxTree tree;
    tree.Reset({{"A", 0}, {"B", 1}, {"C", 2}, {"D", 1}, {"E", 0}, {"F", 0}});
    // B (with C) becomes the first child of E.
    using Place = TMailboxTree::Place;
    int at = -1;
    ASSERT_TRUE(tree.Move(1, Place::FirstChildOf, 4, &at));
    EXPECT_EQ(at, 3);
    EXPECT_EQ(tree.Names(), (std::vector<std::string>{"A", "D", "E", "B", "C", "F"}));
    EXPECT_EQ(tree.At(3).depth, 1);
    EXPECT_EQ(tree.At(4).depth, 2);
    // E (with B and C) goes in front of A.
    ASSERT_TRUE(tree.Move(2, Place::Before, 0, &at));
    EXPECT_EQ(at, 0);
    EXPECT_EQ(tree.Names(), (std::vector<std::string>{"E", "B", "C", "A", "D", "F"}));
    // C goes to the end, at the top level.
    ASSERT_TRUE(tree.Move(2, Place::LastTopLevel, -1, &at));
    EXPECT_EQ(at, 5);
    EXPECT_EQ(tree.Names(), (std::vector<std::string>{"E", "B", "A", "D", "F", "C"}));
    EXPECT_EQ(tree.At(5).depth, 0);
    // Never into its own subtree.
    EXPECT_FALSE(tree.Move(0, Place::FirstChildOf, 1));
    EXPECT_FALSE(tree.Move(0, Place::Before, 1));
    EXPECT_EQ(tree.Names(), (std::vector<std::string>{"E", "B", "A", "D", "F", "C"}));
    // Depths never jump: the file form reads back the same.
    EXPECT_FALSE(TTreeFile::Parse(TTreeFile::Format(tree.ToFileNodes())).levelError)
        << TTreeFile::Format(tree.ToFileNodes());
}
