#include <gtest/gtest.h>

#include "common/BusyFlag.h"
#include "common/SleepPump.h"
#include "compose/SignatureList.h"
#include "support/ListFileCheck.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

TEST(SignatureList, NewNamesLinesAndTheFile) {
    TTempDir dir;
    TBusyFlags flags;
    TSleepPump pump;
    TRecordingPrompt prompt;
    const std::string path = dir.File("Internet.sig");
    TSignatureList list;
    list.Load(path);  // missing file: the built-in entry alone
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Row(0).caption, "Default Signature");

    const int first = list.AddNew();
    const int second = list.AddNew();
    EXPECT_EQ(list.Row(first).caption, "New Signature");
    EXPECT_EQ(list.Row(second).caption, "New Signature (2)");
    EXPECT_EQ(second, 2);  // appended, not sorted in
    list.SetLines(first, {"Ann Smith", "Fenmarch Boats", "555-0100"});
    EXPECT_EQ(list.Row(first).SubItem(0),
              "Ann Smith\x02"
              "Fenmarch Boats\x02"
              "555-0100");

    EXPECT_EQ(list.Rename(first, "NEW SIGNATURE", prompt), first);  // own name, other case
    EXPECT_EQ(list.Rename(second, "new signature", prompt), -1);
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0],
              "Fenmarch Skiffpost can not rename this signature.\n\rReason: Alias (Name) already in list\n\rFix: "
              "Choose another Alias.");
    EXPECT_EQ(list.Rename(second, "Alpha", prompt), second);  // stays where it is until sorted

    ASSERT_TRUE(list.Save(path, flags.listFill, pump, prompt));
    ExpectListFile(path, {{"Default Signature", {""}},
                          {"NEW SIGNATURE",
                           {"Ann Smith\x02"
                            "Fenmarch Boats\x02"
                            "555-0100"}},
                          {"Alpha", {""}}});
    list.SortByName();
    EXPECT_EQ(list.Row(0).caption, "Alpha");

    // The built-in entry is not repeated by a file that holds it.
    TSignatureList again;
    again.Load(path);
    ASSERT_EQ(again.Count(), 3);
    EXPECT_EQ(again.Lines(1), (std::vector<std::string>{"Ann Smith", "Fenmarch Boats", "555-0100"}));

    prompt.Clear();
    EXPECT_FALSE(list.Save(dir.File("none/Internet.sig"), flags.listFill, pump, prompt));
    EXPECT_FALSE(flags.listFill.IsHeld());
    EXPECT_EQ(prompt.Errors().size(), 1u);
}
