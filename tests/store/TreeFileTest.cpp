#include <gtest/gtest.h>

#include "store/TreeFile.h"

using Node = TTreeFile::Node;

TEST(TreeFile, DepthFromTabsAndBlanks) {
    const auto r = TTreeFile::Parse("Trash Can\r\nIn Box\r\n\tWork\r\n\t Deep\r\n \tAlso\r\nOut Box");
    EXPECT_FALSE(r.levelError);
    EXPECT_EQ(r.nodes, (std::vector<Node>{
                           {"Trash Can", 0}, {"In Box", 0}, {"Work", 1}, {"Deep", 2}, {"Also", 2}, {"Out Box", 0}}));
    // Two levels below the line before is the level error, blanks or TABs.
    EXPECT_TRUE(TTreeFile::Parse("A\r\n\tB\r\n \t C\r\n").levelError);
}

TEST(TreeFile, LevelErrorKeepsTheNodesBeforeIt) {
    const auto r = TTreeFile::Parse("Trash Can\r\n\t\tTwo\r\nIn Box\r\n");
    EXPECT_TRUE(r.levelError);
    EXPECT_EQ(r.nodes, (std::vector<Node>{{"Trash Can", 0}}));
    EXPECT_TRUE(TTreeFile::Parse("\tFirst\r\n").levelError);  // a first line has depth 0
}

TEST(TreeFile, EndOfFileMarkAndBlankLinesAreSkipped) {
    const auto r = TTreeFile::Parse("A\r\n\x1A\r\n\r\nB\n\x1A");
    EXPECT_FALSE(r.levelError);
    EXPECT_EQ(r.nodes, (std::vector<Node>{{"A", 0}, {"B", 0}}));
}

TEST(TreeFile, FormatWritesTabsAndCrLf) {
    const std::vector<Node> nodes{{"Trash Can", 0}, {"Work", 0}, {"Sub", 1}, {"Sub Sub", 2}};
    const std::string text = TTreeFile::Format(nodes);
    EXPECT_EQ(text, "Trash Can\r\nWork\r\n\tSub\r\n\t\tSub Sub\r\n");
    EXPECT_EQ(TTreeFile::Parse(text).nodes, nodes);
}
