#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>

#include "incoming/AttachmentPath.h"
#include "incoming/Base64Decoder.h"
#include "incoming/DecodeGroup.h"
#include "incoming/MimeDecodeThread.h"
#include "incoming/QuotedPrintable.h"
#include "incoming/UUDecodeThread.h"
#include "incoming/UUDecoder.h"
#include "incoming/UUInvalidCharacter.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

namespace {

std::string Base64(std::string_view text) {
    std::string out;
    TBase64Decoder d;
    d.Feed(text, out);
    d.Finish(out);
    return out;
}

std::string Random(std::size_t n, unsigned seed) {
    std::mt19937 g(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(g());
    return s;
}

std::string EncodeAll(const std::string& data, std::size_t lineBytes = 57) {
    std::string text;
    for (std::size_t i = 0; i < data.size(); i += lineBytes) {
        // Lines of other lengths than 76 characters are what some mailers write.
        for (std::size_t j = i; j < std::min(data.size(), i + lineBytes); j += 57)
            text += base64::EncodeLine(std::string_view(data).substr(j, std::min<std::size_t>(57, i + lineBytes - j)));
        text += "\r\n";
    }
    return text;
}

}  // namespace

TEST(Base64, LastLinesWithAndWithoutPads) {
    EXPECT_EQ(Base64("QUJD"), "ABC");
    EXPECT_EQ(Base64("QUI"), "AB");
    EXPECT_EQ(Base64("QUI="), "AB");
    EXPECT_EQ(Base64("QQ"), "A");
    EXPECT_EQ(Base64("QQ=="), "A");
    EXPECT_EQ(Base64(""), "");
    // Line ends and blanks inside the text are no data; a pad ends it.
    EXPECT_EQ(Base64("QU\r\nJD\r\n"), "ABC");
    EXPECT_EQ(Base64("QQ==QUJD"), "A");
}

TEST(Base64, EncodeLineLengthsAndRoundTrip) {
    EXPECT_EQ(base64::EncodeLine("A"), "QQ==");
    EXPECT_EQ(base64::EncodeLine("AB"), "QUI=");
    EXPECT_EQ(base64::EncodeLine("ABC"), "QUJD");
    EXPECT_EQ(base64::EncodeLine(""), "");
    const std::string data = Random(57, 1);
    EXPECT_EQ(base64::EncodeLine(data).size(), 76u);
    EXPECT_EQ(base64::EncodeLine(data).find('='), std::string::npos);
    std::istringstream in(Random(200, 2));
    std::string line, all;
    std::size_t consumed, total = 0;
    std::vector<std::size_t> sizes;
    while ((consumed = base64::EncodeLine(in, line)) > 0) {
        sizes.push_back(consumed);
        total += consumed;
        all += line + "\r\n";
    }
    EXPECT_EQ(sizes, (std::vector<std::size_t>{57, 57, 57, 29}));
    EXPECT_TRUE(line.empty());
    EXPECT_EQ(Base64(all), Random(200, 2));
}

TEST(Base64, StreamsAcrossPiecesSplitAnywhere) {
    const std::string data = Random(10000, 3);
    const std::string text = EncodeAll(data, 54);  // 72-character lines
    for (std::size_t piece : {1u, 3u, 7u, 77u, 4096u}) {
        std::string out;
        TBase64Decoder d;
        for (std::size_t i = 0; i < text.size(); i += piece) d.Feed(std::string_view(text).substr(i, piece), out);
        d.Finish(out);
        EXPECT_EQ(out, data) << piece;
    }
    // One line far longer than 76 characters is decoded whole.
    EXPECT_EQ(Base64(EncodeAll(data, data.size() + 3)), data);
}

TEST(UUDecode, LinesOfEveryLength) {
    std::string out;
    uudecode::DecodeLine("#86)C", out);
    EXPECT_EQ(out, "abc");
    out.clear();
    uudecode::DecodeLine("`", out);
    EXPECT_EQ(out, "");
    // Trailing blanks stripped on the way: the missing bits are zero.
    out.clear();
    uudecode::DecodeLine("#86", out);
    EXPECT_EQ(out, std::string("a`\0", 3));
    out.clear();
    EXPECT_THROW(uudecode::DecodeLine("#8~)C", out), EUUInvalidCharacter);
    EXPECT_STREQ(EUUInvalidCharacter().what(), "Invalid character in the input file");
}

TEST(QuotedPrintable, EscapesSoftBreaksAndTransportBlanks) {
    std::string out;
    EXPECT_FALSE(quotedprintable::DecodeLine("Caf=C3=A9 =3D ok", out));
    EXPECT_EQ(out, "Caf\xc3\xa9 = ok");
    out.clear();
    EXPECT_TRUE(quotedprintable::DecodeLine("long line=", out));
    EXPECT_EQ(out, "long line");
    out.clear();
    EXPECT_FALSE(quotedprintable::DecodeLine("kept space=20", out));
    EXPECT_EQ(out, "kept space ");
    out.clear();
    EXPECT_FALSE(quotedprintable::DecodeLine("bad =ZZ and =4", out));
    EXPECT_EQ(out, "bad =ZZ and =4");
    EXPECT_EQ(quotedprintable::DecodeLines({"a=", "b=", "c", "d="}), (std::vector<std::string>{"abc", "d"}));
}

TEST(QuotedPrintable, DecodesFileInPlace) {
    TTempDir dir;
    TRecordingPrompt prompt;
    const std::string path = dir.File("12345.att");
    WriteFileOrDie(path, "first =E9=\r\nsame line\r\nsecond=20\r\n\r\nlast");
    EXPECT_TRUE(quotedprintable::DecodeFile(path, prompt));
    EXPECT_EQ(ReadFileOrEmpty(path), "first \xe9same line\r\nsecond \r\n\r\nlast");
    EXPECT_FALSE(std::ifstream(path + ".bak").good());
    EXPECT_FALSE(quotedprintable::DecodeFile(dir.File("gone.att"), prompt));
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0], "Fenmarch Skiffpost could not decode attachment gone.att.");
}

