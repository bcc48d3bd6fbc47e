// The message store at the size of a long-used installation: 100,000
// records in five mailboxes with 2 KB bodies, against 10,000 to show that
// nothing grows faster than the number of records.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "common/SleepPump.h"
#include "common/UserPrompt.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "store/IndexLine.h"
#include "store/MailStore.h"
#include "store/RtfConvert.h"

namespace {

constexpr int kBodySize = 2048;
const char* const kBoxes[] = {"In Box", "Out Box", "Sent Box", "Trash Can", "Work"};

class TQuietPrompt : public IUserPrompt {
public:
    void Error(const std::string& t) override { std::fprintf(stderr, "%s\n", t.c_str()); }
    void Information(const std::string&) override {}
    bool YesNo(const std::string&) override { return false; }
    TPromptAnswer YesNoAll(const std::string&) override { return TPromptAnswer::No; }
};

THeaderItem MakeRecord(int i) {
    THeaderItem h;
    h.Subject = "Re: quarterly figures for the northern region, part " + std::to_string(i);
    h.Who = "Jane Doe";
    h.Date = "05/07/96 02:15 PM";
    h.Address = "Jane Doe <jane.doe@example.com>";
    h.Flags = i % 10 == 0 ? (mfNew | mfAttach) : mfRead;
    h.Server = "Office";
    h.Signature = "No Signature";
    h.MsgType = "RTF";
    h.CCList = "bob@example.com, carol@example.com";
    h.Size = kBodySize;
    h.Slack = 100;
    return h;
}

// A data folder with the given number of records spread over five
// mailboxes, written straight to disk once per size.
std::string MakeStore(int records) {
    // Generated once per size and removed when the program ends.
    static struct TMade {
        std::map<int, std::string> folders;
        ~TMade() {
            for (const auto& [n, f] : folders) std::filesystem::remove_all(f);
        }
    } made;
    if (auto it = made.folders.find(records); it != made.folders.end()) return it->second;
    const std::string folder =
        "/tmp/skfp-bench-store-" + std::to_string(::getpid()) + "-" + std::to_string(records) + "/";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + cfg::kTreeFile, std::ios::binary)
        << "Trash Can\r\nIn Box\r\nOut Box\r\nSent Box\r\nWork\r\n";
    const std::string body(kBodySize, 'x'), slack(100, '\0');
    for (int b = 0; b < 5; ++b) {
        std::ofstream index(folder + kBoxes[b] + ".Mbx", std::ios::binary);
        std::ofstream messages(folder + kBoxes[b] + ".msg", std::ios::binary);
        std::string line;
        for (int i = b, n = 0; i < records; i += 5, ++n) {
            THeaderItem h = MakeRecord(i);
            h.Offset = n * (kBodySize + 100);
            line.clear();
            TIndexLine::AppendTo(line, h);
            index << line << "\r\n";
            messages << body << slack;
        }
    }
    made.folders[records] = folder;
    return folder;
}

struct TOpenStore {
    TQuietPrompt prompt;
    TSleepPump pump;
    TIniFile config;
    TMailStore store;
    explicit TOpenStore(const std::string& folder)
        : config(folder + cfg::kConfigFile, &prompt), store(folder, config, prompt, pump) {}
};

void ReportPeakMemory(benchmark::State& state) {
    rusage ru{};
    ::getrusage(RUSAGE_SELF, &ru);
    state.counters["peak_MB"] = static_cast<double>(ru.ru_maxrss) / 1024.0;
}

