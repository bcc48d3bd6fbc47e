// Find Message over the store: record order, the line and column the window
// selects (they must be those of the document the window shows), steps that
// keep their time inside a long body, and bodies that are not RTF.
#include <gtest/gtest.h>

#include "mail/MessageFinder.h"
#include "mail/RecordBody.h"
#include "richtext/PlainText.h"
#include "store/RawStoreAccess.h"
#include "store/StoreFixture.h"

namespace {

using namespace std::chrono_literals;

class MessageFinderSearch : public StoreFixture {
protected:
    void SetUp() override { Reopen(true); }
    int AddBody(const std::string& body, const std::string& type = "RTF") {
        const int handle = HandleOf(AddWithBody("In Box", "message", body));
        store->ChangeRecord(handle, [&type](THeaderItem& item) { item.MsgType = type; });
        return handle;
    }
    // Runs a search to its next stop.
    TMessageFinder::TState Run(TMessageFinder& finder) {
        TMessageFinder::TState s;
        do s = finder.Step(50ms);
        while (s == TMessageFinder::TState::Searching);
        return s;
    }
    // The text of the hit's line as the window's document has it.
    std::u32string HitLine(const TMessageFinder& finder) {
        const auto doc = TRecordBody(*store).Document(finder.Hit().handle);
        const auto lines = plaintext::Lines(*doc);
        return static_cast<std::size_t>(finder.Hit().line) < lines.size() ? lines[finder.Hit().line] : U"";
    }
};

}  // namespace

TEST_F(MessageFinderSearch, HitsInRecordOrderAtTheLineAndColumnTheWindowShows) {
    AddBody("{\\rtf1\\ansi nothing to see\\par}");
    const int second = AddBody(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Lunch Sans;}}{\\*\\generator lunch}\\f0 first\\line Caf\\'e9 {\\b LUN}ch\\par "
        "again lunch\\par}");
    const int third = AddBody("plain Lunch text\r\nno\r\n", "Text");
    TMessageFinder finder(*store);
    finder.Start("LUNCH", 0);
    ASSERT_EQ(Run(finder), TMessageFinder::TState::Found);
    // The font table and the starred group hold the word too, but are no
    // text; "\line" starts a line of its own.
    EXPECT_EQ(finder.Hit().handle, second);
    EXPECT_EQ(finder.Hit().line, 1);
    EXPECT_EQ(finder.Hit().column, 5u);
    EXPECT_EQ(finder.Hit().length, 5u);
    EXPECT_EQ(HitLine(finder), U"Caf\u00E9 LUNch");
    EXPECT_EQ(finder.Position(), second + 1);

    // The next press goes on with the next record, not the next line.
    finder.Start("LUNCH", finder.Position());
    ASSERT_EQ(Run(finder), TMessageFinder::TState::Found);
    EXPECT_EQ(finder.Hit().handle, third);
    EXPECT_EQ(finder.Hit().line, 0);
    EXPECT_EQ(finder.Hit().column, 6u);
    finder.Start("LUNCH", finder.Position());
    EXPECT_EQ(Run(finder), TMessageFinder::TState::Finished);

    // Letters beyond ASCII fold too.
    finder.Start("CAF\xC3\x89", 0);
    ASSERT_EQ(Run(finder), TMessageFinder::TState::Found);
    EXPECT_EQ(finder.Hit().handle, second);
    EXPECT_EQ(finder.Hit().column, 0u);
}

TEST_F(MessageFinderSearch, TextAcrossALineEndIsNoHit) {
    AddBody("{\\rtf1 no\\par on\\par}");
    TMessageFinder finder(*store);
    finder.Start("noon", 0);
    EXPECT_EQ(Run(finder), TMessageFinder::TState::Finished);
    finder.Start("no\non", 0);
    EXPECT_EQ(finder.State(), TMessageFinder::TState::Finished);
    finder.Start("", 0);
    EXPECT_EQ(finder.State(), TMessageFinder::TState::Finished);
}