TEST(AttachmentPath, SafeNamesStayInTheFolder) {
    EXPECT_EQ(attachmentpath::SafeName("report.doc"), "report.doc");
    EXPECT_EQ(attachmentpath::SafeName("../../etc/passwd"), "passwd");
    EXPECT_EQ(attachmentpath::SafeName("C:\\Windows\\evil.exe"), "evil.exe");
    EXPECT_EQ(attachmentpath::SafeName(".."), "attachment");
    EXPECT_EQ(attachmentpath::SafeName("."), "attachment");
    EXPECT_EQ(attachmentpath::SafeName("dir/"), "attachment");
    EXPECT_EQ(attachmentpath::SafeName(""), "attachment");
    EXPECT_EQ(attachmentpath::SafeName("a\x01\nb\x7f.txt"), "ab.txt");
    EXPECT_EQ(attachmentpath::SafeName("\x01\x02"), "attachment");
    EXPECT_EQ(attachmentpath::SafeName("r\xc3\xa9sum\xc3\xa9.pdf"), "r\xc3\xa9sum\xc3\xa9.pdf");
    EXPECT_EQ(attachmentpath::SafeName("\xe6\x97\xa5\xe2\x80\xa8\xc2\x85.txt"), "\xe6\x97\xa5.txt");
    EXPECT_EQ(attachmentpath::SafeName("\xd0\x9e\xd1\x82\xd1\x87\xd1\x91\xd1\x82 \xf0\x9f\x8e\x89.pdf"),
              "\xd0\x9e\xd1\x82\xd1\x87\xd1\x91\xd1\x82 \xf0\x9f\x8e\x89.pdf");
    const std::string longName = std::string(300, 'x') + ".pdf";
    EXPECT_LE(attachmentpath::SafeName(longName).size(), 200u);
    EXPECT_EQ(attachmentpath::SafeName(longName).substr(196), ".pdf");
    // The length counts bytes and cuts at a whole character.
    std::string longJapanese;
    for (int i = 0; i < 100; ++i) longJapanese += "\xe6\x97\xa5";
    const std::string cut = attachmentpath::SafeName(longJapanese + ".pdf");
    EXPECT_LE(cut.size(), 200u);
    EXPECT_EQ(cut, longJapanese.substr(0, 195) + ".pdf");
}

