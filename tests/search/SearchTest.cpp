#include <gtest/gtest.h>

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "common/FileUtil.h"
#include "mail/MessageDestroyer.h"
#include "mail/MessageMover.h"
#include "search/MailSearch.h"
#include "search/SearchIndex.h"
#include "search/SearchQuery.h"
#include "store/MailboxOperations.h"
#include "store/StoreFixture.h"
#include "support/ToolRunner.h"

namespace {

std::string Rtf(const std::string& text) { return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0 " + text + "\\par}"; }

class SearchFixture : public StoreFixture {
protected:
    std::unique_ptr<TMailSearch> search;

    void SetUp() override { Reopen(true); }
    void TearDown() override { search.reset(); }

    // A new run of the client on the same files: store, then index.
    void Restart() {
        search.reset();
        Reopen(true);
        StartSearch();
    }
    void StartSearch() {
        search = std::make_unique<TMailSearch>(*store);
        ASSERT_TRUE(search->Start());
        search->Finish();
    }

    int AddMessage(const std::string& mailbox, const std::string& subject, const std::string& body,
                   std::uint8_t flags, const std::string& date, const std::string& who = "",
                   const std::string& address = "", const std::string& cc = "", const std::string& attachments = "") {
        THeaderItem item = Record(mailbox, subject, flags);
        item.Date = date;
        item.Who = who;
        item.Address = address;
        item.CCList = cc;
        item.Attachments = attachments;
        item.MsgType = "RTF";
        return store->AddRecord(item, body);
    }

    std::vector<int> Find(const std::string& query) {
        search->Finish();
        return search->Find(TSearchQuery(query));
    }
    // The subjects the query finds, newest first.
    std::vector<std::string> Subjects(const std::string& query) {
        std::vector<std::string> out;
        for (const int h : Find(query)) out.push_back(store->Headers().At(h)->Subject.str());
        return out;
    }
    std::set<std::string> SubjectSet(const std::string& query) {
        const auto v = Subjects(query);
        return {v.begin(), v.end()};
    }
};

using S = std::set<std::string>;
using V = std::vector<std::string>;

}  // namespace

