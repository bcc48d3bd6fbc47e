#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "book/FilterActions.h"
#include "book/FilterFields.h"
#include "common/Clock.h"
#include "common/DisplayDate.h"
#include "common/LockedPrompt.h"
#include "common/SleepPump.h"
#include "common/TaskQueue.h"
#include "config/IniFile.h"
#include "incoming/DecodeGroup.h"
#include "incoming/MessageParser.h"
#include "incoming/ProcessThread.h"
#include "mail/DownloadProcessing.h"
#include "mail/MessageStorer.h"
#include "store/MailStore.h"
#include "store/MailboxName.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

namespace {

const std::string kData = std::string(SKFP_TEST_DATA) + "/incoming/";
const std::string kHeader = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";

class TFixedClock : public IClock {
public:
    std::time_t Now() const override { return 1700000000; }
    std::int64_t MonotonicMs() const override { return 0; }
};

class TActions : public IFilterActions {
public:
    explicit TActions(TMailStore& store) : store_(store) {}
    bool IsMailbox(const std::string& name) const override { return store_.Tree().IndexOf(name) >= 0; }
    void RunProgram(const std::string& path) override { programs.push_back(path); }
    void PlaySound(const std::string&) override {}
    void Print(const std::string&, const std::string&, const std::string&) override {}
    std::vector<std::string> programs;

private:
    TMailStore& store_;
};

class Process : public ::testing::Test {
protected:
    Process()
        : data_(dir_.Path() + "data/"),
          attach_(dir_.Path() + "attach/"),
          config_((std::filesystem::create_directories(data_), std::filesystem::create_directories(attach_),
                   data_ + "Internet.ini")),
          locked_(prompt_),
          store_(data_, config_, prompt_, pump_),
          actions_(store_) {
        std::filesystem::copy_file(kData + "Internet.fmt", data_ + "Internet.fmt");
        store_.LoadTree();
    }

    void Add(const std::string& fixture, const std::string& as = "") {
        std::filesystem::copy_file(kData + fixture, data_ + (as.empty() ? fixture : as));
    }

    // Stores a batch as the client does: written here, on the main thread,
    // and settled on the processing thread.
    static std::function<void()> Store(TMessageStorer& storer, std::vector<TParsedMessage>& m,
                                       const std::string& mailbox, std::vector<int>& handles) {
        auto bodies = std::make_shared<TBodyAppend>(storer.Write(m, mailbox, handles));
        return [&m, bodies] { TMessageStorer::Release(m, *bodies); };
    }

    // Runs the processing as the client does, and waits for the attachments.
    std::vector<int> RunAll(int starts = 1) {
        std::vector<int> handles;
        {
            TDecodeGroup decoders;
            TMessageParser parser(data_, attach_, locked_, decoders, clock_);
            TMessageStorer storer(store_, filters_, actions_);
            int finished = 0;
            TProcessQueue queue(
                data_, parser, main_,
                [&](std::vector<TParsedMessage>& m, const std::string& mailbox) {
                    return Store(storer, m, mailbox, handles);
                },
                [&] { ++finished; });
            for (int i = 0; i < starts; ++i) queue.Start();
            while (!queue.Idle()) main_.WaitAndRun(std::chrono::milliseconds(5));
            main_.RunPending();
            EXPECT_EQ(finished, starts);
        }
        return handles;
    }

    const THeaderItem& Record(int handle) { return *store_.Headers().At(handle); }
    std::string Body(int handle) {
        std::string body;
        EXPECT_TRUE(store_.Files().ReadBody(Record(handle), body));
        return body;
    }
    bool Exists(const std::string& path) { return std::filesystem::exists(path); }

    TTempDir dir_;
    std::string data_, attach_;
    TIniFile config_;
    TRecordingPrompt prompt_;
    TLockedPrompt locked_;
    TSleepPump pump_;
    TFixedClock clock_;
    TTaskQueue main_;
    TMailStore store_;
    TActions actions_;
    std::vector<TListRow> filters_;
};

}  // namespace

