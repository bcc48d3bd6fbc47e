// The search index over a store of many 10 KB rich text messages of
// ordinary words (SKFP_SEARCH_MESSAGES, 100,000 unless set): the time to
// index them all from scratch, the size of the index beside the bodies,
// the median and 99th percentile of three queries (a rare word, a phrase,
// a sender with a word), and what following 1,000 newly stored messages
// costs the thread that stores them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "common/SleepPump.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "search/MailSearch.h"
#include "search/SearchQuery.h"
#include "store/MailStore.h"
#include "support/BenchFolder.h"
#include "support/QuietPrompt.h"

namespace {

constexpr std::size_t kBodySize = 10 * 1024;
using Clock = std::chrono::steady_clock;

int Messages() {
    const char* n = std::getenv("SKFP_SEARCH_MESSAGES");
    return n ? std::max(100, std::atoi(n)) : 100000;
}

std::vector<std::string> Vocabulary() {
    std::vector<std::string> words;
    std::ifstream list(SKFP_WORDLIST);
    for (std::string w; std::getline(list, w);)
        if (w.size() >= 2 && w.find('\'') == std::string::npos && static_cast<unsigned char>(w[0]) < 0x80)
            words.push_back(w);
    if (words.empty()) words = {"quarterly", "figures", "northern", "region", "meeting", "agenda", "budget"};
    std::shuffle(words.begin(), words.end(), std::mt19937(7));
    return words;
}

// A rich text body of words drawn as natural text has them (Zipf's law:
// the word of rank r comes with a frequency in proportion to 1/r), the
// ranks given to the words of the list in a shuffled order.
std::string Body(std::mt19937& rng, const std::vector<std::string>& words, const std::string& extra) {
    std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 " + extra + " ";
    std::uniform_real_distribution<double> u(0, 1);
    int n = 0;
    while (rtf.size() < kBodySize - 40) {
        const double rank = std::pow(static_cast<double>(words.size()) + 1, u(rng));
        const auto i = std::min(words.size() - 1, static_cast<std::size_t>(rank) - 1);
        rtf += (++n % 23 == 0) ? "{\\b " + words[i] + "} " : words[i] + " ";
        if (n % 14 == 0) rtf += "\\par\r\n";
    }
    return rtf + "\\par\r\n}\r\n";
}

struct TBigStore {
    std::string folder = BenchFolder("search");
    TQuietPrompt prompt;
    TSleepPump pump;
    TIniFile config{folder + cfg::kConfigFile, &prompt};
    TMailStore store{folder, config, prompt, pump};
    std::int64_t bodyBytes = 0;
    std::vector<std::string> words = Vocabulary();
    std::mt19937 rng{29};

