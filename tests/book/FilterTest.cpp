#include <gtest/gtest.h>

#include <set>

#include "book/FilterActions.h"
#include "book/FilterEngine.h"
#include "book/FilterFields.h"
#include "book/FilterList.h"
#include "common/BusyFlag.h"
#include "common/FieldText.h"
#include "common/SleepPump.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

namespace {

namespace ff = filterfield;

class TRecordingActions : public IFilterActions {
public:
    std::set<std::string> mailboxes{"In Box", "Out Box", "Sent Box", "Trash Can", "Lists", "Family"};
    std::vector<std::string> programs, sounds, printed;
    bool IsMailbox(const std::string& name) const override { return mailboxes.count(name) > 0; }
    void RunProgram(const std::string& path) override { programs.push_back(path); }
    void PlaySound(const std::string& path) override { sounds.push_back(path); }
    void Print(const std::string& body, const std::string& subject, const std::string& printer) override {
        printed.push_back(subject + "|" + body + "|" + printer);
    }
};

TListRow Filter(const std::string& name, std::initializer_list<std::pair<std::size_t, std::string>> items) {
    TListRow row{name, std::vector<std::string>(ff::Count)};
    row.SetSubItem(ff::In, "Yes");
    row.SetSubItem(ff::Out, "No");
    row.SetSubItem(ff::CaseSensitive, "0");
    row.SetSubItem(ff::Reverse, "0");
    for (const auto& [i, v] : items) row.SetSubItem(i, v);
    return row;
}

std::string Target(const std::vector<TListRow>& filters, const std::string& address, const std::string& subject,
                   unsigned mask, TRecordingActions& actions) {
    std::string target = "In Box";
    filterengine::Apply(filters, address, subject, mask, "{\\rtf1 body}", target, 255, actions);
    return target;
}

}  // namespace

TEST(FilterRule, DomainMovesIncomingMessages) {
    TRecordingActions a;
    const auto f = Filter("Lists", {{ff::Term1, "@lists.example.org"}, {ff::MoveTo, "Lists"}});
    EXPECT_EQ(Target({f}, "\"Dev\" <dev@lists.example.org>bob@example.com", "Hi", filterengine::kIncoming, a), "Lists");
    EXPECT_EQ(Target({f}, "someone@example.com", "Hi", filterengine::kIncoming, a), "In Box");
    // Not for outgoing messages.
    EXPECT_EQ(Target({f}, "dev@lists.example.org", "Hi", filterengine::kOutgoing, a), "In Box");
    // A mailbox that is not in the tree moves nothing.
    const auto g = Filter("Gone", {{ff::Term1, "dev"}, {ff::MoveTo, "Nowhere"}});
    EXPECT_EQ(Target({g}, "dev@lists.example.org", "Hi", filterengine::kIncoming, a), "In Box");
}

TEST(FilterRule, OperatorsOfOneTest) {
    const auto make = [](int op) {
        return Filter("x", {{ff::Term1, "alpha"}, {ff::Op1, std::to_string(op)}, {ff::Term2, "beta"}});
    };
    const std::string both = "alpha beta", onlyA = "alpha", onlyB = "beta", none = "gamma";
    EXPECT_TRUE(filterengine::Matches(make(ff::opAnd), both, ""));
    EXPECT_FALSE(filterengine::Matches(make(ff::opAnd), onlyA, ""));
    EXPECT_TRUE(filterengine::Matches(make(ff::opOr), onlyB, ""));
    EXPECT_FALSE(filterengine::Matches(make(ff::opOr), none, ""));
    EXPECT_TRUE(filterengine::Matches(make(ff::opXor), onlyA, ""));
    EXPECT_FALSE(filterengine::Matches(make(ff::opXor), both, ""));
    EXPECT_TRUE(filterengine::Matches(make(ff::opAndNot), onlyA, ""));
    EXPECT_FALSE(filterengine::Matches(make(ff::opAndNot), both, ""));
    // Without a second term only the first counts, whatever the operator.
    EXPECT_TRUE(filterengine::Matches(Filter("x", {{ff::Term1, "alpha"}, {ff::Op1, "0"}}), onlyA, ""));
}