// Every operator of the query language over a small store of real-shaped
// records: received, replied, queued and sent mail, attachments, rich and
// plain bodies, accents, Chinese, Japanese and Korean text, a user mailbox
// whose name has a blank.
TEST_F(SearchFixture, EveryOperatorFindsWhatItSays) {
    TMailboxOperations ops(*store);
    ASSERT_TRUE(ops.CreateMailbox("Work Stuff", -1));
    AddMessage("In Box", "Quarterly budget", Rtf("The {\\b budget} review is on Friday.\\par Regards"), mfNew,
               "03/04/26 09:15 AM", "Alice Example", "Alice Example <alice@example.com>",
               "me@example.org, boss@example.org");
    AddMessage("In Box", "Caf\xE9 tonight", "Shall we meet at the caf\xE9 cr\xE8me at eight?\r\nJ\xFCrgen", mfRead,
               "05/07/25 02:15 PM", "J\xFCrgen M\xFCller", "juergen@example.at", "me@example.org");
    AddMessage("In Box", "Report attached", Rtf("Please find the report attached."), mfReply | mfAttach,
               "01/15/26 11:00 AM", "Bob", "bob@example.com", "me@example.org",
               "/home/me/Attach/report-2026.pdf\x02/home/me/Attach/photo.jpg\x02");
    AddMessage("Out Box", "Travel plans", Rtf("Flights to Tokyo: \\u26481?\\u20140?\\u-28419?\\u12398?"
                                              "\\u22825?\\u27671?\\u12399?\\u26228?\\u12428?"),
               mfQueued, "06/01/26 08:00 AM", "Carol", "carol@example.net", "dave@example.net");
    AddMessage("Sent Box", "Seoul notes", Rtf("\\uc1 \\u-10916?\\u-21139?\\u-14924? text and the budget"), mfSent,
               "02/20/26 04:30 PM", "Erin", "erin@example.kr");
    AddMessage("Work Stuff", "Draft numbers", "Draft of the quarterly numbers, budgetary matters.", mfRead,
               "12/31/99 11:59 PM", "Alice Example", "alice@example.com");
    StartSearch();

    // Words: all must occur, any order, any field; case and accents aside.
    EXPECT_EQ(Subjects("budget"), (V{"Quarterly budget", "Seoul notes"})) << "newest first";
    EXPECT_EQ(SubjectSet("budget*"), (S{"Seoul notes", "Quarterly budget", "Draft numbers"}));
    EXPECT_EQ(SubjectSet("FRIDAY regards"), (S{"Quarterly budget"}));
    EXPECT_EQ(SubjectSet("friday draft"), S{});
    EXPECT_EQ(SubjectSet("cafe CREME jurgen"), (S{"Caf\xE9 tonight"}));
    EXPECT_EQ(SubjectSet("Caf\xC3\xA9"), (S{"Caf\xE9 tonight"})) << "the query is UTF-8";
    // Phrases.
    EXPECT_EQ(SubjectSet("\"review is on friday\""), (S{"Quarterly budget"}));
    EXPECT_EQ(SubjectSet("\"friday is on review\""), S{});
    // Fields.
    EXPECT_EQ(SubjectSet("from:alice"), (S{"Quarterly budget", "Draft numbers"}));
    EXPECT_EQ(SubjectSet("from:alice@example.com"), (S{"Quarterly budget", "Draft numbers"}));
    EXPECT_EQ(SubjectSet("from:carol"), S{}) << "Carol is the recipient of an outgoing message";
    EXPECT_EQ(SubjectSet("to:carol"), (S{"Travel plans"}));
    EXPECT_EQ(SubjectSet("to:boss"), (S{"Quarterly budget"}));
    EXPECT_EQ(SubjectSet("cc:dave"), (S{"Travel plans"}));
    EXPECT_EQ(SubjectSet("subject:budget"), (S{"Quarterly budget"}));
    EXPECT_EQ(SubjectSet("body:budget"), (S{"Quarterly budget", "Seoul notes"}));
    EXPECT_EQ(SubjectSet("subject:\"quarterly budget\""), (S{"Quarterly budget"}));
    EXPECT_EQ(SubjectSet("attachment:report"), (S{"Report attached"}));
    EXPECT_EQ(SubjectSet("attachment:photo.jpg"), (S{"Report attached"}));
    EXPECT_EQ(SubjectSet("attachment:home"), S{}) << "only the file names";
    EXPECT_EQ(SubjectSet("has:attachment"), (S{"Report attached"}));
    // Mailboxes and status.
    EXPECT_EQ(SubjectSet("in:\"work stuff\""), (S{"Draft numbers"}));
    EXPECT_EQ(SubjectSet("budget* in:inbox"), S{});
    EXPECT_EQ(SubjectSet("budget* in:\"In Box\""), (S{"Quarterly budget"}));
    EXPECT_EQ(SubjectSet("is:unread"), (S{"Quarterly budget"}));
    EXPECT_EQ(SubjectSet("is:read"), (S{"Caf\xE9 tonight", "Report attached", "Draft numbers"}));
    EXPECT_EQ(SubjectSet("is:replied"), (S{"Report attached"}));
    EXPECT_EQ(SubjectSet("is:sent"), (S{"Seoul notes"}));
    EXPECT_EQ(SubjectSet("is:queued"), (S{"Travel plans"}));
    // Dates: before is before that day, after is that day or later.
    EXPECT_EQ(SubjectSet("before:2026-01-15"), (S{"Caf\xE9 tonight", "Draft numbers"}));
    EXPECT_EQ(SubjectSet("after:2026-01-15 before:2026-03-01"), (S{"Report attached", "Seoul notes"}));
    EXPECT_EQ(SubjectSet("before:2000-01-01"), (S{"Draft numbers"})) << "99 is 1999";
    // OR, not, groups.
    EXPECT_EQ(SubjectSet("tokyo OR seoul"), (S{"Travel plans", "Seoul notes"}));
    EXPECT_EQ(SubjectSet("budget -seoul"), (S{"Quarterly budget"}));
    EXPECT_EQ(SubjectSet("-is:read -is:unread -is:replied"), (S{"Travel plans", "Seoul notes"}));
    EXPECT_EQ(SubjectSet("(tokyo OR budget) -from:alice"), (S{"Travel plans", "Seoul notes"}));
    // Chinese, Japanese, Korean: any run of characters is found.
    EXPECT_EQ(SubjectSet("\xE4\xBA\xAC\xE9\x83\xBD"), (S{"Travel plans"})) << "京都 inside 東京都";
    EXPECT_EQ(SubjectSet("\xE5\xA4\xA9\xE6\xB0\x97"), (S{"Travel plans"})) << "天気";
    EXPECT_EQ(SubjectSet("\xE5\xA4\xA7\xE9\x98\xAA"), S{}) << "大阪";
    EXPECT_EQ(SubjectSet("\xED\x95\x9C\xEA\xB5\xAD"), (S{"Seoul notes"})) << "한국";

    // Nothing to look for, or a query that cannot mean anything.
    EXPECT_TRUE(TSearchQuery("  ").Empty());
    EXPECT_TRUE(TSearchQuery("\" - ( )").Empty());
    EXPECT_EQ(SubjectSet("!!!"), S{});
    EXPECT_EQ(TSearchQuery("before:2026-02-30").Problem(), "\"before:\" needs a date written yyyy-mm-dd.");
    EXPECT_FALSE(TSearchQuery("is:purple").Problem().empty());
    // The match language's own syntax in the user's text stays words.
    for (const char* hostile : {"NEAR(budget review)", "budget\" OR \"x", "subject:*", "{body}:budget", "a AND",
                                "' OR 1=1 --", "budget)) OR ((", "^budget"}) {
        EXPECT_NO_FATAL_FAILURE(Find(hostile)) << hostile;
        EXPECT_TRUE(TSearchQuery(hostile).Problem().empty()) << hostile;
    }
    EXPECT_EQ(SubjectSet("' OR 1=1 --"), S{});
}

