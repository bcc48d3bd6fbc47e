#include <gtest/gtest.h>

#include "StoreFixture.h"
#include "store/Headers.h"

TEST(HeaderItem, NewRecordDefaults) {
    THeaderItem h;
    EXPECT_EQ(h.Offset, 0);
    EXPECT_EQ(h.Size, 0);
    EXPECT_EQ(h.Slack, 100);
    EXPECT_EQ(h.WindowHandle, -1);
    EXPECT_EQ(h.Flags, 0);
    EXPECT_TRUE(h.Subject.empty());
    EXPECT_TRUE(h.Attachments.empty());
}

TEST(HeaderItem, CopyTakesEveryFieldAndBoundsApply) {
    THeaderItem a;
    a.Subject = std::string(400, 's');
    a.Mailbox = "Work";
    a.Attachments = std::string(1000, 'p') + "\x02";  // unbounded
    a.CCList = std::string(600, 'c');
    a.Flags = mfNew | mfAttach;
    a.Offset = 12;
    const THeaderItem b = a;
    EXPECT_EQ(b, a);
    EXPECT_EQ(b.Subject.size(), 255u);
    EXPECT_EQ(b.Mailbox, "Work");
    EXPECT_EQ(b.Attachments.size(), 1001u);
    EXPECT_EQ(b.CCList.size(), 600u);
}

TEST(HeaderItem, StatusWordFromFlags) {
    EXPECT_EQ(THeaderItem::StatusWord(0x42), "NR ATT");
    EXPECT_EQ(THeaderItem::StatusWord(0x40), " ATT");
    EXPECT_EQ(THeaderItem::StatusWord(0x00), "");
    EXPECT_EQ(THeaderItem::StatusWord(0x29), "S");  // read, reply, sent: the highest wins
    EXPECT_EQ(THeaderItem::StatusWord(mfRead), "R");
    EXPECT_EQ(THeaderItem::StatusWord(mfForward | mfAttach), "FWD ATT");
    EXPECT_EQ(THeaderItem::StatusWord(mfReply | mfNew), "RE");
    EXPECT_EQ(THeaderItem::StatusWord(0x80), "");  // bit 7 means nothing
}

TEST(HeaderItem, FlagsFromStatusWord) {
    EXPECT_EQ(THeaderItem::FlagsFromStatusWord("RE"), 0x08);
    EXPECT_EQ(THeaderItem::FlagsFromStatusWord("R"), 0x01);
    EXPECT_EQ(THeaderItem::FlagsFromStatusWord("NR ATT"), 0x42);
    EXPECT_EQ(THeaderItem::FlagsFromStatusWord("XYZ"), 0x00);
    EXPECT_EQ(THeaderItem::FlagsFromStatusWord("Q ATT"), 0x50);
    EXPECT_EQ(THeaderItem::FlagsFromStatusWord("FWD"), 0x04);
    EXPECT_EQ(THeaderItem::FlagsFromStatusWord("S"), 0x20);
    EXPECT_EQ(THeaderItem::FlagsFromStatusWord(" ATT"), 0x40);
    EXPECT_EQ(THeaderItem::FlagsFromStatusWord(""), 0x00);
    // Every single flag survives the trip through its word.
    for (std::uint8_t f : {mfRead, mfNew, mfForward, mfReply, mfQueued, mfSent}) {
        EXPECT_EQ(THeaderItem::FlagsFromStatusWord(THeaderItem::StatusWord(f)), f);
        const std::uint8_t withAttach = f | mfAttach;
        EXPECT_EQ(THeaderItem::FlagsFromStatusWord(THeaderItem::StatusWord(withAttach)), withAttach);
    }
}

TEST(HeaderItem, ColumnTexts) {
    THeaderItem h;
    h.Flags = mfRead;
    EXPECT_EQ(h.StatusText(), " ");
    h.Flags = mfSent | mfNew;
    EXPECT_EQ(h.StatusText(), "S");
    h.Flags = mfNew | mfQueued;
    EXPECT_EQ(h.StatusText(), "NR");
    h.Flags = mfReply | mfForward;
    EXPECT_EQ(h.StatusText(), "RE");
    h.Flags = mfForward;
    EXPECT_EQ(h.StatusText(), "FWD");
    EXPECT_EQ(h.AttachmentText(), "");
    h.Flags |= mfAttach;
    EXPECT_EQ(h.AttachmentText(), "  ");
}

namespace {
// The list of records as the store keeps it; records come and go only
// through the store's record operations.
class Headers : public StoreFixture {
protected:
    const THeaders& list() { return store->Headers(); }
};
}  // namespace

TEST_F(Headers, HandlesStayWhenARecordIsRemoved) {
    std::vector<const THeaderItem*> items;
    for (int i = 0; i < 5; ++i) {
        items.push_back(&Add("In Box", "r"));
        EXPECT_EQ(HandleOf(*items.back()), i);
    }
    store->DestroyRecord(2);
    EXPECT_EQ(list().HandleToHeader(2), nullptr);
    EXPECT_EQ(list().HandleToHeader(3), items[3]);
    EXPECT_EQ(list().HandleOf(items[4]), 4);
    EXPECT_EQ(list().Length(), 5);
    EXPECT_EQ(list().Count("In Box"), 4);
    EXPECT_EQ(HandleOf(Add("In Box", "r")), 5);  // the list only grows
    EXPECT_TRUE(prompt.Texts().empty());
}

TEST_F(Headers, OutOfRangeHandleIsAFilesysError) {
    Add("In Box", "r");
    const THeaderItem* spare = list().HandleToHeader(1);
    ASSERT_NE(spare, nullptr);
    EXPECT_EQ(*spare, THeaderItem());
    EXPECT_EQ(list().HandleOf(spare), -1);
    EXPECT_NE(list().HandleToHeader(-1), nullptr);
    ASSERT_EQ(prompt.Errors().size(), 2u);
    EXPECT_EQ(
        prompt.Errors()[0],
        "Fenmarch Skiffpost encountered and error in Module FILESYS.\r\nReason: HandleToHeader conversion error.");
    EXPECT_EQ(list().Count("In Box"), 1);
    EXPECT_EQ(list().At(7), nullptr);
}

TEST_F(Headers, CountsPerMailboxAreExact) {
    Add("In Box", "a", mfNew);
    Add("in box", "b", mfNew);
    Add("In Box", "c", mfRead);
    Add("Work", "d", mfNew | mfAttach);
    EXPECT_EQ(list().Count("In Box"), 2);
    EXPECT_EQ(list().CountNew("In Box"), 1);
    EXPECT_EQ(list().CountNew("Work"), 1);
    EXPECT_EQ(list().CountNewAll(), 3);
}

TEST_F(Headers, DestroyingTheLastNewRecordOfAMailboxClearsItsMarkAndLowersTheCount) {
    Reopen(true);
    Add("In Box", "a", mfNew);
    Add("In Box", "b", mfNew);
    Add("In Box", "c", mfRead);
    const auto bold = [&] { return store->Tree().At(store->Tree().IndexOf("In Box")).bold; };
    EXPECT_TRUE(bold());
    EXPECT_EQ(store->Tip().Count(), 2);
    store->DestroyRecord(2);  // not new: nothing changes
    EXPECT_EQ(store->Tip().Count(), 2);
    store->DestroyRecord(0);
    EXPECT_TRUE(bold());
    EXPECT_EQ(store->Tip().Count(), 1);
    store->DestroyRecord(1);
    EXPECT_FALSE(bold());
    EXPECT_EQ(store->Tip().Count(), 0);
    EXPECT_EQ(store->Tip().Tip(), "You have no new mail.");
}
