// Spell checker speed and suggestion quality, with hunspell (Debian's
// en_US dictionary) measured in the same run on the same words.
//
// Lookup: words per second over a mixed list of correct and misspelled
// words, with the main dictionary alone and with a user dictionary open.
//
// Suggestions: a set of 1,000 misspellings made here with a fixed seed, each
// one edit away from a word of the list the main dictionary is built from
// (250 each of an inserted letter, a deleted letter, a replaced letter and
// two neighbouring letters swapped), none of them a word itself. Counters:
// top10 and first (the share whose intended word is among the first ten
// suggestions, and the first one), the same per kind of edit (top10_ins,
// first_del, ...), median_ms and p99_ms per word in processor time of the
// thread, wall_median_ms and wall_p99_ms in wall time.
//
// BM_TuneEditBonus scores the close-match and phoneme methods on a second set
// (another seed) for a range of bonuses given to candidates within one edit;
// the bonuses the engine uses were chosen with it, so that the figures of the
// first set are not the ones they were tuned on.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/FileUtil.h"
#include "common/TextUtil.h"
#include "spell/SpellEngine.h"
#include "spell/SuggestionSearch.h"

#ifdef SKFP_HAVE_HUNSPELL
#include <hunspell/hunspell.hxx>
#endif

namespace {

enum TEditKind { kInsertion, kDeletion, kSubstitution, kTransposition, kKinds };
constexpr std::array<const char*, kKinds> kKindNames = {"ins", "del", "sub", "swap"};

struct TMisspelling {
    std::string wrong;
    std::string intended;
    TEditKind kind;
};

// Plain lower-case words of four letters or more, so that every method sees
// the same text and an edit leaves a word of at least three letters.
std::vector<std::string> ReadWords() {
    const auto list = fileutil::ReadAll(SKFP_WORDLIST).value_or("");
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find('\n', start);
        if (end == std::string::npos) end = list.size();
        std::string w = list.substr(start, end - start);
        start = end + 1;
        if (w.size() >= 4 && std::all_of(w.begin(), w.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            words.push_back(w);
    }
    return words;
}

// count misspellings of `edits` edits each (the kind is that of the first),
// of words of at least minLength letters.
std::vector<TMisspelling> MakeMisspellings(SpellEngine& engine, const std::vector<std::string>& words,
                                           std::uint32_t seed, std::size_t count, int edits = 1,
                                           std::size_t minLength = 0) {
    std::vector<TMisspelling> out;
    std::mt19937 rng(seed);
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    while (out.size() < count && !words.empty()) {
        const auto kind = static_cast<TEditKind>(out.size() % kKinds);
        const std::string& word = words[pick(words.size())];
        if (word.size() < minLength) continue;
        std::string w = word;
        for (int e = 0; e < edits; ++e) {
            const char letter = static_cast<char>('a' + pick(26));
            switch (e == 0 ? kind : static_cast<TEditKind>(pick(kKinds))) {
                case kInsertion:
                    w.insert(pick(w.size() + 1), 1, letter);
                    break;
                case kDeletion:
                    w.erase(pick(w.size()), 1);
                    break;
                case kSubstitution:
                    w[pick(w.size())] = letter;
                    break;
                default: {
                    const std::size_t i = pick(w.size() - 1);
                    std::swap(w[i], w[i + 1]);
                }
            }
        }
        // An edit that gives the word back or makes another word is no misspelling.
        if (w == word || engine.Lookup(w)) continue;
        out.push_back({w, word, kind});
    }
    return out;
}

// Everything the benchmarks share, made once.
class TCorpus {
public:
    static TCorpus& Get() {
        static TCorpus corpus;
        return corpus;
    }

    SpellEngine engine;
    std::vector<std::string> words;
    std::vector<std::string> mixed;          // lookup list: half correct, half misspelled
    std::vector<TMisspelling> misspellings;  // the measured set
#ifdef SKFP_HAVE_HUNSPELL
    Hunspell hunspell{"/usr/share/hunspell/en_US.aff", "/usr/share/hunspell/en_US.dic"};
#endif

private:
    TCorpus() {
        if (!engine.OpenMainDictionary(SKFP_DICTIONARY)) std::fprintf(stderr, "cannot open %s\n", SKFP_DICTIONARY);
        words = ReadWords();
        misspellings = MakeMisspellings(engine, words, 20261207, 1000);
        std::mt19937 rng(7);
        for (std::size_t i = 0; i < 10000 && !words.empty(); ++i)
            mixed.push_back(i % 2 ? misspellings[i / 2 % misspellings.size()].wrong : words[rng() % words.size()]);
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

// The same with a user dictionary open, which another program could change
// between any two lookups.
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

struct TScore {
    std::array<std::size_t, kKinds> total{}, top10{}, first{};
    std::vector<double> ms, wallMs;
};

// The machine the figures come from may be shared, so the time of one word is
// taken as the processor time of this thread, with the wall time beside it.
double ThreadMs() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

template <typename Suggest>
TScore Score(const std::vector<TMisspelling>& set, Suggest suggest) {
    TScore score;
    for (const auto& m : set) {
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = ThreadMs();
        const std::vector<std::string> s = suggest(m.wrong);
        score.ms.push_back(ThreadMs() - c0);
        score.wallMs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        ++score.total[m.kind];
        for (std::size_t k = 0; k < s.size() && k < 10; ++k)
            if (text::EqualsNoCase(s[k], m.intended)) {
                ++score.top10[m.kind];
                if (k == 0) ++score.first[m.kind];
                break;
            }
    }
    std::sort(score.ms.begin(), score.ms.end());
    std::sort(score.wallMs.begin(), score.wallMs.end());
    return score;
}

double Share(std::size_t part, std::size_t whole) {
    return whole ? static_cast<double>(part) / static_cast<double>(whole) : 0;
}

void Report(benchmark::State& state, const TScore& s) {
    std::size_t total = 0, top10 = 0, first = 0;
    for (int k = 0; k < kKinds; ++k) {
        total += s.total[k];
        top10 += s.top10[k];
        first += s.first[k];
        state.counters[std::string("top10_") + kKindNames[k]] = Share(s.top10[k], s.total[k]);
        state.counters[std::string("first_") + kKindNames[k]] = Share(s.first[k], s.total[k]);
    }
    state.counters["top10"] = Share(top10, total);
    state.counters["first"] = Share(first, total);
    state.counters["words"] = static_cast<double>(total);
    state.counters["median_ms"] = s.ms.empty() ? 0 : s.ms[s.ms.size() / 2];
    state.counters["p99_ms"] = s.ms.empty() ? 0 : s.ms[s.ms.size() * 99 / 100];
    state.counters["wall_median_ms"] = s.wallMs.empty() ? 0 : s.wallMs[s.wallMs.size() / 2];
    state.counters["wall_p99_ms"] = s.wallMs.empty() ? 0 : s.wallMs[s.wallMs.size() * 99 / 100];
}

template <typename Suggest>
void RunSuggestions(benchmark::State& state, Suggest suggest) {
    auto& c = TCorpus::Get();
    TScore score;
    for (auto _ : state) score = Score(c.misspellings, suggest);
    Report(state, score);
}

void BM_SuggestCloseMatch(benchmark::State& state) {
    RunSuggestions(state, [](const std::string& w) { return TCorpus::Get().engine.Suggest(w, stCloseMatch, 10); });
}
BENCHMARK(BM_SuggestCloseMatch)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SuggestPhoneme(benchmark::State& state) {
    RunSuggestions(state, [](const std::string& w) { return TCorpus::Get().engine.Suggest(w, stPhoneme, 10); });
}
BENCHMARK(BM_SuggestPhoneme)->Iterations(1)->Unit(benchmark::kMillisecond);

// The tuning set: 1,000 one-edit misspellings and 250 of two edits in words
// of eight letters or more, from other seeds than the measured set. Args:
// method (0 close match, 1 phoneme), bonus for one edit, bonus for two.
void BM_TuneEditBonus(benchmark::State& state) {
    auto& c = TCorpus::Get();
    static const std::vector<TMisspelling> set = [&] {
        auto one = MakeMisspellings(c.engine, c.words, 4242, 1000);
        const auto two = MakeMisspellings(c.engine, c.words, 4343, 250, 2, 8);
        one.insert(one.end(), two.begin(), two.end());
        return one;
    }();
    const bool phoneme = state.range(0) == 1;
    const TSuggestionSearch::TBonus bonus{static_cast<int>(state.range(1)), static_cast<int>(state.range(2))};
    TScore score;
    for (auto _ : state)
        score =
            Score(set, [&](const std::string& w) { return TSuggestionSearch(c.engine, phoneme, bonus).Run(w, 10); });
    Report(state, score);
}
BENCHMARK(BM_TuneEditBonus)
    ->ArgsProduct({{0, 1}, {0, 10, 20, 30, 40, 60}, {0, 5, 10, 20}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_SuggestHunspell)->Iterations(1)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
