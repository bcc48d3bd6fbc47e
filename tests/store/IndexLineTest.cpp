#include <gtest/gtest.h>

#include "store/IndexLine.h"

namespace {
const std::string kExample =
    "Hello\x01Jane Doe\x01"
    "05/07/96 02:15 PM\x01-1\x01Jane Doe\x01"
    "C:\\Attach\\a.txt\x02\x01NR ATT\x01\x01\x01\x01\x01"
    "0\x01"
    "1834\x01"
    "100\x01\x01Office\x01";
}

TEST(IndexLine, ExampleLineRoundTrips) {
    const THeaderItem h = TIndexLine::Parse(kExample);
    EXPECT_EQ(h.Subject, "Hello");
    EXPECT_EQ(h.Who, "Jane Doe");
    EXPECT_EQ(h.Date, "05/07/96 02:15 PM");
    EXPECT_EQ(h.Address, "Jane Doe");
    EXPECT_EQ(h.Attachments, "C:\\Attach\\a.txt\x02");
    EXPECT_EQ(h.Flags, mfNew | mfAttach);
    EXPECT_EQ(h.Offset, 0);
    EXPECT_EQ(h.Size, 1834);
    EXPECT_EQ(h.Slack, 100);
    EXPECT_EQ(h.CCList, "Office");
    EXPECT_TRUE(h.BCCList.empty());
    EXPECT_EQ(TIndexLine::Format(h), kExample);
}

TEST(IndexLine, EveryFieldGoesToItsPlace) {
    THeaderItem h;
    h.Subject = "s";
    h.Who = "w";
    h.Date = "d";
    h.WindowHandle = 77;
    h.Address = "a";
    h.Attachments = "p1\x02p2\x02";
    h.Flags = mfReply | mfAttach;
    h.Server = "srv";
    h.Signature = "sig";
    h.MsgType = "RTF";
    h.Offset = 5;
    h.Size = 6;
    h.Slack = 7;
    h.BCCList = "bcc";
    h.CCList = "cc";
    EXPECT_EQ(TIndexLine::Format(h),
              "s\x01w\x01"
              "d\x01"
              "77\x01"
              "a\x01p1\x02p2\x02\x01RE ATT\x01srv\x01\x01sig\x01RTF\x01"
              "5\x01"
              "6\x01"
              "7\x01"
              "bcc\x01"
              "cc\x01");
    THeaderItem back = TIndexLine::Parse(TIndexLine::Format(h));
    EXPECT_EQ(back.WindowHandle, -1);  // a stored window handle means nothing in a new run
    back.WindowHandle = 77;
    EXPECT_EQ(back, h);
}

TEST(IndexLine, ShortLineFillsTheRestWithDefaults) {
    const THeaderItem h = TIndexLine::Parse(
        "Subj\x01Who\x01"
        "Date\x01"
        "12\x01"
        "Addr");
    EXPECT_EQ(h.Subject, "Subj");
    EXPECT_EQ(h.Address, "Addr");  // the rest of the line is the last field
    EXPECT_TRUE(h.Attachments.empty());
    EXPECT_EQ(h.Flags, 0);
    EXPECT_EQ(h.Offset, -1);
    EXPECT_EQ(h.Size, 0);
    EXPECT_EQ(h.Slack, 100);
    EXPECT_TRUE(h.CCList.empty());
    EXPECT_EQ(h.WindowHandle, -1);
}

TEST(IndexLine, BadNumbersTakeTheirDefaults) {
    const std::string line = std::string(11, '\x01') +
                             "x1\x01"
                             "12abc\x01 \x01";
    const THeaderItem h = TIndexLine::Parse(line);
    EXPECT_EQ(h.Offset, -1);
    EXPECT_EQ(h.Size, 0);
    EXPECT_EQ(h.Slack, 100);
    EXPECT_EQ(TIndexLine::Parse(std::string(11, '\x01') + "99999999999\x01").Offset, -1);
    EXPECT_EQ(TIndexLine::Parse(std::string(11, '\x01') + "-5\x01-6\x01").Size, -6);
}

TEST(IndexLine, LongFieldsAreBoundedOnlyWhereTheRecordIs) {
    const std::string longText(300, 'x');
    const std::string line = longText + "\x01" + std::string(14, '\x01') + longText + "\x01";
    const THeaderItem h = TIndexLine::Parse(line);
    EXPECT_EQ(h.Subject.size(), 255u);
    EXPECT_EQ(h.CCList.size(), 300u);
}

TEST(IndexLine, SeparatorsAndLineBreaksInsideAFieldBecomeBlanks) {
    THeaderItem h;
    h.Subject = "one\x01two";
    h.Who = "line\r\nbreak";
    h.Address = "a\nb";
    h.Attachments = "p1\x02p2\x02";
    h.CCList = "cc\r";
    h.Offset = 5;
    h.Size = 6;
    const THeaderItem back = TIndexLine::Parse(TIndexLine::Format(h));
    EXPECT_EQ(back.Subject, "one two");
    EXPECT_EQ(back.Who, "line  break");
    EXPECT_EQ(back.Address, "a b");
    EXPECT_EQ(back.Attachments, "p1\x02p2\x02");
    EXPECT_EQ(back.Offset, 5);
    EXPECT_EQ(back.Size, 6);
    EXPECT_EQ(back.CCList, "cc ");
    EXPECT_EQ(TIndexLine::Format(h).find_first_of("\r\n"), std::string::npos);
}
