// The main window over a mailbox of 100,000 messages: selecting it, sorting
// it by a column, scrolling through it and starting the program on it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <filesystem>
#include <memory>

#include "app/gui/ControlCenter.h"
#include "app/gui/FMListView.h"
#include "app/gui/MailCommands.h"
#include "app/gui/MailPage.h"
#include "app/gui/MessageListModel.h"
#include "common/SleepPump.h"
#include "common/UserPrompt.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "store/MailStore.h"
#include "support/BenchFolder.h"
#include "support/QuietPrompt.h"

namespace {

constexpr int kMessages = 100000;

// A data folder whose "In Box" holds the messages, indexed on disk.
struct TBigStore {
    std::string folder = BenchFolder("mainwin");
    TQuietPrompt prompt;
    TSleepPump pump;
    TIniFile config{folder + cfg::kConfigFile, &prompt};
    TFolders folders{folder, folder + "Skiffpost.Ini", folder, folder, false, folder};

    TBigStore() {
        TMailStore store(folder, config, prompt, pump);
        store.LoadTree();
        for (int i = 0; i < kMessages; ++i) {
            auto item = std::make_unique<THeaderItem>();
            item->Mailbox = "In Box";
            item->Subject =
                "Re: quarterly figures for the northern region, part " + std::to_string(i * 7919 % kMessages);
            item->Who = "Jane Doe " + std::to_string(i % 97);
            item->Date = std::to_string(1 + i % 12) + "/0" + std::to_string(1 + i % 9) + "/26 02:15 PM";
            item->Flags = i % 10 == 0 ? (mfNew | mfAttach) : mfRead;
            item->MsgType = "RTF";
            item->Offset = -1;
            store.AddRecord(*item, std::nullopt, TPersist::WithNextSave);
        }
        store.SaveIndex("In Box");
        config.Write(cfg::DefaultMailBox, "Sent Box");
    }
    ~TBigStore() { std::filesystem::remove_all(folder); }
};

int argc = 1;
char arg0[] = "bench_mainwin";
char* argv[] = {arg0, nullptr};

void StartUpToAShownWindow(benchmark::State& state) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TBigStore big;
    big.config.Write(cfg::DefaultMailBox, "In Box");
    for (auto _ : state) {
        TMailStore store(big.folder, big.config, big.prompt, big.pump);
        TControlCenter window(big.config, big.folders, big.prompt);
        window.SetStore(store);
        window.Initialise();
        QApplication::processEvents();
        benchmark::DoNotOptimize(store.Rows().Count());
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(StartUpToAShownWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

struct TShownWindow {
    TBigStore big;
    TMailStore store{big.folder, big.config, big.prompt, big.pump};
    TControlCenter window{big.config, big.folders, big.prompt};
    TShownWindow() {
        window.SetStore(store);
        window.Initialise();
        QApplication::processEvents();
    }
};

void SelectTheMailbox(benchmark::State& state) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TShownWindow shown;
    for (auto _ : state) {
        shown.window.Commands()->SelectMailbox("In Box");
        shown.window.MailPage()->StickitLB->viewport()->repaint();
        state.PauseTiming();
        shown.window.Commands()->SelectMailbox("Sent Box");
        state.ResumeTiming();
    }
    state.counters["rows"] = kMessages;
}
BENCHMARK(SelectTheMailbox)->Unit(benchmark::kMillisecond)->Iterations(5);

void SortByColumn(benchmark::State& state) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TShownWindow shown;
    shown.window.Commands()->SelectMailbox("In Box");
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        emit shown.window.MailPage()->StickitLB->header()->sectionClicked(column);
        shown.window.MailPage()->StickitLB->viewport()->repaint();
    }
}
BENCHMARK(SortByColumn)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->Iterations(3);

void ScrollAPage(benchmark::State& state) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TShownWindow shown;
    shown.window.Commands()->SelectMailbox("In Box");
    TFMListView* list = shown.window.MailPage()->StickitLB;
    QScrollBar* bar = list->verticalScrollBar();
    int value = 0;
    for (auto _ : state) {
        value = (value + bar->pageStep()) % std::max(1, bar->maximum());
        bar->setValue(value);
        list->viewport()->repaint();
    }
}
BENCHMARK(ScrollAPage)->Unit(benchmark::kMicrosecond)->Iterations(200);

}  // namespace
