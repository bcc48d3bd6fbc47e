#include <gtest/gtest.h>

#include "store/MailboxTree.h"
#include "store/MessageRows.h"

namespace {

TMessageRow Row(int handle) {
    TMessageRow r;
    r.handle = handle;
    r.cells.caption = "m" + std::to_string(handle);
    return r;
}

struct CountingObserver : IMessageRowsObserver {
    int resets = 0;
    void RowsReset() override { ++resets; }
};

TEST(MessageRowsArrange, PutsRowsInTheGivenOrderAndKeepsHandlesFindable) {
    TMessageRows rows;
    rows.ResetFromOldest({Row(10), Row(11), Row(12), Row(13)});  // top: 13, 12, 11, 10
    CountingObserver seen;
    rows.AddObserver(&seen);
    ASSERT_TRUE(rows.Arrange({3, 1, 0, 2}));
    EXPECT_EQ(seen.resets, 1);
    EXPECT_EQ(rows.At(0).handle, 10);
    EXPECT_EQ(rows.At(1).handle, 12);
    EXPECT_EQ(rows.At(2).handle, 13);
    EXPECT_EQ(rows.At(3).handle, 11);
    for (int h = 10; h <= 13; ++h) EXPECT_EQ(rows.At(rows.Find(h)).handle, h);
    // New mail still goes in at the top of the arranged list.
    rows.InsertTop(Row(14));
    EXPECT_EQ(rows.At(0).handle, 14);
    EXPECT_EQ(rows.At(4).handle, 11);
    rows.RemoveObserver(&seen);
}

TEST(MessageRowsArrange, RefusesOrdersThatLoseOrRepeatRows) {
    TMessageRows rows;
    rows.ResetFromOldest({Row(1), Row(2), Row(3)});
    EXPECT_FALSE(rows.Arrange({0, 1}));
    EXPECT_FALSE(rows.Arrange({0, 0, 1}));
    EXPECT_FALSE(rows.Arrange({0, 1, 3}));
    EXPECT_FALSE(rows.Arrange({-1, 0, 1}));
    EXPECT_EQ(rows.At(0).handle, 3);
    EXPECT_EQ(rows.At(2).handle, 1);
}

std::vector<std::string> Shape(const TMailboxTree& tree) {
    std::vector<std::string> out;
    for (const auto& n : tree.Nodes()) out.push_back(std::string(static_cast<std::size_t>(n.depth), '-') + n.name);
    return out;
}

class MailboxTreeMove : public ::testing::Test {
protected:
    TMailboxTree tree;
    void SetUp() override {
        tree.Reset({{"Trash Can", 0}, {"In Box", 0}, {"Work", 0}, {"Plans", 1}, {"Old", 2}, {"Home", 0}});
        tree.SetBold(2, true);
    }
};

TEST_F(MailboxTreeMove, SubtreeTravelsWithItsNodeAndKeepsItsMarks) {
    ASSERT_TRUE(tree.Move(2, TMailboxTree::Place::FirstChildOf, 5));
    EXPECT_EQ(Shape(tree), (std::vector<std::string>{"Trash Can", "In Box", "Home", "-Work", "--Plans", "---Old"}));
    EXPECT_TRUE(tree.At(3).bold);
    int at = -1;
    ASSERT_TRUE(tree.Move(4, TMailboxTree::Place::LastTopLevel, -1, &at));
    EXPECT_EQ(at, 4);
    EXPECT_EQ(Shape(tree), (std::vector<std::string>{"Trash Can", "In Box", "Home", "-Work", "Plans", "-Old"}));
    ASSERT_TRUE(tree.Move(4, TMailboxTree::Place::Before, 1, &at));
    EXPECT_EQ(at, 1);
    EXPECT_EQ(Shape(tree), (std::vector<std::string>{"Trash Can", "Plans", "-Old", "In Box", "Home", "-Work"}));
}

TEST_F(MailboxTreeMove, RefusesDropsIntoTheMovedSubtree) {
    const auto before = Shape(tree);
    EXPECT_FALSE(tree.Move(2, TMailboxTree::Place::FirstChildOf, 4));
    EXPECT_FALSE(tree.Move(2, TMailboxTree::Place::Before, 3));
    EXPECT_FALSE(tree.Move(2, TMailboxTree::Place::FirstChildOf, 2));
    EXPECT_FALSE(tree.Move(9, TMailboxTree::Place::LastTopLevel, -1));
    EXPECT_FALSE(tree.Move(2, TMailboxTree::Place::Before, 17));
    EXPECT_EQ(Shape(tree), before);
    // Dropping a node just before itself changes nothing but is allowed.
    EXPECT_TRUE(tree.Move(2, TMailboxTree::Place::Before, 2));
    EXPECT_EQ(Shape(tree), before);
}

}  // namespace
