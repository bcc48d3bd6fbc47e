#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/ToolRunner.h"

TEST(DictToolTest, BuildLookupAddAndSuggest) {
    TTempDir dir;
    WriteFileOrDie(dir.File("words.txt"), "cat\ndog\ncaf\xC3\xA9\nspelling\n");
    auto r = RunTool({"dict", "build", dir.File("words.txt"), dir.File("main.dct")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = RunTool({"dict", "lookup", dir.File("main.dct"), "cat", "Caf\xC3\x89", "kat"});
    EXPECT_EQ(r.out, "cat\tyes\nCaf\xC3\x89\tyes\nkat\tno\n");

    r = RunTool({"dict", "add", dir.File("User.Dct"), "kat", "abcdefghijklmnopqrstuvwxyz"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "kat\tadded\nabcdefghijklmnopqrstuvwxyz\trefused\n");
    r = RunTool({"dict", "lookup", dir.File("main.dct"), "--user", dir.File("User.Dct"), "kat", "dog"});
    EXPECT_EQ(r.out, "kat\tyes\ndog\tyes\n");

    r = RunTool({"dict", "suggest", dir.File("main.dct"), "--max", "1", "Speling"});
    EXPECT_EQ(r.out, "Spelling\n");
    r = RunTool({"dict", "suggest", dir.File("main.dct"), "--phoneme", "spelling"});
    EXPECT_EQ(r.out.substr(0, 9), "spelling\n");

    // A main dictionary is no user dictionary, and a missing one is an error.
    EXPECT_NE(RunTool({"dict", "add", dir.File("main.dct"), "x"}).exitCode, 0);
    r = RunTool({"dict", "lookup", dir.File("missing.dct"), "cat"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Could not open dictionary"), std::string::npos);
    EXPECT_EQ(RunTool({"dict", "suggest", dir.File("main.dct"), "--max", "0", "x"}).exitCode, 2);
    EXPECT_EQ(RunTool({"dict", "frobnicate"}).exitCode, 2);
}
