#include <map>
#include <set>
#include <tuple>

#include "StoreFixture.h"
#include "common/FileUtil.h"
#include "mail/MessageDestroyer.h"
#include "mail/MessageMover.h"
#include "store/MailboxOperations.h"

namespace {

// What a search index would keep of each record, learnt from the events
// alone; it never reads the store except through the event's record.
struct TMirror : IStoreObserver {
    struct TEntry {
        std::string mailbox, subject;
        std::uint8_t flags = 0;
        bool operator==(const TEntry&) const = default;
    };
    std::map<int, TEntry> records;
    std::vector<TStoreEvent> events;
    std::set<std::string> mailboxes{"Trash Can", "In Box", "Out Box", "Sent Box"};
    int done = 0;
    const TMailStore* store = nullptr;

    void StoreChanged(const TStoreEvent& e) override {
        events.push_back(e);
        switch (e.change) {
            case TStoreChange::RecordAdded:
            case TStoreChange::RecordChanged:
            case TStoreChange::RecordMoved:
            case TStoreChange::BodyRewritten:
                ASSERT_NE(e.record, nullptr);
                // The store is already in the state the event describes.
                EXPECT_EQ(store->Headers().At(e.handle), e.record);
                EXPECT_EQ(e.record->Mailbox, e.mailbox);
                records[e.handle] = {e.mailbox, e.record->Subject.str(), e.record->Flags};
                break;
            case TStoreChange::RecordRemoved:
                ASSERT_NE(e.record, nullptr);
                EXPECT_EQ(store->Headers().At(e.handle), nullptr);
                EXPECT_EQ(records.at(e.handle).subject, e.record->Subject.str());
                records.erase(e.handle);
                break;
            case TStoreChange::MailboxLoaded:
                for (int h = 0; h < store->Headers().Length(); ++h)
                    if (const THeaderItem* r = store->Headers().At(h); r && r->Mailbox == e.mailbox)
                        records[h] = {e.mailbox, r->Subject.str(), r->Flags};
                break;
            case TStoreChange::MailboxCreated:
                mailboxes.insert(e.mailbox);
                break;
            case TStoreChange::MailboxRenamed:
                mailboxes.erase(e.from);
                mailboxes.insert(e.mailbox);
                for (auto& [h, entry] : records)
                    if (entry.mailbox == e.from) entry.mailbox = e.mailbox;
                break;
            case TStoreChange::MailboxDeleted:
                mailboxes.erase(e.mailbox);
                for (const auto& [h, entry] : records) EXPECT_NE(entry.mailbox, e.mailbox) << "record left behind";
                break;
            case TStoreChange::MailboxCompacted:
                break;
        }
    }
    void ChangesDone() override { ++done; }

    std::vector<TStoreChange> Changes() const {
        std::vector<TStoreChange> out;
        for (const auto& e : events) out.push_back(e.change);
        return out;
    }
    void Clear() {
        events.clear();
        done = 0;
    }
};

class StoreEvents : public StoreFixture {
protected:
    void SetUp() override {
        Reopen(true);
        mirror.store = store.get();
        store->AddObserver(&mirror);
        tipCalls = 0;
        store->Tip().AddListener([this](const std::string& t, const std::string&) {
            ++tipCalls;
            tip = t;
        });
    }
    void TearDown() override { store->RemoveObserver(&mirror); }

    // What the store holds, in the mirror's terms.
    std::map<int, TMirror::TEntry> Snapshot() const {
        std::map<int, TMirror::TEntry> out;
        for (int h = 0; h < store->Headers().Length(); ++h)
            if (const THeaderItem* r = store->Headers().At(h)) out[h] = {r->Mailbox.str(), r->Subject.str(), r->Flags};
        return out;
    }
    std::vector<std::string> RowSubjects() {
        std::vector<std::string> out;
        for (int i = 0; i < store->Rows().Count(); ++i) out.push_back(store->Rows().At(i).cells.caption);
        return out;
    }
    bool Bold(const std::string& name) { return store->Tree().At(store->Tree().IndexOf(name)).bold; }