// Random sequences of the store's operations, with restarts and with a
// writer killed at random moments: afterwards every message is found by a
// word of its body and of its subject, and no destroyed one by its word.
TEST_F(SearchFixture, TheIndexFollowsRandomStoreOperations) {
    std::mt19937 rng(2026);
    auto ops = std::make_unique<TMailboxOperations>(*store);
    ASSERT_TRUE(ops->CreateMailbox("Projects", -1));
    StartSearch();
    int serial = 0;
    std::map<int, std::string> word;  // handle -> the word of its body
    std::set<std::string> gone;
    const auto pick = [&](const std::vector<int>& v) { return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng)]; };
    const auto check = [&](int step) {
        for (const auto& [h, w] : word) {
            EXPECT_EQ(Find(w), std::vector<int>{h}) << w << " at step " << step;
            EXPECT_EQ(Find("subject:" + w), std::vector<int>{h}) << w << " at step " << step;
            const THeaderItem& r = *store->Headers().At(h);
            EXPECT_EQ(Find(w + " in:\"" + r.Mailbox.str() + "\""), std::vector<int>{h}) << w << " at step " << step;
            EXPECT_EQ(Find(w + " is:unread").size(), r.Has(mfNew) ? 1u : 0u) << w << " at step " << step;
        }
        for (const auto& w : gone) EXPECT_EQ(Find(w), std::vector<int>{}) << w << " at step " << step;
    };
    const char* const boxes[] = {"In Box", "Out Box", "Projects", "Trash Can"};
    std::string projects = "Projects";

    for (int step = 0; step < 240; ++step) {
        const int op = std::uniform_int_distribution<int>(0, 9)(rng);
        std::vector<int> all;
        for (const auto& [h, w] : word) all.push_back(h);
        if (op <= 2 || all.size() < 3) {
            const std::string w = "zq" + std::to_string(++serial) + "x";
            std::string box = boxes[std::uniform_int_distribution<int>(0, 3)(rng)];
            if (box == "Projects") box = projects;
            const std::string body = serial % 2 ? Rtf("about " + w + " today") : "plain " + w + " text";
            const int h = AddMessage(box, w, body, mfNew, "01/0" + std::to_string(1 + serial % 9) + "/26 10:00 AM");
            word[h] = w;
        } else if (op == 3) {
            const int h = pick(all);
            ASSERT_TRUE(store->ChangeRecord(h, [](THeaderItem& r) { r.Flags = mfRead; }));
        } else if (op == 4) {
            // New words for a message: its subject and its body.
            const int h = pick(all);
            gone.insert(word[h]);
            const std::string w = "zq" + std::to_string(++serial) + "x";
            ASSERT_TRUE(store->ChangeRecord(h, [&](THeaderItem& r) { r.Subject = w; }));
            ASSERT_TRUE(store->RewriteBody(h, Rtf("rewritten " + w)));
            word[h] = w;
        } else if (op == 5) {
            const int h = pick(all);
            std::string target = boxes[std::uniform_int_distribution<int>(0, 3)(rng)];
            if (target == "Projects") target = projects;
            if (store->Headers().At(h)->Mailbox != target) TMessageMover(*store).MoveToMailbox({h}, target);
        } else if (op == 6) {
            const int h = pick(all);
            ASSERT_EQ(TMessageDestroyer(*store).Destroy({h}), 1);
            gone.insert(word[h]);
            word.erase(h);
        } else if (op == 7) {
            const std::string next = projects == "Projects" ? "Plans" : "Projects";
            ASSERT_TRUE(ops->RenameMailbox(projects, next));
            projects = next;
        } else if (op == 8) {
            // A new run: the words are found again by what the file kept.
            search->Close();
            Restart();
            std::map<int, std::string> again;
            for (int h = 0; h < store->Headers().Length(); ++h)
                if (const THeaderItem* r = store->Headers().At(h)) again[h] = r->Subject.str();
            ASSERT_EQ(again.size(), word.size());
            word = again;
            ops = std::make_unique<TMailboxOperations>(*store);
        } else {
            // A crash: another process makes changes and is killed while its
            // writer works; this run starts on what it left.
            search.reset();
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                Reopen(true);
                TMailSearch crashing(*store);
                crashing.Start();
                for (int i = 0; i < 3; ++i) {
                    const int h = store->AddRecord(Record("In Box", "crash", mfNew), Rtf("crashword lost"));
                    store->ChangeRecord(h, [](THeaderItem& r) { r.Flags = mfRead; });
                    crashing.Step(std::chrono::milliseconds(5));
                }
                // Some records vanish, some bodies change behind the index.
                for (int h = 0; h < store->Headers().Length(); ++h)
                    if (const THeaderItem* r = store->Headers().At(h); r && r->Subject == "crash" && h % 2)
                        TMessageDestroyer(*store).Destroy({h});
                kill(getpid(), SIGKILL);
            }
            int status = 0;
            waitpid(child, &status, 0);
            ASSERT_TRUE(WIFSIGNALED(status));
            Restart();
            ops = std::make_unique<TMailboxOperations>(*store);
            word.clear();
            for (int h = 0; h < store->Headers().Length(); ++h) {
                const THeaderItem* r = store->Headers().At(h);
                if (!r) continue;
                if (r->Subject == "crash") {
                    TMessageDestroyer(*store).Destroy({h});  // none of ours: away with them
                    continue;
                }
                word[h] = r->Subject.str();
            }
            ASSERT_TRUE(store->SaveIndex("In Box"));
            gone.insert("crashword");
        }
        if (step % 20 == 19) check(step);
    }
    check(240);
}

