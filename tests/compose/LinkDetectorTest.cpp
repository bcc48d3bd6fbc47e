#include <gtest/gtest.h>

#include "compose/DroppedFiles.h"
#include "compose/LinkDetector.h"

using linkdetector::FindLink;

TEST(LinkDetector, KindsAreTriedInOrderNotByPosition) {
    EXPECT_EQ(FindLink("see www.example.com or http://example.org/x today"), "http://example.org/x");
    EXPECT_EQ(FindLink("mirror ftp.example.com www.example.com"), "ftp.example.com");
}

TEST(LinkDetector, LinkEndsAtTheFirstBlankOrTheLineEnd) {
    EXPECT_EQ(FindLink("Visit WWW.Example.COM for more"), "WWW.Example.COM");  // found in any case, kept in its own
    EXPECT_EQ(FindLink("go to http://example.org/a?b=c"), "http://example.org/a?b=c");
    EXPECT_EQ(FindLink("HTTP://X.ORG"), "HTTP://X.ORG");
}

TEST(LinkDetector, FtpInsideAWordCountsAsALink) { EXPECT_EQ(FindLink("the softpedia page"), "ftpedia"); }

TEST(LinkDetector, NoMarkerNoLink) {
    EXPECT_EQ(FindLink("just plain words, https without the slashes"), std::nullopt);
    EXPECT_EQ(FindLink(""), std::nullopt);
    EXPECT_EQ(linkdetector::StatusText("www.a.b"), "Shortcut to www.a.b");
}

TEST(DroppedFiles, NamesAndExtensionsAfterTheFirstDot) {
    const auto d = TDroppedFiles::FromPaths({"/home/u/report.tar.gz", "/home/u/README", "/tmp/.hidden"});
    EXPECT_EQ(d.FileCount, 3);
    EXPECT_EQ(d.NameOnly, (std::vector<std::string>{"report.tar.gz", "README", ".hidden"}));
    EXPECT_EQ(d.Extension, (std::vector<std::string>{"tar.gz", "", "hidden"}));
    EXPECT_EQ(d.NameWithPath[0], "/home/u/report.tar.gz");
}
