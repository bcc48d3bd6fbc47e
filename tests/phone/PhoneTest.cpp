#include <gtest/gtest.h>

#include "book/AddressList.h"
#include "book/MemberFields.h"
#include "book/MemberPhone.h"
#include "phone/TelLink.h"

namespace {

TListRow Member(const std::string& name, const std::string& phone) {
    TListRow row{name, std::vector<std::string>(memberfield::Count)};
    row.subItems[memberfield::Phone] = phone;
    return row;
}

}  // namespace

TEST(TelLink, KeepsWhatADialerDialsAndDropsTheSeparators) {
    EXPECT_EQ(tellink::FromNumber("+49 (30) 555-0100"), "tel:+49305550100");
    EXPECT_EQ(tellink::FromNumber("555.0100"), "tel:5550100");
    EXPECT_EQ(tellink::FromNumber(""), "tel:");  // dialed like any other number
    EXPECT_EQ(tellink::FromNumber("  - () "), "tel:");
    // "#" would start the link's fragment and lose what follows.
    EXPECT_EQ(tellink::FromNumber("*31#5550100"), "tel:*31%235550100");
    // Pauses before an extension, in either case; none before the number.
    EXPECT_EQ(tellink::FromNumber("5550100 P 12 w 3"), "tel:5550100p12w3");
    EXPECT_EQ(tellink::FromNumber("p5550100"), "tel:5550100");
    // A "+" inside the number is no international mark.
    EXPECT_EQ(tellink::FromNumber("555+0100"), "tel:5550100");
    EXPECT_EQ(tellink::FromNumber(" +1 800"), "tel:+1800");
    // Letters, control characters and 8-bit bytes cannot be dialed.
    EXPECT_EQ(tellink::FromNumber("call 555\r\n\x01\xE9"
                                  "0100 ext"),
              "tel:5550100");
}

TEST(MemberPhone, FindsTheFirstMemberOfExactlyThatName) {
    TAddressList book;
    book.Add(Member("Ann Lee", "555-0100"));
    book.Add(Member("Bob", ""));
    book.Add(TListRow{"Cy", {}});  // a row of an old file without sub-items
    EXPECT_EQ(memberphone::Find(book, "Ann Lee"), std::optional<std::string>("555-0100"));
    EXPECT_EQ(memberphone::Find(book, "Bob"), std::optional<std::string>(""));
    EXPECT_EQ(memberphone::Find(book, "Cy"), std::optional<std::string>(""));
    // Letter case counts here, unlike everywhere else in the book.
    EXPECT_FALSE(memberphone::Find(book, "ann lee"));
    EXPECT_FALSE(memberphone::Find(book, "Ann Lee "));
    EXPECT_FALSE(memberphone::Find(book, ""));
}
