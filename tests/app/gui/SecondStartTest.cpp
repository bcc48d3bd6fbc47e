#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <csignal>
#include <filesystem>

#include "common/BusyFlag.h"
#include "common/SleepPump.h"
#include "config/AccountList.h"
#include "support/LocalServers.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Real copies of the program, each in its own process on the offscreen
// platform, sharing a program folder (and so a data folder) and a runtime
// folder of their own.
class SecondStartTest : public ::testing::Test {
protected:
    TTempDir dir;
    std::vector<std::unique_ptr<QProcess>> running;

    void SetUp() override {
        fs::create_directories(Program() + "Data");
        fs::create_directories(Runtime());
        fs::permissions(Runtime(), fs::perms::owner_all);
        fs::copy_file(SKFP_GUI_PATH, Program() + "skfp");
        fs::copy_file(std::string(SKFP_BUILD_DIR) + "/Internet.Dct", Program() + "Internet.Dct");
        WriteFileOrDie(Data() + "Internet.fmt", "{\\rtf1 }\r\n");
        // A configuration already set up: no first-run dialogs before the window.
        WriteFileOrDie(Data() + "Internet.ini", "[Personal Information]\r\nFirst Name=Ann\r\n");
    }
    void TearDown() override {
        for (auto& p : running) {
            p->terminate();
            if (!p->waitForFinished(5000)) p->kill();
            p->waitForFinished(5000);
        }
    }
    std::string Program() { return dir.Path() + "/prog/"; }
    std::string Data() { return Program() + "Data/"; }
    std::string Runtime() { return dir.Path() + "/rt"; }
    std::string Socket() { return Runtime() + "/skiffpost-" + std::to_string(::getuid()); }

    std::unique_ptr<QProcess> Make(const QStringList& args) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(Runtime()));
        env.insert(QStringLiteral("HOME"), QString::fromStdString(dir.Path()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p->setProcessEnvironment(env);
        p->setProgram(QString::fromStdString(Program() + "skfp"));
        p->setArguments(args);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        return p;
    }
    QProcess& StartRunning() {
        running.push_back(Make({}));
        running.back()->start();
        EXPECT_TRUE(running.back()->waitForStarted(10000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(Socket()); }, 20000));
        return *running.back();
    }
    // A later copy: it must hand over and end by itself.
    int HandOver(const QString& request) {
        auto p = Make({request});
        p->start();
        if (!p->waitForFinished(30000)) {
            p->kill();
            p->waitForFinished();
            return -1;
        }
        return p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
    }
    int Lines(const std::string& file, const std::string& needle) {
        const std::string text = ReadFileOrEmpty(Data() + file);
        int count = 0;
        for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
        return count;
    }
};

TEST_F(SecondStartTest, AMailtoIsHandedOverOnceAndSlashCChecksOnce) {
    TDovecotServer server{"ann", "s3cret"};
    server.AddMessage("Date: Mon, 7 Dec 2026 10:00:00 +0000\nFrom: Bob <bob@example.org>\nSubject: handed\n\nhi\n");
    ASSERT_TRUE(server.Start()) << server.Failure();
    {
        TAccountList list(Data());
        list.Add({"Home", "127.0.0.1:" + std::to_string(server.Port()), "", "ann", "s3cret", "", ""});
        TBusyFlag flag;
        TSleepPump pump;
        ASSERT_TRUE(list.Save(flag, pump));
    }
    QProcess& first = StartRunning();

    EXPECT_EQ(HandOver(QStringLiteral("mailto:x@example.com")), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Lines("Out Box.Mbx", "Internet User <x@example.com>") >= 1; }, 10000));
    QTest::qWait(500);
    EXPECT_EQ(Lines("Out Box.Mbx", "Internet User <x@example.com>"), 1);
    EXPECT_EQ(first.state(), QProcess::Running);

    // A second hand-over counts as well; no resize needed in between.
    EXPECT_EQ(HandOver(QStringLiteral("mailto:y@example.com")), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Lines("Out Box.Mbx", "Internet User <y@example.com>") == 1; }, 10000));
    EXPECT_EQ(Lines("Out Box.Mbx", "Internet User <x@example.com>"), 1);

    EXPECT_EQ(HandOver(QStringLiteral("/c")), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Lines("In Box.Mbx", "handed") == 1; }, 20000));
    EXPECT_EQ(server.MessagesOnServer(), 1u);
    QTest::qWait(500);
    EXPECT_EQ(Lines("In Box.Mbx", "handed"), 1);
    EXPECT_EQ(ReadFileOrEmpty(Data() + "Internet.ini").find("Command=/c"), std::string::npos);
}

TEST_F(SecondStartTest, ACrashedCopyLeavesNothingThatStopsTheNextStart) {
    QProcess& crashed = StartRunning();
    ::kill(static_cast<pid_t>(crashed.processId()), SIGKILL);
    crashed.waitForFinished(5000);
    ASSERT_TRUE(fs::exists(Socket()));  // the stale socket stays behind

    StartRunning();
    QTest::qWait(1000);
    EXPECT_EQ(running.back()->state(), QProcess::Running);  // it did not hand over to nobody
    EXPECT_EQ(HandOver(QStringLiteral("mailto:z@example.com")), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Lines("Out Box.Mbx", "Internet User <z@example.com>") == 1; }, 10000));
}

}  // namespace
