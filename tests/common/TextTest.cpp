#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "common/BoundedText.h"
#include "common/DisplayDate.h"
#include "common/TextUtil.h"
#include "common/UniqueName.h"
#include "common/Windows1252.h"

TEST(BoundedText, KeepsTheFirst255Characters) {
    TBoundedText t = std::string(300, 'x') + "tail";
    EXPECT_EQ(t.size(), 255u);
    EXPECT_EQ(t.str(), std::string(255, 'x'));
    t = "short";
    EXPECT_EQ(t.str(), "short");
    t = std::string(255, 'y');
    EXPECT_EQ(t.size(), 255u);
}

TEST(ParseInt, DecimalHexAndGarbage) {
    EXPECT_EQ(text::ParseInt("30"), 30);
    EXPECT_EQ(text::ParseInt("-12"), -12);
    EXPECT_EQ(text::ParseInt("+7"), 7);
    EXPECT_EQ(text::ParseInt("0x1E"), 30);
    EXPECT_EQ(text::ParseInt("0X1e"), 30);
    EXPECT_EQ(text::ParseInt("0xFFFFFFFF"), -1);
    EXPECT_EQ(text::ParseInt("0x"), std::nullopt);  // two characters: not hexadecimal
    EXPECT_EQ(text::ParseInt("30 min"), std::nullopt);
    EXPECT_EQ(text::ParseInt(""), std::nullopt);
    EXPECT_EQ(text::ParseInt("+-3"), std::nullopt);
    EXPECT_EQ(text::ParseInt("0x1G"), std::nullopt);
    EXPECT_EQ(text::ParseInt("0x100000000"), std::nullopt);
    EXPECT_EQ(text::ParseInt("2147483647"), 2147483647);
    EXPECT_EQ(text::ParseInt("2147483648"), std::nullopt);
    EXPECT_EQ(text::ParseInt("-2147483648"), -2147483647 - 1);
}