    TMirror mirror;
    int tipCalls = 0;
    std::string tip;
};

}  // namespace

// Every operation that changes the store, the window's and the tool's alike,
// as one user's session would use them: the mirror built from the events
// alone ends equal to the store, and so do the rows, marks and tip.
TEST_F(StoreEvents, AListenerFollowsEveryChangeFromTheEventsAlone) {
    TMailboxOperations ops(*store);
    store->ShowMailbox("In Box");

    // Mail arrives in a batch; the viewed mailbox gains rows at the top.
    std::vector<TNewRecord> batch{{Record("In Box", "first", mfNew), "body one"},
                                  {Record("In Box", "second", mfNew), "body two"},
                                  {Record("Out Box", "queued", mfQueued), "body three"}};
    std::vector<int> handles;
    {
        TBodyAppend written = store->AddRecords(batch, handles);
        EXPECT_EQ(written.Settle(), (std::vector<bool>{true, true, true}));
    }
    EXPECT_EQ(handles.size(), 3u);
    EXPECT_EQ(mirror.Changes(), std::vector<TStoreChange>(3, TStoreChange::RecordAdded));
    EXPECT_EQ(mirror.done, 1) << "one batch, one end";
    EXPECT_EQ(RowSubjects(), (std::vector<std::string>{"second", "first"}));
    EXPECT_TRUE(Bold("In Box"));
    EXPECT_EQ(store->Tip().Count(), 2);
    EXPECT_EQ(tipCalls, 1);
    EXPECT_EQ(tip, "You have 2 new messages.");

    // A composed message, its fields edited and its body saved.
    mirror.Clear();
    const int draft = store->AddRecord(Record("Out Box", "draft", mfQueued), std::string("{\\rtf1 hello}"));
    EXPECT_TRUE(store->ChangeRecord(draft, [](THeaderItem& r) {
        r.Subject = "draft, retitled";
        r.CCList = "cc@example.org";
        r.Mailbox = "In Box";  // not how a record moves: kept where it is
        r.Offset = 0;
    }));
    EXPECT_EQ(store->Headers().At(draft)->Mailbox, "Out Box");
    EXPECT_TRUE(store->ChangeRecord(draft, [](THeaderItem&) {}));  // nothing changed: nothing told
    EXPECT_TRUE(store->RewriteBody(draft, "{\\rtf1 a longer body than the one before, so it moves}"));
    ASSERT_EQ(mirror.Changes(), (std::vector<TStoreChange>{TStoreChange::RecordAdded, TStoreChange::RecordChanged,
                                                           TStoreChange::BodyRewritten}));
    EXPECT_EQ(mirror.events[1].fields, unsigned(rfSubject | rfCCList));
    EXPECT_EQ(Body(*store->Headers().At(draft)), "{\\rtf1 a longer body than the one before, so it moves}");

    // Reading the first message: the count and tip follow, the mark stays
    // while another new message is left.
    mirror.Clear();
    tipCalls = 0;
    EXPECT_TRUE(store->ChangeRecord(handles[0], [](THeaderItem& r) { r.Flags = mfRead; }));
    EXPECT_EQ(mirror.events.at(0).flagsBefore, mfNew);
    EXPECT_EQ(store->Tip().Count(), 1);
    EXPECT_EQ(tip, "You have one new message.");
    EXPECT_TRUE(Bold("In Box"));

    // A user mailbox; the unread message moves there, the row goes, the
    // marks follow the unread message.
    const auto work = ops.CreateMailbox("Work", -1);
    ASSERT_TRUE(work);
    mirror.Clear();
    const auto report = TMessageMover(*store).MoveToMailbox({handles[1]}, "Work");
    EXPECT_EQ(report.moved, 1);
    EXPECT_EQ(mirror.Changes(), (std::vector<TStoreChange>{TStoreChange::RecordMoved, TStoreChange::MailboxCompacted}));
    EXPECT_EQ(mirror.events[0].from, "In Box");
    EXPECT_EQ(RowSubjects(), (std::vector<std::string>{"first"}));
    EXPECT_FALSE(Bold("In Box"));
    EXPECT_TRUE(Bold("Work"));

    // Renamed, then to the trash, destroyed from there, and the emptied
    // mailbox deleted.
    ASSERT_TRUE(ops.RenameMailbox("Work", "Projects"));
    EXPECT_EQ(mirror.events.back().change, TStoreChange::MailboxRenamed);
    EXPECT_EQ(TMessageMover(*store).MoveToTrash({handles[1], handles[0]}).moved, 2);
    EXPECT_TRUE(RowSubjects().empty());
    EXPECT_EQ(TMessageDestroyer(*store).EmptyTrash(), 2);
    EXPECT_EQ(store->Tip().Count(), 0);
    EXPECT_EQ(tip, "You have no new mail.");
    EXPECT_FALSE(Bold("Projects"));

    // A mailbox deleted with a record in it takes the record along.
    const int kept = store->AddRecord(Record("Projects", "kept", mfRead), std::string("x"));
    mirror.Clear();
    prompt.QueueAnswer(TPromptAnswer::Yes);
    ASSERT_TRUE(ops.DeleteMailbox("Projects"));
    EXPECT_EQ(mirror.Changes(), (std::vector<TStoreChange>{TStoreChange::RecordRemoved, TStoreChange::MailboxDeleted}));
    EXPECT_EQ(mirror.events[0].handle, kept);

    EXPECT_EQ(mirror.records, Snapshot());
    const std::vector<std::string> names = store->Tree().Names();
    EXPECT_EQ(mirror.mailboxes, std::set<std::string>(names.begin(), names.end()));
    EXPECT_TRUE(FlagsFree());
    EXPECT_TRUE(prompt.Errors().empty()) << prompt.Errors().front();

    // The next start reads the same store back, and says so per mailbox.
    TMirror next;
    Reopen(false);
    next.store = store.get();
    store->AddObserver(&next);
    store->LoadTree();
    const std::vector<TStoreChange> loads = next.Changes();
    EXPECT_EQ(std::count(loads.begin(), loads.end(), TStoreChange::MailboxLoaded), 4);
    std::map<std::tuple<std::string, std::string>, int> before, after;
    for (const auto& [h, e] : mirror.records) ++before[{e.mailbox, e.subject}];
    for (const auto& [h, e] : next.records) ++after[{e.mailbox, e.subject}];
    EXPECT_EQ(before, after);
    store->RemoveObserver(&next);
}

