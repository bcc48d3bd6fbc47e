// Find Message over 10,000 stored messages of 50 KB rich text each (about
// 500 MB of bodies) for a word that only the last one holds: the time from
// the first press to the hit, the longest single step (the longest the
// window's event loop waits between two steps), and grep -c over the same
// message file for comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "common/SleepPump.h"
#include "common/UserPrompt.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "mail/MessageFinder.h"
#include "store/MailStore.h"
#include "support/BenchFolder.h"
#include "support/QuietPrompt.h"

namespace {

constexpr int kMessages = 10000;
constexpr std::size_t kBodySize = 50 * 1024;
constexpr const char* kWord = "Zanzibar";

// A rich text body as the composer writes them: a font table, paragraphs of
// ordinary words with some bold and italic runs.
std::string Body(int n, bool withWord) {
    std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red0\\green0\\blue255;}\r\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    static const char* const words[] = {"quarterly", "figures", "for",    "the",      "northern", "region",   "meeting",
                                        "agenda",    "budget",  "review", "schedule", "Caf\\'e9", "delivery", "notes"};
    int i = n;
    while (rtf.size() < kBodySize - 200) {
        for (int w = 0; w < 12; ++w) {
            const char* word = words[(i++ * 7) % 14];
            if (w == 3)
                rtf += "{\\b " + std::string(word) + "} ";
            else if (w == 8)
                rtf += "{\\i " + std::string(word) + "} ";
            else
                rtf += std::string(word) + " ";
        }
        rtf += "\\par\r\n";
    }
    if (withWord) rtf += std::string("the trip to ") + kWord + "\\par\r\n";
    rtf += "}\r\n";
    return rtf;
}

struct TBigStore {
    std::string folder = BenchFolder("find");
    TQuietPrompt prompt;
    TSleepPump pump;
    TIniFile config{folder + cfg::kConfigFile, &prompt};
    TMailStore store{folder, config, prompt, pump};

    TBigStore() {
        store.LoadTree();
        std::ofstream msg(store.Files().MessagePath("In Box"), std::ios::binary);
        std::int64_t offset = 0;
        for (int i = 0; i < kMessages; ++i) {
            const std::string body = Body(i, i == kMessages - 1);
            msg << body;
            auto item = std::make_unique<THeaderItem>();
            item->Mailbox = "In Box";
            item->Subject = "Message " + std::to_string(i);
            item->Who = "Jane Doe";
            item->Date = "01/02/26 02:15 PM";
            item->Flags = mfRead;
            item->MsgType = "RTF";
            item->Offset = offset;
            item->Size = static_cast<std::int64_t>(body.size());
            item->Slack = 0;
            offset += item->Size;
            store.AddRecord(*item, std::nullopt, TPersist::WithNextSave);
        }
        msg.close();
        store.SaveIndex("In Box");
    }
    ~TBigStore() { std::filesystem::remove_all(folder); }
};

void FindTheWordInTheLastOf10000Messages(benchmark::State& state) {
    TBigStore big;
    double longestStepMs = 0;
    int steps = 0;
    int found = -1;
    for (auto _ : state) {
        TMessageFinder finder(big.store);
        finder.Start("zanzibar", 0);
        longestStepMs = 0;
        steps = 0;
        TMessageFinder::TState s;
        do {
            const auto t0 = std::chrono::steady_clock::now();
            s = finder.Step(std::chrono::milliseconds(25));
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
            longestStepMs = std::max(longestStepMs, ms);
            ++steps;
        } while (s == TMessageFinder::TState::Searching);
        found = s == TMessageFinder::TState::Found ? finder.Hit().handle : -1;
    }
    if (found != kMessages - 1) state.SkipWithError("the word was not found in the last message");
    state.counters["longest_step_ms"] = longestStepMs;
    state.counters["steps"] = steps;

    // grep over the same bytes, for scale.
    const std::string cmd =
        "grep -c -i " + std::string(kWord) + " '" + big.store.Files().MessagePath("In Box") + "' >/dev/null";
    const auto g0 = std::chrono::steady_clock::now();
    const int rc = std::system(cmd.c_str());
    state.counters["grep_c_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - g0).count();
    if (rc != 0) state.SkipWithError("grep found nothing");
}
BENCHMARK(FindTheWordInTheLastOf10000Messages)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