TEST(TextUtil, CaseRulesAndTrim) {
    EXPECT_TRUE(text::EqualsNoCase("Default Settings", "default SETTINGS"));
    EXPECT_FALSE(text::EqualsNoCase("In Box", "In Box "));
    EXPECT_EQ(text::FindNoCase("xxMAILTO:a@b", "mailto:"), 2u);
    EXPECT_EQ(text::FindNoCase("abc", "abcd"), std::string_view::npos);
    EXPECT_EQ(text::Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(text::Trim("   "), "");
}

TEST(UniqueName, CountsFromTwoWithoutRegardToCase) {
    EXPECT_EQ(uniquename::Make("New Mailbox", std::vector<std::string>{}), "New Mailbox");
    EXPECT_EQ(uniquename::Make("New Mailbox", {"new mailbox"}), "New Mailbox (2)");
    EXPECT_EQ(uniquename::Make("New Mailbox", {"New Mailbox", "NEW MAILBOX (2)", "Other"}), "New Mailbox (3)");
    // A gap is filled: (2) is free although (3) is taken.
    EXPECT_EQ(uniquename::Make("A", {"A", "A (3)"}), "A (2)");
}

TEST(Windows1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = cp1252::ToUtf8(all);
    EXPECT_TRUE(cp1252::IsValidUtf8(utf8));
    EXPECT_EQ(cp1252::FromUtf8(utf8), all);
}

TEST(Windows1252, KnownCharactersBothWays) {
    EXPECT_EQ(cp1252::ToUtf8("\x80"), "\xE2\x82\xAC");                      // euro sign
    EXPECT_EQ(cp1252::ToUtf8("caf\xE9"), "caf\xC3\xA9");                    // é
    EXPECT_EQ(cp1252::FromUtf8("\xE2\x80\x9Cq\xE2\x80\x9D"), "\x93q\x94");  // curly quotes
    EXPECT_EQ(cp1252::FromUtf8("\xE4\xB8\xAD"), "?");                       // a CJK character the code page lacks
    EXPECT_EQ(cp1252::FromUtf8("\xF0\x9F\x98\x80!"), "?!");                 // outside the BMP
    EXPECT_EQ(cp1252::FromUtf8("a\xFF"
                               "b"),
              "a?b");                                   // malformed UTF-8
    EXPECT_FALSE(cp1252::IsValidUtf8("\xC0\x80"));      // overlong NUL
    EXPECT_FALSE(cp1252::IsValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(cp1252::IsValidUtf8("\xE2\x82"));      // truncated
}

TEST(Windows1252, Utf8CheckFindsAFaultAtAnyPlaceOfALongAsciiRun) {
    // Long ASCII runs are checked several bytes at a time: a bad or a good
    // sequence must be seen wherever it falls against those steps.
    for (std::size_t at = 0; at < 20; ++at) {
        const std::string before(at, 'a'), after(20 - at, 'b');
        EXPECT_FALSE(cp1252::IsValidUtf8(before + "\xFF" + after)) << at;
        EXPECT_FALSE(cp1252::IsValidUtf8(before + "\xE2\x82")) << at;
        EXPECT_TRUE(cp1252::IsValidUtf8(before + "\xE2\x82\xAC" + after)) << at;
        EXPECT_TRUE(cp1252::IsValidUtf8(before + after)) << at;
    }
}

TEST(DisplayDate, TwelveHourClockWithTwoDigitYear) {
    std::tm tm{};
    tm.tm_year = 96;
    tm.tm_mon = 4;
    tm.tm_mday = 7;
    tm.tm_hour = 14;
    tm.tm_min = 15;
    EXPECT_EQ(displaydate::Format(tm), "05/07/96 02:15 PM");
    tm.tm_hour = 0;
    tm.tm_min = 5;
    EXPECT_EQ(displaydate::Format(tm), "05/07/96 12:05 AM");
    tm.tm_hour = 12;
    EXPECT_EQ(displaydate::Format(tm), "05/07/96 12:05 PM");
    tm.tm_year = 126;
    tm.tm_mon = 11;
    tm.tm_mday = 31;
    tm.tm_hour = 23;
    tm.tm_min = 59;
    EXPECT_EQ(displaydate::Format(tm), "12/31/26 11:59 PM");
}

// The order of two display dates in time: the two-digit year is the one in
// the hundred years that end twenty years after the year given, so a list
// sorted around a century's turn keeps 99 before 01.
TEST(DisplayDate, ChronologicalOrderAroundTheCentury) {
    const auto at = [](const char* text, int year) { return displaydate::Chronological(text, year).value_or(-1); };
    EXPECT_EQ(at("01/05/27 12:05 AM", 2026), 202701050005);
    EXPECT_EQ(at("12/08/26 02:15 PM", 2026), 202612081415);
    EXPECT_EQ(at("12/08/26 12:30 PM", 2026), 202612081230);
    EXPECT_EQ(at("07/04/96 03:07 PM", 2026), 199607041507);
    EXPECT_EQ(at("07/04/46 03:07 PM", 2026), 204607041507);  // twenty years on is still ahead
    EXPECT_EQ(at("07/04/47 03:07 PM", 2026), 194707041507);
    EXPECT_LT(at("12/31/99 11:59 PM", 2001), at("01/01/01 12:00 AM", 2001));
    EXPECT_EQ(at("13/01/26 10:00 AM", 2026), -1);
    EXPECT_EQ(at("", 2026), -1);
}

TEST(TextUtil, NaturalOrderComparesRunsOfDigitsAsNumbers) {
    std::vector<std::string> names{"Work1.tsg", "Home10.tsg", "Home2.tsg", "Home1.tsg", "Home002.tsg", "Home"};
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return text::NaturalLess(a, b); });
    EXPECT_EQ(names,
              (std::vector<std::string>{"Home", "Home1.tsg", "Home2.tsg", "Home002.tsg", "Home10.tsg", "Work1.tsg"}));
    EXPECT_FALSE(text::NaturalLess("a10", "a9"));
    EXPECT_TRUE(text::NaturalLess("a9", "a10"));
}