TEST(FilterRule, CombinationOfAddressAndSubject) {
    auto f = Filter("x", {{ff::Term1, "boss"}, {ff::Term3, "urgent"}, {ff::Op3, "0"}});
    EXPECT_TRUE(filterengine::Matches(f, "boss@work", "urgent: call"));
    EXPECT_FALSE(filterengine::Matches(f, "boss@work", "lunch"));
    f.SetSubItem(ff::Op3, "3");  // & Not
    EXPECT_TRUE(filterengine::Matches(f, "boss@work", "lunch"));
    EXPECT_FALSE(filterengine::Matches(f, "boss@work", "urgent"));
    f.SetSubItem(ff::Op3, "2");  // Xor
    EXPECT_TRUE(filterengine::Matches(f, "friend@home", "urgent"));
    // With only subject terms, the combining operator does not matter.
    for (const char* op : {"0", "1", "2", "3"}) {
        const auto s = Filter("s", {{ff::Term3, "urgent"}, {ff::Op3, op}});
        EXPECT_TRUE(filterengine::Matches(s, "anyone", "urgent"));
        EXPECT_FALSE(filterengine::Matches(s, "anyone", "calm"));
    }
    // The subject test uses Op2 between its two terms.
    const auto t = Filter("t", {{ff::Term3, "a"}, {ff::Op2, "0"}, {ff::Term4, "b"}});
    EXPECT_FALSE(filterengine::Matches(t, "", "a only"));
    EXPECT_TRUE(filterengine::Matches(t, "", "a and b"));
    // No first term at all never matches, even reversed.
    auto none = Filter("n", {{ff::Term2, "x"}, {ff::Term4, "y"}, {ff::Reverse, "1"}});
    EXPECT_FALSE(filterengine::Matches(none, "x", "y"));
}

TEST(FilterRule, OptionsWordOfTheTwoBoxes) {
    auto f = Filter("x", {{ff::Term1, "Boss"}});
    EXPECT_FALSE(filterengine::Matches(f, "boss@work", ""));  // case respected
    f.SetSubItem(ff::CaseSensitive, "1");
    EXPECT_TRUE(filterengine::Matches(f, "boss@work", ""));  // one box: case ignored
    f.SetSubItem(ff::CaseSensitive, "0");
    f.SetSubItem(ff::Reverse, "Yes");
    EXPECT_TRUE(filterengine::Matches(f, "boss@work", ""));  // only reverse: ignored case, no reversal
    EXPECT_FALSE(filterengine::Matches(f, "friend@home", ""));
    f.SetSubItem(ff::CaseSensitive, "1");
    EXPECT_TRUE(filterengine::Matches(f, "boss@work", ""));  // both: case respected, reversed
    EXPECT_FALSE(filterengine::Matches(f, "Boss@work", ""));
    // Every script's letters change case: accented ones stored in
    // Windows-1252, Cyrillic and Greek ones stored in encoded words.
    auto g = Filter("g", {{ff::Term1, "\xe9t\xe9"}, {ff::CaseSensitive, "1"}});
    EXPECT_TRUE(filterengine::Matches(g, "\xc9T\xc9", ""));
    auto h = Filter("h", {{ff::Term3, fieldtext::Encode("привет")}, {ff::CaseSensitive, "1"}});
    EXPECT_TRUE(filterengine::Matches(h, "", fieldtext::Encode("Re: ПРИВЕТ из Москвы")));
    EXPECT_FALSE(filterengine::Matches(h, "", fieldtext::Encode("Re: пока")));
    h.SetSubItem(ff::CaseSensitive, "0");
    EXPECT_FALSE(filterengine::Matches(h, "", fieldtext::Encode("Re: ПРИВЕТ из Москвы")));
    EXPECT_TRUE(filterengine::Matches(h, "", fieldtext::Encode("Re: привет и ΓΕΙΆ")));
}

