#include <gtest/gtest.h>

#include "book/AddressList.h"
#include "book/MemberFields.h"
#include "book/MemberForm.h"
#include "book/NicknameImport.h"
#include "common/BusyFlag.h"
#include "common/SleepPump.h"
#include "support/ListFileCheck.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

namespace {

namespace mf = memberfield;
using TDistribution = TMemberForm::TDistribution;

const std::string kRefused =
    "Fenmarch Skiffpost can not rename this member.\n\rReason: Alias (Name) already in list\n\rFix: Choose another "
    "Alias.";

}  // namespace

TEST(AddressList, NewMembersRenamesAndTheFile) {
    TTempDir dir;
    TBusyFlags flags;
    TSleepPump pump;
    TRecordingPrompt prompt;
    TAddressList list;
    list.Load(dir.File("Internet.pab"));
    EXPECT_EQ(list.Count(), 0);
    list.AddNew();
    const int second = list.AddNew();
    EXPECT_EQ(list.Row(second).caption, "New Member (2)");
    EXPECT_EQ(list.Row(second).subItems.size(), 9u);

    // Own name in other letter case: allowed, and the list stays in name order.
    const int renamed = list.Rename(0, "zoe", prompt);
    EXPECT_EQ(list.Row(renamed).caption, "zoe");
    EXPECT_EQ(list.Rename(renamed, "Zoe", prompt), 1);
    // Another member's name in any letter case: refused, old name stays.
    EXPECT_EQ(list.Rename(0, "ZOE", prompt), -1);
    ASSERT_EQ(prompt.Errors(), std::vector<std::string>{kRefused});
    EXPECT_EQ(list.Row(0).caption, "New Member (2)");
    // Names the file could not keep.
    for (const std::string bad : {"two\r\nlines",
                                  "a\x01"
                                  "b",
                                  "a\x02"
                                  "b",
                                  "   "}) {
        prompt.Clear();
        EXPECT_EQ(list.Rename(0, bad, prompt), -1);
        EXPECT_EQ(prompt.Errors().size(), 1u) << bad;
    }
    EXPECT_EQ(list.Row(0).caption, "New Member (2)");

    TMemberForm form;
    form.addresses = {"ann@example.com", "bob@example.com", "cy@example.com"};
    form.distribution = TDistribution::BCC;
    form.postal = {"1 High Street", "Fenmarch"};
    form.phone = "555-0100";
    TListRow row = list.Row(1);
    form.ApplyTo(row);
    list.SetSubItems(1, row.subItems);
    ASSERT_TRUE(list.Save(dir.File("Internet.pab"), flags.listFill, pump, prompt));
    ExpectListFile(dir.File("Internet.pab"), {{"New Member (2)", {"", "", "", "", "", "", "", "", ""}},
                                              {"Zoe",
                                               {mf::kBccList, "555-0100", "",
                                                "1 High Street\x02"
                                                "Fenmarch",
                                                "2", "",
                                                "ann@example.com\x02"
                                                "bob@example.com\x02"
                                                "cy@example.com",
                                                "", "0"}}});
    TAddressList again;
    again.Load(dir.File("Internet.pab"));
    EXPECT_EQ(again.Rows(), list.Rows());
    EXPECT_EQ(again.AddressesOf("zoe").size(), 3u);

    // A file that cannot be written: a box, the flag free, the rows kept.
    prompt.Clear();
    EXPECT_FALSE(list.Save(dir.File("gone/Internet.pab"), flags.listFill, pump, prompt));
    EXPECT_FALSE(flags.listFill.IsHeld());
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0].rfind("Fenmarch Skiffpost could not save the address book.\n\rReason: ", 0), 0u);
    EXPECT_EQ(list.Count(), 2);
}

TEST(MemberForm, DistributionRule) {
    TListRow row{"Ann", {}};
    TMemberForm one;
    one.addresses = {"ann@example.com"};
    one.distribution = TDistribution::BCC;  // no choice with one address
    one.ApplyTo(row);
    EXPECT_EQ(row.SubItem(mf::Email), "ann@example.com");
    EXPECT_EQ(row.SubItem(mf::ListKind), "0");
    EXPECT_FALSE(TMemberForm::HasDistributionChoice(one.addresses));
    EXPECT_EQ(TMemberForm::FromRow(row).distribution, TDistribution::None);

    TMemberForm none;
    none.ApplyTo(row);
    EXPECT_EQ(row.SubItem(mf::Email), "");
    EXPECT_EQ(row.SubItem(mf::Addresses), "");

    TMemberForm cc;
    cc.addresses = {"a@x", "b@y"};
    cc.distribution = TDistribution::CC;
    cc.richText = true;
    cc.notes = {"first", "", "third"};
    cc.ApplyTo(row);
    EXPECT_EQ(row.SubItem(mf::Email), mf::kCcList);
    EXPECT_EQ(row.SubItem(mf::ListKind), "1");
    EXPECT_EQ(row.SubItem(mf::Format), "1");
    EXPECT_EQ(row.SubItem(mf::Notes), std::string("first\x02\x02third"));
    EXPECT_EQ(TMemberForm::FromRow(row), cc);

    // Pasted control bytes cannot split a row or a line.
    TMemberForm pasted;
    pasted.addresses = {"a@x\x01", "b@\x02y"};
    pasted.phone = "555\r\n0100";
    pasted.ApplyTo(row);
    EXPECT_EQ(row.SubItem(mf::Addresses), std::string("a@x\x02"
                                                      "b@y"));
    EXPECT_EQ(row.SubItem(mf::Phone), "5550100");
}

