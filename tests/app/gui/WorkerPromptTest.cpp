#include <gtest/gtest.h>

#include <QTest>
#include <QCoreApplication>
#include <atomic>
#include <thread>

#include "common/gui/MainThreadPrompt.h"
#include "support/RecordingPrompt.h"

// A worker's box is shown on the user-interface thread while the worker
// waits; once the window ends (Close), a worker still waiting, or asking
// later, goes on at once, so that the join of the workers at exit never
// waits for a box nobody will show.
TEST(WorkerPrompt, BoxesComeOnTheWindowsThreadAndClosingReleasesEveryWaitingWorker) {
    TRecordingPrompt inner;
    inner.QueueAnswer(TPromptAnswer::Yes);
    TMainThreadPrompt prompt(inner);
    bool answer = false;
    std::atomic<bool> done{false};
    std::thread asking([&] {
        answer = prompt.YesNo("Keep it?");
        done = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 20000));
    asking.join();
    EXPECT_TRUE(answer);
    ASSERT_EQ(inner.Texts().size(), 1u);
    EXPECT_EQ(inner.Texts()[0].text, "Keep it?");

    // The window's thread no longer runs its loop: it closes the prompt
    // and joins, as the program does when it ends.
    std::atomic<bool> asked{false};
    std::thread waiting([&] {
        asked = true;
        prompt.Error("Attachment lost.");
        answer = prompt.YesNo("Again?");
    });
    while (!asked) std::this_thread::yield();
    prompt.Close();
    waiting.join();
    EXPECT_FALSE(answer);
    QCoreApplication::processEvents();
    EXPECT_EQ(inner.Texts().size(), 1u);  // nothing shown after the end
}
