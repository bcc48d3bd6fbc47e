#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>

#include "TransferRig.h"
#include "common/Base64.h"
#include "support/TempDir.h"
#include "transport/CanceledError.h"
#include "transport/MailError.h"
#include "transport/MessageBuilder.h"
#include "transport/OutgoingMessage.h"
#include "transport/QuotedPrintable.h"
#include "transport/RecipientParts.h"
#include "transport/SMTP.h"

namespace {

class SMTPTest : public ::testing::Test {
protected:
    TTransferRig rig;
    TTempDir dir;
    std::unique_ptr<TMessageBuilder> builder;
    std::unique_ptr<TSMTP> smtp;
    TOutgoingMessage message;

    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
        WriteFileOrDie(dir.File("mime.types"), "# table\ntext/plain\t\ttxt asc\napplication/pdf pdf\n");
        builder =
            std::make_unique<TMessageBuilder>(rig.clock, rig.prompt, rig.display, TMimeTypes(dir.File("mime.types")));
        smtp = std::make_unique<TSMTP>(rig.Env());
        smtp->Server = "10.0.0.7";
        message.From = "Ann Smith <ann@example.org>";
        message.Subject = "Hello";
        message.BodyType = 1;
        smtp->TimeOut = 20;
    }
    // The message built and handed to the session, as a send does.
    void Send() { smtp->Send(message.EnvelopeFrom(), message.EnvelopeRecipients(), builder->Build(message)); }
    // The dialog up to the data, for one recipient.
    TScript& UpToData(const std::string& rcpt = "bob@example.net") {
        return rig.net.Next()
            .Server("220 mx ready\r\n")
            .Client("HELO 10.0.0.7\r\n")
            .Server("250 hello\r\n")
            .Client("MAIL FROM:<ann@example.org>\r\n")
            .Server("250 ok\r\n")
            .Client("RCPT TO:<" + rcpt + ">\r\n")
            .Server("250 ok\r\n")
            .Client("DATA\r\n")
            .Server("354 go ahead\r\n");
    }
    // What went out between DATA's answer and the final ".".
    static std::string DataOf(const TScript& s) {
        const std::string w = s.Written();
        const auto start = w.find("DATA\r\n") + 6;
        return w.substr(start, w.find("\r\n.\r\n", start) + 2 - start);
    }
};