// The index is a cache: deleted, damaged, or from another version, it is
// built again from the store and finds everything.
TEST_F(SearchFixture, AMissingOrDamagedIndexIsBuiltAgain) {
    for (int i = 0; i < 120; ++i)
        AddMessage("In Box", "note " + std::to_string(i), Rtf("word" + std::to_string(i) + " and filler text"),
                   mfRead, "02/03/26 10:00 AM");
    StartSearch();
    ASSERT_EQ(Find("word119").size(), 1u);
    const std::string file = dir.File(TMailSearch::kFileName);

    const auto expectWhole = [&](const char* what) {
        Restart();
        EXPECT_EQ(Subjects("word7"), (V{"note 7"})) << what;
        EXPECT_EQ(Find("filler").size(), 120u) << what;
    };
    search.reset();
    std::filesystem::remove(file);
    expectWhole("deleted");

    search.reset();
    WriteFileOrDie(file, std::string(8192, 'x'));
    std::filesystem::remove(file + "-wal");
    expectWhole("garbage");

    search.reset();
    {
        // An older version's file.
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, "UPDATE meta SET value=0 WHERE key='version'", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    expectWhole("older version");

    search.reset();
    const auto size = std::filesystem::file_size(file);
    std::filesystem::resize_file(file, size / 3);
    std::filesystem::remove(file + "-wal");
    expectWhole("truncated");
}

// skfp-tool search: the lines, the order, the exit codes; the index is
// built on the first search and follows the tool's own changes after.
TEST(SearchTool, PrintsHitsNewestFirstAndSaysWhenNothingIsFound) {
    TTempDir dir;
    const std::string data = dir.Path() + "Data/";
    std::filesystem::create_directories(data);
    const auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--data", data, "--attach", dir.Path() + "Attach/"});
        return RunTool(args);
    };
    for (const char* name : {"plain.tsg", "rtf.tsg", "mixed.tsg"})
        std::filesystem::copy_file(std::string(SKFP_TEST_DATA) + "/incoming/" + name, data + name);
    ASSERT_EQ(run({"process"}).exitCode, 0);
    const auto all = run({"search", "-nothingatall"});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    std::vector<std::string> lines;
    std::istringstream in(all.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u) << all.out;
    for (const auto& line : lines) EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 4) << line;

    const auto none = run({"search", "xylophonequartet"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(run({"search", "after:2026-13-01"}).exitCode, 2);

    // The first hit, moved by the tool, is found in its new mailbox.
    const std::string handle = lines[0].substr(0, lines[0].find('\t'));
    ASSERT_EQ(run({"move", handle, "Trash Can"}).exitCode, 0);
    const auto trash = run({"search", "in:\"trash can\""});
    EXPECT_EQ(trash.exitCode, 0);
    // Handles are those of one run: the message is known by its subject.
    const auto subject = [](const std::string& line) { return line.substr(line.rfind('\t')); };
    ASSERT_EQ(std::count(trash.out.begin(), trash.out.end(), '\n'), 1) << trash.out;
    EXPECT_NE(trash.out.find("\tTrash Can\t"), std::string::npos) << trash.out;
    EXPECT_EQ(subject(trash.out.substr(0, trash.out.size() - 1)), subject(lines[0]));
}