    explicit TBigStore(int count) {
        store.LoadTree();
        std::ofstream msg(store.Files().MessagePath("In Box"), std::ios::binary);
        static const char* const senders[] = {"Jane Doe", "John Smith", "Alice Example", "Bob Builder", "Carol King"};
        for (int i = 0; i < count; ++i) {
            std::string extra;
            if (i == count / 2) extra = "qqzanzibarx";
            if (i % 1000 == 7) extra = "the annual review of the northern region";
            const std::string body = Body(rng, words, extra);
            msg << body;
            THeaderItem item;
            item.Mailbox = "In Box";
            item.Subject = "Message " + std::to_string(i) + " " + words[static_cast<std::size_t>(i) % words.size()];
            item.Who = senders[i % 5];
            item.Address = std::string(senders[i % 5]) + " <sender" + std::to_string(i % 5) + "@example.com>";
            item.Date = "0" + std::to_string(1 + i % 9) + "/1" + std::to_string(i % 9) + "/2" +
                        std::to_string(i % 7) + " 02:15 PM";
            item.Flags = mfRead;
            item.MsgType = "RTF";
            item.Offset = static_cast<std::int32_t>(bodyBytes);
            item.Size = static_cast<std::int32_t>(body.size());
            item.Slack = 0;
            bodyBytes += item.Size;
            store.AddRecord(item, std::nullopt, TPersist::WithNextSave);
        }
        msg.close();
        store.SaveIndex("In Box");
    }
    ~TBigStore() { std::filesystem::remove_all(folder); }
};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Seconds of processor time of the whole process or of the calling thread:
// on a busy machine they tell what the work costs when the wall clock
// cannot.
double CpuSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Stores 1,000 new messages in one batch, as a check does.
void StoreBatch(TBigStore& big, const std::string& word) {
    std::vector<std::string> bodies;
    std::vector<TNewRecord> batch;
    for (int i = 0; i < 1000; ++i) {
        bodies.push_back(Body(big.rng, big.words, word));
        big.bodyBytes += static_cast<std::int64_t>(bodies.back().size());
    }
    for (int i = 0; i < 1000; ++i) {
        THeaderItem item;
        item.Mailbox = "In Box";
        item.Subject = "new " + std::to_string(i);
        item.Who = "Jane Doe";
        item.Date = "12/08/26 10:00 AM";
        item.Flags = mfNew;
        batch.push_back({item, bodies[static_cast<std::size_t>(i)]});
    }
    std::vector<int> handles;
    TBodyAppend written = big.store.AddRecords(batch, handles);
    written.Settle();
}

void SearchIndex(benchmark::State& state) {
    const int count = Messages();
    TBigStore big(count);
    double indexSeconds = 0, processCpu = 0, mainCpu = 0;
    std::unique_ptr<TMailSearch> search;
    for (auto _ : state) {
        std::filesystem::remove(big.folder + TMailSearch::kFileName);
        search = std::make_unique<TMailSearch>(big.store);
        const auto t0 = Clock::now();
        const double p0 = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID), m0 = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        search->Start();
        search->Finish();
        indexSeconds = Ms(Clock::now() - t0) / 1000;
        processCpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - p0;
        mainCpu = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - m0;
    }
    // The reading thread and the writing one overlap, so on two idle cores
    // the larger of their times bounds the build.
    state.counters["index_cpu_reader_s"] = mainCpu;
    state.counters["index_cpu_writer_s"] = processCpu - mainCpu;
    state.counters["messages"] = count;
    state.counters["index_from_scratch_s"] = indexSeconds;

    // Each query many times: the median and the 99th percentile.
    const std::pair<const char*, const char*> queries[] = {
        {"rare_word", "qqzanzibarx"}, {"phrase", "\"annual review of the northern region\""},
        {"from_and_word", "from:alice annual"}};
    for (const auto& [name, text] : queries) {
        std::vector<double> times;
        std::size_t hits = 0;
        for (int i = 0; i < 201; ++i) {
            const auto t0 = Clock::now();
            hits = search->Find(TSearchQuery(text)).size();
            times.push_back(Ms(Clock::now() - t0));
        }
        std::sort(times.begin(), times.end());
        state.counters[std::string(name) + "_median_ms"] = times[times.size() / 2];
        state.counters[std::string(name) + "_p99_ms"] = times[times.size() * 99 / 100];
        state.counters[std::string(name) + "_hits"] = static_cast<double>(hits);
        if (hits == 0) state.SkipWithError("a query found nothing");
    }

    // 1,000 messages stored in one batch, as a check stores them, without
    // an index and then with the index following, into a store of the same
    // size and with a warm cache both times: the time of each batch, and
    // the time until the second is all indexed.
    // Two rounds, the faster of each kept: a single batch is at the mercy
    // of whatever else the machine does.
    double without = 1e12, with = 1e12, after = 1e12;
    for (int round = 0; round < 2; ++round) {
        search->Close();
        search.reset();
        const auto b0 = Clock::now();
        StoreBatch(big, "qqplainbatch");
        without = std::min(without, Ms(Clock::now() - b0));
        search = std::make_unique<TMailSearch>(big.store);
        search->Start();
        search->Finish();
        const auto t0 = Clock::now();
        StoreBatch(big, round == 0 ? "qqfreshbatch" : "qqsecondbatch");
        const auto t1 = Clock::now();
        search->Finish();
        with = std::min(with, Ms(t1 - t0));
        after = std::min(after, Ms(Clock::now() - t1));
    }
    state.counters["store_1000_without_index_ms"] = without;
    state.counters["store_1000_with_index_ms"] = with;
    state.counters["index_1000_after_ms"] = after;
    if (search->Find(TSearchQuery("qqfreshbatch")).size() != 1000) state.SkipWithError("new messages not all found");
    // Closed, the index has its write-ahead log folded in.
    search->Close();
    state.counters["index_size_pct_of_bodies"] =
        100.0 * static_cast<double>(std::filesystem::file_size(big.folder + TMailSearch::kFileName)) /
        static_cast<double>(big.bodyBytes);
}
BENCHMARK(SearchIndex)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