TEST(NicknameImport, WordsAndQuotes) {
    std::string text = " ,, \"John  Q Public\" rest";
    EXPECT_EQ(nickname::TakeWord(text), "John Q Public");
    EXPECT_EQ(text, " rest");
    text = "plain,next";
    EXPECT_EQ(nickname::TakeWord(text), "plain");
    EXPECT_EQ(nickname::TakeWord(text), "next");
    EXPECT_EQ(nickname::TakeWord(text), "");
    text = "\"never closed";
    EXPECT_EQ(nickname::TakeWord(text), "never closed");
}

TEST(NicknameImport, AliasesAndNotes) {
    const std::string file =
        "alias team ann@example.com, bob@example.com,\r\n"
        "note team <name:Team Fenmarch><phone:555-0100> weekly\x03list\r\n"
        "# a comment line\r\n"
        "alias \"Jane Doe\" jane@example.com\r\n"
        "note \"Jane Doe\" <fax:555-0199> <address:1 High St\x03"
        "Fenmarch >Met at the fair\r\n"
        "alias Team carl@example.com\r\n"
        "Alias ignored x@y\r\n"
        "alias last last@example.com";
    const auto rows = nickname::Parse(file, {"Jane Doe"});
    ASSERT_EQ(rows.size(), 4u);

    EXPECT_EQ(rows[0].caption, "team");
    EXPECT_EQ(rows[0].subItems,
              (std::vector<std::string>{mf::kCcList, "555-0100", "", "", "1", "Team Fenmarch\x02weekly\x02list",
                                        "ann@example.com\x02"
                                        "bob@example.com",
                                        "", "0"}));

    // A quoted two-word nickname, made unique beside the book's own "Jane Doe".
    EXPECT_EQ(rows[1].caption, "Jane Doe (2)");
    EXPECT_EQ(rows[1].SubItem(mf::Email), "jane@example.com");
    EXPECT_EQ(rows[1].SubItem(mf::ListKind), "0");
    EXPECT_EQ(rows[1].SubItem(mf::Fax), "555-0199");
    EXPECT_EQ(rows[1].SubItem(mf::Postal),
              "1 High St\x02"
              "Fenmarch");
    EXPECT_EQ(rows[1].SubItem(mf::Notes), "Met at the fair");

    // "Team" waits for a note that never comes; the next alias completes it.
    // "last" has no note either and is completed at the end of the file.
    EXPECT_EQ(rows[2].caption, "Team (2)");
    EXPECT_EQ(rows[2].SubItem(mf::Email), "carl@example.com");
    EXPECT_EQ(rows[3].caption, "last");
    EXPECT_EQ(rows[3].subItems,
              (std::vector<std::string>{"last@example.com", "", "", "", "0", "", "last@example.com", "", "0"}));
}

TEST(NicknameImport, OddLines) {
    // A note before any alias, an alias without a nickname, bytes a list
    // file cannot keep, and a tag without its ">".
    const auto rows = nickname::Parse("note nobody <phone:1>\nalias\nalias x\x01y a@b\nnote x <phone:555", {});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].caption, "New Member");
    EXPECT_EQ(rows[0].SubItem(mf::Addresses), "");
    EXPECT_EQ(rows[1].caption, "xy");
    EXPECT_EQ(rows[1].SubItem(mf::Phone), "555");
    EXPECT_EQ(rows[1].SubItem(mf::Notes), "");
}

TEST(AddressList, WhereARenamedRowGoes) {
    TRecordingPrompt prompt;
    TAddressList list;
    for (const char* name : {"bob", "dora", "fay"}) list.Add({name, {}});
    for (const auto& [from, name] :
         std::vector<std::pair<int, std::string>>{{0, "Eve"}, {0, "Aaron"}, {2, "ann"}, {1, "Zed"}, {2, "FAY"}}) {
        TAddressList copy = list;
        const int expected = copy.RenamedIndex(from, name);
        EXPECT_EQ(copy.Rename(from, name, prompt), expected) << name;
        EXPECT_EQ(copy.Row(expected).caption, name);
    }
}