TEST_F(Process, PlainMessageQuotedPrintableLatin1) {
    Add("plain.tsg");
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 1u);
    const THeaderItem& r = Record(h[0]);
    EXPECT_EQ(r.Flags, 0x02);
    EXPECT_EQ(r.Mailbox, "In Box");
    EXPECT_EQ(r.Subject, "Caf\xe9 tonight");
    EXPECT_EQ(r.Who, "Jane Doe");
    EXPECT_EQ(r.Address, "\"Jane Doe\" <jane@example.org>");
    EXPECT_EQ(r.CCList, "Bob <bob@example.com>");  // the blank CC adds nothing
    EXPECT_EQ(r.Date, "05/07/96 02:15 PM");
    EXPECT_EQ(r.Attachments, "");
    // Soft break joined, escapes decoded, the dot-stuffing undone, the
    // trailing empty line, "." and empty line dropped.
    EXPECT_EQ(Body(h[0]), kHeader +
                              "\r\nHi Bob,\r\n\\par \r\n\\par see you at the caf\\'e9 \\{8pm\\}, a very long "
                              "line that the mailer had to break in two.\r\n\\par .and a line that began with a "
                              "dot.\r\n\\par \r\n\\par Jane\r\n\\par }\r\n");
    EXPECT_FALSE(Exists(data_ + "plain.tsg"));
    // The download file is the body's source only: the index is saved.
    EXPECT_TRUE(Exists(data_ + "In Box.Mbx"));
    EXPECT_TRUE(prompt_.Errors().empty());
}

TEST_F(Process, AlternativeStoresTheHtmlPartDecoded) {
    Add("alternative.tsg");
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 1u);
    const THeaderItem& r = Record(h[0]);
    EXPECT_EQ(r.Who, "J\xfcrgen M\xfcller");  // RFC 2047 in UTF-8
    EXPECT_EQ(r.Subject,
              "Gr\xfc\xdf"
              "e");  // raw UTF-8 header bytes
    EXPECT_EQ(r.CCList, "bob@example.com, team@example.com");
    EXPECT_EQ(r.Date, "12/24/01 09:30 AM");
    EXPECT_EQ(Body(h[0]), kHeader + "\r\nGr\\'fc\\'dfe aus {\\b Wien} & Graz\r\n\\par }\r\n");
}

TEST_F(Process, OutlookMixedWithNestedAlternativeAndAttachments) {
    Add("mixed.tsg");
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 1u);
    const THeaderItem& r = Record(h[0]);
    EXPECT_EQ(r.Flags, 0x42);
    // RFC 2231 name in UTF-8, stored as Windows-1252; the sender's folder
    // part is dropped so nothing lands outside the attachment folder.
    EXPECT_EQ(r.Attachments, attach_ + "r\xe9sum\xe9.pdf\x02" + attach_ + "notes.txt\x02");
    std::string pdf;
    for (int i = 0; i < 20; ++i)
        for (int b = 0; b < 256; ++b) pdf += static_cast<char>(b);
    EXPECT_EQ(ReadFileOrEmpty(attach_ + "r\xc3\xa9sum\xc3\xa9.pdf"), pdf);
    EXPECT_EQ(ReadFileOrEmpty(attach_ + "notes.txt"), "a=b is not c at all\r\nlast line");
    EXPECT_FALSE(Exists(dir_.Path() + "notes.txt"));
    EXPECT_EQ(Body(h[0]), kHeader + "\r\nPlease find the {\\i report} attached \\'96 thanks.\r\n\\par }\r\n");
    // No temporary file is left behind.
    for (const auto& e : std::filesystem::directory_iterator(data_)) EXPECT_NE(e.path().extension(), ".att");
}

TEST_F(Process, UuencodedAttachmentKeepsItsShortLastLine) {
    Add("uuencode.tsg");
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 1u);
    std::string expected;
    for (int i = 0; i < 3; ++i) expected += "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234\n";
    EXPECT_EQ(ReadFileOrEmpty(attach_ + "alpha.txt"), expected);
    EXPECT_EQ(Body(h[0]), kHeader + "\r\nSee the file.\r\n\\par }\r\n");
    EXPECT_EQ(Record(h[0]).Flags, 0x42);
}

