#include <gtest/gtest.h>

#include "book/MemberFields.h"
#include "book/SenderMember.h"

TEST(SenderMember, NamedAfterTheSenderUniqueInTheBookWithTheMailboxAddress) {
    TListRow row = sendermember::Row("Ann Smith <ann@example.org>", {"Bob"});
    EXPECT_EQ(row.caption, "Ann Smith");
    ASSERT_EQ(row.subItems.size(), 9u);
    EXPECT_EQ(row.subItems[memberfield::Addresses], "ann@example.org");
    for (std::size_t i = 0; i < 9; ++i) {
        if (i != memberfield::Addresses) {
            EXPECT_EQ(row.subItems[i], "") << i;
        }
    }

    // A name taken in any letter case gets the next free number.
    row = sendermember::Row("\"Ann Smith\" <ann@work.example>", {"ann smith", "Ann Smith (2)"});
    EXPECT_EQ(row.caption, "Ann Smith (3)");
    EXPECT_EQ(row.subItems[memberfield::Addresses], "ann@work.example");
    // A name with a comma would split into two recipients when written to.
    row = sendermember::Row("\"Doe, Jane\" <jane@example.org>", {});
    EXPECT_EQ(row.caption, "Doe Jane");
    EXPECT_EQ(sendermember::Row("\",\" <x@example.org>", {}).caption, "x@example.org");
    // The older comment form.
    row = sendermember::Row("bob@example.net (Bob Jones)", {});
    EXPECT_EQ(row.caption, "Bob Jones");
    EXPECT_EQ(row.subItems[memberfield::Addresses], "bob@example.net");
}

TEST(SenderMember, ASenderWithoutANameOrWithBytesAListFileCannotKeep) {
    EXPECT_EQ(sendermember::Row("carl@example.com", {}).caption, "carl@example.com");
    EXPECT_EQ(sendermember::Row("<carl@example.com>", {}).caption, "carl@example.com");
    EXPECT_EQ(sendermember::Row("", {}).caption, "New Member");
    EXPECT_EQ(sendermember::Row("", {"New Member"}).caption, "New Member (2)");
    // Bytes that end a field or a row are dropped from name and address.
    const TListRow row = sendermember::Row("Dora\x01 Lee\r\n <do\x02ra@example.com>", {});
    EXPECT_EQ(row.caption, "Dora Lee");
    EXPECT_EQ(row.subItems[memberfield::Addresses], "dora@example.com");
    // A very long name still leaves room for the number that makes it unique.
    const std::string longName(300, 'x');
    const std::string first = sendermember::Row(longName + " <x@example.com>", {}).caption;
    EXPECT_LE(first.size(), 247u);
    EXPECT_EQ(sendermember::Row(longName + " <x@example.com>", {first}).caption, first + " (2)");
}
