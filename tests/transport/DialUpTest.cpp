#include <gtest/gtest.h>

#include "transport/NoDialUp.h"

TEST(NoDialUp, HasNoEntriesAndADialFailsAtOnce) {
    TNoDialUp dial;
    std::vector<std::string> entries;
    dial.ListEntries(entries);
    EXPECT_TRUE(entries.empty());
    std::string user = "u", password = "p";
    EXPECT_FALSE(dial.GetCredentials("ISP", user, password));
    long handle = -1;
    EXPECT_FALSE(dial.Dial("ISP", user, password, handle));
    EXPECT_TRUE(dial.Done());
    EXPECT_TRUE(dial.StatusText().starts_with("Dialup Account failed: "));
}

TEST(DialState, TextsAndEndingStates) {
    EXPECT_EQ(dialstate::Text(0), "Opening port");
    EXPECT_EQ(dialstate::Text(21), "Logging on network");
    EXPECT_EQ(dialstate::Text(4099), "Password expired");
    EXPECT_EQ(dialstate::Text(8192), "Connected");
    EXPECT_EQ(dialstate::Text(22), "");
    EXPECT_EQ(dialstate::Text(-1), "");
    EXPECT_TRUE(dialstate::EndsDial(20));
    EXPECT_TRUE(dialstate::EndsDial(8193));
    EXPECT_FALSE(dialstate::EndsDial(14));
}
