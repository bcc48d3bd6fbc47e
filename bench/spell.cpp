// Spell checker speed and suggestion quality, with hunspell (Debian's
// en_US dictionary) measured in the same run on the same words.
//
// Lookup: words per second over a mixed list of correct and misspelled
// words. Suggestions: median latency per misspelled word (counter
// median_ms). Quality: the share of 1,000 one-edit misspellings (fixed
// seed) whose intended word is among the first 10 suggestions (counter
// top10).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/FileUtil.h"
#include "common/TextUtil.h"
#include "spell/SpellEngine.h"

#ifdef SKFP_HAVE_HUNSPELL
#include <hunspell/hunspell.hxx>
#endif

namespace {

struct TMisspelling {
    std::string wrong;
    std::string intended;
};

// Everything the benchmarks share, made once.
class TCorpus {
public:
    static TCorpus& Get() {
        static TCorpus corpus;
        return corpus;
    }

    SpellEngine engine;
    std::vector<std::string> mixed;           // lookup list: half correct, half misspelled
    std::vector<TMisspelling> misspellings;  // 1,000, fixed seed
#ifdef SKFP_HAVE_HUNSPELL
    Hunspell hunspell{"/usr/share/hunspell/en_US.aff", "/usr/share/hunspell/en_US.dic"};
#endif

private:
    TCorpus() {
        if (!engine.OpenMainDictionary(SKFP_DICTIONARY)) std::fprintf(stderr, "cannot open %s\n", SKFP_DICTIONARY);
        const auto list = fileutil::ReadAll(SKFP_WORDLIST).value_or("");
        std::vector<std::string> words;
        std::size_t start = 0;
        while (start < list.size()) {
            std::size_t end = list.find('\n', start);
            if (end == std::string::npos) end = list.size();
            std::string w = list.substr(start, end - start);
            start = end + 1;
            // Plain lower-case words, so that every method sees the same text.
            if (w.size() >= 4 && std::all_of(w.begin(), w.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
                words.push_back(w);
        }
        std::mt19937 rng(20261207);
        const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
        while (misspellings.size() < 1000 && !words.empty()) {
            const std::string& word = words[pick(words.size())];
            std::string w = word;
            const char letter = static_cast<char>('a' + pick(26));
            switch (pick(4)) {
                case 0: w.insert(pick(w.size() + 1), 1, letter); break;
                case 1: w.erase(pick(w.size()), 1); break;
                case 2: w[pick(w.size())] = letter; break;
                default: {
                    const std::size_t i = pick(w.size() - 1);
                    std::swap(w[i], w[i + 1]);
                }
            }
            if (engine.Lookup(w)) continue;  // the edit made another word: not a misspelling
            misspellings.push_back({w, word});
        }
        for (std::size_t i = 0; i < 10000 && !words.empty(); ++i)
            mixed.push_back(i % 2 ? misspellings[i / 2 % misspellings.size()].wrong : words[pick(words.size())]);
    }
};

void BM_LookupSkfp(benchmark::State& state) {
    auto& c = TCorpus::Get();
    std::size_t found = 0;
    for (auto _ : state)
        for (const auto& w : c.mixed) found += c.engine.Lookup(w);
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * c.mixed.size()));
}
BENCHMARK(BM_LookupSkfp)->Unit(benchmark::kMillisecond);

// The same with a user dictionary open, whose header is reread before every lookup.
void BM_LookupSkfpWithUserDictionary(benchmark::State& state) {
    auto& c = TCorpus::Get();
    const std::string user = "/tmp/skfp-bench-user.dct";
    SpellEngine engine;
    engine.OpenMainDictionary(SKFP_DICTIONARY);
    const int id = engine.CreateUserDictionary(user);
    for (const char* w : {"skiffpost", "mailbox", "pop", "smtp"}) engine.AddWord(id, w);
    std::size_t found = 0;
    for (auto _ : state)
        for (const auto& w : c.mixed) found += engine.Lookup(w);
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * c.mixed.size()));
    engine.CloseAll();
    std::remove(user.c_str());
}
BENCHMARK(BM_LookupSkfpWithUserDictionary)->Unit(benchmark::kMillisecond);

template <typename Suggest>
void RunSuggestions(benchmark::State& state, Suggest suggest) {
    auto& c = TCorpus::Get();
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(state.range(0)), c.misspellings.size());
    std::vector<double> ms;
    std::size_t hits = 0;
    for (auto _ : state) {
        ms.clear();
        hits = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            const std::vector<std::string> s = suggest(c.misspellings[i].wrong);
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
            for (std::size_t k = 0; k < s.size() && k < 10; ++k)
                if (text::EqualsNoCase(s[k], c.misspellings[i].intended)) {
                    ++hits;
                    break;
                }
        }
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms.empty() ? 0 : ms[ms.size() / 2];
    state.counters["top10"] = n ? static_cast<double>(hits) / static_cast<double>(n) : 0;
    state.counters["words"] = static_cast<double>(n);
}

void BM_SuggestCloseMatch(benchmark::State& state) {
    RunSuggestions(state, [](const std::string& w) { return TCorpus::Get().engine.Suggest(w, stCloseMatch, 10); });
}
BENCHMARK(BM_SuggestCloseMatch)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SuggestPhoneme(benchmark::State& state) {
    RunSuggestions(state, [](const std::string& w) { return TCorpus::Get().engine.Suggest(w, stPhoneme, 10); });
}
BENCHMARK(BM_SuggestPhoneme)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

#ifdef SKFP_HAVE_HUNSPELL
void BM_LookupHunspell(benchmark::State& state) {
    auto& c = TCorpus::Get();
    std::size_t found = 0;
    for (auto _ : state)
        for (const auto& w : c.mixed) found += c.hunspell.spell(w);
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * c.mixed.size()));
}
BENCHMARK(BM_LookupHunspell)->Unit(benchmark::kMillisecond);

void BM_SuggestHunspell(benchmark::State& state) {
    RunSuggestions(state, [](const std::string& w) { return TCorpus::Get().hunspell.suggest(w); });
}
BENCHMARK(BM_SuggestHunspell)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