TEST_F(MessageFinderSearch, ALongBodyIsSearchedOverSeveralStepsAndItsLinesCounted) {
    // About 3.5 MB of text in 150,000 lines: more than a step reads, and
    // more than the finder keeps before it cuts searched lines off.
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 ";
    for (int i = 0; i < 150000; ++i) rtf += "line " + std::to_string(i) + " {\\i of} filler\\par\r\n";
    rtf += "and then the needle\\par}";
    const int big = AddBody(rtf);
    const int after = AddBody("{\\rtf1 needle\\par}");
    TMessageFinder finder(*store);
    finder.Start("Needle", big);
    int steps = 0;
    TMessageFinder::TState s;
    while ((s = finder.Step(0ms)) == TMessageFinder::TState::Searching) {
        EXPECT_EQ(finder.Position(), big);  // still inside the long record
        ++steps;
    }
    ASSERT_EQ(s, TMessageFinder::TState::Found);
    EXPECT_GT(steps, 5);
    EXPECT_EQ(finder.Hit().handle, big);
    EXPECT_EQ(finder.Hit().line, 150000);
    EXPECT_EQ(finder.Hit().column, 13u);
    EXPECT_EQ(HitLine(finder), U"and then the needle");
    finder.Start("Needle", finder.Position());
    ASSERT_EQ(Run(finder), TMessageFinder::TState::Found);
    EXPECT_EQ(finder.Hit().handle, after);

    // Stopped inside the long record, a search started again from where
    // it stood reads that record from its beginning.
    finder.Start("filler", big);
    finder.Stop();
    EXPECT_EQ(finder.Position(), big);
    finder.Start("line 149999 of", finder.Position());
    ASSERT_EQ(Run(finder), TMessageFinder::TState::Found);
    EXPECT_EQ(finder.Hit().line, 149999);
}

TEST_F(MessageFinderSearch, ABodyThatIsNoRtfIsSearchedAsPlainTextAndAnUnreadableOneIsCounted) {
    // A plain body that mentions an RTF opening in its middle, in a record
    // whose type says RTF, is still plain text: its words and lines as they
    // stand.
    const int plain = AddBody("To write RTF, begin with {\\rtf1 and a \\par\r\nthen the secret word\r\n");
    THeaderItem& lost =
        TRawStoreAccess::Record(*store, HandleOf(AddWithBody("In Box", "lost", "{\\rtf1 secret\\par}")));
    lost.Offset = 1 << 20;
    TMessageFinder finder(*store);
    finder.Start("\\PAR", 0);
    ASSERT_EQ(Run(finder), TMessageFinder::TState::Found);
    EXPECT_EQ(finder.Hit().handle, plain);
    EXPECT_EQ(finder.Hit().line, 0);
    EXPECT_EQ(finder.Hit().column, 38u);
    finder.Start("secret", 0);
    ASSERT_EQ(Run(finder), TMessageFinder::TState::Found);
    EXPECT_EQ(finder.Hit().line, 1);
    finder.Start("secret", finder.Position());
    EXPECT_EQ(Run(finder), TMessageFinder::TState::Finished);
    EXPECT_EQ(finder.Unreadable(), 1);
}

TEST(RecordBodyTest, OnlyABodyThatOpensWithRtfIsRichText) {
    EXPECT_TRUE(TRecordBody::IsRich("{\\rtf1\\ansi x}"));
    EXPECT_TRUE(TRecordBody::IsRich("\r\n {\\rtf1 x}"));
    EXPECT_FALSE(TRecordBody::IsRich("see {\\rtf1 x}"));
    EXPECT_FALSE(TRecordBody::IsRich("{\\rt"));
    EXPECT_FALSE(TRecordBody::IsRich(""));
    const TRichDocument doc = TRecordBody::DocumentOf("About {\\rtf1 \\b bold}\r\nnext");
    EXPECT_EQ(plaintext::Lines(doc), (std::vector<std::u32string>{U"About {\\rtf1 \\b bold}", U"next"}));
}
