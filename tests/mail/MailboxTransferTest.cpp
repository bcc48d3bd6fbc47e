#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "book/FilterActions.h"
#include "common/Clock.h"
#include "common/FileUtil.h"
#include "common/LockedPrompt.h"
#include "common/SleepPump.h"
#include "config/IniFile.h"
#include "mail/MailboxExport.h"
#include "mail/MailboxImport.h"
#include "mail/RecordBody.h"
#include "store/MailStore.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"
#include "support/ToolRunner.h"

namespace {

namespace fs = std::filesystem;

const std::string kFixtures = std::string(SKFP_TEST_DATA) + "/";

class TFixedClock : public IClock {
public:
    std::time_t Now() const override { return 1700000000; }
    std::int64_t MonotonicMs() const override { return 0; }
};

class TActions : public IFilterActions {
public:
    explicit TActions(TMailStore& store) : store_(store) {}
    bool IsMailbox(const std::string& name) const override { return store_.Tree().IndexOf(name) >= 0; }
    void RunProgram(const std::string&) override {}
    void PlaySound(const std::string&) override {}
    void Print(const std::string&, const std::string&, const std::string&) override {}

private:
    TMailStore& store_;
};

std::string Read(const std::string& path) { return fileutil::ReadAll(path).value_or(std::string()); }

void Write(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// What a message is to the user, for comparing two imports.
struct TSeen {
    std::string subject, who, address, date, text;
    std::uint8_t flags = 0;
    std::vector<std::string> attachments;  // the files' bytes
    bool operator==(const TSeen&) const = default;
};

class MailboxTransfer : public ::testing::Test {
protected:
    MailboxTransfer()
        : data_(dir_.Path() + "data/"),
          attach_(dir_.Path() + "attach/"),
          config_((fs::create_directories(data_), fs::create_directories(attach_), data_ + "Internet.ini")),
          locked_(prompt_),
          store_(data_, config_, prompt_, pump_),
          actions_(store_) {
        fs::copy_file(kFixtures + "incoming/Internet.fmt", data_ + "Internet.fmt");
        store_.LoadTree();
    }

    std::unique_ptr<TMailboxImport> NewImport() {
        return std::make_unique<TMailboxImport>(store_, filters_, actions_, locked_, clock_, data_, attach_);
    }

    TImportSummary Import(const std::string& path, const std::string& into = "") {
        auto import = NewImport();
        std::string error;
        EXPECT_TRUE(import->Run(path, {into, false}, error)) << error;
        return import->Summary();
    }

    std::vector<int> Handles(const std::string& mailbox) {
        std::vector<int> handles;
        for (int h = 0; h < store_.Headers().Length(); ++h)
            if (const THeaderItem* item = store_.Headers().At(h); item && item->Mailbox.str() == mailbox)
                handles.push_back(h);
        return handles;
    }

    std::vector<TSeen> Seen(const std::string& mailbox) {
        std::vector<TSeen> seen;
        for (const int h : Handles(mailbox)) {
            const THeaderItem& r = *store_.Headers().At(h);
            TSeen s{r.Subject.str(), r.Who.str(), r.Address.str(), r.Date.str(),
                    TRecordBody(store_).Text(h).value_or("(unreadable)"), r.Flags, {}};
            for (std::size_t start = 0; start < r.Attachments.size();) {
                const auto end = r.Attachments.find('\x02', start);
                s.attachments.push_back(Read(r.Attachments.substr(start, end - start)));
                start = end + 1;
            }
            seen.push_back(std::move(s));
        }
        return seen;
    }

    std::string Children(const std::string& mailbox) {
        std::string out;
        const TMailboxTree& tree = store_.Tree();
        for (const int child : tree.Children(tree.IndexOf(mailbox)))
            out += (out.empty() ? "" : ",") + tree.At(child).name;
        return out;
    }

    TTempDir dir_;
    std::string data_, attach_;
    TIniFile config_;
    TRecordingPrompt prompt_;
    TLockedPrompt locked_;
    TSleepPump pump_;
    TFixedClock clock_;
    TMailStore store_;
    TActions actions_;
    std::vector<TListRow> filters_;
};

std::string AttachmentBytes() {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
    return bytes;
}

// An mbox of four real-shaped messages, with LF and with CR LF ends: a
// new mailbox named after the file, each message's date, sender, read or
// answered state, the escaped "From " lines given back, the attachment's
// bytes, the HTML alternative, the last line without its end. Imported
// again into the same mailbox, every message is known and skipped.
TEST_F(MailboxTransfer, MboxImportKeepsWhatTheSourceSaid) {
    const std::string lf = Read(kFixtures + "mail/archive.mbox");
    for (const std::string& variant : {std::string("Archive"), std::string("Windows")}) {
        const std::string path = dir_.Path() + variant + ".mbox";
        Write(path, variant == "Archive" ? lf : WithCrLf(lf));
        const TImportSummary summary = Import(path);
        EXPECT_EQ(summary.mailbox, variant);
        EXPECT_EQ(summary.imported, 4u);
        EXPECT_EQ(summary.damaged, 0u) << summary.Text();
        const auto seen = Seen(variant);
        ASSERT_EQ(seen.size(), 4u);
        EXPECT_EQ(seen[0].subject, "Caf\xe9 plans");
        EXPECT_EQ(seen[0].who, "Alice Liddell");
        EXPECT_EQ(seen[0].flags, mfRead);
        EXPECT_NE(seen[0].text.find("Shall we meet at the caf\xc3\xa9?\nFrom here it is ten minutes.\n"
                                    ">From the top, as they say."),
                  std::string::npos)
            << seen[0].text;
        EXPECT_EQ(seen[1].subject, "Re: the report");
        EXPECT_EQ(seen[1].flags, mfReply | mfAttach);
        ASSERT_EQ(seen[1].attachments.size(), 1u);
        EXPECT_EQ(seen[1].attachments[0], AttachmentBytes());
        EXPECT_EQ(seen[2].flags, mfNew);
        EXPECT_NE(seen[2].text.find("News in bold words."), std::string::npos) << seen[2].text;
        EXPECT_EQ(seen[3].flags, mfRead);  // no status at all: old mail, read
        EXPECT_NE(seen[3].text.find("The file ends right after this"), std::string::npos);
        const auto date = [](int day, int hour, int minute) {
            std::tm tm{};
            tm.tm_year = 126, tm.tm_mon = day > 30 ? 11 : 10, tm.tm_mday = day > 30 ? day - 30 : day;
            tm.tm_hour = hour, tm.tm_min = minute;
            const std::time_t utc = timegm(&tm);
            std::tm local{};
            localtime_r(&utc, &local);
            char buf[32];
            std::strftime(buf, sizeof buf, "%m/%d/%y %I:%M %p", &local);
            return std::string(buf);
        };
        EXPECT_EQ(seen[0].date, date(30, 9, 15));
        EXPECT_EQ(seen[3].date, date(32, 7, 0));
    }
    const TImportSummary again = Import(dir_.Path() + "Archive.mbox", "Archive");
    EXPECT_EQ(again.imported, 0u);
    EXPECT_EQ(again.duplicates, 4u);
    EXPECT_EQ(Handles("Archive").size(), 4u);
    EXPECT_TRUE(prompt_.Errors().empty());
}

// mboxcl2 keeps "From " lines unescaped and is read by its Content-Length;
// a file cut short is imported as far as it goes and named in the summary,
// as is a multipart whose end is missing.
TEST_F(MailboxTransfer, ContentLengthAndTruncatedMbox) {
    const std::string body = "Line one\n\nFrom the body, not a separator.\n";
    std::string mbox = "From x@example.org Mon Nov 30 09:15:00 2026\nFrom: x@example.org\nSubject: counted\n"
                       "Content-Length: " +
                       std::to_string(body.size()) + "\n\n" + body + "\n";
    mbox += "From y@example.org Mon Nov 30 09:16:00 2026\nFrom: y@example.org\nSubject: parts\n"
            "Content-Type: multipart/mixed; boundary=\"zz\"\n\n--zz\nContent-Type: text/plain\n\nfirst part\n\n";
    mbox += "From z@example.org Mon Nov 30 09:17:00 2026\nFrom: z@example.org\nSubject: cut\n"
            "Content-Length: 5000\n\nonly the start of it";
    Write(dir_.Path() + "cut.mbox", mbox);
    const TImportSummary summary = Import(dir_.Path() + "cut.mbox");
    EXPECT_EQ(summary.imported, 3u);
    EXPECT_EQ(summary.damaged, 2u);
    ASSERT_EQ(summary.reasons.size(), 2u);
    EXPECT_EQ(summary.reasons[0], "cut.mbox, message 2: cut short: its last MIME part never ends");
    EXPECT_NE(summary.reasons[1].find("cut.mbox, message 3: cut short"), std::string::npos);
    EXPECT_NE(summary.Text().find("2 messages were damaged"), std::string::npos);
    const auto seen = Seen("cut");
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_NE(seen[0].text.find("From the body, not a separator."), std::string::npos);
    EXPECT_NE(seen[1].text.find("first part"), std::string::npos);
    EXPECT_NE(seen[2].text.find("only the start of it"), std::string::npos);
}

// Another program's folders: mbox files with their ".sbd" sub-folders, a
// Maildir with Maildir++ sub-folders and flags, loose .eml files; index and
// summary files passed over without a word, the tree mirrored under a new
// mailbox named after the folder.
TEST_F(MailboxTransfer, TreeOfMboxMaildirAndEml) {
    const std::string root = dir_.Path() + "Profile/";
    const auto message = [](const std::string& subject, const std::string& extra = "") {
        return "From: Eve <eve@example.org>\nSubject: " + subject + "\nDate: Tue, 01 Dec 2026 12:00:00 +0000\n" +
               extra + "\n" + subject + " body\n";
    };
    Write(root + "Inbox", "From eve Tue Dec  1 12:00:00 2026\n" + message("inbox one", "Status: RO\n"));
    Write(root + "Inbox.msf", "// <!-- <mdb:mork:z v=\"1.4\"/> -->");
    Write(root + "Inbox.sbd/Work", "From eve Tue Dec  1 12:00:00 2026\n" + message("work one", "Status: O\n"));
    Write(root + "Trash", "");
    Write(root + "Mail/cur/1700000000.1.host:2,RS", message("replied maildir"));
    Write(root + "Mail/cur/1700000000.2.host:2,S", message("seen maildir"));
    Write(root + "Mail/new/1700000000.3.host", message("new maildir"));
    Write(root + "Mail/dovecot.index.log", "binary");
    Write(root + "Mail/dovecot-uidlist", "3 V1 N4");
    Write(root + "Mail/.Sent/cur/1700000000.4.host:2,S", message("sent maildir"));
    Write(root + "Saved/one.eml", WithCrLf(message("saved one")));
    Write(root + "Saved/two.eml", message("saved two"));
    Write(root + "notes.txt", "a shopping list, no mail");

    const TImportSummary summary = Import(root);
    EXPECT_EQ(summary.mailbox, "Profile");
    EXPECT_EQ(summary.imported, 8u);
    EXPECT_EQ(summary.skipped, std::vector<std::string>{root + "notes.txt"});
    EXPECT_EQ(Children("Profile"), "Inbox,Mail,Saved,Trash");
    EXPECT_EQ(Children("Inbox"), "Work");
    EXPECT_EQ(Children("Mail"), "Sent");
    const auto flagsOf = [&](const std::string& box) {
        std::map<std::string, int> flags;
        for (const auto& s : Seen(box)) flags[s.subject] = s.flags;
        return flags;
    };
    EXPECT_EQ(flagsOf("Inbox"), (std::map<std::string, int>{{"inbox one", mfRead}}));
    EXPECT_EQ(flagsOf("Work"), (std::map<std::string, int>{{"work one", mfNew}}));
    EXPECT_EQ(flagsOf("Mail"), (std::map<std::string, int>{
                                   {"new maildir", mfNew}, {"replied maildir", mfReply}, {"seen maildir", mfRead}}));
    EXPECT_EQ(flagsOf("Sent"), (std::map<std::string, int>{{"sent maildir", mfRead}}));
    EXPECT_EQ(Seen("Saved").size(), 2u);
    EXPECT_TRUE(Seen("Trash").empty());
    // A single .eml goes into the mailbox it is given.
    Write(dir_.Path() + "single.eml", message("on its own"));
    EXPECT_EQ(Import(dir_.Path() + "single.eml", "In Box").imported, 1u);
    EXPECT_EQ(Seen("In Box").at(0).subject, "on its own");
}

// Import, export as mbox and as .eml, import the export: the same subjects,
// senders, dates, states, text and attachment bytes. Python's mailbox and
// email modules read what the export wrote.
TEST_F(MailboxTransfer, RoundTripThroughExportReadByPython) {
    Write(dir_.Path() + "Archive.mbox", Read(kFixtures + "mail/archive.mbox"));
    ASSERT_EQ(Import(dir_.Path() + "Archive.mbox").imported, 4u);
    const std::string mbox = dir_.Path() + "out/export.mbox";
    const std::string emls = dir_.Path() + "out/eml";
    fs::create_directories(dir_.Path() + "out");
    for (const auto& [path, format] : {std::pair{mbox, TMailboxExport::TFormat::Mbox},
                                       std::pair{emls, TMailboxExport::TFormat::Eml}}) {
        TMailboxExport exporter(store_, "Me <me@example.org>");
        std::string error;
        ASSERT_TRUE(exporter.Run("Archive", path, format, error)) << error;
        EXPECT_EQ(exporter.Summary().exported, 4u);
        EXPECT_EQ(exporter.Summary().damaged, 0u);
    }
    EXPECT_FALSE(fs::exists(mbox + ".part"));
    EXPECT_EQ(std::distance(fs::directory_iterator(emls), fs::directory_iterator()), 4);

    const std::string script = dir_.Path() + "read.py";
    Write(script,
          "import mailbox, email, email.policy, hashlib, sys, os\n"
          "def show(m):\n"
          "    parts = [p for p in m.walk() if p.get_filename()]\n"
          "    body = m.get_body(('plain',)).get_content().splitlines()[0]\n"
          "    print('|'.join([str(m['subject']), m['from'].addresses[0].addr_spec, str(int(m['date'].datetime.timestamp())),\n"
          "        body] + [p.get_filename() + ':' + hashlib.md5(p.get_payload(decode=True)).hexdigest() for p in "
          "parts]))\n"
          "for raw in mailbox.mbox(sys.argv[1]):\n"
          "    show(email.message_from_bytes(raw.as_bytes(), policy=email.policy.default))\n"
          "for name in sorted(os.listdir(sys.argv[2])):\n"
          "    show(email.message_from_bytes(open(os.path.join(sys.argv[2], name), 'rb').read(), "
          "policy=email.policy.default))\n");
    const std::string out = dir_.Path() + "python.txt";
    ASSERT_EQ(std::system(("python3 '" + script + "' '" + mbox + "' '" + emls + "' > '" + out + "'").c_str()), 0);
    const std::string md5 = "e2c865db4162bed963bfaa9ef6ac18f0";  // the 256 bytes 0..255
    const std::string printed = Read(out);
    // Dates travel as the store keeps them, to the minute in local time.
    std::istringstream lines(printed);
    std::string line;
    std::vector<std::string> got;
    while (std::getline(lines, line)) got.push_back(line);
    ASSERT_EQ(got.size(), 8u) << printed;
    EXPECT_EQ(got[0], "Caf\xc3\xa9 plans|alice@example.org|1796030100|Shall we meet at the caf\xc3\xa9?");
    EXPECT_NE(got[1].find("figures.bin:" + md5), std::string::npos) << got[1];
    EXPECT_NE(got[2].find("|News in bold words."), std::string::npos) << got[2];
    EXPECT_NE(got[3].find("|The file ends right after this"), std::string::npos) << got[3];
    for (int i = 0; i < 4; ++i) EXPECT_EQ(got[i], got[i + 4]);  // mbox and .eml alike

    const auto before = Seen("Archive");
    EXPECT_EQ(Import(mbox, "").imported, 4u);
    EXPECT_EQ(Seen("export"), before);
    EXPECT_EQ(Import(emls, "").imported, 4u);
    EXPECT_EQ(Seen("eml"), before);
}

// Cancel between steps: what was stored stays whole, on disk too, and the
// rest is not imported.
TEST_F(MailboxTransfer, CancelLeavesAConsistentStore) {
    std::string mbox;
    for (int i = 0; i < 300; ++i)
        mbox += "From a@example.org Mon Nov 30 09:15:00 2026\nFrom: a@example.org\nSubject: number " +
                std::to_string(i) + "\nMessage-ID: <" + std::to_string(i) + "@example.org>\n\n" +
                std::string(2000, 'x') + "\n\n";
    Write(dir_.Path() + "Big.mbox", mbox);
    auto import = NewImport();
    std::string error;
    ASSERT_TRUE(import->Begin(dir_.Path() + "Big.mbox", {}, error)) << error;
    while (import->Progress().messages < 40) ASSERT_TRUE(import->Step(std::chrono::milliseconds(0)));
    import->Cancel();
    EXPECT_FALSE(import->Step(std::chrono::milliseconds(1000)));
    const TImportSummary& summary = import->Summary();
    EXPECT_TRUE(summary.cancelled);
    EXPECT_GE(summary.imported, 40u);
    EXPECT_LT(summary.imported, 300u);
    EXPECT_EQ(Handles("Big").size(), summary.imported);
    EXPECT_GT(import->Progress().bytes, 0u);
    EXPECT_LT(import->Progress().bytes, import->Progress().totalBytes);

    // A second run over the same folders sees the same messages, bodies and all.
    TIniFile config(data_ + "Internet.ini");
    TMailStore reloaded(data_, config, prompt_, pump_);
    reloaded.LoadTree();
    int count = 0;
    for (int h = 0; h < reloaded.Headers().Length(); ++h) {
        const THeaderItem* item = reloaded.Headers().At(h);
        if (!item || item->Mailbox.str() != "Big") continue;
        EXPECT_EQ(item->Subject.str(), "number " + std::to_string(count));
        EXPECT_NE(TRecordBody(reloaded).Text(h).value_or("").find("xxxx"), std::string::npos);
        ++count;
    }
    EXPECT_EQ(static_cast<std::size_t>(count), summary.imported);
    EXPECT_TRUE(prompt_.Errors().empty());
}

}  // namespace

// A user's way with skfp-tool: an mbox another client wrote (a
// Latin-1 subject, a UTF-8 one, an attachment, an escaped "From " line)
// imported into the In Box, exported again, and the export imported into
// a second data folder: the same list, the same text, the same attachment.
TEST(MailboxTool, ImportExportAndImportAgainKeepTheMessages) {
    TTempDir dir;
    const auto run = [&](const std::string& store, std::vector<std::string> args) {
        args.insert(args.begin(), {"--data", dir.Path() + store + "/Data/", "--attach", dir.Path() + store + "/Attach/"});
        return RunTool(args);
    };
    const std::string mbox = dir.Path() + "old.mbox";
    Write(mbox,
          "From jane@example.com Mon Mar  3 09:00:00 2025\n"
          "From: Jane <jane@example.com>\nTo: ann@example.com\n"
          "Subject: =?iso-8859-1?Q?Caf=E9_plans?=\nDate: Mon, 03 Mar 2025 09:00:00 +0000\nStatus: RO\n"
          "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=\"b1\"\n\n"
          "--b1\nContent-Type: text/plain; charset=utf-8\n\n>From the start of the line.\nSee the list.\n"
          "--b1\nContent-Type: text/plain; name=\"list.txt\"\nContent-Disposition: attachment; filename=\"list.txt\"\n"
          "Content-Transfer-Encoding: base64\n\nYnJlYWQKbWlsawo=\n--b1--\n\n"
          "From taro@example.jp Tue Dec  2 00:15:00 2025\n"
          "From: Taro <taro@example.jp>\nTo: ann@example.com\nSubject: =?utf-8?B?5Lya6K2w?=\n"
          "Date: Tue, 02 Dec 2025 09:15:00 +0900\nStatus: O\n\nAgenda attached later.\n");
    for (const char* store : {"a", "b"}) ASSERT_EQ(run(store, {"fmt"}).exitCode, 0);

    const auto imported = run("a", {"import", mbox, "--into", "In Box"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.out, "2 messages imported into In Box.\n");
    const auto listA = run("a", {"list", "In Box"});
    EXPECT_NE(listA.out.find("\tCaf\xC3\xA9 plans"), std::string::npos) << listA.out;
    EXPECT_NE(listA.out.find("\xE4\xBC\x9A\xE8\xAD\xB0"), std::string::npos) << listA.out;
    EXPECT_EQ(Read(dir.Path() + "a/Attach/list.txt"), "bread\nmilk\n");

    const std::string out = dir.Path() + "out.mbox";
    ASSERT_EQ(run("a", {"export", "In Box", out}).exitCode, 0);
    ASSERT_EQ(run("b", {"import", out, "--into", "In Box"}).exitCode, 0);
    const auto listB = run("b", {"list", "In Box"});
    EXPECT_EQ(listB.out, listA.out);
    EXPECT_EQ(Read(dir.Path() + "b/Attach/list.txt"), "bread\nmilk\n");
    for (const char* store : {"a", "b"}) {
        const std::string bodies = run(store, {"show", "0"}).out + run(store, {"show", "1"}).out;
        EXPECT_NE(bodies.find("\nFrom the start of the line."), std::string::npos) << store << ": " << bodies;
        EXPECT_EQ(bodies.find(">From"), std::string::npos) << store << ": " << bodies;
        EXPECT_NE(bodies.find("Agenda attached later."), std::string::npos) << store << ": " << bodies;
    }

    // Importing the same file again adds nothing; a missing file is an error.
    const auto again = run("a", {"import", mbox, "--into", "In Box"});
    EXPECT_EQ(run("a", {"list", "In Box"}).out, listA.out) << again.out;
    const auto missing = run("a", {"import", dir.Path() + "nowhere.mbox"});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_FALSE(missing.err.empty());
}
