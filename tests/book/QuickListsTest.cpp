#include <gtest/gtest.h>

#include "book/QuickLists.h"
#include "support/BookMember.h"

namespace {

using V = std::vector<std::string>;

}  // namespace

TEST(QuickLists, FieldsSplitAtCommasAndJoinBackWithCommaBlank) {
    TQuickLists lists;
    lists.Load(" Ann Smith <ann@example.org>,bob@example.net ,, ", "", ",  carl@example.com");
    EXPECT_EQ(lists.Entries(TQuickLists::To), (V{"Ann Smith <ann@example.org>", "bob@example.net"}));
    EXPECT_TRUE(lists.Entries(TQuickLists::CC).empty());
    EXPECT_EQ(lists.Entries(TQuickLists::BCC), (V{"carl@example.com"}));
    EXPECT_EQ(lists.Joined(TQuickLists::To), "Ann Smith <ann@example.org>, bob@example.net");
    EXPECT_EQ(lists.Joined(TQuickLists::CC), "");
    EXPECT_EQ(lists.Joined(TQuickLists::BCC), "carl@example.com");
}

TEST(QuickLists, ARecipientIsInOneListOnlyWhateverItsLetterCase) {
    TQuickLists lists;
    lists.Load("Bob", "", "");
    // The same name on the CC page: already a To recipient.
    EXPECT_FALSE(lists.Add(TQuickLists::CC, "bob"));
    EXPECT_FALSE(lists.Add(TQuickLists::To, "  BOB "));
    EXPECT_TRUE(lists.Add(TQuickLists::CC, "  carl@example.com "));
    EXPECT_FALSE(lists.Add(TQuickLists::BCC, "Carl@Example.com"));
    EXPECT_FALSE(lists.Add(TQuickLists::BCC, "   "));
    EXPECT_FALSE(lists.Add(7, "dan@example.com"));
    EXPECT_EQ(lists.Entries(TQuickLists::CC), (V{"carl@example.com"}));
    EXPECT_TRUE(lists.Contains("CARL@example.com"));

    lists.Remove(TQuickLists::To, 5);  // out of range: nothing
    lists.Remove(TQuickLists::To, 0);
    EXPECT_TRUE(lists.Entries(TQuickLists::To).empty());
    // Removed, it may be added again, on any page.
    EXPECT_TRUE(lists.Add(TQuickLists::BCC, "Bob"));
    EXPECT_EQ(lists.Joined(TQuickLists::BCC), "Bob");
}

TEST(QuickLists, MemberAddressesComeFromTheFirstMemberOfThatName) {
    const std::vector<TListRow> book = {BookMember("Ann",
                                                   "ann@example.org\x02\x02"
                                                   "ann@work.example"),
                                        BookMember("ann", "second@example.org"), BookMember("Bob", "")};
    EXPECT_EQ(TQuickLists::MemberAddresses(book, "ANN"), (V{"ann@example.org", "ann@work.example"}));
    EXPECT_TRUE(TQuickLists::MemberAddresses(book, "Bob").empty());
    EXPECT_TRUE(TQuickLists::MemberAddresses(book, "Nobody").empty());
}