// The operations that leave a record where it is say so, and tell nothing.
TEST_F(StoreEvents, AChangeThatDidNotHappenIsNotAnnounced) {
    const THeaderItem& bodiless = Add("In Box", "no body");
    const int handle = HandleOf(bodiless);
    mirror.Clear();
    EXPECT_EQ(store->MoveRecord(handle, "Sent Box"), TMoveResult::Unreadable);
    EXPECT_EQ(store->MoveRecord(handle, "In Box"), TMoveResult::Moved);  // already there
    EXPECT_FALSE(store->ChangeRecord(9999, [](THeaderItem& r) { r.Subject = "x"; }));
    EXPECT_FALSE(store->DestroyRecord(9999));
    EXPECT_TRUE(store->DestroyRecord(handle));
    EXPECT_FALSE(store->DestroyRecord(handle));  // an emptied slot stays empty
    EXPECT_EQ(mirror.Changes(), (std::vector<TStoreChange>{TStoreChange::RecordRemoved}));
    EXPECT_EQ(store->Headers().Length(), 1) << "handles are never reused";
}

// A listener may remove itself while it is told, as a closing window does.
TEST_F(StoreEvents, AListenerThatLeavesWhileToldIsNotToldAgain) {
    struct TLeaver : IStoreObserver {
        TMailStore* store = nullptr;
        int told = 0;
        void StoreChanged(const TStoreEvent&) override {
            ++told;
            store->RemoveObserver(this);
        }
    } leaver;
    leaver.store = store.get();
    store->AddObserver(&leaver);
    AddWithBody("In Box", "one", "1");
    AddWithBody("In Box", "two", "2");
    EXPECT_EQ(leaver.told, 1);
    EXPECT_EQ(mirror.events.size(), 2u);
}