TEST_F(Process, AttachedMessageIsSkippedAndRtfStaysAsItIs) {
    Add("rfc822.tsg");
    Add("rtf.tsg");
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(Body(h[0]), kHeader + "\r\nForwarded below.\r\n\\par }\r\n");
    EXPECT_EQ(Body(h[1]), "{\\rtf1\\ansi Hello}\r\n");
    // Without Date and Received the date is now.
    EXPECT_EQ(Record(h[1]).Date, displaydate::Format(clock_.Now()));
}

TEST_F(Process, RelatedHtmlWithUnnamedInlineImage) {
    Add("related.tsg");
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 1u);
    EXPECT_EQ(Body(h[0]), kHeader + "\r\nLook at {\\b this}\r\n\\par }\r\n");
    EXPECT_EQ(Record(h[0]).Attachments, attach_ + "attachment\x02");
    EXPECT_EQ(ReadFileOrEmpty(attach_ + "attachment").substr(1, 3), "PNG");
}

TEST_F(Process, MissingBoundaryKeepsTheText) {
    Add("noboundary.tsg");
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 1u);
    EXPECT_EQ(Body(h[0]), kHeader + "\r\nText that has no parts at all.\r\n\\par }\r\n");
}

TEST_F(Process, SameNamesAcrossMessagesAndQueuedRunsTakeEachFileOnce) {
    const std::string msg =
        "From: a@b\r\nSubject: s\r\nContent-Type: multipart/mixed; boundary=XX\r\n\r\n--XX\r\n"
        "Content-Type: text/plain\r\n\r\nbody\r\n--XX\r\nContent-Type: application/msword; "
        "name=report.doc\r\nContent-Transfer-Encoding: base64\r\n\r\nQUJD\r\n--XX--\r\n";
    WriteFileOrDie(data_ + "acct1.tsg", msg);
    WriteFileOrDie(data_ + "acct2.tsg", msg);
    WriteFileOrDie(data_ + "acct3.tsg", msg);
    const auto h = RunAll(3);  // three starts while the first is busy
    ASSERT_EQ(h.size(), 3u);
    EXPECT_EQ(Record(h[0]).Attachments, attach_ + "report.doc\x02");
    EXPECT_EQ(Record(h[1]).Attachments, attach_ + "report (2).doc\x02");
    EXPECT_EQ(Record(h[2]).Attachments, attach_ + "report (3).doc\x02");
    EXPECT_EQ(ReadFileOrEmpty(attach_ + "report (3).doc"), "ABC");
}

TEST_F(Process, FiltersChooseTheMailboxAndTheViewedListGetsTheRow) {
    store_.Tree().AppendChild(-1, "Family");
    TListRow f{"Family", std::vector<std::string>(filterfield::Count)};
    f.SetSubItem(filterfield::In, "Yes");
    f.SetSubItem(filterfield::Term1, "@example.org");
    f.SetSubItem(filterfield::MoveTo, "Family");
    f.SetSubItem(filterfield::RunProgram, "Yes");
    f.SetSubItem(filterfield::ProgramFile, "/usr/bin/true");
    filters_.push_back(f);
    store_.ShowMailbox("In Box");
    Add("plain.tsg");
    Add("uuencode.tsg");
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(Record(h[0]).Mailbox, "Family");
    EXPECT_EQ(Record(h[1]).Mailbox, "In Box");
    EXPECT_TRUE(Exists(data_ + "Family.msg"));
    EXPECT_EQ(actions_.programs, (std::vector<std::string>{"/usr/bin/true"}));
    EXPECT_TRUE(store_.Tree().At(store_.Tree().IndexOf("Family")).bold);
    ASSERT_EQ(store_.Rows().Count(), 1);
    EXPECT_EQ(store_.Rows().At(0).handle, h[1]);
}