TEST(FilterActions, LaterFiltersOverrideAndActionsRun) {
    TTempDir dir;
    WriteFileOrDie(dir.File("ding.wav"), "RIFF");
    TRecordingActions a;
    const std::vector<TListRow> filters = {
        Filter("A first", {{ff::Term1, "@home"},
                           {ff::MoveTo, "Family"},
                           {ff::RunProgram, "Yes"},
                           {ff::ProgramFile, "/usr/bin/notify"}}),
        Filter("B second", {{ff::Term1, "@home"},
                            {ff::MoveTo, "Lists"},
                            {ff::PlaySound, "Yes"},
                            {ff::SoundFile, dir.File("ding.wav")},
                            {ff::PrintTo, "Laser"}}),
        Filter("C missing sound", {{ff::Term1, "@home"},
                                   {ff::PlaySound, "Yes"},
                                   {ff::SoundFile, dir.File("no.wav")},
                                   {ff::RunProgram, "yes"}}),
    };
    EXPECT_EQ(Target(filters, "mum@home", "News", filterengine::kIncoming, a), "Lists");
    EXPECT_EQ(a.programs, (std::vector<std::string>{"/usr/bin/notify"}));  // "yes" is not "Yes"
    EXPECT_EQ(a.sounds, (std::vector<std::string>{dir.File("ding.wav")}));
    EXPECT_EQ(a.printed, (std::vector<std::string>{"News|{\\rtf1 body}|Laser"}));
    // The move is cut to the caller's limit.
    std::string target = "In Box";
    filterengine::Apply({filters[1]}, "mum@home", "", filterengine::kIncoming, "", target, 3, a);
    EXPECT_EQ(target, "Lis");
}

TEST(FilterList, FileRoundTripOrderAndNames) {
    TTempDir dir;
    TBusyFlags flags;
    TSleepPump pump;
    TRecordingPrompt prompt;
    const std::string path = dir.File("Internet.flt");
    TFilterList list;
    list.Load(path);  // missing file: empty list
    EXPECT_TRUE(list.Rows().empty());
    EXPECT_EQ(list.Rows().size(), 0u);
    const int first = list.AddNew();
    EXPECT_EQ(list.Rows()[static_cast<std::size_t>(first)].caption, "New Filter");
    list.AddNew();
    EXPECT_EQ(list.IndexOf("new filter (2)"), 1);
    int zed = list.Rename(0, "zeta", prompt);
    EXPECT_EQ(zed, 1);
    EXPECT_EQ(list.Rows()[0].caption, "New Filter (2)");
    EXPECT_EQ(list.Rename(0, "ZETA", prompt), -1);  // another filter's name
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0],
              "Fenmarch Skiffpost can not rename this filter.\n\rReason: Alias (Name) already in list\n\rFix: Choose "
              "another Alias.");
    EXPECT_EQ(list.Rows()[0].caption, "New Filter (2)");
    EXPECT_EQ(list.Rename(1, "Zeta", prompt), 1);  // own name in other case is fine
    list.SetSubItems(1, {"Yes", "No", "Lists"});
    ASSERT_TRUE(list.Save(path, flags.listFill, pump, prompt));
    const std::string text = ReadFileOrEmpty(path);
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "New Filter (2)" + std::string(21 - 1, '\x01') + "\x01");
    EXPECT_NE(text.find("Zeta\x01Yes\x01No\x01Lists\x01"), std::string::npos);
    TFilterList again;
    WriteFileOrDie(path, text + "\r\nalpha\x01Yes\x01\r\n");  // short line, empty line
    again.Load(path);
    ASSERT_EQ(again.Rows().size(), 3u);
    EXPECT_EQ(again.Rows()[0].caption, "alpha");
    EXPECT_EQ(again.Rows()[0].subItems.size(), 20u);
    EXPECT_EQ(again.Rows()[2].SubItem(ff::MoveTo), "Lists");
    again.Remove(0);
    EXPECT_EQ(again.Rows().size(), 2u);
    // A file that cannot be written is reported, and the flag is free again.
    EXPECT_FALSE(again.Save(dir.File("no/such/Internet.flt"), flags.listFill, pump, prompt));
    EXPECT_FALSE(flags.listFill.IsHeld());
    EXPECT_EQ(prompt.Errors().size(), 2u);
}

TEST(FilterFields, StoredSwitches) {
    EXPECT_TRUE(ff::IsTrue("1"));
    EXPECT_TRUE(ff::IsTrue("YES"));
    EXPECT_FALSE(ff::IsTrue("Y"));
    EXPECT_FALSE(ff::IsTrue("0"));
    EXPECT_FALSE(ff::IsTrue(""));
}