TEST(AttachmentPath, UniqueNamesAreReservedAtOnce) {
    TTempDir dir;
    EXPECT_EQ(attachmentpath::Unique(dir.Path(), "report.doc"), dir.File("report.doc"));
    EXPECT_EQ(attachmentpath::Unique(dir.Path(), "report.doc"), dir.File("report (2).doc"));
    EXPECT_EQ(attachmentpath::Unique(dir.Path(), "report.doc"), dir.File("report (3).doc"));
    EXPECT_EQ(attachmentpath::Unique(dir.Path(), "README"), dir.File("README"));
    EXPECT_EQ(attachmentpath::Unique(dir.Path(), "README"), dir.File("README (2)"));
    EXPECT_EQ(attachmentpath::Unique(dir.Path(), ""), "");
    EXPECT_EQ(attachmentpath::Unique(dir.File("missing/"), "a.txt"), "");

    // With a remembered number the search goes on from there, and a name
    // taken meanwhile by someone else is still skipped.
    int next = 1;
    EXPECT_EQ(attachmentpath::Unique(dir.Path(), "logo.png", &next), dir.File("logo.png"));
    EXPECT_EQ(next, 2);
    WriteFileOrDie(dir.File("logo (2).png"), "theirs");
    EXPECT_EQ(attachmentpath::Unique(dir.Path(), "logo.png", &next), dir.File("logo (3).png"));
    EXPECT_EQ(next, 4);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("logo (2).png")), "theirs");
    next = 0;  // anything below 1 starts at the name itself
    EXPECT_EQ(attachmentpath::Unique(dir.Path(), "report.doc", &next), dir.File("report (4).doc"));
}

TEST(DecodeThreads, Base64AndUUencodeFilesComplete) {
    TTempDir dir;
    TRecordingPrompt prompt;
    const std::string data = Random(100000, 4);
    WriteFileOrDie(dir.File("1.att"), EncodeAll(data));
    // uuencode: 45-byte "M" lines and a shorter last line.
    const std::string uu =
        "M86)C9&5F9VAI:FML;6YO<'%R<W1U=G=X>7I!0D-$149'2$E*2TQ-3D]045)3\r\n"
        ",5%565UA96C$R,S0*\r\n";
    WriteFileOrDie(dir.File("2.att"), uu);
    WriteFileOrDie(dir.File("3.att"), "#86)C\r\n#8~~~\r\n#86)C\r\n");
    {
        TDecodeGroup group;
        TMimeDecodeThread::Start(dir.File("1.att"), dir.File("data.bin"), prompt, group);
        TUUDecodeThread::Start(dir.File("2.att"), dir.File("alpha.txt"), prompt, group);
        TUUDecodeThread::Start(dir.File("3.att"), dir.File("broken.txt"), prompt, group);
        group.WaitAll();
        EXPECT_EQ(group.Running(), 0);
    }
    EXPECT_EQ(ReadFileOrEmpty(dir.File("data.bin")), data);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("alpha.txt")), "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234\n");
    EXPECT_FALSE(std::ifstream(dir.File("1.att")).good());
    EXPECT_FALSE(std::ifstream(dir.File("2.att")).good());
    // An invalid character stops the decoding: what came before stays, and
    // the temporary file is kept.
    EXPECT_EQ(ReadFileOrEmpty(dir.File("broken.txt")), "abc");
    EXPECT_TRUE(std::ifstream(dir.File("3.att")).good());
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0], "Invalid character in the input file");
}

#include "common/LockedPrompt.h"
#include "incoming/AttachmentExtractor.h"
#include "incoming/LineReader.h"

namespace {

// Extracts the first part of a message body and tells the line after it.
std::string ExtractFirst(TTempDir& dir, const std::string& body, TTransferEncoding encoding,
                         std::vector<std::string>& list, TRecordingPrompt& prompt) {
    WriteFileOrDie(dir.File("m.tsg"), body);
    TLineReader in(dir.File("m.tsg"), true);
    TLockedPrompt locked(prompt);
    {
        TDecodeGroup group;
        TAttachmentExtractor extractor(dir.Path(), dir.Path(), locked, group);
        extractor.Extract("f.bin", in, "BND", encoding, list, nullptr);
    }
    std::string next;
    in.Next(next);
    return next;
}

}  // namespace

TEST(Extractor, Base64StopsAtPadsEmptyLinesAndBoundaries) {
    TTempDir dir;
    TRecordingPrompt prompt;
    std::vector<std::string> list;
    // A line ending in "=" is the last data line; the rest of the part up to
    // its boundary is passed over.
    EXPECT_EQ(ExtractFirst(dir, "QUJD\r\nQUI=\r\ntrailing junk\r\n--BND\r\nnext\r\n", teBase64, list, prompt), "next");
    EXPECT_EQ(ReadFileOrEmpty(dir.File("f.bin")), "ABCAB");
    EXPECT_EQ(ExtractFirst(dir, "QUJD\r\n\r\nQUJD\r\n--BND\r\nnext\r\n", teBase64, list, prompt), "next");
    EXPECT_EQ(ReadFileOrEmpty(dir.File("f (2).bin")), "ABC");
    EXPECT_EQ(list, (std::vector<std::string>{dir.File("f.bin"), dir.File("f (2).bin")}));
    EXPECT_TRUE(prompt.Errors().empty());
}