void BM_LoadTreeAndIndexes(benchmark::State& state) {
    const std::string folder = MakeStore(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto open = std::make_unique<TOpenStore>(folder);
        open->store.LoadTree();
        benchmark::DoNotOptimize(open->store.Headers().Length());
        state.PauseTiming();  // freeing the records is not part of start-up
        open.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    ReportPeakMemory(state);
}
BENCHMARK(BM_LoadTreeAndIndexes)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// One mailbox of N records in memory, shown into the row model.
void BM_ShowMailbox(benchmark::State& state) {
    TQuietPrompt prompt;
    TSleepPump pump;
    TIniFile config("/tmp/skfp-bench-none.ini", &prompt);
    TMailStore store("/tmp/", config, prompt, pump);
    for (int i = 0; i < state.range(0); ++i) {
        auto h = std::make_unique<THeaderItem>(MakeRecord(i));
        h->Mailbox = "In Box";
        store.AddRecord(*h, std::nullopt, TPersist::WithNextSave);
    }
    struct TCount : IShowProgress {
        int steps = 0;
        void Step(int) override { ++steps; }
    } progress;
    for (auto _ : state) {
        store.ShowMailbox("In Box", &progress);
        benchmark::DoNotOptimize(store.Rows().Count());
    }
    state.counters["progress_calls"] = static_cast<double>(progress.steps) / static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * state.range(0));
    ReportPeakMemory(state);
}
BENCHMARK(BM_ShowMailbox)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The index of a mailbox of N records, rewritten through its backup.
void BM_SaveIndex(benchmark::State& state) {
    const std::string folder = "/tmp/skfp-bench-index-" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(folder);
    TQuietPrompt prompt;
    TSleepPump pump;
    TIniFile config(folder + cfg::kConfigFile, &prompt);
    TMailStore store(folder, config, prompt, pump);
    for (int i = 0; i < state.range(0); ++i) {
        auto h = std::make_unique<THeaderItem>(MakeRecord(i));
        h->Mailbox = "In Box";
        store.AddRecord(*h, std::nullopt, TPersist::WithNextSave);
    }
    for (auto _ : state) benchmark::DoNotOptimize(store.SaveIndex("In Box"));
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(folder + "In Box.Mbx")));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveIndex)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Compaction of one of the five mailboxes, against `cp` of the same file.
void BM_Compact(benchmark::State& state) {
    const std::string folder = MakeStore(static_cast<int>(state.range(0)));
    TOpenStore open(folder);
    open.store.LoadTree();
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(folder + "In Box.msg"));
    for (auto _ : state) {
        if (!open.store.Compact("In Box")) state.SkipWithError("compaction failed");
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_Compact)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyWithCp(benchmark::State& state) {
    const std::string folder = MakeStore(static_cast<int>(state.range(0)));
    const std::string from = folder + "In Box.msg", to = folder + "copy.msg";
    const std::string command = "cp '" + from + "' '" + to + "' && sync -d '" + to + "'";
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(from));
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    std::filesystem::remove(to);
}
BENCHMARK(BM_CopyWithCp)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// A minified HTML body of 5 MB on a single line, as newsletter mailers send
// it, converted to rich text: the conversion must stay linear in its length.
static void BM_HtmlOneLineFiveMegabytes(benchmark::State& state) {
    std::string line;
    line.reserve(5u << 20);
    while (line.size() < (5u << 20))
        line += "<div class=\"c\"><b>Offer</b> &amp; <i>caf\xc3\xa9</i> {price} <span>C:\\x</span></div>";
    for (auto _ : state) {
        std::vector<std::string> lines{line};
        rtfconvert::HtmlToRtf(lines);
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_HtmlOneLineFiveMegabytes)->Unit(benchmark::kMillisecond)->UseRealTime();

// The converter alone over HTML of 50 KB, as many newsletters make: its
// throughput in bytes of HTML per second.
static void BM_HtmlFiftyKilobytes(benchmark::State& state) {
    std::string html = "<html><head><style>p{}</style></head><body><table width=\"100%\"><tr><td>";
    while (html.size() < 50000)
        html +=
            "<p style=\"margin:0\">Our <b>winter</b> sale &ndash; <a href=\"https://click.example.com/t?u=1\">gloves"
            "</a> &amp; seeds for &euro;10.</p>\n";
    html += "</td></tr></table></body></html>";
    for (auto _ : state) {
        std::vector<std::string> lines{html};
        rtfconvert::HtmlToRtf(lines);
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * html.size()));
}
BENCHMARK(BM_HtmlFiftyKilobytes)->Unit(benchmark::kMicrosecond);