TEST_F(Process, FailuresKeepTheDownloadFile) {
    std::filesystem::remove(data_ + "Internet.fmt");
    Add("plain.tsg");
    // A folder where the message file should be: the body cannot be saved.
    std::filesystem::create_directories(data_ + "In Box.msg");
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 1u);
    EXPECT_TRUE(Exists(data_ + "plain.tsg"));
    EXPECT_EQ(Record(h[0]).Offset, -1);
    ASSERT_FALSE(prompt_.Errors().empty());
    EXPECT_EQ(prompt_.Errors()[0],
              "Fenmarch Skiffpost has encountered an error while loading your default header settings.\r\n"
              "Reason: GENERAL EXCEPTION in MODULE TPROCESS.\r\n"
              "NOTICE: Contact Fenmarch with this ERROR and wait for response.");
    // A file that went away before its turn.
    TDecodeGroup decoders;
    TMessageParser parser(data_, attach_, locked_, decoders, clock_);
    prompt_.Clear();
    EXPECT_FALSE(parser.Parse(data_ + "gone.tsg"));
    ASSERT_EQ(prompt_.Errors().size(), 1u);
    EXPECT_EQ(prompt_.Errors()[0],
              "Fenmarch Skiffpost could not process this message.\nReason: Message file not "
              "found. (Module-\"FRMPROCESS\")\nFix: Try freeing some disk space.");
}

// The index is saved on the processing thread once the bodies are flushed;
// when it cannot be, the user is told on the main thread and the download
// stays for a later run.
TEST_F(Process, AnIndexThatCannotBeSavedKeepsTheDownloadAndSaysSo) {
    Add("plain.tsg");
    std::filesystem::create_directories(data_ + "In Box.Bak");
    TDownloadProcessing processing(store_, filters_, actions_, locked_, clock_, data_, attach_);
    std::vector<int> handles;
    EXPECT_FALSE(
        processing.Run(TMailboxName::kInBox, [&](int handle, const THeaderItem&) { handles.push_back(handle); }));
    ASSERT_EQ(handles.size(), 1u);
    EXPECT_TRUE(Exists(data_ + "plain.tsg"));
    EXPECT_EQ(prompt_.Errors(), (std::vector<std::string>{"Fenmarch Skiffpost has failed to save headers to disk."}));
    EXPECT_FALSE(store_.Flags().AnyHeld());
    // The record is taken back, so that no later save of the mailbox keeps
    // it beside the one the next run stores.
    EXPECT_EQ(store_.Headers().At(handles[0]), nullptr);
    EXPECT_EQ(store_.Headers().Count("In Box"), 0);
    std::filesystem::remove(data_ + "In Box.Bak");
    EXPECT_TRUE(store_.SaveIndex("In Box"));
    handles.clear();
    EXPECT_TRUE(
        processing.Run(TMailboxName::kInBox, [&](int handle, const THeaderItem&) { handles.push_back(handle); }));
    ASSERT_EQ(handles.size(), 1u);
    EXPECT_FALSE(Exists(data_ + "plain.tsg"));
    EXPECT_EQ(store_.Headers().Count("In Box"), 1);
    EXPECT_FALSE(Body(handles[0]).empty());
    EXPECT_EQ(prompt_.Errors().size(), 1u);
}

TEST_F(Process, JunkNeverHangsOrLosesTheMessage) {
    std::string junk =
        "From: x@y\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\nContent-Type: "
        "multipart/alternative; boundary=\"c\"\r\n\r\n--c\r\nContent-Type: text/html\r\n\r\n<b";
    junk += std::string("\0\x01\xff<<>>", 8);
    junk +=
        "\r\n--b\r\nContent-Disposition: attachment; filename=\"..\"\r\nContent-Transfer-Encoding: base64\r\n\r\n!!";
    WriteFileOrDie(data_ + "junk.tsg", junk);
    WriteFileOrDie(data_ + "empty.tsg", "");
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 2u);
    for (int handle : h) EXPECT_GE(Record(handle).Offset, 0);
    EXPECT_FALSE(Exists(data_ + "junk.tsg"));
    EXPECT_FALSE(Exists(data_ + "empty.tsg"));
}