TEST_F(SMTPTest, AMessageGoesOutWithTheExactHeaderLines) {
    message.ToList = {"Bob Jones <bob@example.net>", "carl@example.net (Carl)", "dora@example.net"};
    message.CCList = {"Eve <eve@example.net>"};
    message.BCCList = {"<fred@example.net>"};
    message.Priority = 0;
    message.Body = {"Line one", ".starts with a dot", ""};
    auto& s = rig.net.Next()
                  .Server("220-mx ready\r\n")
                  .Server("220 really\r\n")
                  .Client("HELO 10.0.0.7\r\n")
                  .Server("250 hello\r\n")
                  .Client("MAIL FROM:<ann@example.org>\r\n")
                  .Server("250 ok\r\n")
                  .Client("RCPT TO:<bob@example.net>\r\n")
                  .Server("250 ok\r\n")
                  .Client("RCPT TO:<carl@example.net>\r\n")
                  .Server("250 ok\r\n")
                  .Client("RCPT TO:<dora@example.net>\r\n")
                  .Server("250 ok\r\n")
                  .Client("RCPT TO:<eve@example.net>\r\n")
                  .Server("250-ok\r\n250 fine\r\n")
                  .Client("RCPT TO:<fred@example.net>\r\n")
                  .Server("250 ok\r\n")
                  .Client("DATA\r\n")
                  .Server("354 go ahead\r\n")
                  .ClientUntil("\r\n.\r\n")
                  .Server("250 queued\r\n")
                  .Client("QUIT\r\n")
                  .Server("221 bye\r\n");
    Send();
    EXPECT_TRUE(s.Finished());
    std::string data = DataOf(s);
    // Date and Message-ID follow the clock (which moves a second per pass)
    // and a random part.
    const auto date = data.find("Date: ");
    ASSERT_NE(date, std::string::npos) << data;
    const auto idEnd = data.find("\r\n", data.find("Message-ID: <", date));
    const std::string stamped = data.substr(date, idEnd + 2 - date);
    EXPECT_TRUE(stamped.starts_with("Date: Sun, 09 Sep 2001 01:46:4")) << stamped;
    EXPECT_NE(stamped.find(" +0000\r\nMessage-ID: <100000000"), std::string::npos) << stamped;
    EXPECT_NE(stamped.find("." + builder->Boundary()), std::string::npos) << stamped;
    EXPECT_TRUE(stamped.ends_with("@example.org>\r\n")) << stamped;
    data.erase(date, stamped.size());
    EXPECT_EQ(data,
              "Subject:  Hello\r\n"
              "From:     Ann Smith <ann@example.org>\r\n"
              "TO:       Bob Jones <bob@example.net>,\r\n"
              "          Carl <carl@example.net>,\r\n"
              "          \"dora@example.net\" <dora@example.net>\r\n"
              "CC:       Eve <eve@example.net>\r\n"
              "X-Priority: 5\r\n"
              "X-Application: Fenmarch Skiffpost\r\n"
              "X-Info: Fenmarch Skiffpost - http://www.fenmarch.example/\r\n"
              "Mime-Version: 1.0\r\n"
              "Content-Type: text/plain; charset=\"us-ascii\"\r\n"
              "Content-Transfer-Encoding: 7bit\r\n"
              "\r\n"
              "Line one\r\n"
              "..starts with a dot\r\n"
              "\r\n");
    EXPECT_TRUE(rig.display.Saw("Mail To: Carl <carl@example.net>"));
    EXPECT_TRUE(rig.display.Saw("Mail sucessfully sent."));
    EXPECT_EQ(builder->Boundary().size(), 8u);
    EXPECT_EQ(builder->Boundary().find('9'), std::string::npos);
}

TEST_F(SMTPTest, ARejectedRecipientFailsTheSendWithTheServersReply) {
    message.ToList = {"nobody@example.net"};
    message.Body = {"x"};
    rig.net.Next()
        .Server("220 mx\r\n")
        .Client("HELO 10.0.0.7\r\n")
        .Server("250 hello\r\n")
        .Client("MAIL FROM:<ann@example.org>\r\n")
        .Server("250 ok\r\n")
        .Client("RCPT TO:<nobody@example.net>\r\n")
        .Server("550 no such user\r\n");
    EXPECT_THROW(Send(), EMailError);
    EXPECT_FALSE(rig.display.Saw("Mail sucessfully sent."));
    EXPECT_TRUE(rig.display.Saw("550 no such user"));
    ASSERT_EQ(rig.prompt.Errors().size(), 1u);
    EXPECT_NE(rig.prompt.Errors()[0].find("Reason: 550 no such user"), std::string::npos);
    EXPECT_FALSE(smtp->Connected());
}

// A reply that never ends ("250-" for ever) is left after a sane number of
// lines instead of being held in memory without end.
TEST_F(SMTPTest, AReplyThatNeverEndsFailsTheSend) {
    message.ToList = {"bob@example.net"};
    message.Body = {"x"};
    std::string endless;
    for (int i = 0; i < 1500; ++i) endless += "250-more\r\n";
    rig.net.Next().Server("220 mx\r\n").Client("HELO 10.0.0.7\r\n").Server(endless);
    EXPECT_THROW(Send(), EMailError);
    EXPECT_TRUE(rig.display.Saw("The server sent a reply of more than 1000 lines."));
    EXPECT_FALSE(smtp->Connected());
}

