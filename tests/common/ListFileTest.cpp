#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "common/BusyFlag.h"
#include "common/ListFile.h"
#include "common/SleepPump.h"
#include "support/TempDir.h"

TEST(ListFile, ParsesFieldsAndSkipsEmptyLines) {
    const auto rows =
        listfile::Parse("Work\x01pop.example\x01smtp.example\x01\r\n\r\nSolo\x01\r\n\x01\x01x\x01\r\ntail\x01rest");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].caption, "Work");
    EXPECT_EQ(rows[0].subItems, (std::vector<std::string>{"pop.example", "smtp.example"}));
    EXPECT_EQ(rows[1].caption, "Solo");
    EXPECT_TRUE(rows[1].subItems.empty());
    EXPECT_EQ(rows[1].SubItem(5), "");  // missing trailing fields read empty
    EXPECT_EQ(rows[2].caption, "");
    EXPECT_EQ(rows[2].subItems, (std::vector<std::string>{"", "x"}));
    // A last line without its 0x01 and line end still gives its text.
    EXPECT_EQ(rows[3].SubItem(0), "rest");
}

TEST(ListFile, FormatsEveryFieldWithItsEndByte) {
    std::vector<TListRow> rows{{"Default Signature", {""}}, {"Sig", {listfile::JoinLines({"a", "b", "c"})}}};
    const std::string text = listfile::Format(rows);
    EXPECT_EQ(text,
              "Default Signature\x01\x01\r\nSig\x01"
              "a\x02"
              "b\x02"
              "c\x01\r\n");
    EXPECT_EQ(listfile::Parse(text)[1].SubItem(0),
              "a\x02"
              "b\x02"
              "c");
}

TEST(ListFile, LineJoiningRoundTrips) {
    EXPECT_EQ(listfile::JoinLines({}), "");
    EXPECT_EQ(listfile::JoinLines({"one"}), "one");
    EXPECT_EQ(listfile::SplitLines("a\x02\x02"
                                   "b"),
              (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(listfile::SplitLines("").empty());
}

TEST(ListFile, WriterWaitsForTheListFillFlag) {
    TTempDir dir;
    TBusyFlags flags;
    TSleepPump pump;
    const std::string path = dir.File("Internet.flt");
    ASSERT_TRUE(flags.listFill.TryTake());
    std::atomic<bool> written{false};
    std::thread writer([&] {
        TSleepPump own;  // a pump of the writer's thread
        written = listfile::Write(path, {{"F", {"1"}}}, flags.listFill, own);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(written.load());
    EXPECT_EQ(ReadFileOrEmpty(path), "");
    flags.listFill.Release();
    writer.join();
    EXPECT_TRUE(written.load());
    EXPECT_FALSE(flags.listFill.IsHeld());  // released after writing
    EXPECT_EQ(ReadFileOrEmpty(path),
              "F\x01"
              "1\x01\r\n");
}

TEST(ListFile, FailedWriteLeavesTheOldFile) {
    TTempDir dir;
    TBusyFlags flags;
    TSleepPump pump;
    EXPECT_FALSE(listfile::Write(dir.File("missing/Internet.pab"), {{"x", {}}}, flags.listFill, pump));
    EXPECT_FALSE(flags.listFill.IsHeld());
    EXPECT_TRUE(listfile::Read(dir.File("missing/Internet.pab")).empty());
}

TEST(BusyFlag, NeverHeldTwiceAcrossThreads) {
    TBusyFlag flag;
    int inside = 0, maxInside = 0, total = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            TSleepPump pump;  // on its own thread: waits by pumping/sleeping
            for (int i = 0; i < 200; ++i) {
                TBusyLock lock(flag, pump);
                maxInside = std::max(maxInside, ++inside);
                ++total;
                --inside;
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(maxInside, 1);
    EXPECT_EQ(total, 800);
}

namespace {
// Counts the pumps; after a few it lets the holder go, as a user-interface
// event would end another operation.
class TReleasingPump : public IEventPump {
public:
    void Pump() override {
        if (++pumps == 3) letGo = true;
    }
    bool IsPumpThread() const override { return true; }
    std::atomic<int> pumps{0};
    std::atomic<bool> letGo{false};
};

class TCountingPump : public IEventPump {
public:
    void Pump() override { ++pumps; }
    bool IsPumpThread() const override { return true; }
    int pumps = 0;
};
}  // namespace

TEST(BusyFlag, WaiterOnThePumpThreadLetsEventsRun) {
    TBusyFlag flag;
    TReleasingPump pump;
    std::atomic<bool> taken{false};
    std::thread holder([&] {
        ASSERT_TRUE(flag.TryTake());
        taken = true;
        while (!pump.letGo) std::this_thread::yield();
        flag.Release();
    });
    while (!taken) std::this_thread::yield();
    EXPECT_TRUE(flag.Take(pump));
    holder.join();
    EXPECT_GE(pump.pumps.load(), 3);
    EXPECT_TRUE(flag.HeldByThisThread());
}

// A box shown by an operation that holds a flag runs the event loop; a
// command from that loop that wants the flag is refused rather than left
// waiting for ever.
TEST(BusyFlag, TakingAFlagThisThreadHoldsIsRefusedNotWaited) {
    TBusyFlag flag;
    ASSERT_TRUE(flag.TryTake());
    TCountingPump pump;
    bool taken = true;
    EXPECT_DEBUG_DEATH(taken = flag.Take(pump), "taken again");
    (void)taken;  // read only where the take returns
#ifdef NDEBUG
    EXPECT_FALSE(taken);
    EXPECT_EQ(pump.pumps, 0);
    {
        TBusyLock lock(flag, pump);
        EXPECT_FALSE(lock.Held());
    }
    EXPECT_TRUE(flag.IsHeld());  // the refused lock released nothing
#endif
    flag.Release();
    EXPECT_TRUE(flag.Take(pump));
    EXPECT_EQ(pump.pumps, 0);
}

// A flag left taken for another thread to finish is waited out without
// pumping (no command may come in), and the thread that took it may take it
// again once released.
TEST(BusyFlag, ADisownedFlagIsWaitedForWithoutPumpingNorRefused) {
    TBusyFlag flag;
    TCountingPump pump;
    {
        TBusyLock lock(flag, pump);
        ASSERT_TRUE(lock.Held());
        lock.Disown();
    }
    EXPECT_TRUE(flag.Disowned());
    EXPECT_FALSE(flag.HeldByThisThread());
    std::thread finisher([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        flag.Release();
    });
    EXPECT_TRUE(flag.Take(pump));
    finisher.join();
    EXPECT_EQ(pump.pumps, 0);
    EXPECT_TRUE(flag.HeldByThisThread());
}