TEST_F(Process, LongRunsStoreInBatchesAndKeepOnlyWhatFailed) {
    store_.Tree().AppendChild(-1, "Lists");
    TListRow f{"Lists", std::vector<std::string>(filterfield::Count)};
    f.SetSubItem(filterfield::In, "Yes");
    f.SetSubItem(filterfield::Term1, "list@");
    f.SetSubItem(filterfield::MoveTo, "Lists");
    filters_.push_back(f);
    // The filtered mailbox cannot take bodies: its message file is a folder.
    std::filesystem::create_directories(data_ + "Lists.msg");
    const int count = static_cast<int>(TProcessThread::kBatchMessages) * 2 + 17;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "acct%04d.tsg", i);
        const std::string from = i % 50 == 7 ? "list@example.org" : "someone@example.org";
        WriteFileOrDie(data_ + name, "Subject: number " + std::to_string(i) + "\r\nFrom: " + from + "\r\n\r\nbody " +
                                         std::to_string(i) + "\r\n");
    }
    const auto h = RunAll();
    ASSERT_EQ(h.size(), static_cast<std::size_t>(count));
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "acct%04d.tsg", i);
        const THeaderItem& r = Record(h[static_cast<std::size_t>(i)]);
        EXPECT_EQ(r.Subject, "number " + std::to_string(i));  // in the order of the files
        const bool toLists = i % 50 == 7;
        EXPECT_EQ(r.Mailbox, toLists ? "Lists" : "In Box");
        EXPECT_EQ(Exists(data_ + name), toLists) << name;
        if (toLists) {
            EXPECT_EQ(r.Offset, -1);
            ++failed;
        } else {
            EXPECT_NE(Body(h[static_cast<std::size_t>(i)]).find("body " + std::to_string(i)), std::string::npos);
        }
    }
    EXPECT_EQ(failed, 5);
    // Every new record counts, whether or not its body could be saved.
    EXPECT_EQ(store_.Tip().Count(), count);

    // What was stored is in the index on disk.
    TMailStore reloaded(data_, config_, prompt_, pump_);
    reloaded.LoadTree();
    EXPECT_EQ(reloaded.Headers().CountNew("In Box"), count - failed);
    EXPECT_EQ(reloaded.Tip().Count(), count - failed);
}

TEST_F(Process, StoppingMidRunLosesNoMessage) {
    const int count = static_cast<int>(TProcessThread::kBatchMessages) * 3;
    for (int i = 0; i < count; ++i)
        WriteFileOrDie(data_ + "acct" + std::to_string(1000 + i) + ".tsg",
                       "Subject: s\r\nFrom: a@b\r\n\r\nbody " + std::to_string(i) + "\r\n");
    std::vector<int> handles;
    {
        TDecodeGroup decoders;
        TMessageParser parser(data_, attach_, locked_, decoders, clock_);
        TMessageStorer storer(store_, filters_, actions_);
        TProcessQueue queue(
            data_, parser, main_,
            [&](std::vector<TParsedMessage>& m, const std::string& mailbox) {
                return Store(storer, m, mailbox, handles);
            },
            nullptr);
        queue.Start();
        while (handles.empty()) main_.WaitAndRun(std::chrono::milliseconds(5));
    }                    // the queue stops with batches still to come
    main_.RunPending();  // a batch posted before the stop must not be stored now
    const auto left = TProcessQueue::DownloadedFiles(data_);
    EXPECT_LT(handles.size(), static_cast<std::size_t>(count));
    EXPECT_EQ(handles.size() + left.size(), static_cast<std::size_t>(count));
    for (const int h : handles) EXPECT_GE(Record(h).Offset, 0);
}

TEST_F(Process, AMessageThatIsOnlyAnAttachmentWritesItsFile) {
    Add("scanonly.tsg");
    Add("attachedtext.tsg");
    const auto h = RunAll();  // in name order
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(Record(h[1]).Attachments, attach_ + "scan.pdf\x02");
    EXPECT_EQ(Record(h[1]).Flags, 0x42);
    std::string pdf;
    for (int i = 0; i < 3; ++i)
        for (int b = 0; b < 256; ++b) pdf += static_cast<char>(b);
    EXPECT_EQ(ReadFileOrEmpty(attach_ + "scan.pdf"), pdf);
    EXPECT_EQ(Body(h[1]), kHeader + "\r\n\\par }\r\n");
    // A text marked as an attachment is a file too; its dots are undone and
    // the end of the download is no part of it.
    EXPECT_EQ(Record(h[0]).Attachments, attach_ + "notes.txt\x02");
    EXPECT_EQ(ReadFileOrEmpty(attach_ + "notes.txt"), "first line\r\n.second line began with a dot\r\n\r\nlast line");
    EXPECT_EQ(Body(h[0]), kHeader + "\r\n\\par }\r\n");
    EXPECT_FALSE(Exists(data_ + "scanonly.tsg"));
    EXPECT_FALSE(Exists(data_ + "attachedtext.tsg"));
}

