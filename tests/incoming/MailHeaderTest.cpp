#include <gtest/gtest.h>

#include "common/Clock.h"
#include "common/DisplayDate.h"
#include "common/FieldText.h"
#include "common/MimeTypes.h"
#include "incoming/CharsetConverter.h"
#include "incoming/EncodedWords.h"
#include "incoming/MailHeader.h"
#include "support/TempDir.h"

namespace {

class TFixedClock : public IClock {
public:
    std::time_t Now() const override { return 1700000000; }
    std::int64_t MonotonicMs() const override { return 0; }
};

const std::vector<std::string> kBlock = {
    "Received: from mx.example.org by mail.example.com",
    "\tfor <jane@example.com>; Tue, 7 May 1996 14:15:00 -0400",
    "From: \"Jane Doe\" <jane@example.org>",
    "To: bob@example.com",
    "Subject: Quarterly",
    "\treport attached",
    "Content-Type: multipart/mixed;",
    "\tboundary=\"----=_Part_1\"",
    "",
};

}  // namespace

TEST(HeaderValue, FindsFirstLineByPrefixAndJoinsContinuations) {
    EXPECT_EQ(mailheader::HeaderValue(kBlock, "Subject"), "Quarterly report attached");
    EXPECT_EQ(mailheader::HeaderValue(kBlock, "SUBJECT"), "Quarterly report attached");
    EXPECT_EQ(mailheader::HeaderValue(kBlock, "from"), "\"Jane Doe\" <jane@example.org>");
    // The folded Received line holds colons, so it is not joined.
    EXPECT_EQ(mailheader::HeaderValue(kBlock, "Received"), "from mx.example.org by mail.example.com");
    EXPECT_EQ(mailheader::HeaderValue(kBlock, "Date"), "");
    // "TO" matches any line beginning with those letters.
    EXPECT_EQ(mailheader::HeaderValue({"Tornado: x", "To: a"}, "TO"), "x");
    // The last header of a block gains one blank from the empty line.
    EXPECT_EQ(mailheader::HeaderValue({"X-A: 1", ""}, "X-A"), "1 ");
    EXPECT_EQ(mailheader::HeaderValue(kBlock, "Content-Type"), "multipart/mixed; boundary=\"----=_Part_1\" ");
}

TEST(ParamValue, SubstringSearchQuotesAndSemicolons) {
    EXPECT_EQ(mailheader::ParamValue("boundary", "multipart/mixed; boundary=\"abc def\""), "abc def");
    EXPECT_EQ(mailheader::ParamValue("name", "attachment; filename=report.doc; size=10"), "report.doc");
    EXPECT_EQ(mailheader::ParamValue("boundary", "boundary=simple; charset=x"), "simple");
    EXPECT_EQ(mailheader::ParamValue("boundary", "boundary=simple;charset=x"), "simple;charset=x");
    EXPECT_EQ(mailheader::ParamValue("BOUNDARY", "x; Boundary=q"), "q");
    EXPECT_EQ(mailheader::ParamValue("charset", "text/plain"), "");
    EXPECT_EQ(mailheader::ParamValue("name", "x; name=\"unterminated"), "unterminated");
}

TEST(ContentTypeFlags, TextTypesWithCaseStructuralWithout) {
    EXPECT_EQ(mailheader::ContentTypeFlags("multipart/alternative; boundary=x"), 0x28);
    EXPECT_EQ(mailheader::ContentTypeFlags("Multipart/Mixed"), ctMultipart);
    EXPECT_EQ(mailheader::ContentTypeFlags("Text/Plain"), 0);
    EXPECT_EQ(mailheader::ContentTypeFlags("text/plain; charset=utf-8"), ctPlain);
    EXPECT_EQ(mailheader::ContentTypeFlags("text/html"), ctRich);
    EXPECT_EQ(mailheader::ContentTypeFlags("text/enriched"), ctRich);
    EXPECT_EQ(mailheader::ContentTypeFlags("text/rtf"), ctRtf);
    EXPECT_EQ(mailheader::ContentTypeFlags("MESSAGE/RFC822"), ctMessage);
    EXPECT_EQ(mailheader::TransferEncoding("BASE64"), teBase64);
    EXPECT_EQ(mailheader::TransferEncoding(" Quoted-Printable"), teQuotedPrintable);
    EXPECT_EQ(mailheader::TransferEncoding("x-uuencode"), teUUEncode);
    EXPECT_EQ(mailheader::TransferEncoding("8bit"), teNone);
    EXPECT_EQ(mailheader::TransferEncoding(""), teNone);
}

TEST(Address, NameAndAddressParts) {
    EXPECT_EQ(mailheader::NamePart("\"Jane Doe\" <jd@host>"), "Jane Doe");
    EXPECT_EQ(mailheader::NamePart("jd@host (Jane Doe)"), "Jane Doe");
    EXPECT_EQ(mailheader::NamePart("jd@host"), "jd@host");
    EXPECT_EQ(mailheader::NamePart("<jd@host>"), "");
    EXPECT_EQ(mailheader::AddressPart("\"Jane Doe\" <jd@host>"), "jd@host");
    EXPECT_EQ(mailheader::AddressPart("jd@host (Jane Doe)"), "jd@host");
    EXPECT_EQ(mailheader::AddressPart("jd@host"), "jd@host");
    EXPECT_EQ(mailheader::AddressPart("a > b <c"), "");
    EXPECT_EQ(mailheader::AddressPart("x <unterminated"), "");
    EXPECT_EQ(mailheader::AddressPart("(only comment)"), "");
    EXPECT_EQ(mailheader::NamePart("("), "");
}

