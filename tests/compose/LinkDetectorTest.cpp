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

// A secure address is one link, found before any "www" inside it; the link
// under a place of the line is the one whose letters cover it, none elsewhere.
TEST(LinkDetector, SecureAddressesWholeAndTheLinkUnderAPlace) {
    EXPECT_EQ(FindLink("see https://www.example.com/a now"), "https://www.example.com/a");
    EXPECT_EQ(FindLink("www.a.org and HTTPS://B.ORG"), "HTTPS://B.ORG");
    const std::string line = "see www.a.org or https://b.org/x and ftp.c.org";
    EXPECT_EQ(linkdetector::LinkAt(line, 0), std::nullopt);
    EXPECT_EQ(linkdetector::LinkAt(line, 3), std::nullopt);  // the blank before it
    EXPECT_EQ(linkdetector::LinkAt(line, 4), "www.a.org");
    EXPECT_EQ(linkdetector::LinkAt(line, 12), "www.a.org");
    EXPECT_EQ(linkdetector::LinkAt(line, 17), "https://b.org/x");
    EXPECT_EQ(linkdetector::LinkAt(line, 26), "https://b.org/x");
    EXPECT_EQ(linkdetector::LinkAt(line, 34), std::nullopt);  // "and"
    EXPECT_EQ(linkdetector::LinkAt(line, 40), "ftp.c.org");
    EXPECT_EQ(linkdetector::LinkAt(line, line.size()), std::nullopt);
    EXPECT_EQ(linkdetector::LinkAt("softpedia", 1), std::nullopt);
    EXPECT_EQ(linkdetector::LinkAt("softpedia", 3), "ftpedia");
}

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
