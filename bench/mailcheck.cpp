// A mail check from the window: 1,000 messages of 50 KB on a real Dovecot
// server, from the "Check" button to the last row in the "In Box", beside
// curl fetching the same messages over one connection (to /dev/null, and
// each into a file of its own). The longest gap between ticks of a 1 ms
// timer during the check says how long the event loop was ever kept from
// running, and when that gap began.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "app/gui/ControlCenter.h"
#include "app/gui/LeftoverProcessing.h"
#include "app/gui/ListPages.h"
#include "app/gui/MailCommands.h"
#include "app/gui/MainToolbar.h"
#include "app/gui/MessageListModel.h"
#include "app/gui/ToolButton.h"
#include "common/BusyFlag.h"
#include "common/UserPrompt.h"
#include "common/gui/QtEventPump.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "store/MailStore.h"
#include "support/LocalServers.h"
#include "support/QuietPrompt.h"
#include "support/TempDir.h"

namespace {

constexpr int kMessages = 1000;
constexpr std::size_t kSize = 50 * 1024;

std::string Message(int i) {
    std::string body;
    while (body.size() < kSize) body += std::string(75, static_cast<char>('a' + i % 26)) + "\n";
    return "Date: Mon, 7 Dec 2026 10:00:00 +0000\nFrom: Bob <bob@example.org>\nSubject: message " + std::to_string(i) +
           "\n\n" + body;
}

void BM_CheckFromTheButton(benchmark::State& state) {
    TDovecotServer server{"ann", "s3cret"};
    for (int i = 0; i < kMessages; ++i) server.AddMessage(Message(i));
    if (!server.Start()) {
        state.SkipWithError(server.Failure().c_str());
        return;
    }
    const QString port = QString::number(server.Port());
    for (auto _ : state) {
        // curl over one connection, every message to /dev/null.
        QElapsedTimer curlClock;
        curlClock.start();
        QProcess curl;
        curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-u"), QStringLiteral("ann:s3cret"),
                                            QStringLiteral("pop3://127.0.0.1:%1/[1-%2]").arg(port).arg(kMessages),
                                            QStringLiteral("-o"), QStringLiteral("/dev/null")});
        curl.waitForFinished(600000);
        const double curlSeconds = curlClock.nsecsElapsed() / 1e9;
        // The same, every message into a file of its own, as the check keeps them.
        const TTempDir curlDir;
        curlClock.restart();
        curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-u"), QStringLiteral("ann:s3cret"),
                                            QStringLiteral("pop3://127.0.0.1:%1/[1-%2]").arg(port).arg(kMessages),
                                            QStringLiteral("-o"), QString::fromStdString(curlDir.File("#1.eml"))});
        curl.waitForFinished(600000);
        const double curlToFilesSeconds = curlClock.nsecsElapsed() / 1e9;

        TTempDir dir;
        WriteFileOrDie(dir.File("Internet.fmt"), "{\\rtf1 }");
        TQuietPrompt prompt;
        TQtEventPump pump;
        TIniFile ini{dir.File("Internet.ini"), &prompt};
        ini.Write(cfg::PopNotify, "None");
        {
            TAccountList list(dir.Path());
            list.Add({"Home", "127.0.0.1:" + std::to_string(server.Port()), "", "ann", "s3cret", "", ""});
            TBusyFlag flag;
            if (!list.Save(flag, pump)) state.SkipWithError("accounts");
        }
        TFolders folders{dir.Path(), dir.File("Skiffpost.Ini"), dir.Path(), dir.Path(), false, dir.Path()};
        TMailStore store(dir.Path(), ini, prompt, pump);
        TControlCenter w(ini, folders, prompt);
        w.SetStore(store);
        TLeftoverProcessing processing(store, folders, prompt, w.ListPages()->Filters(), w.FilterActions());
        w.SetLeftoverProcessing([&] { processing.Start([&] { w.Commands()->ProcessingFinished(); }); });
        w.Initialise();
        w.Commands()->SelectMailbox("In Box");

        QElapsedTimer gapClock;
        qint64 last = 0, longest = 0, longestAt = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = gapClock.nsecsElapsed();
            if (now - last > longest) {
                longest = now - last;
                longestAt = last;
            }
            last = now;
        });
        QElapsedTimer clock;
        clock.start();
        gapClock.start();
        ticker.start(1);
        w.Toolbar()->MailCheck->defaultAction()->trigger();
        const double downloadSeconds = clock.nsecsElapsed() / 1e9;
        const qint64 longestInDownload = longest;
        QElapsedTimer limit;
        limit.start();
        while (!(w.Commands()->ListModel()->rowCount() == kMessages && processing.Idle()) && limit.elapsed() < 600000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::usleep(200);
        }
        const double seconds = clock.nsecsElapsed() / 1e9;
        ticker.stop();
        state.SetIterationTime(seconds);
        state.counters["rows"] = w.Commands()->ListModel()->rowCount();
        state.counters["check_to_last_row_s"] = seconds;
        state.counters["download_s"] = downloadSeconds;
        state.counters["curl_s"] = curlSeconds;
        state.counters["ratio_to_curl"] = seconds / curlSeconds;
        state.counters["curl_to_files_s"] = curlToFilesSeconds;
        state.counters["ratio_to_curl_to_files"] = seconds / curlToFilesSeconds;
        state.counters["longest_loop_gap_ms"] = longest / 1e6;
        state.counters["longest_gap_in_download_ms"] = longestInDownload / 1e6;
        // When the longest gap began, to tell the download from the processing.
        state.counters["longest_gap_from_s"] = longestAt / 1e9;
        w.close();
    }
}
BENCHMARK(BM_CheckFromTheButton)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