TEST(DisplayDate, ReadsDateAndReceivedValues) {
    TFixedClock clock;
    const std::string now = displaydate::Format(clock.Now());
    EXPECT_EQ(mailheader::DisplayDate("Tue, 7 May 1996 14:15:00 -0400", clock), "05/07/96 02:15 PM");
    EXPECT_EQ(mailheader::DisplayDate("Mon, 24 Dec 2001 00:05 +0000", clock), "12/24/01 12:05 AM");
    EXPECT_EQ(mailheader::DisplayDate("Tue,  7 May 1996 14:15:00 -0400", clock), now);
    EXPECT_EQ(mailheader::DisplayDate("Tue, 7 dec 1996 14:15:00", clock), now);
    EXPECT_EQ(mailheader::DisplayDate("Thu, 29 Feb 2001 10:00:00", clock), now);
    EXPECT_EQ(mailheader::DisplayDate("Tue, 7 May 1996", clock), now);
    EXPECT_EQ(mailheader::DisplayDate("", clock), now);
    EXPECT_EQ(mailheader::DisplayDate("Tue, 7 May 1996 25:00:00", clock), now);
    // Received: the date after the ";", without the value's last character.
    EXPECT_EQ(mailheader::DisplayDate("from a by b; Wed, 8 May 1996 09:01:02 -0400 ", clock), "05/08/96 09:01 AM");
}

TEST(EncodedWords, EveryCharsetFamilyDecodesAndIsStoredWhole) {
    // Western text is stored as the Windows-1252 bytes it always was.
    EXPECT_EQ(encodedwords::ToStoredText("=?ISO-8859-1?Q?Caf=E9_cr=E8me?="), "Caf\xe9 cr\xe8me");
    EXPECT_EQ(encodedwords::ToStoredText("=?UTF-8?B?R3LDvMOfZQ==?= aus Wien"),
              "Gr\xfc\xdf"
              "e aus Wien");
    // Blanks between adjacent encoded words are folding and go.
    EXPECT_EQ(encodedwords::ToStoredText("=?utf-8?q?a?= =?utf-8?q?b?="), "ab");
    EXPECT_EQ(encodedwords::ToStoredText("Re: =?utf-8?q?Caf=C3=A9?= now"), "Re: Caf\xe9 now");
    // Raw UTF-8 header bytes read as UTF-8; other 8-bit bytes stay as they are.
    EXPECT_EQ(encodedwords::ToStoredText("J\xc3\xbcrgen"), "J\xfcrgen");
    EXPECT_EQ(encodedwords::ToStoredText("J\xfcrgen"), "J\xfcrgen");
    // Broken words stay text.
    EXPECT_EQ(encodedwords::ToStoredText("=?utf-8?x?abc?="), "=?utf-8?x?abc?=");
    EXPECT_EQ(encodedwords::ToStoredText("=?utf-8?q?abc"), "=?utf-8?q?abc");
    // Every other script survives: the charsets mailers use, under the names
    // they give them, split anywhere, even inside a character.
    const std::pair<const char*, const char*> kWords[] = {
        {"=?gb2312?B?z+7Ev734tsixqLjm?=", "项目进度报告"},
        {"=?GBK?B?z+7Ev734?= =?GBK?B?tsixqLjm?=", "项目进度报告"},
        {"=?big5?B?sU2u17Zpq9ez+Kdp?=", "專案進度報告"},
        {"=?shift_jis?B?ie+LY4LMi2OOlphe?=", "会議の議事録"},
        {"=?x-sjis?B?ie+LY4LMi2OOlphe?=", "会議の議事録"},
        {"=?iso-2022-jp?B?GyRCMnE1RCRONUQ7dk8/GyhC?=", "会議の議事録"},
        {"=?euc-jp?B?xvzL3Ljs?=", "日本語"},
        {"=?euc-kr?B?yLjAxyDAz8Gk?=", "회의 일정"},
        {"=?ks_c_5601-1987?B?yLjAxyDAz8Gk?=", "회의 일정"},
        {"=?utf-7?B?K0JCOEVRQVE0QkRJRU5RUkMt?=", "Привет"},
        {"=?koi8-r?B?8NLJ18XU?=", "Привет"},
        {"=?windows-1251?B?z/Do4uXy?=", "Привет"},
        {"=?iso-8859-7?B?w+Xp3CDz7/U=?=", "Γειά σου"},
        {"=?iso-8859-2?B?WmG/87Pm?=", "Zażółć"},
        {"=?latin1?Q?Gr=FC=DFe?=", "Grüße"},
        {"=?utf8?Q?=E2=9C=93_=F0=9F=8E?= =?utf8?Q?=89?=", "✓ 🎉"},
        {"Re: \xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82", "Re: Привет"},  // raw 8-bit UTF-8
    };
    for (const auto& [raw, text] : kWords) {
        EXPECT_EQ(encodedwords::DecodeToUtf8(raw), text) << raw;
        EXPECT_EQ(fieldtext::Decode(encodedwords::ToStoredText(raw)), text) << raw;
    }
    // A charset nobody knows keeps its words as they came, not another
    // charset's reading of its bytes.
    EXPECT_EQ(encodedwords::DecodeToUtf8("Re: =?x-martian?B?z+7Ev734?= =?x-martian?Q?=B6=C8?= ok"),
              "Re: =?x-martian?B?z+7Ev734?= =?x-martian?Q?=B6=C8?= ok");
}