TEST_F(SMTPTest, DataNotInvitedOrAMessageRefusedFails) {
    message.ToList = {"bob@example.net"};
    message.Body = {"x"};
    rig.net.Next()
        .Server("220 mx\r\n")
        .Client("HELO 10.0.0.7\r\n")
        .Server("250 hello\r\n")
        .Client("MAIL FROM:<ann@example.org>\r\n")
        .Server("250 ok\r\n")
        .Client("RCPT TO:<bob@example.net>\r\n")
        .Server("250 ok\r\n")
        .Client("DATA\r\n")
        .Server("554 no valid recipients\r\n");
    EXPECT_THROW(Send(), EMailError);
    UpToData().ClientUntil("\r\n.\r\n").Server("552 too big\r\n");
    EXPECT_THROW(Send(), EMailError);
    EXPECT_EQ(rig.prompt.Errors().size(), 2u);
}

TEST_F(SMTPTest, AFarewellThatFailsDoesNotUndoAnAcceptedMessage) {
    message.ToList = {"bob@example.net"};
    message.Body = {"x"};
    UpToData().ClientUntil("\r\n.\r\n").Server("250 queued\r\n").Client("QUIT\r\n").Close();
    EXPECT_NO_THROW(Send());
    EXPECT_TRUE(rig.display.Saw("Mail sucessfully sent."));
}

TEST_F(SMTPTest, EightBitTextIsEncodedAndLabelled) {
    message.ToList = {"J\xF6rg M\xFCller <joerg@example.net>"};
    message.Subject =
        "Gr\xFC\xDF"
        "e";
    message.Body = {
        "Sch\xF6ne Gr\xFC\xDF"
        "e = gut "};
    auto& s = UpToData("joerg@example.net")
                  .ClientUntil("\r\n.\r\n")
                  .Server("250 ok\r\n")
                  .Client("QUIT\r\n")
                  .Server("221\r\n");
    Send();
    const std::string data = DataOf(s);
    EXPECT_NE(data.find("Subject:  =?windows-1252?Q?Gr=FC=DFe?=\r\n"), std::string::npos) << data;
    EXPECT_NE(data.find("TO:       =?windows-1252?Q?J=F6rg_M=FCller?= <joerg@example.net>\r\n"), std::string::npos);
    EXPECT_NE(data.find("Content-Type: text/plain; charset=\"windows-1252\"\r\nContent-Transfer-Encoding: "
                        "quoted-printable\r\n\r\nSch=F6ne Gr=FC=DFe =3D gut=20\r\n"),
              std::string::npos)
        << data;
}

TEST_F(SMTPTest, AttachmentsGoOutInTheirEncodingsAndAMissingOneIsReported) {
    std::string binary;
    for (int i = 0; i < 114; ++i) binary.push_back(static_cast<char>(i * 7));
    WriteFileOrDie(dir.File("photo.bin"), binary);
    WriteFileOrDie(dir.File("notes.txt"), "first = line\r\n.dot line\r\n");
    message.ToList = {"bob@example.net"};
    message.BodyType = 0;
    message.Body = {"{\\rtf1 hi", "}"};
    message.Attachments = {dir.File("photo.bin"), dir.File("gone.pdf"), dir.File("notes.txt")};
    auto& s = UpToData().ClientUntil("\r\n.\r\n").Server("250 ok\r\n").Client("QUIT\r\n").Server("221\r\n");
    Send();
    const std::string b = builder->Boundary();
    const std::string data = DataOf(s);
    const std::string tail = data.substr(data.find("Mime-Version: 1.0\r\n"));
    const auto line1 = base64::Encode(reinterpret_cast<const unsigned char*>(binary.data()), 57);
    const auto line2 = base64::Encode(reinterpret_cast<const unsigned char*>(binary.data()) + 57, 57);
    EXPECT_EQ(line1.size(), 76u);
    EXPECT_EQ(tail,
              "Mime-Version: 1.0\r\n"
              "Content-Type: multipart/mixed; boundary=\"" +
                  b +
                  "\"\r\n"
                  "X-Encoding: MIME\r\n"
                  "\r\n"
                  "This is a multi-part message in MIME format.\r\n"
                  "\r\n"
                  "--" +
                  b +
                  "\r\n"
                  "Content-Type: text/rtf; charset=\"us-ascii\"\r\n"
                  "Content-Transfer-Encoding: 7bit\r\n"
                  "\r\n"
                  "{\\rtf1 hi\r\n"
                  "}\r\n"
                  "\r\n"
                  "\r\n"
                  "--" +
                  b +
                  "\r\n"
                  "Content-Type: application/octet-stream; name=\"photo.bin\"\r\n"
                  "Content-Disposition: attachment; filename=\"photo.bin\"\r\n"
                  "Content-Transfer-Encoding: base64\r\n"
                  "\r\n" +
                  line1 + "\r\n" + line2 +
                  "\r\n"
                  "\r\n"
                  "\r\n"
                  "\r\n"
                  "--" +
                  b +
                  "\r\n"
                  "Content-Type: text/plain; name=\"notes.txt\"\r\n"
                  "Content-Disposition: attachment; filename=\"notes.txt\"\r\n"
                  "Content-Transfer-Encoding: quoted-printable\r\n"
                  "\r\n"
                  "first =3D line\r\n"
                  "..dot line\r\n"
                  "\r\n"
                  "--" +
                  b + "--\r\n");
    EXPECT_EQ(rig.prompt.Errors(),
              std::vector<std::string>{"Fenmarch Skiffpost could not attach file \"" + dir.File("gone.pdf") +
                                       "\"\n\rReason: File no longer exists."});
}