TEST(Extractor, UuencodeWithoutBeginDoesNotEatTheNextPart) {
    TTempDir dir;
    TRecordingPrompt prompt;
    std::vector<std::string> list;
    EXPECT_EQ(ExtractFirst(dir, "no data here\r\n--BND\r\nnext\r\n", teUUEncode, list, prompt), "next");
    EXPECT_EQ(ReadFileOrEmpty(dir.File("f.bin")), "");
    // Blanks stand for "`" as older encoders wrote them; "end" ends the data.
    EXPECT_EQ(ExtractFirst(dir, "begin 644 f.bin\r\n#86)C\r\n$86)C9   \r\n \r\nend\r\nafter\r\n--BND\r\nnext\r\n",
                           teUUEncode, list, prompt),
              "next");
    EXPECT_EQ(ReadFileOrEmpty(dir.File("f (2).bin")), "abcabcd");
}

TEST(Extractor, UnencodedPartsAreCopiedAsTheyAre) {
    TTempDir dir;
    TRecordingPrompt prompt;
    std::vector<std::string> list;
    EXPECT_EQ(ExtractFirst(dir, "a = b =\r\nc=20\r\n..dot\r\n--BND\r\nnext\r\n", teNone, list, prompt), "next");
    EXPECT_EQ(ReadFileOrEmpty(dir.File("f.bin")), "a = b =\r\nc=20\r\n.dot");
    // A folder that refuses the file is reported; the part is passed over.
    std::vector<std::string> none;
    WriteFileOrDie(dir.File("m2.tsg"), "x\r\n--BND\r\nnext\r\n");
    TLineReader in(dir.File("m2.tsg"));
    TDecodeGroup group;
    TAttachmentExtractor extractor(dir.File("missing/"), dir.Path(), prompt, group);
    extractor.Extract("a.txt", in, "BND", teNone, none, nullptr);
    EXPECT_TRUE(none.empty());
    ASSERT_EQ(prompt.Errors().size(), 1u);
    EXPECT_EQ(prompt.Errors()[0], "Fenmarch Skiffpost could not decode attachment a.txt.");
    std::string next;
    EXPECT_TRUE(in.Next(next));
    EXPECT_EQ(next, "next");
}

namespace {
// Holds every box until opened, counting the callers waiting in it.
class TGatePrompt : public IUserPrompt {
public:
    void Error(const std::string&) override {
        std::unique_lock lock(mutex_);
        ++inside_;
        peak_ = std::max(peak_, inside_);
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_; });
        --inside_;
        ++shown_;
    }
    void Information(const std::string& text) override { Error(text); }
    bool YesNo(const std::string&) override { return false; }
    TPromptAnswer YesNoAll(const std::string&) override { return TPromptAnswer::No; }
    void WaitInside(int n) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return inside_ == n; });
    }
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    int Peak() {
        std::lock_guard lock(mutex_);
        return peak_;
    }
    int Shown() {
        std::lock_guard lock(mutex_);
        return shown_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int inside_ = 0, peak_ = 0, shown_ = 0;
    bool open_ = false;
};
}  // namespace

// A message with many attachments does not get a thread for each: the
// group's few threads take them in turn (here each stops at a damaged line
// and waits in its box), and every one is still decoded and reported.
TEST(DecodeGroup, ManyAttachmentsShareAFewThreads) {
    TTempDir dir;
    TGatePrompt prompt;
    constexpr int kAttachments = 10;
    {
        TDecodeGroup group;
        for (int i = 0; i < kAttachments; ++i) {
            const std::string input = dir.File(std::to_string(i) + ".att");
            WriteFileOrDie(input, "#86)C\r\n#~~~\r\n");
            TUUDecodeThread::Start(input, dir.File(std::to_string(i) + ".bin"), prompt, group, nullptr);
        }
        prompt.WaitInside(TDecodeGroup::kMaxThreads);
        EXPECT_EQ(group.Queued(), kAttachments - TDecodeGroup::kMaxThreads);
        EXPECT_EQ(group.Running(), kAttachments);
        prompt.Open();
        group.WaitAll();
        EXPECT_EQ(group.Running(), 0);
    }
    EXPECT_EQ(prompt.Peak(), TDecodeGroup::kMaxThreads);
    EXPECT_EQ(prompt.Shown(), kAttachments);
    for (int i = 0; i < kAttachments; ++i) EXPECT_EQ(ReadFileOrEmpty(dir.File(std::to_string(i) + ".bin")), "abc");
}