// A megabyte of a subject decodes in one pass: words that never close are
// text (each used to be searched to the header's end), words that do are
// joined, and the stored form round-trips.
TEST(EncodedWords, AMegabyteSubjectOfOpenOrWholeWordsIsReadWhole) {
    std::string open, whole, joined;
    while (open.size() < (1u << 20)) open += "=?x?B?abcd ";
    while (whole.size() < (1u << 20)) {
        whole += "=?utf-8?Q?caf=C3=A9?= ";
        joined += "caf\xc3\xa9";
    }
    EXPECT_EQ(encodedwords::DecodeToUtf8(open), open);
    EXPECT_EQ(encodedwords::DecodeToUtf8(whole + "end"), joined + " end");
    EXPECT_EQ(fieldtext::Decode(encodedwords::ToStoredText(whole)), joined + " ");
}

TEST(Charset, DeclaredUnknownAndMissing) {
    EXPECT_EQ(TCharsetConverter::Decode("\xe9t\xe9", "iso-8859-1"), "\xc3\xa9t\xc3\xa9");
    EXPECT_EQ(TCharsetConverter::Decode("\x93q\x94", "iso-8859-1"), "\xe2\x80\x9cq\xe2\x80\x9d");
    EXPECT_EQ(TCharsetConverter::Decode("\xa4", "iso-8859-15"), "\xe2\x82\xac");
    EXPECT_EQ(TCharsetConverter::Decode("\xc3\xa9", ""), "\xc3\xa9");
    EXPECT_EQ(TCharsetConverter::Decode("\xe9", ""), "\xc3\xa9");
    EXPECT_EQ(TCharsetConverter::Decode("\xe9", "x-unknown-charset"), "\xc3\xa9");
    EXPECT_EQ(TCharsetConverter::Decode("\xe9", "utf-8"), "\xc3\xa9");  // mislabelled
    EXPECT_EQ(TCharsetConverter::Decode("\"\xe9\"", "\"windows-1252\""), "\"\xc3\xa9\"");
    // A byte sequence the charset does not define becomes "?".
    EXPECT_EQ(TCharsetConverter::Decode("a\x82\xa0"
                                        "b",
                                        "shift_jis")
                  .front(),
              'a');
}

TEST(PartFileName, Rfc2231AndEncodedWords) {
    EXPECT_EQ(mailheader::PartFileName("attachment; filename=\"report.doc\"", ""), "report.doc");
    EXPECT_EQ(mailheader::PartFileName("", "application/pdf; name=\"scan.pdf\""), "scan.pdf");
    EXPECT_EQ(mailheader::PartFileName("attachment; filename*=UTF-8''r%C3%A9sum%C3%A9.pdf", ""),
              "r\xc3\xa9sum\xc3\xa9.pdf");
    EXPECT_EQ(mailheader::PartFileName("attachment;\tfilename*0*=iso-8859-1'de'Gr%FC; filename*1=\"n a.txt\"", ""),
              "Gr\xc3\xbcn a.txt");
    EXPECT_EQ(mailheader::PartFileName("attachment; filename=\"=?UTF-8?B?w6RwZmVsLnR4dA==?=\"", ""),
              "\xc3\xa4pfel.txt");
    EXPECT_EQ(mailheader::PartFileName("inline", "text/plain"), "");
}

TEST(MimeTypes, FirstMatchByExtension) {
    TTempDir dir;
    WriteFileOrDie(dir.File("mime.types"),
                   "# comment\napplication/msword\t\tdoc dot\ntext/x-doc\tdoc\n"
                   "image/jpeg jpeg jpg\n");
    EXPECT_EQ(TMimeTypes(dir.File("mime.types")).TypeOf("Report.DOC"), "application/msword");
    EXPECT_EQ(TMimeTypes(dir.File("mime.types")).TypeOf("/x/y/a.jpg"), "image/jpeg");
    EXPECT_EQ(TMimeTypes(dir.File("mime.types")).TypeOf("noext"), "application/octet-stream");
    EXPECT_EQ(TMimeTypes(dir.File("mime.types")).TypeOf("a.zzz"), "application/octet-stream");
    EXPECT_EQ(TMimeTypes(dir.File("missing")).TypeOf("a.doc"), "application/octet-stream");
    EXPECT_EQ(TMimeTypes().TypeOf("a.pdf"), "application/pdf");
}