TEST_F(SMTPTest, StopDuringAnAttachmentCancelsTheSend) {
    WriteFileOrDie(dir.File("big.bin"), std::string(200000, 'x'));
    message.ToList = {"bob@example.net"};
    message.Body = {"x"};
    message.Attachments = {dir.File("big.bin")};
    UpToData().ClientUntil("\r\n.\r\n").Server("250 ok\r\n");
    // Stop pressed while the bar moves.
    rig.display.onProgress = [&](int percent) {
        if (percent > 0) smtp->Cancel();
    };
    EXPECT_THROW(Send(), ECanceledError);
    EXPECT_FALSE(rig.display.Saw("Mail sucessfully sent."));
}

TEST_F(SMTPTest, LineBreaksInsideEntriesCannotEndTheDataOrAddCommands) {
    message.ToList = {"eve@example.net\r\nRSET (Eve)"};
    message.Subject = "Hi\r\nBcc: spy@example.net";
    message.Body = {"one\r\n.\r\nQUIT", "two\n.x"};
    auto& s = UpToData("eve@example.net  RSET")
                  .ClientUntil("\r\n.\r\n")
                  .Server("250 ok\r\n")
                  .Client("QUIT\r\n")
                  .Server("221\r\n");
    Send();
    EXPECT_TRUE(s.Finished());
    const std::string data = DataOf(s);
    EXPECT_NE(data.find("Subject:  =?windows-1252?Q?Hi=0D=0ABcc=3A_spy=40example=2Enet?=\r\n"), std::string::npos)
        << data;
    // Line breaks make the body 8-bit text: they travel encoded.
    EXPECT_NE(data.find("\r\n\r\none=0D=0A.=0D=0AQUIT\r\ntwo=0A.x\r\n"), std::string::npos) << data;
}