// Only a line that is "--" and the boundary (then "--" or blanks) ends a
// part: text that merely holds the boundary's word, a quoted delimiter of
// another boundary that begins with it, stays content, of the body and of
// an attachment alike.
TEST_F(Process, ContentHoldingTheBoundarysTextIsContent) {
    std::ofstream(data_ + "b.tsg", std::ios::binary)
        << "From: a@example.org\r\nSubject: parts\r\nContent-Type: multipart/mixed; boundary=part\r\n\r\n"
           "preamble\r\n--part\r\nContent-Type: text/plain\r\n\r\nThis part is long.\r\n--partial quote\r\n"
           "end of text\r\n--part  \r\nContent-Type: text/plain; name=\"list.txt\"\r\n"
           "Content-Disposition: attachment; filename=\"list.txt\"\r\n\r\nthe part list\r\n--parts--\r\n"
           "last\r\n--part--\r\nepilogue\r\n.\r\n";
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 1u);
    EXPECT_EQ(Body(h[0]), kHeader + "\r\nThis part is long.\r\n\\par --partial quote\r\n\\par end of text\r\n\\par }\r\n");
    EXPECT_EQ(ReadFileOrEmpty(attach_ + "list.txt"), "the part list\r\n--parts--\r\nlast");
    EXPECT_FALSE(Exists(data_ + "b.tsg"));
    EXPECT_TRUE(prompt_.Errors().empty());
}

TEST_F(Process, Base64AfterBlankLinesAndWithForeignCharactersDecodesWhole) {
    Add("base64gaps.tsg");
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 1u);
    std::string gif = "GIF89a";
    for (int b = 0; b < 200; ++b) gif += static_cast<char>(b);
    EXPECT_EQ(ReadFileOrEmpty(attach_ + "pic.gif"), gif);
    EXPECT_EQ(Body(h[0]), kHeader + "\r\nSee the picture.\r\n\\par }\r\n");
}

TEST_F(Process, EncodedWordsSplitInsideACharacterAreJoined) {
    Add("splitwords.tsg");
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 1u);
    EXPECT_EQ(Record(h[0]).Subject,
              "Gr\xfc\xdf"
              "e und \xe4");
    EXPECT_EQ(Record(h[0]).Who, "J\xfcrgen");
}

TEST_F(Process, ASinglePartBodyLosesAtMostThreeTrailingLines) {
    Add("trailing.tsg");
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 1u);
    // Four empty lines and the "." of the download: three of these go.
    EXPECT_EQ(Body(h[0]), kHeader + "\r\nBody\r\n\\par \r\n\\par \r\n\\par }\r\n");
}

// A stored message whose attachment was lost keeps its download aside, under
// a name the next run does not take: a second run stores nothing again.
TEST_F(Process, TheDownloadOfAMessageThatLostAnAttachmentIsKeptAsideAndNotStoredAgain) {
    std::filesystem::remove_all(attach_);
    Add("mixed.tsg");
    Add("plain.tsg");
    std::ofstream(data_ + "mixed.kept") << "an earlier one";
    const std::string download = [&] {
        std::ifstream in(data_ + "mixed.tsg", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    const auto h = RunAll();
    ASSERT_EQ(h.size(), 2u);
    EXPECT_FALSE(Exists(data_ + "mixed.tsg"));
    EXPECT_FALSE(Exists(data_ + "plain.tsg"));
    std::ifstream kept(data_ + "mixed (2).kept", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), download);
    const std::size_t errors = prompt_.Errors().size();
    EXPECT_GT(errors, 0u);

    EXPECT_TRUE(RunAll().empty());
    EXPECT_EQ(store_.Headers().Count("In Box"), 2);
    EXPECT_EQ(prompt_.Errors().size(), errors);
}
