#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <filesystem>

#include "app/gui/DesktopNotifier.h"
#include "support/TempDir.h"

namespace {

bool AppearsWithin(const std::string& path, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!std::filesystem::exists(path)) {
        if (timer.elapsed() > ms) return false;
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    return true;
}

}  // namespace

TEST(DesktopNotifier, StartsAProgramByItsStoredPathInItsOwnFolder) {
    TTempDir dir;
    // The stored path is Windows-1252; on disk the name is UTF-8.
    const std::string script = dir.File("caf\xc3\xa9.sh");
    WriteFileOrDie(script, "#!/bin/sh\ntouch ran-here\n");
    ::chmod(script.c_str(), 0755);
    TDesktopNotifier notifier;
    notifier.RunProgram(dir.File("caf\xe9.sh"));
    EXPECT_TRUE(AppearsWithin(dir.File("ran-here"), 10000));
}

TEST(DesktopNotifier, SoundsThatCannotPlayAreQuiet) {
    TTempDir dir;
    WriteFileOrDie(dir.File("broken.wav"), "not a sound");
    TDesktopNotifier notifier;
    // Without a sound service (as on a build machine) nothing plays, and
    // nothing waits or fails either.
    notifier.PlaySound(dir.File("broken.wav"));
    notifier.PlaySound(dir.File("missing.wav"));
    notifier.PlaySound("");
}