// The lines of the data, and whether each header field, unfolded, is one
// of the fields the client writes (a line break smuggled into a value would
// start a field of its own).
std::vector<std::string> LinesOf(const std::string& data) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < data.size();) {
        const auto end = data.find("\r\n", start);
        lines.push_back(data.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Header fields of a header block, each unfolded.
std::vector<std::string> Unfolded(const std::vector<std::string>& lines) {
    std::vector<std::string> fields;
    for (const auto& l : lines) {
        if (l.empty()) break;
        if ((l[0] == ' ' || l[0] == '\t') && !fields.empty())
            fields.back() += l;
        else
            fields.push_back(l);
    }
    return fields;
}

TEST_F(SMTPTest, LongBodyLinesGoQuotedPrintableAndLongHeadersAreFolded) {
    const std::string longLine(1500, 'a');
    std::string words;
    for (int i = 0; i < 40; ++i) words += "word" + std::to_string(i) + " ";
    words += "end";
    message.Subject = words;
    message.ToList = {"bob@example.net"};
    message.Body = {"short", longLine, "x = y"};
    auto& s = UpToData().ClientUntil("\r\n.\r\n").Server("250 ok\r\n").Client("QUIT\r\n").Server("221\r\n");
    Send();
    const std::string data = DataOf(s);
    const auto lines = LinesOf(data);
    for (const auto& l : lines) EXPECT_LE(l.size(), 78u) << l.substr(0, 100);
    const auto fields = Unfolded(lines);
    EXPECT_EQ(fields[0], "Subject:  " + words);
    EXPECT_NE(data.find("Content-Type: text/plain; charset=\"us-ascii\"\r\n"
                        "Content-Transfer-Encoding: quoted-printable\r\n\r\nshort\r\n" +
                        std::string(75, 'a') + "=\r\n"),
              std::string::npos)
        << data.substr(0, 1200);
    EXPECT_NE(data.find("\r\nx =3D y\r\n"), std::string::npos);
    // A word too long for any line goes as encoded words, which may break.
    message.Subject = std::string(200, 'z');
    auto& again = UpToData().ClientUntil("\r\n.\r\n").Server("250 ok\r\n").Client("QUIT\r\n").Server("221\r\n");
    Send();
    const auto subject = Unfolded(LinesOf(DataOf(again)))[0];
    EXPECT_TRUE(subject.starts_with("Subject:  =?windows-1252?Q?zzz")) << subject;
    for (const auto& l : LinesOf(DataOf(again))) EXPECT_LE(l.size(), 998u);
}

TEST_F(SMTPTest, NamesWithSpecialsAreQuotedAndFileNamesEncoded) {
    const std::string odd = "Jane's \"best\" \xC3\xA9t\xC3\xA9\nphoto.bin";  // UTF-8, a quote, a line break
    WriteFileOrDie(dir.File(odd), "abc");
    const std::string longName = std::string(70, 'r') + " report.bin";
    WriteFileOrDie(dir.File(longName), "def");
    WriteFileOrDie(dir.File("plain name.bin"), "ghi");
    message.From = "Smith, Ann <ann@example.org>";
    message.ToList = {"Doe, Jane <jane@example.net>"};
    message.CCList = {"Team: \"Ops\" <ops@example.net>", "carl@example.net"};
    message.Attachments = {dir.File(odd), dir.File(longName), dir.File("plain name.bin")};
    auto& s = rig.net.Next()
                  .Server("220 mx\r\n")
                  .Client("HELO 10.0.0.7\r\n")
                  .Server("250 hello\r\n")
                  .Client("MAIL FROM:<ann@example.org>\r\n")
                  .Server("250 ok\r\n")
                  .Client("RCPT TO:<jane@example.net>\r\n")
                  .Server("250 ok\r\n")
                  .Client("RCPT TO:<ops@example.net>\r\n")
                  .Server("250 ok\r\n")
                  .Client("RCPT TO:<carl@example.net>\r\n")
                  .Server("250 ok\r\n")
                  .Client("DATA\r\n")
                  .Server("354 go ahead\r\n")
                  .ClientUntil("\r\n.\r\n")
                  .Server("250 ok\r\n")
                  .Client("QUIT\r\n")
                  .Server("221\r\n");
    Send();
    const std::string data = DataOf(s);
    EXPECT_NE(data.find("From:     \"Smith, Ann\" <ann@example.org>\r\n"
                        "TO:       \"Doe, Jane\" <jane@example.net>\r\n"
                        "CC:       \"Team: Ops\" <ops@example.net>,\r\n"
                        "          \"carl@example.net\" <carl@example.net>\r\n"),
              std::string::npos)
        << data.substr(0, 400);
    EXPECT_NE(data.find("Content-Type: application/octet-stream;\r\n"
                        " name=\"=?utf-8?Q?Jane=27s_=22best=22_=C3=A9t=C3=A9=0Aphoto=2Ebin?=\"\r\n"
                        "Content-Disposition: attachment;\r\n"
                        " filename*=utf-8''Jane%27s%20%22best%22%20%C3%A9t%C3%A9%0Aphoto.bin\r\n"),
              std::string::npos)
        << data;
    EXPECT_NE(data.find("Content-Disposition: attachment;\r\n filename*0*=utf-8''" + std::string(56, 'r') +
                        ";\r\n"
                        " filename*1*=" +
                        std::string(14, 'r') + "%20report.bin\r\n"),
              std::string::npos)
        << data;
    EXPECT_NE(data.find("Content-Type: application/octet-stream; name=\"plain name.bin\"\r\n"
                        "Content-Disposition: attachment; filename=\"plain name.bin\"\r\n"),
              std::string::npos);
    for (const auto& l : LinesOf(data)) EXPECT_LE(l.size(), 998u) << l;
}

TEST_F(SMTPTest, AnAttachmentThatCannotBeReadToItsEndFailsTheSend) {
    const std::string path = dir.File("big.bin");
    WriteFileOrDie(path, std::string(200000, 'x'));
    message.ToList = {"bob@example.net"};
    message.Body = {"x"};
    message.Attachments = {path};
    auto& cut = UpToData().ClientUntil("\r\n.\r\n").Server("250 ok\r\n");
    // Another program rewrites the file while it goes out.
    rig.display.onProgress = [&](int percent) {
        if (percent > 0 && percent < 100) WriteFileOrDie(path, std::string(60000, 'y'));
    };
    EXPECT_THROW(Send(), EMailError);
    rig.display.onProgress = nullptr;
    // The data never ended, so the server keeps nothing.
    EXPECT_EQ(cut.Written().find("\r\n.\r\n"), std::string::npos);
    EXPECT_FALSE(rig.display.Saw("Mail sucessfully sent."));
    EXPECT_FALSE(smtp->Connected());
    EXPECT_EQ(rig.prompt.Errors(), std::vector<std::string>{"Fenmarch Skiffpost could not attach file \"" + path +
                                                            "\"\n\rReason: File I/O error"});

    // A text attachment that fails to read (here a folder named like one).
    const std::string folder = dir.File("notes.txt");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    message.Attachments = {folder};
    auto& unreadable = UpToData().ClientUntil("\r\n.\r\n").Server("250 ok\r\n");
    EXPECT_THROW(Send(), EMailError);
    EXPECT_EQ(unreadable.Written().find("\r\n.\r\n"), std::string::npos);
    EXPECT_EQ(rig.prompt.Errors().size(), 2u);
}

TEST_F(SMTPTest, TheBuiltMessageIsTheOneTheSessionSendsDotStuffedWithItsEnvelopeApart) {
    // Names and a file name beyond ASCII, a text and a binary attachment, a
    // body line and an attachment line that begin with a dot. The expected
    // bytes are what the client sent before building and sending were two
    // classes.
    const std::string report = dir.File(
        "Bericht \xC3\xBC"
        "ber K\xC3\xB6ln.txt");
    const std::string photo = dir.File("Foto \xC3\xA9t\xC3\xA9.pdf");
    WriteFileOrDie(report,
                   "Zeile eins\r\n. Punkt\r\nGr\xFC\xDF"
                   "e = 100%\r\nlast line no end");
    std::string binary;
    for (int i = 0; i < 130; ++i) binary.push_back(static_cast<char>(i * 11 + 3));
    WriteFileOrDie(photo, binary);
    message.From = "J\xF6rg M\xFCller <joerg@example.org>";
    message.ToList = {"Zo\xEB Dupr\xE9 <zoe@example.net>", "Smith, Ann <ann@example.net>"};
    message.CCList = {"carl@example.net"};
    message.BCCList = {"Hidden <hidden@example.net>"};
    message.Subject =
        "Gr\xFC\xDF"
        "e aus K\xF6ln";
    message.Priority = 2;
    message.Body = {"Hallo Zo\xEB,", ". ein Punkt", "", "J\xF6rg"};
    message.Attachments = {report, photo};
    rig.clock.now = 1'000'000'001;
    std::string built = builder->Build(message);

    const std::string b = builder->Boundary();
    // The Message-ID ends in eight random digits.
    const std::string idStart = "Message-ID: <1000000001." + b;
    const auto id = built.find(idStart);
    ASSERT_NE(id, std::string::npos) << built;
    built.replace(id + idStart.size(), 8, "########");
    const std::string sent =
        "Subject:  =?windows-1252?Q?Gr=FC=DFe_aus_K=F6ln?=\r\n"
        "From:     =?windows-1252?Q?J=F6rg_M=FCller?= <joerg@example.org>\r\n"
        "TO:       =?windows-1252?Q?Zo=EB_Dupr=E9?= <zoe@example.net>,\r\n"
        "          \"Smith, Ann\" <ann@example.net>\r\n"
        "CC:       \"carl@example.net\" <carl@example.net>\r\n"
        "X-Priority: 1\r\n"
        "X-Application: Fenmarch Skiffpost\r\n"
        "X-Info: Fenmarch Skiffpost - http://www.fenmarch.example/\r\n"
        "Date: Sun, 09 Sep 2001 01:46:41 +0000\r\n"
        "Message-ID: <1000000001." +
        b +
        "########@example.org>\r\n"
        "Mime-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=\"" +
        b +
        "\"\r\n"
        "X-Encoding: MIME\r\n"
        "\r\n"
        "This is a multi-part message in MIME format.\r\n"
        "\r\n"
        "--" +
        b +
        "\r\n"
        "Content-Type: text/plain; charset=\"windows-1252\"\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n"
        "\r\n"
        "Hallo Zo=EB,\r\n"
        ".. ein Punkt\r\n"
        "\r\n"
        "J=F6rg\r\n"
        "\r\n"
        "\r\n"
        "--" +
        b +
        "\r\n"
        "Content-Type: text/plain; name=\"=?utf-8?Q?Bericht_=C3=BCber_K=C3=B6ln=2Etxt?=\"\r\n"
        "Content-Disposition: attachment;\r\n"
        " filename*=utf-8''Bericht%20%C3%BCber%20K%C3%B6ln.txt\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n"
        "\r\n"
        "Zeile eins\r\n"
        ".. Punkt\r\n"
        "Gr=FC=DFe =3D 100%\r\n"
        "last line no end\r\n"
        "\r\n"
        "\r\n"
        "--" +
        b +
        "\r\n"
        "Content-Type: application/pdf; name=\"=?utf-8?Q?Foto_=C3=A9t=C3=A9=2Epdf?=\"\r\n"
        "Content-Disposition: attachment; filename*=utf-8''Foto%20%C3%A9t%C3%A9.pdf\r\n"
        "Content-Transfer-Encoding: base64\r\n"
        "\r\n"
        "Aw4ZJC86RVBbZnF8h5KdqLO+ydTf6vUACxYhLDdCTVhjbnmEj5qlsLvG0dzn8v0IEx4pND9KVWBr\r\n"
        "doGMl6KtuMPO2eTv+gUQGyYxPEdSXWhzfomUn6q1wMvW4ez3Ag0YIy45RE9aZXB7hpGcp7K9yNPe\r\n"
        "6fT/ChUgKzZBTFdibXiDjg==\r\n"
        "\r\n"
        "--" +
        b + "--\r\n";
    // The message itself holds its lines as they are; only the session
    // doubles a leading dot.
    std::string unstuffed = sent;
    for (auto at = unstuffed.find("\r\n.."); at != std::string::npos; at = unstuffed.find("\r\n..", at + 3))
        unstuffed.erase(at + 2, 1);
    EXPECT_EQ(built, unstuffed);
    EXPECT_EQ(message.EnvelopeFrom(), "joerg@example.org");
    EXPECT_EQ(message.EnvelopeRecipients(), (std::vector<std::string>{"zoe@example.net", "ann@example.net",
                                                                      "carl@example.net", "hidden@example.net"}));

    auto& s = rig.net.Next()
                  .Server("220 mx\r\n")
                  .Client("HELO 10.0.0.7\r\n")
                  .Server("250 hello\r\n")
                  .Client("MAIL FROM:<joerg@example.org>\r\n")
                  .Server("250 ok\r\n")
                  .Client("RCPT TO:<zoe@example.net>\r\n")
                  .Server("250 ok\r\n")
                  .Client("RCPT TO:<ann@example.net>\r\n")
                  .Server("250 ok\r\n")
                  .Client("RCPT TO:<carl@example.net>\r\n")
                  .Server("250 ok\r\n")
                  .Client("RCPT TO:<hidden@example.net>\r\n")
                  .Server("250 ok\r\n")
                  .Client("DATA\r\n")
                  .Server("354 go\r\n")
                  .Client(sent + ".\r\n")
                  .Server("250 ok\r\n")
                  .Client("QUIT\r\n")
                  .Server("221\r\n");
    smtp->Send(message.EnvelopeFrom(), message.EnvelopeRecipients(), built);
    EXPECT_TRUE(s.Finished());
    EXPECT_EQ(s.Written(), s.ClientText());
    EXPECT_TRUE(rig.prompt.Texts().empty());
}

TEST(RecipientParts, SplitNamesAndAddresses) {
    EXPECT_EQ(recipient::AddressOf("Bob <bob@x>"), "bob@x");
    EXPECT_EQ(recipient::NameOf("\"Bob B\" <bob@x>"), "Bob B");
    EXPECT_EQ(recipient::AddressOf("bob@x (Bob)"), "bob@x");
    EXPECT_EQ(recipient::NameOf("bob@x (Bob)"), "Bob");
    EXPECT_EQ(recipient::NameOf("bob@x"), "bob@x");
    EXPECT_EQ(recipient::NameOf("<bob@x>"), "");
    EXPECT_EQ(recipient::AddressOf("Bob <bob@x"), "bob@x");
    EXPECT_EQ(recipient::NameOf("("), "");
    EXPECT_EQ(recipient::Phrase("Ann Smith"), "Ann Smith");
    EXPECT_EQ(recipient::Phrase("Doe, Jane"), "\"Doe, Jane\"");
    EXPECT_EQ(recipient::Phrase("say \"hi\" \\o/"), "\"say \\\"hi\\\" \\\\o/\"");
    EXPECT_EQ(recipient::Phrase("=?x?Q?y?="), "=?windows-1252?Q?=3D=3Fx=3FQ=3Fy=3F=3D?=");
}

TEST(Encodings, Base64AndQuotedPrintableFollowRfc2045) {
    const auto b64 = [](std::string s) {
        return base64::Encode(reinterpret_cast<const unsigned char*>(s.data()), s.size());
    };
    EXPECT_EQ(b64(""), "");
    EXPECT_EQ(b64("f"), "Zg==");
    EXPECT_EQ(b64("fo"), "Zm8=");
    EXPECT_EQ(b64("foo"), "Zm9v");
    EXPECT_EQ(b64("\xff\xfe\xfd"), "//79");
    const auto long_ = qp::EncodeLine(std::string(100, 'a') + "\xe9");
    ASSERT_EQ(long_.size(), 2u);
    EXPECT_EQ(long_[0], std::string(75, 'a') + "=");
    EXPECT_EQ(long_[1], std::string(25, 'a') + "=E9");
    EXPECT_EQ(qp::EncodeLine("tab\tend\t"), std::vector<std::string>{"tab\tend=09"});
    EXPECT_EQ(qp::EncodeHeaderText("plain"), "plain");
    const std::string words = qp::EncodeHeaderText(std::string(60, '\xe9'));
    for (std::size_t start = 0; start < words.size();) {
        const auto end = words.find(' ', start);
        EXPECT_LE((end == std::string::npos ? words.size() : end) - start, 75u);
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

}  // namespace
