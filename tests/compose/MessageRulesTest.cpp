#include <gtest/gtest.h>

#include "compose/AttachmentValue.h"
#include "compose/PadKind.h"
#include "compose/QuotedBody.h"
#include "compose/ReplySubject.h"
#include "compose/Stamps.h"
#include "richtext/PlainText.h"
#include "store/HeaderItem.h"

TEST(ReplySubject, PrefixOnlyWhenTheSubjectDoesNotStartWithIt) {
    EXPECT_EQ(replysubject::Reply("RE: lunch"), "RE: lunch");
    EXPECT_EQ(replysubject::Reply("  re:lunch"), "  re:lunch");
    EXPECT_EQ(replysubject::Reply("Lunch"), "Re: Lunch");
    // The letters inside a word are no prefix.
    EXPECT_EQ(replysubject::Reply("Where: Paris"), "Re: Where: Paris");
    EXPECT_EQ(replysubject::Reply(""), "Re: ");
    EXPECT_EQ(replysubject::Forward("Fwd: x"), "Fwd: x");
    EXPECT_EQ(replysubject::Forward("x"), "FWD: x");
    EXPECT_EQ(replysubject::Forward("About fwd: x"), "FWD: About fwd: x");
    EXPECT_EQ(replysubject::Reply(std::string(300, 'a')).size(), 255u);
}

TEST(PadKind, ReceivedStatusesComeBeforeOutgoingOnes) {
    EXPECT_EQ(PadKindOf(mfNew), TPadKind::Reader);
    EXPECT_EQ(PadKindOf(mfReply | mfAttach), TPadKind::Reader);
    EXPECT_EQ(PadKindOf(mfForward), TPadKind::Reader);
    EXPECT_EQ(PadKindOf(mfRead | mfSent), TPadKind::Reader);
    EXPECT_EQ(PadKindOf(mfQueued), TPadKind::Composer);
    EXPECT_EQ(PadKindOf(mfSent | mfAttach), TPadKind::Composer);
    EXPECT_EQ(PadKindOf(mfAttach), TPadKind::None);
    EXPECT_EQ(PadKindOf(0), TPadKind::None);
}

TEST(AttachmentValue, OnlyFinishedPiecesCount) {
    using attachmentvalue::Paths;
    EXPECT_EQ(Paths("/a\x02/b"), (std::vector<std::string>{"/a"}));
    EXPECT_EQ(Paths("/a\x02\x02/b\x02"), (std::vector<std::string>{"/a", "/b"}));
    EXPECT_TRUE(Paths("").empty());
    EXPECT_TRUE(Paths("/only").empty());
    EXPECT_EQ(attachmentvalue::Value({"/a", "/b"}), "/a\x02/b\x02");
    EXPECT_EQ(Paths(attachmentvalue::Value({"/x y", "/z"})), (std::vector<std::string>{"/x y", "/z"}));
}

TEST(Stamps, TimeAndDateInTheirFixedForms) {
    std::tm tm{};
    tm.tm_year = 96;
    tm.tm_mon = 6;
    tm.tm_mday = 4;
    tm.tm_wday = 4;
    tm.tm_hour = 15;
    tm.tm_min = 7;
    EXPECT_EQ(stamps::Date(tm), "Thursday, July 4, 1996");
    EXPECT_EQ(stamps::Time(tm), "3:07 PM");
    tm.tm_hour = 0;
    tm.tm_min = 30;
    EXPECT_EQ(stamps::Time(tm), "12:30 AM");
    tm.tm_hour = 12;
    EXPECT_EQ(stamps::Time(tm), "12:30 PM");
}

TEST(QuotedBody, EveryLineGetsTheMarkAndKeepsItsFormat) {
    TRichDocument doc;
    TCharFormat bold;
    bold.bold = true;
    doc.AddParagraph(U"first", bold);
    doc.AddParagraph(U"", TCharFormat{});
    doc.AddParagraph(std::u32string(U"two") + TRichDocument::kLineBreak + U"lines", TCharFormat{});
    const TRichDocument quoted = quotedbody::Quote(doc);
    ASSERT_EQ(quoted.paragraphs.size(), 3u);
    EXPECT_EQ(quoted.paragraphs[0].Text(), U" >first");
    EXPECT_TRUE(quoted.paragraphs[0].runs[0].format.bold);
    EXPECT_EQ(quoted.paragraphs[1].Text(), U" >");
    EXPECT_EQ(quoted.paragraphs[2].Text(), std::u32string(U" >two") + TRichDocument::kLineBreak + U" >lines");
}
